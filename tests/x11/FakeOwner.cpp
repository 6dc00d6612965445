#include "tests/x11/FakeOwner.h"

#include <utility>

namespace nebulo {

TFakeOwner::TFakeOwner(const QByteArray& Display, TOwnerHabit Habit, QByteArray Picture)
    : Habit_(Habit), Picture_(std::move(Picture)), Client_(Display)
{
    Clipboard_ = Client_.Atom("CLIPBOARD");
    Targets_ = Client_.Atom("TARGETS");
    Png_ = Client_.Atom("image/png");
    Client_.TakeSelection(Clipboard_);
    Client_.Serve([this](const xcb_generic_event_t& Event) {
        if ((Event.response_type & 0x7F) == XCB_SELECTION_REQUEST && Habit_ != TOwnerHabit::NeverAnswers)
            Answer(reinterpret_cast<const xcb_selection_request_event_t&>(Event));
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
    } else {
        xcb_change_property(Connection, XCB_PROP_MODE_REPLACE, Request.requestor, Property, Png_, 8,
                            uint32_t(Picture_.size()), Picture_.constData());
    }
    Client_.Answer(Request, Property);
}

} // namespace nebulo
