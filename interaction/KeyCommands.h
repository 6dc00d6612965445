#pragma once

#include <QString>
#include <Qt>

namespace nebulo {

// What a key of the main window stands for: a button, a view action or a
// step through the picture history.
enum class TKeyCommand { None, Paste, Copy, Blur, MoveTool, ZoomTool, ZoomIn, ZoomOut, ZoomReset, Undo, Redo };

// The command of a key pressed with Modifiers. The keypad counts as the main
// keys, and "+" is taken with or without the Shift that types it.
TKeyCommand KeyCommand(int Key, Qt::KeyboardModifiers Modifiers);
// Whether holding the key down repeats the command: zooming and stepping
// through the history do; a repeated paste, copy or blur would surprise.
bool RepeatsWhenHeld(TKeyCommand Command);
// The key held to see the picture as pasted.
bool IsCompareKey(int Key);

// The key's name as the hints give it: "Ctrl+V".
QString KeyText(TKeyCommand Command);
QString CompareKeyText();

} // namespace nebulo
