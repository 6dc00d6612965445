#pragma once

#include "toolkit/core/Mouse.h"
#include "toolkit/widgets/Screen.h"

#include <QWidget>

#include <cstdint>

class QPainter;

namespace nebulo {

// A control without a native window of its own that paints every pixel of
// its area itself, so nothing is drawn behind it. Subclasses answer the mouse
// and paint hooks. The moves and the release that follow a press of any button
// reach the control even outside its bounds (Qt's implicit grab), and moves
// without a button reach it too, as the hooks expect every move over it. The
// second press of a double click arrives as a press (QWidget's default).
// Given a focus policy, it shows the keyboard focus over what it paints.
class TGraphicControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(nebulo::TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)

public:
    explicit TGraphicControl(QWidget* Parent = nullptr);

    int32_t Left() const { return x(); }
    void SetLeft(int32_t Value) { move(Value, y()); }
    int32_t Top() const { return y(); }
    void SetTop(int32_t Value) { move(x(), Value); }
    int32_t Width() const { return width(); }
    void SetWidth(int32_t Value) { resize(Value, height()); }
    int32_t Height() const { return height(); }
    void SetHeight(int32_t Value) { resize(width(), Value); }

    // The number of the Screen cursor shown over the control.
    TCursor Cursor() const { return Cursor_; }
    void SetCursor(TCursor Value);

    QString Hint() const { return Hint_; }
    void SetHint(const QString& Value);
    bool ShowHint() const { return ShowHint_; }
    void SetShowHint(bool Value);

    // Paints the control now.
    void Repaint() { repaint(); }
    // Marks the control for painting; several requests merge into one paint.
    void Invalidate() { update(); }

protected:
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    virtual void MouseMove(TShiftState Shift, int32_t X, int32_t Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    // Paints the whole area of the control.
    virtual void Paint(QPainter& Canvas) = 0;

    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;

private:
    void ShowToolTip();

    TCursor Cursor_ = crDefault;
    QString Hint_;
    bool ShowHint_ = false;
};

} // namespace nebulo
