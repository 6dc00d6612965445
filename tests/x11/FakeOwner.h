#pragma once

#include "tests/x11/FakeClient.h"

#include <QByteArray>

namespace nebulo {

// How the fake owner treats a request for the picture.
enum class TOwnerHabit { AnswersAll, ListsTypesThenStalls, NeverAnswers, RefusesThePicture };

// Another program that holds the clipboard, offering image/png, served on
// its own thread. It holds the clipboard once constructed: the X server has
// then told every other client, Qt included, that the clipboard changed hands.
class TFakeOwner {
public:
    TFakeOwner(const QByteArray& Display, TOwnerHabit Habit, QByteArray Picture);

    // Whether the X server names this program as the clipboard's owner.
    bool HoldsClipboard() { return Client_.Owner(Clipboard_) == Client_.Window(); }
    xcb_window_t Window() const { return Client_.Window(); }

private:
    void Answer(const xcb_selection_request_event_t& Request);

    TOwnerHabit Habit_;
    QByteArray Picture_;
    TFakeClient Client_;
    xcb_atom_t Clipboard_ = 0, Targets_ = 0, Png_ = 0;
};

} // namespace nebulo
