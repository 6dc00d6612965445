#include "tests/x11/FakeOwner.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace nebulo {

TFakeOwner::TFakeOwner(const QByteArray& Display, TOwnerHabit Habit, QByteArray Picture, const char* Selection)
    : Habit_(Habit), Picture_(std::move(Picture)), Client_(Display)
{
    Clipboard_ = Client_.Atom(Selection);
    Targets_ = Client_.Atom("TARGETS");
    Png_ = Client_.Atom("image/png");
    Incr_ = Client_.Atom("INCR");
    Client_.TakeSelection(Clipboard_);
    Client_.Serve([this](const xcb_generic_event_t& Event) {
        const int Type = Event.response_type & 0x7F;
        if (Type == XCB_SELECTION_REQUEST && Habit_ != TOwnerHabit::NeverAnswers)
            Answer(reinterpret_cast<const xcb_selection_request_event_t&>(Event));
        else if (Type == XCB_PROPERTY_NOTIFY)
            PieceTaken(reinterpret_cast<const xcb_property_notify_event_t&>(Event));
    });
}

void TFakeOwner::Answer(const xcb_selection_request_event_t& Request)
{
    xcb_connection_t* Connection = Client_.Connection();
    xcb_atom_t Property = Request.property;
    if (Request.target == Targets_) {
        const xcb_atom_t Offered[] = {Targets_, Png_};
        xcb_change_property(Connection, XCB_PROP_MODE_REPLACE, Request.requestor, Property, XCB_ATOM_ATOM, 32, 2,
                            Offered);
    } else if (Habit_ == TOwnerHabit::ListsTypesThenStalls) {
        return;
    } else if (Habit_ == TOwnerHabit::RefusesThePicture) {
        Property = XCB_NONE;
    } else if (Habit_ >= TOwnerHabit::SendsPiecesThenStalls) {
        // The requestor deletes each piece to ask for the next.
        const uint32_t Events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(Connection, Request.requestor, XCB_CW_EVENT_MASK, &Events);
        const uint32_t Promised = uint32_t(Picture_.size()) * (Habit_ == TOwnerHabit::PromisesMore ? 2 : 1);
        xcb_change_property(Connection, XCB_PROP_MODE_REPLACE, Request.requestor, Property, Incr_, 32,
                            Habit_ == TOwnerHabit::SendsPiecesUnannounced ? 0 : 1, &Promised);
        Pieces_ = TPieces();
        Pieces_.Requestor = Request.requestor;
        Pieces_.Property = Property;
    } else {
        xcb_change_property(Connection, XCB_PROP_MODE_REPLACE, Request.requestor, Property, Png_, 8,
                            uint32_t(Picture_.size()), Picture_.constData());
    }
    Client_.Answer(Request, Property);
}

// Each piece follows the requestor's taking of the one before; an empty one
// ends the transfer.
void TFakeOwner::PieceTaken(const xcb_property_notify_event_t& Notify)
{
    if (Pieces_.Requestor == 0 || Notify.window != Pieces_.Requestor || Notify.atom != Pieces_.Property
        || Notify.state != XCB_PROPERTY_DELETE)
        return;
    if (Habit_ == TOwnerHabit::SendsPiecesThenStalls && Pieces_.Sent == 2)
        return;
    if (Habit_ == TOwnerHabit::Trickles)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int Piece = Habit_ == TOwnerHabit::Trickles ? 1 : Habit_ >= TOwnerHabit::SendsPieces ? 61 : 1000;
    const int Size = std::min(int(Picture_.size()) - Pieces_.Offset, Piece);
    xcb_change_property(Client_.Connection(), XCB_PROP_MODE_REPLACE, Pieces_.Requestor, Pieces_.Property, Png_, 8,
                        uint32_t(Size), Picture_.constData() + Pieces_.Offset);
    xcb_flush(Client_.Connection());
    Pieces_.Offset += Size;
    ++Pieces_.Sent;
    if (Size == 0)
        Pieces_ = TPieces();
}

} // namespace nebulo
