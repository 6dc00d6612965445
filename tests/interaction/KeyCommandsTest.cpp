#include "interaction/KeyCommands.h"
#include "interaction/WheelSteps.h"
#include "tests/support/Rows.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace nebulo {
namespace {

using test::PrintTo;

struct TKeyRow {
    const char* Name;
    int Key;
    Qt::KeyboardModifiers Modifiers;
    TKeyCommand Command;
};

class KeyRow : public ::testing::TestWithParam<TKeyRow> {};

TEST_P(KeyRow, StandsForItsCommand)
{
    const TKeyRow& Row = GetParam();
    EXPECT_EQ(int(KeyCommand(Row.Key, Row.Modifiers)), int(Row.Command));
}

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers CtrlShift = Qt::ControlModifier | Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers CtrlKeypad = Qt::ControlModifier | Qt::KeypadModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyRow,
    ::testing::Values(TKeyRow{"CtrlV", Qt::Key_V, Ctrl, TKeyCommand::Paste},
                      TKeyRow{"CtrlC", Qt::Key_C, Ctrl, TKeyCommand::Copy},
                      TKeyRow{"CtrlB", Qt::Key_B, Ctrl, TKeyCommand::Blur},
                      TKeyRow{"M", Qt::Key_M, Qt::NoModifier, TKeyCommand::MoveTool},
                      TKeyRow{"Z", Qt::Key_Z, Qt::NoModifier, TKeyCommand::ZoomTool},
                      TKeyRow{"CtrlPlus", Qt::Key_Plus, Ctrl, TKeyCommand::ZoomIn},
                      TKeyRow{"CtrlShiftPlusAsTyped", Qt::Key_Plus, CtrlShift, TKeyCommand::ZoomIn},
                      TKeyRow{"CtrlEqualsUnshiftedPlus", Qt::Key_Equal, Ctrl, TKeyCommand::ZoomIn},
                      TKeyRow{"CtrlKeypadPlus", Qt::Key_Plus, CtrlKeypad, TKeyCommand::ZoomIn},
                      TKeyRow{"CtrlMinus", Qt::Key_Minus, Ctrl, TKeyCommand::ZoomOut},
                      TKeyRow{"CtrlKeypadMinus", Qt::Key_Minus, CtrlKeypad, TKeyCommand::ZoomOut},
                      TKeyRow{"Ctrl0", Qt::Key_0, Ctrl, TKeyCommand::ZoomReset},
                      TKeyRow{"CtrlKeypad0", Qt::Key_0, CtrlKeypad, TKeyCommand::ZoomReset},
                      TKeyRow{"CtrlZ", Qt::Key_Z, Ctrl, TKeyCommand::Undo},
                      TKeyRow{"CtrlShiftZ", Qt::Key_Z, CtrlShift, TKeyCommand::Redo},
                      TKeyRow{"CtrlY", Qt::Key_Y, Ctrl, TKeyCommand::Redo},
                      TKeyRow{"PlainV", Qt::Key_V, Qt::NoModifier, TKeyCommand::None},
                      TKeyRow{"ShiftM", Qt::Key_M, Qt::ShiftModifier, TKeyCommand::None},
                      TKeyRow{"CtrlM", Qt::Key_M, Ctrl, TKeyCommand::None},
                      TKeyRow{"AltZ", Qt::Key_Z, Qt::AltModifier, TKeyCommand::None},
                      TKeyRow{"CtrlAltV", Qt::Key_V, Qt::ControlModifier | Qt::AltModifier, TKeyCommand::None},
                      TKeyRow{"CtrlShiftV", Qt::Key_V, CtrlShift, TKeyCommand::None},
                      TKeyRow{"CtrlShiftY", Qt::Key_Y, CtrlShift, TKeyCommand::None},
                      TKeyRow{"ShiftF10StaysTheMenus", Qt::Key_F10, Qt::ShiftModifier, TKeyCommand::None},
                      TKeyRow{"SliderKeysStayTheSliders", Qt::Key_Home, Qt::NoModifier, TKeyCommand::None}),
    test::RowName());

struct TWheelRow {
    const char* Name;
    std::vector<int> Deltas;
    std::vector<int> Steps;
};

class WheelRow : public ::testing::TestWithParam<TWheelRow> {};

TEST_P(WheelRow, MakesWholeSteps)
{
    TWheelSteps Wheel;
    std::vector<int> Steps;
    for (int Delta : GetParam().Deltas)
        Steps.push_back(Wheel.Add(Delta));
    EXPECT_EQ(Steps, GetParam().Steps);
}

INSTANTIATE_TEST_SUITE_P(Turns, WheelRow,
                         ::testing::Values(TWheelRow{"NotchAway", {120, 120}, {1, 1}},
                                           TWheelRow{"NotchToward", {-120}, {-1}},
                                           TWheelRow{"FastSpin", {360}, {3}},
                                           TWheelRow{"FineWheelAddsUp", {40, 40, 40, 40}, {0, 0, 1, 0}},
                                           TWheelRow{"TurningBackStartsOver", {100, -20, -100}, {0, 0, -1}},
                                           TWheelRow{"SidewaysIsNoStep", {0}, {0}}),
                         test::RowName());

} // namespace
} // namespace nebulo
