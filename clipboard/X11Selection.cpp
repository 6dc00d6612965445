#include "clipboard/X11Selection.h"

#include "toolkit/core/Exceptions.h"

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace nebulo {

namespace {

struct TFree {
    void operator()(void* Pointer) const { std::free(Pointer); }
};
template <typename T>
using TReply = std::unique_ptr<T, TFree>;

// Where the owner puts what we ask for, on our own window.
const char* const TransferProperty = "NEBULO_TRANSFER";
// How often a wait looks whether it is asked to stop.
constexpr std::chrono::milliseconds StopSlice{50};

} // namespace

// Our property as read: its type, and its bytes within the server's reply.
struct TX11Selection::TProperty {
    uint32_t Type = XCB_NONE;
    TReply<xcb_get_property_reply_t> Reply;
    const char* Bytes() const { return static_cast<const char*>(xcb_get_property_value(Reply.get())); }
    qsizetype Size() const { return xcb_get_property_value_length(Reply.get()); }
};

TX11Selection::TX11Selection(const char* Display, const char* Selection, uint32_t Time)
    : Selection_(Selection), Time_(Time)
{
    Connection_ = xcb_connect(Display, nullptr);
    if (xcb_connection_has_error(Connection_)) {
        xcb_disconnect(Connection_);
        throw EInvalidOperation("Cannot open clipboard");
    }
    const xcb_screen_t* Screen = xcb_setup_roots_iterator(xcb_get_setup(Connection_)).data;
    Window_ = xcb_generate_id(Connection_);
    const uint32_t Events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(Connection_, XCB_COPY_FROM_PARENT, Window_, Screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &Events);
    xcb_flush(Connection_);
}

TX11Selection::~TX11Selection()
{
    xcb_disconnect(Connection_);
}

uint32_t TX11Selection::Atom(const std::string& Name)
{
    const auto Known = Atoms_.find(Name);
    if (Known != Atoms_.end())
        return Known->second;
    const TReply<xcb_intern_atom_reply_t> Reply(xcb_intern_atom_reply(
        Connection_, xcb_intern_atom(Connection_, 0, uint16_t(Name.size()), Name.data()), nullptr));
    const uint32_t Value = Reply ? Reply->atom : uint32_t(XCB_ATOM_NONE);
    Atoms_[Name] = Value;
    return Value;
}

bool TX11Selection::HasOwner(const char* Selection)
{
    const TReply<xcb_get_selection_owner_reply_t> Reply(
        xcb_get_selection_owner_reply(Connection_, xcb_get_selection_owner(Connection_, Atom(Selection)), nullptr));
    return Reply && Reply->owner != XCB_NONE;
}

template <typename TWanted>
bool TX11Selection::WaitForEvent(TWanted Wanted, const TWait& Wait)
{
    const TClock::time_point Deadline = std::min(Wait.Deadline, TClock::now() + Wait.Patience);
    for (;;) {
        while (xcb_generic_event_t* Event = xcb_poll_for_event(Connection_)) {
            const TReply<xcb_generic_event_t> Held(Event);
            if (Wanted(*Event))
                return true;
        }
        if (xcb_connection_has_error(Connection_) || Wait.Stop.stop_requested())
            return false;
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now());
        if (Left.count() <= 0)
            return false;
        pollfd Socket{xcb_get_file_descriptor(Connection_), POLLIN, 0};
        ::poll(&Socket, 1, int(std::min(Left, StopSlice).count()));
    }
}

TX11Selection::TOutcome TX11Selection::Convert(uint32_t Target, const TWait& Wait, const char* Selection)
{
    if (Selection == nullptr)
        Selection = Selection_.c_str();
    if (!HasOwner(Selection))
        return TOutcome::NoOwner;
    const uint32_t Asked = Atom(Selection);
    const uint32_t Property = Atom(TransferProperty);
    xcb_convert_selection(Connection_, Window_, Asked, Target, Property, Time_);
    xcb_flush(Connection_);
    bool Given = false;
    const bool Answered = WaitForEvent(
        [&](const xcb_generic_event_t& Event) {
            if ((Event.response_type & 0x7F) != XCB_SELECTION_NOTIFY)
                return false;
            const auto& Notify = reinterpret_cast<const xcb_selection_notify_event_t&>(Event);
            if (Notify.requestor != Window_ || Notify.selection != Asked || Notify.target != Target)
                return false;
            Given = Notify.property != XCB_NONE;
            return true;
        },
        Wait);
    if (!Answered)
        return TOutcome::NoAnswer;
    return Given ? TOutcome::Done : TOutcome::Refused;
}

