#include "clipboard/ForeignDrops.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace nebulo {

namespace {

xcb_connection_t* QtConnection()
{
    const auto* X11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return X11 != nullptr ? X11->connection() : nullptr;
}

uint32_t Atom(xcb_connection_t* Connection, const char* Name)
{
    xcb_intern_atom_reply_t* Reply = xcb_intern_atom_reply(
        Connection, xcb_intern_atom(Connection, 0, uint16_t(std::strlen(Name)), Name), nullptr);
    const uint32_t Value = Reply != nullptr ? Reply->atom : uint32_t(XCB_ATOM_NONE);
    std::free(Reply);
    return Value;
}

void Send(xcb_connection_t* Connection, uint32_t To, uint32_t Type, std::initializer_list<uint32_t> Data)
{
    xcb_client_message_event_t Message{};
    Message.response_type = XCB_CLIENT_MESSAGE;
    Message.format = 32;
    Message.window = To;
    Message.type = Type;
    std::copy(Data.begin(), Data.end(), Message.data.data32);
    xcb_send_event(Connection, 0, To, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&Message));
    xcb_flush(Connection);
}

} // namespace

TForeignDrops::TForeignDrops(QObject& Parent, std::function<uintptr_t()> Window)
    : QObject(&Parent), Window_(std::move(Window))
{
    xcb_connection_t* Connection = QtConnection();
    if (Connection == nullptr)
        return;
    Drop_ = Atom(Connection, "XdndDrop");
    Leave_ = Atom(Connection, "XdndLeave");
    Finished_ = Atom(Connection, "XdndFinished");
    Copy_ = Atom(Connection, "XdndActionCopy");
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TForeignDrops::~TForeignDrops()
{
    if (Drop_ != 0)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TForeignDrops::nativeEventFilter(const QByteArray& Type, void* Message, qintptr*)
{
    if (Type != "xcb_generic_event_t" || Types_.isEmpty()
        || (static_cast<xcb_generic_event_t*>(Message)->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* Client = static_cast<xcb_client_message_event_t*>(Message);
    if (Client->type != Drop_ || Client->format != 32 || Client->window != Window_())
        return false;
    const uint32_t Source = Client->data.data32[0];
    // Qt still sees the drag over the window.
    Send(QtConnection(), uint32_t(Window_()), Leave_, {Source});
    emit Dropped(Source, Client->data.data32[2], std::exchange(Types_, {}));
    return true;
}

void TForeignDrops::Finish(uint32_t Source)
{
    if (xcb_connection_t* Connection = QtConnection())
        Send(Connection, Source, Finished_, {uint32_t(Window_()), 1, Copy_});
}

} // namespace nebulo
