#include "tests/x11/FakeOwner.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace nebulo {

TFakeOwner::TFakeOwner(const QByteArray& Display, TOwnerHabit Habit, QByteArray Picture, const char* Selection)
    : Habit_(Habit), Picture_(std::move(Picture))
{
    Connection_ = xcb_connect(Display.constData(), nullptr);
    const xcb_screen_t* Screen = xcb_setup_roots_iterator(xcb_get_setup(Connection_)).data;
    Window_ = xcb_generate_id(Connection_);
    const uint32_t Events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(Connection_, XCB_COPY_FROM_PARENT, Window_, Screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &Events);
    Clipboard_ = Atom(Selection);
    Targets_ = Atom("TARGETS");
    Png_ = Atom("image/png");
    Incr_ = Atom("INCR");
    // Qt takes a clipboard change stamped with the very millisecond of its
    // own copy for older news, and ignores it: like any program that comes
    // later, this one is stamped later than everything done before it.
    const xcb_timestamp_t Before = ServerTime();
    xcb_timestamp_t Now = ServerTime();
    while (Now != XCB_CURRENT_TIME && Now <= Before)
        Now = ServerTime();
    xcb_set_selection_owner(Connection_, Window_, Clipboard_, Now);
    // The answer comes once the server has handled the change, so no other
    // client can see the clipboard as it was before.
    HoldsClipboard();
    Serving_ = std::thread([this] { Serve(); });
}

TFakeOwner::~TFakeOwner()
{
    Stop_ = true;
    Serving_.join();
    xcb_disconnect(Connection_);
}

bool TFakeOwner::HoldsClipboard()
{
    xcb_get_selection_owner_reply_t* Reply =
        xcb_get_selection_owner_reply(Connection_, xcb_get_selection_owner(Connection_, Clipboard_), nullptr);
    const bool Holds = Reply != nullptr && Reply->owner == Window_;
    std::free(Reply);
    return Holds;
}

// The X server's clock, read from the notice of an empty change to a
// property of our window.
xcb_timestamp_t TFakeOwner::ServerTime()
{
    xcb_change_property(Connection_, XCB_PROP_MODE_APPEND, Window_, Targets_, XCB_ATOM_ATOM, 32, 0, nullptr);
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

xcb_atom_t TFakeOwner::Atom(const char* Name)
{
    xcb_intern_atom_reply_t* Reply = xcb_intern_atom_reply(
        Connection_, xcb_intern_atom(Connection_, 0, uint16_t(strlen(Name)), Name), nullptr);
    const xcb_atom_t Value = Reply->atom;
    std::free(Reply);
    return Value;
}

void TFakeOwner::Answer(const xcb_selection_request_event_t& Request)
{
    xcb_atom_t Property = Request.property;
    if (Request.target == Targets_) {
        const xcb_atom_t Offered[] = {Targets_, Png_};
        xcb_change_property(Connection_, XCB_PROP_MODE_REPLACE, Request.requestor, Property, XCB_ATOM_ATOM, 32, 2,
                            Offered);
    } else if (Habit_ == TOwnerHabit::ListsTypesThenStalls) {
        return;
    } else if (Habit_ == TOwnerHabit::RefusesThePicture) {
        Property = XCB_NONE;
    } else if (Habit_ >= TOwnerHabit::SendsPiecesThenStalls) {
        // The requestor deletes each piece to ask for the next.
        const uint32_t Events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(Connection_, Request.requestor, XCB_CW_EVENT_MASK, &Events);
        const uint32_t Promised = uint32_t(Picture_.size()) * (Habit_ == TOwnerHabit::PromisesMore ? 2 : 1);
        xcb_change_property(Connection_, XCB_PROP_MODE_REPLACE, Request.requestor, Property, Incr_, 32, 1,
                            &Promised);
        Pieces_ = TPieces();
        Pieces_.Requestor = Request.requestor;
        Pieces_.Property = Property;
    } else {
        xcb_change_property(Connection_, XCB_PROP_MODE_REPLACE, Request.requestor, Property, Png_, 8,
                            uint32_t(Picture_.size()), Picture_.constData());
    }
    xcb_selection_notify_event_t Notify{};
    Notify.response_type = XCB_SELECTION_NOTIFY;
    Notify.requestor = Request.requestor;
    Notify.selection = Request.selection;
    Notify.target = Request.target;
    Notify.property = Property;
    Notify.time = Request.time;
    xcb_send_event(Connection_, 0, Request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&Notify));
    xcb_flush(Connection_);
}

void TFakeOwner::PieceTaken(const xcb_property_notify_event_t& Notify)
{
    if (Pieces_.Requestor == 0 || Notify.window != Pieces_.Requestor || Notify.atom != Pieces_.Property
        || Notify.state != XCB_PROPERTY_DELETE)
        return;
    Pieces_.Due = true;
    Pieces_.DueAt =
        TClock::now()
        + (Habit_ == TOwnerHabit::Trickles ? std::chrono::milliseconds(100) : std::chrono::milliseconds(0));
}

// The next piece; an empty one ends the transfer.
void TFakeOwner::SendPiece()
{
    Pieces_.Due = false;
    if (Habit_ == TOwnerHabit::SendsPiecesThenStalls && Pieces_.Sent == 2)
        return;
    const int Size = std::min(int(Picture_.size()) - Pieces_.Offset, Habit_ == TOwnerHabit::Trickles ? 1 : 1000);
    xcb_change_property(Connection_, XCB_PROP_MODE_REPLACE, Pieces_.Requestor, Pieces_.Property, Png_, 8,
                        uint32_t(Size), Picture_.constData() + Pieces_.Offset);
    xcb_flush(Connection_);
    Pieces_.Offset += Size;
    ++Pieces_.Sent;
    if (Size == 0)
        Pieces_ = TPieces();
}

void TFakeOwner::Serve()
{
    while (!Stop_) {
        pollfd Socket{xcb_get_file_descriptor(Connection_), POLLIN, 0};
        ::poll(&Socket, 1, 20);
        while (xcb_generic_event_t* Event = xcb_poll_for_event(Connection_)) {
            const int Type = Event->response_type & 0x7F;
            if (Type == XCB_SELECTION_REQUEST && Habit_ != TOwnerHabit::NeverAnswers)
                Answer(*reinterpret_cast<xcb_selection_request_event_t*>(Event));
            else if (Type == XCB_PROPERTY_NOTIFY)
                PieceTaken(*reinterpret_cast<xcb_property_notify_event_t*>(Event));
            std::free(Event);
        }
        if (Pieces_.Due && TClock::now() >= Pieces_.DueAt)
            SendPiece();
    }
}

} // namespace nebulo
