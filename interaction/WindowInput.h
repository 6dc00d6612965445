#pragma once

// What the window adds to its commands: the picture document with its
// history, keys, wheel turns, drops, the compare hold and the hints; no X
// client.

#include "interaction/KeyCommands.h"
#include "interaction/WheelSteps.h"

#include <QObject>
#include <QStringList>

class QDropEvent;
class QKeyEvent;
class QMimeData;

namespace nebulo {

// Nebulo's own input on the main window, watched before the window and its
// view see it: the command keys, drops, Ctrl+wheel over the view, and the
// Backslash key or the middle button held to compare with the original.
// It only reports; the window decides. The view still receives its mouse.
class TWindowInput : public QObject {
    Q_OBJECT
public:
    // Watches Window (its keys, which come from any control that leaves them,
    // and its drops) and View (the wheel and the middle button).
    TWindowInput(QObject* Window, QObject* View);

    bool Comparing() const { return CompareKeyHeld_ || CompareButtonHeld_; }

signals:
    void Command(nebulo::TKeyCommand Command);
    // The compare key or button went down, or the last of them came up.
    void CompareChanged(bool Comparing);
    // Data is valid during the call only.
    void Dropped(const QMimeData* Data);
    // The window takes the drag over it, which offers Types; none when it
    // takes none, or the drag left.
    void DragTaken(const QStringList& Types);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool WindowEvent(QEvent* Event);
    bool ViewEvent(QEvent* Event);
    bool KeyEvent(QKeyEvent* Event);
    void SetHeld(bool& Held, bool Value);

    QObject* Window_;
    QObject* View_;
    TWheelSteps Wheel_;
    bool CompareKeyHeld_ = false;
    bool CompareButtonHeld_ = false;
};

} // namespace nebulo
