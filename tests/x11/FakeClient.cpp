#include "tests/x11/FakeClient.h"

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace nebulo {

TFakeClient::TFakeClient(const QByteArray& Display)
{
    Connection_ = xcb_connect(Display.constData(), nullptr);
    const xcb_screen_t* Screen = xcb_setup_roots_iterator(xcb_get_setup(Connection_)).data;
    Window_ = xcb_generate_id(Connection_);
    const uint32_t Events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(Connection_, XCB_COPY_FROM_PARENT, Window_, Screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &Events);
}

TFakeClient::~TFakeClient()
{
    Stop_ = true;
    if (Serving_.joinable())
        Serving_.join();
    xcb_disconnect(Connection_);
}

xcb_atom_t TFakeClient::Atom(const char* Name)
{
    xcb_intern_atom_reply_t* Reply =
        xcb_intern_atom_reply(Connection_, xcb_intern_atom(Connection_, 0, uint16_t(strlen(Name)), Name), nullptr);
    const xcb_atom_t Value = Reply->atom;
    std::free(Reply);
    return Value;
}

void TFakeClient::TakeSelection(xcb_atom_t Selection)
{
    const xcb_timestamp_t Before = ServerTime();
    xcb_timestamp_t Now = ServerTime();
    while (Now != XCB_CURRENT_TIME && Now <= Before)
        Now = ServerTime();
    xcb_set_selection_owner(Connection_, Window_, Selection, Now);
    Owner(Selection);
}

xcb_window_t TFakeClient::Owner(xcb_atom_t Selection)
{
    xcb_get_selection_owner_reply_t* Reply =
        xcb_get_selection_owner_reply(Connection_, xcb_get_selection_owner(Connection_, Selection), nullptr);
    const xcb_window_t Owner = Reply != nullptr ? Reply->owner : xcb_window_t(XCB_NONE);
    std::free(Reply);
    return Owner;
}

// The X server's clock, read from the notice of an empty change to a
// property of our window.
xcb_timestamp_t TFakeClient::ServerTime()
{
    xcb_change_property(Connection_, XCB_PROP_MODE_APPEND, Window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(Connection_);
    xcb_timestamp_t Time = XCB_CURRENT_TIME;
    while (Time == XCB_CURRENT_TIME) {
        xcb_generic_event_t* Event = xcb_wait_for_event(Connection_);
        if (Event == nullptr)
            break;
        if ((Event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY)
            Time = reinterpret_cast<xcb_property_notify_event_t*>(Event)->time;
        std::free(Event);
    }
    return Time;
}

void TFakeClient::Answer(const xcb_selection_request_event_t& Request, xcb_atom_t Property)
{
    xcb_selection_notify_event_t Notify{};
    Notify.response_type = XCB_SELECTION_NOTIFY;
    Notify.requestor = Request.requestor;
    Notify.selection = Request.selection;
    Notify.target = Request.target;
    Notify.property = Property;
    Notify.time = Request.time;
    xcb_send_event(Connection_, 0, Request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&Notify));
    xcb_flush(Connection_);
}

void TFakeClient::Serve(std::function<void(const xcb_generic_event_t&)> Handle)
{
    Serving_ = std::thread([this, Handle = std::move(Handle)] {
        while (!Stop_) {
            pollfd Socket{xcb_get_file_descriptor(Connection_), POLLIN, 0};
            ::poll(&Socket, 1, 20);
            while (xcb_generic_event_t* Event = xcb_poll_for_event(Connection_)) {
                Handle(*Event);
                std::free(Event);
            }
        }
    });
}

} // namespace nebulo
