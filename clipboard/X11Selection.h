#pragma once

#include <QByteArray>
#include <QList>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>

struct xcb_connection_t;

namespace nebulo {

// The clipboard as any other program sees it on X11, through a connection of
// our own to the X server, so that waiting for the program that holds it
// never holds up the window's thread. Every wait for that program ends after
// Patience without an answer; what it sends is bounded before it is kept.
class TX11Selection {
public:
    using TPatience = std::chrono::milliseconds;
    enum class TOutcome { Done, NoOwner, Refused, NoAnswer, TooLarge };
    struct TTargets {
        TOutcome Outcome = TOutcome::NoOwner;
        QList<QByteArray> Names;
    };
    struct TTransfer {
        TOutcome Outcome = TOutcome::NoOwner;
        QByteArray Bytes;
    };

    // Display as DISPLAY names it; none for the environment's. Fails with
    // EInvalidOperation when no X server answers.
    explicit TX11Selection(const char* Display = nullptr);
    ~TX11Selection();
    TX11Selection(const TX11Selection&) = delete;
    TX11Selection& operator=(const TX11Selection&) = delete;

    // Whether a program holds the selection (CLIPBOARD, CLIPBOARD_MANAGER ...).
    bool HasOwner(const char* Selection = "CLIPBOARD");
    // The types the clipboard's owner offers.
    TTargets Targets(TPatience Patience);
    // The clipboard's content as Target, at most Limit bytes; a large one
    // comes in pieces, and Patience then counts from the latest piece.
    TTransfer Read(const QByteArray& Target, TPatience Patience, int64_t Limit);
    // Asks the clipboard manager to save every type the clipboard's owner
    // offers: Done once it says it has, NoOwner where none runs. The manager
    // may answer after Patience, so the connection is best kept open for as
    // long as the clipboard's owner runs.
    TOutcome SaveClipboard(TPatience Patience);

private:
    using TClock = std::chrono::steady_clock;
    struct TProperty;

    uint32_t Atom(const std::string& Name);
    // Asks Selection's owner for Target into our property and waits for its
    // answer.
    TOutcome Convert(uint32_t Target, TPatience Patience, const char* Selection = "CLIPBOARD");
    TOutcome ReadProperty(int64_t Limit, TProperty& Property);
    TOutcome ReadIncrements(TPatience Patience, int64_t Limit, QByteArray& Bytes);
    // Waits for the next event for which Wanted holds; none after Deadline.
    template <typename TWanted>
    bool WaitForEvent(TWanted Wanted, TClock::time_point Deadline);

    xcb_connection_t* Connection_ = nullptr;
    uint32_t Window_ = 0;
    std::map<std::string, uint32_t> Atoms_;
};

} // namespace nebulo
