#include "toolkit/widgets/GraphicControl.h"

#include <QMouseEvent>
#include <QPainter>

#include <optional>

namespace nebulo {

namespace {

constexpr int FocusFrameWidth = 2;

TShiftState ShiftOf(const QMouseEvent& Event)
{
    const Qt::KeyboardModifiers Keys = Event.modifiers();
    return TShiftState{Keys.testFlag(Qt::ShiftModifier), Keys.testFlag(Qt::ControlModifier),
                       Keys.testFlag(Qt::AltModifier)};
}

// The other buttons (back, forward …) are no business of the controls.
std::optional<TMouseButton> ButtonOf(const QMouseEvent& Event)
{
    switch (Event.button()) {
    case Qt::LeftButton: return TMouseButton::mbLeft;
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return std::nullopt;
    }
}

} // namespace

TGraphicControl::TGraphicControl(QWidget* Parent) : QWidget(Parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

void TGraphicControl::SetCursor(TCursor Value)
{
    if (Value == Cursor_)
        return;
    Cursor_ = Value;
    if (Value == crDefault)
        unsetCursor();
    else
        setCursor(Screen().Cursors(Value));
}

void TGraphicControl::SetHint(const QString& Value)
{
    Hint_ = Value;
    ShowToolTip();
}

void TGraphicControl::SetShowHint(bool Value)
{
    ShowHint_ = Value;
    ShowToolTip();
}

void TGraphicControl::ShowToolTip()
{
    setToolTip(ShowHint_ ? Hint_ : QString());
}

void TGraphicControl::MouseDown(TMouseButton, TShiftState, int32_t, int32_t) {}
void TGraphicControl::MouseMove(TShiftState, int32_t, int32_t) {}
void TGraphicControl::MouseUp(TMouseButton, TShiftState, int32_t, int32_t) {}

void TGraphicControl::mousePressEvent(QMouseEvent* Event)
{
    if (const auto Button = ButtonOf(*Event)) {
        const QPoint At = Event->position().toPoint();
        MouseDown(*Button, ShiftOf(*Event), At.x(), At.y());
    }
}

void TGraphicControl::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint At = Event->position().toPoint();
    MouseMove(ShiftOf(*Event), At.x(), At.y());
}

void TGraphicControl::mouseReleaseEvent(QMouseEvent* Event)
{
    if (const auto Button = ButtonOf(*Event)) {
        const QPoint At = Event->position().toPoint();
        MouseUp(*Button, ShiftOf(*Event), At.x(), At.y());
    }
}

// With the focus the control shows it as a frame of the highlight colour
// over its edge, but only when the keyboard moved the focus there, as the
// style does for the other controls. The style's own focus rectangle would
// tint the whole picture.
void TGraphicControl::paintEvent(QPaintEvent*)
{
    QPainter Canvas(this);
    Paint(Canvas);
    if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange))
        return;
    Canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    Canvas.setPen(QPen(palette().color(QPalette::Highlight), FocusFrameWidth));
    Canvas.setBrush(Qt::NoBrush);
    const qreal Inset = FocusFrameWidth / 2.0;
    Canvas.drawRect(QRectF(rect()).adjusted(Inset, Inset, -Inset, -Inset));
}

} // namespace nebulo
