#include "interaction/WindowInput.h"

#include "interaction/PictureDrop.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cstdlib>

namespace nebulo {

TWindowInput::TWindowInput(QObject* Window, QObject* View) : QObject(Window), Window_(Window), View_(View)
{
    Window_->installEventFilter(this);
    View_->installEventFilter(this);
}

bool TWindowInput::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Window_)
        return WindowEvent(Event);
    if (Watched == View_)
        return ViewEvent(Event);
    return false;
}

bool TWindowInput::WindowEvent(QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return KeyEvent(static_cast<QKeyEvent*>(Event));
    // A key released in another window never comes back here.
    case QEvent::WindowDeactivate: SetHeld(CompareKeyHeld_, false); return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* Drag = static_cast<QDragMoveEvent*>(Event);
        if (Drag->mimeData() == nullptr || !MayHoldPicture(*Drag->mimeData())) {
            emit DragTaken({});
            return false;
        }
        Drag->acceptProposedAction();
        emit DragTaken(Drag->mimeData()->formats());
        return true;
    }
    case QEvent::DragLeave: emit DragTaken({}); return false;
    case QEvent::Drop: {
        auto* Drop = static_cast<QDropEvent*>(Event);
        if (Drop->mimeData() == nullptr)
            return false;
        Drop->acceptProposedAction();
        emit Dropped(Drop->mimeData());
        return true;
    }
    default: return false;
    }
}

bool TWindowInput::KeyEvent(QKeyEvent* Event)
{
    const bool Pressed = Event->type() == QEvent::KeyPress;
    if (IsCompareKey(Event->key())) {
        if (!Event->isAutoRepeat())
            SetHeld(CompareKeyHeld_, Pressed);
        return true;
    }
    const TKeyCommand Command = KeyCommand(Event->key(), Event->modifiers());
    if (Command == TKeyCommand::None)
        return false;
    if (Pressed && (!Event->isAutoRepeat() || RepeatsWhenHeld(Command)))
        emit this->Command(Command);
    return true;
}

// The view gets its mouse as ever: a middle press still starts a drag with
// the move tool.
bool TWindowInput::ViewEvent(QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(Event)->button() == Qt::MiddleButton)
            SetHeld(CompareButtonHeld_, Event->type() != QEvent::MouseButtonRelease);
        return false;
    case QEvent::Wheel: {
        auto* Wheel = static_cast<QWheelEvent*>(Event);
        if (!Wheel->modifiers().testFlag(Qt::ControlModifier))
            return false;
        const int Steps = Wheel_.Add(Wheel->angleDelta().y());
        for (int Step = 0; Step < std::abs(Steps); ++Step)
            emit Command(Steps > 0 ? TKeyCommand::ZoomIn : TKeyCommand::ZoomOut);
        Wheel->accept();
        return true;
    }
    default: return false;
    }
}

void TWindowInput::SetHeld(bool& Held, bool Value)
{
    const bool Before = Comparing();
    Held = Value;
    if (Comparing() != Before)
        emit CompareChanged(Comparing());
}

} // namespace nebulo
