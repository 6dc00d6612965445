#pragma once

#include "tests/x11/FakeClient.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <mutex>

namespace nebulo {

// How the fake clipboard manager behaves, after the two in Debian: one saves
// every type when asked and then takes the clipboard over; one never answers
// and puts its own copy back whenever the clipboard is left without owner.
enum class TManagerHabit { SavesEverything, NeverAnswers, RestoresWhenOwnerless };

// A clipboard manager (the owner of CLIPBOARD_MANAGER) on its own thread. It
// watches the clipboard's owner as any program can, and counts the moments
// it had none.
class TFakeManager {
public:
    struct TSaved {
        QByteArray Type;
        QByteArray Bytes;
        double Milliseconds = 0;
    };

    TFakeManager(const QByteArray& Display, TManagerHabit Habit);

    // What it saved, once it has answered.
    QList<TSaved> Saved();
    int OwnerlessMoments() const { return Ownerless_; }
    // The clipboard's owner as the manager last heard of it.
    xcb_window_t LastOwnerHeard() const { return LastOwner_; }
    bool HoldsClipboard() { return Client_.Owner(Clipboard_) == Client_.Window(); }

private:
    void Save(const xcb_selection_request_event_t& Request);
    void Handle(const xcb_generic_event_t& Event);

    QByteArray Display_;
    TManagerHabit Habit_;
    std::mutex Guard_;
    QList<TSaved> Saved_;
    std::atomic<int> Ownerless_{0};
    std::atomic<xcb_window_t> LastOwner_{XCB_NONE};
    TFakeClient Client_;
    xcb_atom_t Clipboard_ = 0, Manager_ = 0, SaveTargets_ = 0;
    uint8_t OwnerEvent_ = 0;
};

} // namespace nebulo
