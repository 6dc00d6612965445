#include "interaction/KeyCommands.h"

#include <array>

namespace nebulo {

namespace {

constexpr int None = Qt::NoModifier;
constexpr int Ctrl = Qt::ControlModifier;
constexpr int CtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

struct TChord {
    int Key = 0; // 0: no chord
    int Held = None;
};

// Every key command once: its keys, whether it repeats while held (zooming
// and stepping through the history do; a repeated paste, copy or blur would
// surprise), and its keys as the hints name them. "+" counts with or
// without the Shift that types it.
struct TKeyRow {
    TKeyCommand Command;
    std::array<TChord, 4> Chords;
    bool Repeats;
    const char* Text;
};

constexpr TKeyRow KeyTable[] = {
    {TKeyCommand::Paste, {{{Qt::Key_V, Ctrl}}}, false, "Ctrl+V"},
    {TKeyCommand::Copy, {{{Qt::Key_C, Ctrl}}}, false, "Ctrl+C"},
    {TKeyCommand::Blur, {{{Qt::Key_B, Ctrl}}}, false, "Ctrl+B"},
    {TKeyCommand::MoveTool, {{{Qt::Key_M, None}}}, false, "M"},
    {TKeyCommand::ZoomTool, {{{Qt::Key_Z, None}}}, false, "Z"},
    {TKeyCommand::ZoomIn,
     {{{Qt::Key_Plus, Ctrl}, {Qt::Key_Plus, CtrlShift}, {Qt::Key_Equal, Ctrl}, {Qt::Key_Equal, CtrlShift}}},
     true,
     "Ctrl+plus"},
    {TKeyCommand::ZoomOut, {{{Qt::Key_Minus, Ctrl}}}, true, "Ctrl+minus"},
    {TKeyCommand::ZoomReset, {{{Qt::Key_0, Ctrl}}}, false, "Ctrl+0"},
    {TKeyCommand::Undo, {{{Qt::Key_Z, Ctrl}}}, true, "Ctrl+Z"},
    {TKeyCommand::Redo, {{{Qt::Key_Z, CtrlShift}, {Qt::Key_Y, Ctrl}}}, true, "Ctrl+Shift+Z or Ctrl+Y"},
};

const TKeyRow* RowOf(TKeyCommand Command)
{
    for (const TKeyRow& Row : KeyTable)
        if (Row.Command == Command)
            return &Row;
    return nullptr;
}

} // namespace

TKeyCommand KeyCommand(int Key, Qt::KeyboardModifiers Modifiers)
{
    const int Held = int(Modifiers & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier));
    for (const TKeyRow& Row : KeyTable)
        for (const TChord& Chord : Row.Chords)
            if (Chord.Key != 0 && Chord.Key == Key && Chord.Held == Held)
                return Row.Command;
    return TKeyCommand::None;
}

bool RepeatsWhenHeld(TKeyCommand Command)
{
    const TKeyRow* Row = RowOf(Command);
    return Row != nullptr && Row->Repeats;
}

bool IsCompareKey(int Key)
{
    return Key == Qt::Key_Backslash;
}

QString KeyText(TKeyCommand Command)
{
    const TKeyRow* Row = RowOf(Command);
    return Row != nullptr ? QString::fromLatin1(Row->Text) : QString();
}

QString CompareKeyText()
{
    return QStringLiteral("\\");
}

} // namespace nebulo
