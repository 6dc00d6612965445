#pragma once

#include <QByteArray>

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>

namespace nebulo {

// A file descriptor, closed when it goes.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int Value = -1) : Value_(Value) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return Value_; }
    void Reset(int Value);
    void Close();

private:
    int Value_;
};

// A pipe whose ends a started program does not inherit unless told to.
struct TPipe {
    TFileDescriptor Read;
    TFileDescriptor Write;
};
bool MakePipe(TPipe& Pipe);

using TDeadline = std::chrono::steady_clock::time_point;

// Starts Program (a path, or a name looked up in PATH) in a session of its
// own, so that it outlives this program and its terminal, with Input as its
// standard input and Output as its standard output (/dev/null for -1); its
// errors go nowhere. Arguments ends with a null. 0 when it could not start.
pid_t StartDetached(const char* Program, const char* const Arguments[], int Input, int Output);

// Writes all of Bytes to a pipe, giving up at Deadline; a reader that went
// away is a failure too, never a signal that ends this program.
bool WriteAll(int To, const QByteArray& Bytes, TDeadline Deadline);
// Reads up to the end, failing beyond Limit bytes.
bool ReadAll(int From, int64_t Limit, QByteArray& Bytes);
// Whether one byte arrives before Deadline.
bool ReadByte(int From, TDeadline Deadline);
// The exit status of a started program once it has ended, or none when it is
// still running at Deadline; then it runs on.
std::optional<int> WaitForExit(pid_t Child, TDeadline Deadline);

} // namespace nebulo
