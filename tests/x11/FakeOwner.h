#pragma once

#include <QByteArray>

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace nebulo {

// How the fake owner treats a request for the picture. The last three send
// it in pieces (INCR): two pieces and then nothing more; one byte every
// 100 ms; or all of it, having promised twice as much.
enum class TOwnerHabit {
    AnswersAll,
    ListsTypesThenStalls,
    NeverAnswers,
    RefusesThePicture,
    SendsPiecesThenStalls,
    Trickles,
    PromisesMore
};

// Another program that holds the clipboard (or another selection, such as a
// drag's XdndSelection), offering image/png, served on its own thread. It
// holds the selection once constructed: the X server has then told every
// other client, Qt included, that the selection changed hands.
class TFakeOwner {
public:
    TFakeOwner(const QByteArray& Display, TOwnerHabit Habit, QByteArray Picture,
               const char* Selection = "CLIPBOARD");
    ~TFakeOwner();
    TFakeOwner(const TFakeOwner&) = delete;
    TFakeOwner& operator=(const TFakeOwner&) = delete;

    // Whether the X server names this program as the clipboard's owner.
    bool HoldsClipboard();

private:
    xcb_timestamp_t ServerTime();
    xcb_atom_t Atom(const char* Name);
    void Answer(const xcb_selection_request_event_t& Request);
    void PieceTaken(const xcb_property_notify_event_t& Notify);
    void SendPiece();
    void Serve();

    using TClock = std::chrono::steady_clock;
    // The transfer in pieces on its way, if any.
    struct TPieces {
        xcb_window_t Requestor = 0;
        xcb_atom_t Property = 0;
        int Offset = 0;
        int Sent = 0;
        bool Due = false;
        TClock::time_point DueAt;
    };

    TOwnerHabit Habit_;
    QByteArray Picture_;
    xcb_connection_t* Connection_ = nullptr;
    xcb_window_t Window_ = 0;
    xcb_atom_t Clipboard_ = 0, Targets_ = 0, Png_ = 0, Incr_ = 0;
    TPieces Pieces_;
    std::atomic<bool> Stop_{false};
    std::thread Serving_;
};

} // namespace nebulo
