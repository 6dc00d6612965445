#pragma once

#include "tests/x11/FakeClient.h"

#include <QByteArray>

namespace nebulo {

// How the fake owner treats a request for the picture. The last five send
// it in pieces (INCR): two pieces and then nothing more; one byte every
// 100 ms; all of it, having promised twice as much; all of it in pieces of
// 61 bytes, having promised its size, or nothing (as xclip does).
enum class TOwnerHabit {
    AnswersAll,
    ListsTypesThenStalls,
    NeverAnswers,
    RefusesThePicture,
    SendsPiecesThenStalls,
    Trickles,
    PromisesMore,
    SendsPieces,
    SendsPiecesUnannounced
};

// Another program that holds the clipboard (or another selection, such as a
// drag's XdndSelection), offering image/png, served on its own thread. It
// holds the selection once constructed: the X server has then told every
// other client, Qt included, that the selection changed hands.
class TFakeOwner {
public:
    TFakeOwner(const QByteArray& Display, TOwnerHabit Habit, QByteArray Picture,
               const char* Selection = "CLIPBOARD");

    // Whether the X server names this program as the clipboard's owner.
    bool HoldsClipboard() { return Client_.Owner(Clipboard_) == Client_.Window(); }
    xcb_window_t Window() const { return Client_.Window(); }

private:
    void Answer(const xcb_selection_request_event_t& Request);
    // The requestor took the latest piece: the next one follows.
    void PieceTaken(const xcb_property_notify_event_t& Notify);

    // The transfer in pieces on its way, if any.
    struct TPieces {
        xcb_window_t Requestor = 0;
        xcb_atom_t Property = 0;
        int Offset = 0;
        int Sent = 0;
    };

    TOwnerHabit Habit_;
    QByteArray Picture_;
    TFakeClient Client_;
    xcb_atom_t Clipboard_ = 0, Targets_ = 0, Png_ = 0, Incr_ = 0;
    TPieces Pieces_;
};

} // namespace nebulo