// Reads and deletes our property; refuses more than Limit bytes.
TX11Selection::TOutcome TX11Selection::ReadProperty(int64_t Limit, TProperty& Property)
{
    const uint32_t Words = uint32_t(std::min<int64_t>(Limit / 4 + 1, UINT32_MAX));
    Property.Reply.reset(xcb_get_property_reply(
        Connection_,
        xcb_get_property(Connection_, 1, Window_, Atom(TransferProperty), XCB_GET_PROPERTY_TYPE_ANY, 0, Words),
        nullptr));
    if (!Property.Reply)
        return TOutcome::Refused;
    if (Property.Reply->bytes_after > 0 || Property.Size() > Limit)
        return TOutcome::TooLarge;
    Property.Type = Property.Reply->type;
    return TOutcome::Done;
}

TX11Selection::TTargets TX11Selection::Targets(const TWait& Wait)
{
    TTargets Result;
    Result.Outcome = Convert(Atom("TARGETS"), Wait);
    if (Result.Outcome != TOutcome::Done)
        return Result;
    TProperty Property;
    // Even a generous owner offers a few hundred types at most.
    constexpr int64_t TargetsLimit = 64 * 1024;
    Result.Outcome = ReadProperty(TargetsLimit, Property);
    if (Result.Outcome != TOutcome::Done || Property.Type != XCB_ATOM_ATOM)
        return Result;
    const qsizetype Count = Property.Size() / qsizetype(sizeof(uint32_t));
    std::vector<xcb_get_atom_name_cookie_t> Asked(static_cast<size_t>(Count));
    for (qsizetype I = 0; I < Count; ++I) {
        uint32_t Target = 0;
        std::memcpy(&Target, Property.Bytes() + I * 4, 4);
        Asked[size_t(I)] = xcb_get_atom_name(Connection_, Target);
    }
    for (const xcb_get_atom_name_cookie_t& Cookie : Asked) {
        const TReply<xcb_get_atom_name_reply_t> Name(xcb_get_atom_name_reply(Connection_, Cookie, nullptr));
        if (Name)
            Result.Names.append(
                QByteArray(xcb_get_atom_name_name(Name.get()), xcb_get_atom_name_name_length(Name.get())));
    }
    return Result;
}

TX11Selection::TOutcome TX11Selection::ReadIncrements(const TWait& Wait, int64_t Limit, TArrivingBytes& Bytes)
{
    const uint32_t Property = Atom(TransferProperty);
    for (;;) {
        const bool Came = WaitForEvent(
            [&](const xcb_generic_event_t& Event) {
                if ((Event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
                    return false;
                const auto& Notify = reinterpret_cast<const xcb_property_notify_event_t&>(Event);
                return Notify.window == Window_ && Notify.atom == Property
                       && Notify.state == XCB_PROPERTY_NEW_VALUE;
            },
            Wait);
        if (!Came)
            return TOutcome::NoAnswer;
        // Reading a piece deletes it, which asks the owner for the next one.
        TProperty Piece;
        const TOutcome Outcome = ReadProperty(Limit - Bytes.Size(), Piece);
        if (Outcome != TOutcome::Done)
            return Outcome;
        if (Piece.Size() == 0)
            return TOutcome::Done;
        Bytes.Append(Piece.Bytes(), Piece.Size());
    }
}

TX11Selection::TTransfer TX11Selection::Read(const QByteArray& Target, const TWait& Wait, int64_t Limit,
                                             TArrivingBytes* Into)
{
    TArrivingBytes Kept;
    TArrivingBytes& Bytes = Into != nullptr ? *Into : Kept;
    TTransfer Result;
    Result.Outcome = Convert(Atom(Target.toStdString()), Wait);
    if (Result.Outcome != TOutcome::Done)
        return Result;
    TProperty Property;
    Result.Outcome = ReadProperty(Limit, Property);
    if (Result.Outcome != TOutcome::Done)
        return Result;
    if (Property.Type != Atom("INCR")) {
        Bytes.Append(Property.Bytes(), Property.Size());
        Result.Bytes = Bytes.Close();
        return Result;
    }
    // Reading the announcement deleted it, which asks the owner for the
    // first piece. Its value is the least size the owner promises: the room
    // for the bytes is taken once, at that size.
    uint32_t Promised = 0;
    if (Property.Size() >= 4)
        std::memcpy(&Promised, Property.Bytes(), 4);
    if (int64_t(Promised) > Limit) {
        Result.Outcome = TOutcome::TooLarge;
        return Result;
    }
    Bytes.Reserve(qsizetype(Promised));
    Result.Outcome = ReadIncrements(Wait, Limit, Bytes);
    if (Result.Outcome == TOutcome::Done && Bytes.Size() < int64_t(Promised))
        Result.Outcome = TOutcome::TooLittle;
    if (Result.Outcome == TOutcome::Done)
        Result.Bytes = Bytes.Close();
    return Result;
}

// An empty list of types in our property asks for all of them.
TX11Selection::TOutcome TX11Selection::SaveClipboard(TPatience Patience)
{
    xcb_delete_property(Connection_, Window_, Atom(TransferProperty));
    return Convert(Atom("SAVE_TARGETS"), TWait(Patience), "CLIPBOARD_MANAGER");
}

} // namespace nebulo
