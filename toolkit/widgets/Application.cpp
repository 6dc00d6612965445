#include "toolkit/widgets/Application.h"

#include "toolkit/core/Exceptions.h"
#include "toolkit/widgets/Form.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QMessageBox>

#include <iostream>

namespace nebulo {

namespace {

const QEvent::Type QueuedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class TQueuedMessage : public QEvent {
public:
    explicit TQueuedMessage(const TMsg& Msg) : QEvent(QueuedMessageEvent), Msg(Msg) {}
    TMsg Msg;
};

void ShowErrorBox(const QString& Message)
{
    std::cerr << "nebulo: " << Message.toStdString() << '\n';
    QMessageBox Box(QMessageBox::Critical, "Nebulo", Message, QMessageBox::Ok);
    Box.exec();
}

} // namespace

TApplication::TApplication(QObject* Parent) : QObject(Parent), ErrorReport_(ShowErrorBox) {}

TApplication& Application()
{
    static TApplication* Instance = [] {
        auto* Created = new TApplication(QCoreApplication::instance());
        return Created;
    }();
    return *Instance;
}

void TApplication::Adopt(TForm* Form)
{
    if (MainForm_ == nullptr) {
        MainForm_ = Form;
        Form->setAttribute(Qt::WA_QuitOnClose, true);
    }
}

int TApplication::Run()
{
    if (MainForm_ == nullptr)
        return 0;
    MainForm_->show();
    return QApplication::exec();
}

void TApplication::PostMessage(const TMsg& Msg)
{
    TMsg Stamped = Msg;
    if (Stamped.Time == 0)
        Stamped.Time = uint32_t(QDateTime::currentMSecsSinceEpoch());
    QCoreApplication::postEvent(this, new TQueuedMessage(Stamped));
}

bool TApplication::event(QEvent* Event)
{
    if (Event->type() != QueuedMessageEvent)
        return QObject::event(Event);
    ProcessMessage(static_cast<TQueuedMessage*>(Event)->Msg);
    return true;
}

void TApplication::ProcessMessage(TMsg Msg)
{
    bool Handled = false;
    if (OnMessage)
        Guard([&] { OnMessage(Msg, Handled); });
    if (!Handled)
        Guard([&] { DispatchMessage(Msg); });
}

void TApplication::DispatchMessage(const TMsg& Msg)
{
    auto* Form = qobject_cast<TForm*>(Msg.Window);
    if (Form != nullptr && Msg.Message == WM_SYSCOMMAND)
        Form->SystemCommand(Msg.WParam);
}

void TApplication::Guard(const std::function<void()>& Action)
{
    try {
        OutOfMemoryAsFailure(Action);
    } catch (const std::exception& Error) {
        ShowException(Error);
    }
}

bool TGuardedApplication::notify(QObject* Receiver, QEvent* Event)
{
    try {
        return OutOfMemoryAsFailure([&] { return QApplication::notify(Receiver, Event); });
    } catch (const std::exception& Error) {
        Application().ShowException(Error);
        return true;
    }
}

void TApplication::ShowException(const std::exception& Error)
{
    ErrorReport_(QString::fromUtf8(Error.what()));
}

} // namespace nebulo
