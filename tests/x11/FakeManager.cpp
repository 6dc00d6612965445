#include "tests/x11/FakeManager.h"

#include "clipboard/X11Selection.h"

#include <xcb/xfixes.h>

#include <QElapsedTimer>

#include <chrono>
#include <cstdlib>

namespace nebulo {

namespace {

using namespace std::chrono_literals;

// The types that say something about the selection rather than hold its content.
bool Describes(const QByteArray& Type)
{
    return Type == "TARGETS" || Type == "MULTIPLE" || Type == "TIMESTAMP" || Type == "SAVE_TARGETS";
}

} // namespace

TFakeManager::TFakeManager(const QByteArray& Display, TManagerHabit Habit)
    : Display_(Display), Habit_(Habit), Client_(Display)
{
    xcb_connection_t* Connection = Client_.Connection();
    Clipboard_ = Client_.Atom("CLIPBOARD");
    Manager_ = Client_.Atom("CLIPBOARD_MANAGER");
    SaveTargets_ = Client_.Atom("SAVE_TARGETS");
    std::free(xcb_xfixes_query_version_reply(Connection, xcb_xfixes_query_version(Connection, 5, 0), nullptr));
    OwnerEvent_ = xcb_get_extension_data(Connection, &xcb_xfixes_id)->first_event + XCB_XFIXES_SELECTION_NOTIFY;
    const xcb_window_t Root = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data->root;
    xcb_xfixes_select_selection_input(Connection, Root, Clipboard_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    Client_.TakeSelection(Manager_);
    Client_.Serve([this](const xcb_generic_event_t& Event) { Handle(Event); });
}

QList<TFakeManager::TSaved> TFakeManager::Saved()
{
    const std::lock_guard Lock(Guard_);
    return Saved_;
}

void TFakeManager::Handle(const xcb_generic_event_t& Event)
{
    if (Event.response_type == OwnerEvent_) {
        const auto& Change = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(Event);
        LastOwner_ = Change.owner;
        if (Change.owner != XCB_NONE)
            return;
        ++Ownerless_;
        if (Habit_ == TManagerHabit::RestoresWhenOwnerless)
            xcb_set_selection_owner(Client_.Connection(), Client_.Window(), Clipboard_, Change.timestamp);
        xcb_flush(Client_.Connection());
        return;
    }
    if ((Event.response_type & 0x7F) != XCB_SELECTION_REQUEST || Habit_ == TManagerHabit::NeverAnswers)
        return;
    const auto& Request = reinterpret_cast<const xcb_selection_request_event_t&>(Event);
    if (Request.selection == Manager_ && Request.target == SaveTargets_ && Habit_ == TManagerHabit::SavesEverything)
        Save(Request);
    else
        Client_.Answer(Request, XCB_NONE);
}

// Reads every type from the clipboard's owner as a program of its own does,
// then holds the clipboard itself and says so.
void TFakeManager::Save(const xcb_selection_request_event_t& Request)
{
    TX11Selection Owner(Display_.constData());
    const TX11Selection::TTargets Offered = Owner.Targets(10s);
    for (const QByteArray& Type : Offered.Names) {
        if (Describes(Type))
            continue;
        QElapsedTimer Clock;
        Clock.start();
        TX11Selection::TTransfer Transfer = Owner.Read(Type, 10s, int64_t(256) << 20);
        const double Milliseconds = double(Clock.nsecsElapsed()) / 1e6;
        const std::lock_guard Lock(Guard_);
        Saved_.append({Type, std::move(Transfer.Bytes), Milliseconds});
    }
    xcb_set_selection_owner(Client_.Connection(), Client_.Window(), Clipboard_, XCB_CURRENT_TIME);
    Client_.Answer(Request, Request.property);
}

} // namespace nebulo
