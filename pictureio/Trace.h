#pragma once

#include <QString>

#include <chrono>
#include <utility>
#include <vector>

namespace nebulo {

// With NEBULO_TRACE=1 in the environment, a command writes one line to
// standard error: its name, the picture's size and each phase's milliseconds,
// as in "paste 2023x2023: read 12 ms, decode 118 ms, convert 9 ms, shown 6 ms".
// Switched off, a trace reads no clock and keeps nothing. A trace may be
// carried from a worker thread to the window's, but is used by one at a time.
class TTrace {
public:
    // Whether the environment asks for traces; read once.
    static bool Enabled();

    // Starts the first phase now; On says whether to trace at all.
    explicit TTrace(const char* Command, bool On = Enabled());

    bool On() const { return On_; }
    void SetSize(int Width, int Height);
    // Ends the phase that ran since the previous mark (or the start).
    void Mark(const char* Phase);
    // Adds a phase measured elsewhere.
    void Add(const char* Phase, double Milliseconds);
    // Adds a remark after the phases ("3.1 MB").
    void Note(const QString& Remark);
    // The line as it is printed, without its end.
    QString Line() const;
    // Prints the line once; later calls do nothing.
    void Print();

private:
    using TClock = std::chrono::steady_clock;

    bool On_;
    const char* Command_;
    int Width_ = 0;
    int Height_ = 0;
    TClock::time_point Last_;
    std::vector<std::pair<const char*, double>> Phases_;
    QString Remark_;
    bool Printed_ = false;
};

} // namespace nebulo
