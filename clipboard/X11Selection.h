#pragma once

#include "pictureio/ArrivingBytes.h"

#include <QByteArray>
#include <QList>

#include <chrono>
#include <cstdint>
#include <map>
#include <stop_token>
#include <string>

struct xcb_connection_t;

namespace nebulo {

// A selection (the clipboard, a drag's data) as any other program sees it on
// X11, through a connection of our own to the X server, so that waiting for
// the program that holds it never holds up the window's thread. Every wait
// for that program ends after its patience without an answer, at its
// deadline however much trickles in, or as soon as it is asked to stop; what
// the program sends is bounded before it is kept.
class TX11Selection {
public:
    using TClock = std::chrono::steady_clock;
    using TPatience = std::chrono::milliseconds;
    // TooLittle: the owner ended a transfer in pieces short of what it promised.
    enum class TOutcome { Done, NoOwner, Refused, NoAnswer, TooLarge, TooLittle };
    struct TWait {
        template <typename TRep, typename TPeriod>
        TWait(std::chrono::duration<TRep, TPeriod> Patience)
            : Patience(std::chrono::duration_cast<TPatience>(Patience))
        {
        }
        TWait(TPatience Patience, TClock::time_point Deadline, std::stop_token Stop)
            : Patience(Patience), Deadline(Deadline), Stop(std::move(Stop))
        {
        }
        TPatience Patience;
        TClock::time_point Deadline = TClock::time_point::max();
        // Asked to stop, a wait ends as without an answer.
        std::stop_token Stop;
    };
    struct TTargets {
        TOutcome Outcome = TOutcome::NoOwner;
        QList<QByteArray> Names;
    };
    struct TTransfer {
        TOutcome Outcome = TOutcome::NoOwner;
        QByteArray Bytes;
    };

    // Display as DISPLAY names it; none for the environment's. Selection is
    // what Targets and Read ask for, as of Time (the server's time of the
    // event that asks, such as a drop; 0 for now). Fails with
    // EInvalidOperation when no X server answers.
    explicit TX11Selection(const char* Display = nullptr, const char* Selection = "CLIPBOARD", uint32_t Time = 0);
    ~TX11Selection();
    TX11Selection(const TX11Selection&) = delete;
    TX11Selection& operator=(const TX11Selection&) = delete;

    // Whether a program holds the selection (CLIPBOARD, CLIPBOARD_MANAGER ...).
    bool HasOwner(const char* Selection = "CLIPBOARD");
    // The types the selection's owner offers.
    TTargets Targets(const TWait& Wait);
    // The selection's content as Target, at most Limit bytes; a large one
    // comes in pieces, and the patience then counts from the latest piece.
    // Into, where given, takes the bytes as they come (and shows them to its
    // watcher); the transfer's Bytes are then what it closed with.
    TTransfer Read(const QByteArray& Target, const TWait& Wait, int64_t Limit, TArrivingBytes* Into = nullptr);
    // Asks the clipboard manager to save every type the clipboard's owner
    // offers: Done once it says it has, NoOwner where none runs. The manager
    // may answer after the patience, so the connection is best kept open for
    // as long as the clipboard's owner runs.
    TOutcome SaveClipboard(TPatience Patience);

private:
    struct TProperty;

    uint32_t Atom(const std::string& Name);
    // Asks the owner of Selection (none: the one this reads) for Target into
    // our property and waits for its answer.
    TOutcome Convert(uint32_t Target, const TWait& Wait, const char* Selection = nullptr);
    TOutcome ReadProperty(int64_t Limit, TProperty& Property);
    TOutcome ReadIncrements(const TWait& Wait, int64_t Limit, TArrivingBytes& Bytes);
    // Waits for the next event for which Wanted holds; none after the
    // patience from now, after the deadline, or once asked to stop.
    template <typename TWanted>
    bool WaitForEvent(TWanted Wanted, const TWait& Wait);

    xcb_connection_t* Connection_ = nullptr;
    uint32_t Window_ = 0;
    std::string Selection_;
    uint32_t Time_;
    std::map<std::string, uint32_t> Atoms_;
};

} // namespace nebulo
