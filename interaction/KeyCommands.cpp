#include "interaction/KeyCommands.h"

namespace nebulo {

namespace {

TKeyCommand WithControl(int Key, bool Shift)
{
    switch (Key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: return TKeyCommand::ZoomIn;
    case Qt::Key_Z: return Shift ? TKeyCommand::Redo : TKeyCommand::Undo;
    default: break;
    }
    if (Shift)
        return TKeyCommand::None;
    switch (Key) {
    case Qt::Key_V: return TKeyCommand::Paste;
    case Qt::Key_C: return TKeyCommand::Copy;
    case Qt::Key_B: return TKeyCommand::Blur;
    case Qt::Key_Minus: return TKeyCommand::ZoomOut;
    case Qt::Key_0: return TKeyCommand::ZoomReset;
    case Qt::Key_Y: return TKeyCommand::Redo;
    default: return TKeyCommand::None;
    }
}

} // namespace

TKeyCommand KeyCommand(int Key, Qt::KeyboardModifiers Modifiers)
{
    const Qt::KeyboardModifiers Held = Modifiers & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (Held == Qt::ControlModifier || Held == (Qt::ControlModifier | Qt::ShiftModifier))
        return WithControl(Key, Held.testFlag(Qt::ShiftModifier));
    if (Held != Qt::NoModifier)
        return TKeyCommand::None;
    switch (Key) {
    case Qt::Key_M: return TKeyCommand::MoveTool;
    case Qt::Key_Z: return TKeyCommand::ZoomTool;
    default: return TKeyCommand::None;
    }
}

bool RepeatsWhenHeld(TKeyCommand Command)
{
    switch (Command) {
    case TKeyCommand::ZoomIn:
    case TKeyCommand::ZoomOut:
    case TKeyCommand::Undo:
    case TKeyCommand::Redo: return true;
    default: return false;
    }
}

bool IsCompareKey(int Key)
{
    return Key == Qt::Key_Backslash;
}

QString KeyText(TKeyCommand Command)
{
    switch (Command) {
    case TKeyCommand::Paste: return QStringLiteral("Ctrl+V");
    case TKeyCommand::Copy: return QStringLiteral("Ctrl+C");
    case TKeyCommand::Blur: return QStringLiteral("Ctrl+B");
    case TKeyCommand::MoveTool: return QStringLiteral("M");
    case TKeyCommand::ZoomTool: return QStringLiteral("Z");
    case TKeyCommand::ZoomIn: return QStringLiteral("Ctrl+plus");
    case TKeyCommand::ZoomOut: return QStringLiteral("Ctrl+minus");
    case TKeyCommand::ZoomReset: return QStringLiteral("Ctrl+0");
    case TKeyCommand::Undo: return QStringLiteral("Ctrl+Z");
    case TKeyCommand::Redo: return QStringLiteral("Ctrl+Shift+Z or Ctrl+Y");
    case TKeyCommand::None: break;
    }
    return {};
}

QString CompareKeyText()
{
    return QStringLiteral("\\");
}

} // namespace nebulo
