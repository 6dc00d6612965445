#pragma once

#include <QByteArray>

#include <xcb/xcb.h>

#include <atomic>
#include <thread>

namespace nebulo {

// How the fake owner treats a request for the picture.
enum class TOwnerHabit { AnswersAll, ListsTypesThenStalls, NeverAnswers, RefusesThePicture };

// Another program that holds the clipboard, offering image/png, served on
// its own thread. It holds the clipboard once constructed: the X server has
// then told every other client, Qt included, that the clipboard changed hands.
class TFakeOwner {
public:
    TFakeOwner(const QByteArray& Display, TOwnerHabit Habit, QByteArray Picture);
    ~TFakeOwner();
    TFakeOwner(const TFakeOwner&) = delete;
    TFakeOwner& operator=(const TFakeOwner&) = delete;

    // Whether the X server names this program as the clipboard's owner.
    bool HoldsClipboard();

private:
    xcb_timestamp_t ServerTime();
    xcb_atom_t Atom(const char* Name);
    void Answer(const xcb_selection_request_event_t& Request);
    void Serve();

    TOwnerHabit Habit_;
    QByteArray Picture_;
    xcb_connection_t* Connection_ = nullptr;
    xcb_window_t Window_ = 0;
    xcb_atom_t Clipboard_ = 0, Targets_ = 0, Png_ = 0;
    std::atomic<bool> Stop_{false};
    std::thread Serving_;
};

} // namespace nebulo
