#pragma once

#include <QByteArray>

#include <xcb/xcb.h>

#include <atomic>
#include <functional>
#include <thread>

namespace nebulo {

// Another program on the private X server: a connection and a window of its
// own, whose events are handled on a thread of its own once it serves.
class TFakeClient {
public:
    explicit TFakeClient(const QByteArray& Display);
    // Stops serving first.
    ~TFakeClient();
    TFakeClient(const TFakeClient&) = delete;
    TFakeClient& operator=(const TFakeClient&) = delete;

    xcb_connection_t* Connection() const { return Connection_; }
    xcb_window_t Window() const { return Window_; }
    xcb_atom_t Atom(const char* Name);
    // Makes this program the selection's owner, stamped later than anything
    // done before (Qt takes a change stamped with the very millisecond of its
    // own copy for older news). Returns once the server has made the change,
    // so that no other client can see the selection as it was before. Only
    // before it serves: it reads the connection's events.
    void TakeSelection(xcb_atom_t Selection);
    xcb_window_t Owner(xcb_atom_t Selection);
    // Sends the answer to a request: the property, or none for a refusal.
    void Answer(const xcb_selection_request_event_t& Request, xcb_atom_t Property);
    // Hands every event to Handle on the client's own thread, until it goes.
    void Serve(std::function<void(const xcb_generic_event_t&)> Handle);

private:
    xcb_timestamp_t ServerTime();

    xcb_connection_t* Connection_ = nullptr;
    xcb_window_t Window_ = 0;
    std::atomic<bool> Stop_{false};
    std::thread Serving_;
};

} // namespace nebulo
