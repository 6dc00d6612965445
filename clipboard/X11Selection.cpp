#include "clipboard/X11Selection.h"

#include "toolkit/core/Exceptions.h"

#include <xcb/xcb.h>

#include <poll.h>

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

} // namespace

struct TX11Selection::TProperty {
    uint32_t Type = 0;
    QByteArray Bytes;
};

TX11Selection::TX11Selection(const char* Display)
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
bool TX11Selection::WaitForEvent(TWanted Wanted, TClock::time_point Deadline)
{
    for (;;) {
        while (xcb_generic_event_t* Event = xcb_poll_for_event(Connection_)) {
            const TReply<xcb_generic_event_t> Held(Event);
            if (Wanted(*Event))
                return true;
        }
        if (xcb_connection_has_error(Connection_))
            return false;
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now()).count();
        if (Left <= 0)
            return false;
        pollfd Socket{xcb_get_file_descriptor(Connection_), POLLIN, 0};
        ::poll(&Socket, 1, int(Left));
    }
}

TX11Selection::TOutcome TX11Selection::Convert(uint32_t Target, TPatience Patience, const char* Selection)
{
    if (!HasOwner(Selection))
        return TOutcome::NoOwner;
    const uint32_t Asked = Atom(Selection);
    const uint32_t Property = Atom(TransferProperty);
    xcb_convert_selection(Connection_, Window_, Asked, Target, Property, XCB_CURRENT_TIME);
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
        TClock::now() + Patience);
    if (!Answered)
        return TOutcome::NoAnswer;
    return Given ? TOutcome::Done : TOutcome::Refused;
}

// Reads and deletes our property; refuses more than Limit bytes.
TX11Selection::TOutcome TX11Selection::ReadProperty(int64_t Limit, TProperty& Property)
{
    const uint32_t Words = uint32_t(std::min<int64_t>(Limit / 4 + 1, UINT32_MAX));
    const TReply<xcb_get_property_reply_t> Reply(xcb_get_property_reply(
        Connection_,
        xcb_get_property(Connection_, 1, Window_, Atom(TransferProperty), XCB_GET_PROPERTY_TYPE_ANY, 0, Words),
        nullptr));
    if (!Reply)
        return TOutcome::Refused;
    const int64_t Length = int64_t(xcb_get_property_value_length(Reply.get()));
    if (Reply->bytes_after > 0 || Length > Limit)
        return TOutcome::TooLarge;
    Property.Type = Reply->type;
    Property.Bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(Reply.get())), qsizetype(Length));
    return TOutcome::Done;
}

TX11Selection::TTargets TX11Selection::Targets(TPatience Patience)
{
    TTargets Result;
    Result.Outcome = Convert(Atom("TARGETS"), Patience);
    if (Result.Outcome != TOutcome::Done)
        return Result;
    TProperty Property;
    // Even a generous owner offers a few hundred types at most.
    constexpr int64_t TargetsLimit = 64 * 1024;
    Result.Outcome = ReadProperty(TargetsLimit, Property);
    if (Result.Outcome != TOutcome::Done || Property.Type != XCB_ATOM_ATOM)
        return Result;
    const qsizetype Count = Property.Bytes.size() / qsizetype(sizeof(uint32_t));
    std::vector<xcb_get_atom_name_cookie_t> Asked(static_cast<size_t>(Count));
    for (qsizetype I = 0; I < Count; ++I) {
        uint32_t Target = 0;
        std::memcpy(&Target, Property.Bytes.constData() + I * 4, 4);
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

TX11Selection::TOutcome TX11Selection::ReadIncrements(TPatience Patience, int64_t Limit, QByteArray& Bytes)
{
    const uint32_t Property = Atom(TransferProperty);
    for (;;) {
        const bool Arrived = WaitForEvent(
            [&](const xcb_generic_event_t& Event) {
                if ((Event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
                    return false;
                const auto& Notify = reinterpret_cast<const xcb_property_notify_event_t&>(Event);
                return Notify.window == Window_ && Notify.atom == Property
                       && Notify.state == XCB_PROPERTY_NEW_VALUE;
            },
            TClock::now() + Patience);
        if (!Arrived)
            return TOutcome::NoAnswer;
        TProperty Piece;
        const TOutcome Outcome = ReadProperty(Limit - Bytes.size(), Piece);
        if (Outcome != TOutcome::Done)
            return Outcome;
        if (Piece.Bytes.isEmpty())
            return TOutcome::Done;
        Bytes.append(Piece.Bytes);
    }
}

TX11Selection::TTransfer TX11Selection::Read(const QByteArray& Target, TPatience Patience, int64_t Limit)
{
    TTransfer Result;
    Result.Outcome = Convert(Atom(Target.toStdString()), Patience);
    if (Result.Outcome != TOutcome::Done)
        return Result;
    TProperty Property;
    Result.Outcome = ReadProperty(Limit, Property);
    if (Result.Outcome != TOutcome::Done)
        return Result;
    if (Property.Type != Atom("INCR")) {
        Result.Bytes = std::move(Property.Bytes);
        return Result;
    }
    // Reading the announcement deleted it, which asks the owner for the
    // first piece. Its value is the least size the owner promises.
    uint32_t Promised = 0;
    if (Property.Bytes.size() >= 4)
        std::memcpy(&Promised, Property.Bytes.constData(), 4);
    if (int64_t(Promised) > Limit) {
        Result.Outcome = TOutcome::TooLarge;
        return Result;
    }
    Result.Bytes.reserve(qsizetype(Promised));
    Result.Outcome = ReadIncrements(Patience, Limit, Result.Bytes);
    return Result;
}

// An empty list of types in our property asks for all of them.
TX11Selection::TOutcome TX11Selection::SaveClipboard(TPatience Patience)
{
    xcb_delete_property(Connection_, Window_, Atom(TransferProperty));
    return Convert(Atom("SAVE_TARGETS"), Patience, "CLIPBOARD_MANAGER");
}

} // namespace nebulo
