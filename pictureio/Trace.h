#pragma once

#include <QString>

#include <chrono>
#include <vector>

namespace nebulo {

// With NEBULO_TRACE=1 in the environment, a command writes one line to
// standard error: its name, the picture's size and each phase's milliseconds
// with the minor page faults the process took meanwhile (fresh memory shows
// as thousands of them), as in
// "blur 2023x2023: surface 4 ms (2 faults), blur 9 ms (14 faults), back 3 ms (3003 faults), shown 1 ms (0 faults)".
// Switched off, a trace reads no clock and keeps nothing. A trace may be
// carried from a worker thread to the window's, but is used by one at a time.
class TTrace {
public:
    // Whether the environment asks for traces; read once.
    static bool Enabled();
    // Minor page faults so far: of the whole process, or of the calling thread.
    static long ProcessFaults();
    static long ThreadFaults();
    static constexpr long NotCounted = -1;

    // Starts the first phase now; On says whether to trace at all.
    explicit TTrace(const char* Command, bool On = Enabled());

    bool On() const { return On_; }
    void SetSize(int Width, int Height);
    // Ends the phase that ran since the previous mark (or the start).
    void Mark(const char* Phase);
    // Adds a phase measured elsewhere, with its faults when they were counted.
    void Add(const char* Phase, double Milliseconds, long Faults = NotCounted);
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
    struct TPhase {
        const char* Name;
        double Milliseconds;
        long Faults;
    };

    TClock::time_point Last_;
    long LastFaults_ = 0;
    std::vector<TPhase> Phases_;
    QString Remark_;
    bool Printed_ = false;
};

} // namespace nebulo
