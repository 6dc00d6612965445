#include "tests/view/ViewHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace nebulo::test {
namespace {

using test::PrintTo;

const TRect WholeView{0, 0, 246, 184};

struct ZoomPress {
    Qt::MouseButton Button;
    Qt::KeyboardModifiers Keys;
    uint16_t Zoom;
    TRect Source;
    TRect Dest;
};

struct ZoomSequence {
    const char* Name;
    int Width;
    int Height;
    TRect Assigned; // both rectangles after AssignFrom
    std::vector<ZoomPress> Presses;
};

class ZoomSequenceTest : public ViewHarness, public ::testing::WithParamInterface<ZoomSequence> {};

TEST_P(ZoomSequenceTest, EachPressGivesItsZoomAndRectangles)
{
    const ZoomSequence& Row = GetParam();
    Assign(Row.Width, Row.Height);
    EXPECT_EQ(View->ZoomFactor(), 256);
    EXPECT_EQ(View->SourceRect(), Row.Assigned);
    EXPECT_EQ(View->DestRect(), Row.Assigned);
    for (size_t I = 0; I < Row.Presses.size(); ++I) {
        const ZoomPress& Step = Row.Presses[I];
        Click(Step.Button, Step.Keys);
        EXPECT_EQ(View->ZoomFactor(), Step.Zoom) << "after press " << I + 1;
        EXPECT_EQ(View->SourceRect(), Step.Source) << "after press " << I + 1;
        EXPECT_EQ(View->DestRect(), Step.Dest) << "after press " << I + 1;
    }
}

constexpr auto L = Qt::LeftButton;
constexpr auto R = Qt::RightButton;
constexpr auto M = Qt::MiddleButton;
constexpr Qt::KeyboardModifiers NoKeys{};
constexpr Qt::KeyboardModifiers ShiftKey{Qt::ShiftModifier};

INSTANTIATE_TEST_SUITE_P(
    ZoomTool, ZoomSequenceTest,
    ::testing::Values(
        ZoomSequence{"InTo3200PercentAndBack", 400, 300, WholeView,
                     {{L, NoKeys, 512, {0, 0, 123, 92}, WholeView},
                      {L, NoKeys, 1024, {0, 0, 61, 46}, WholeView},
                      {L, NoKeys, 2048, {0, 0, 30, 23}, WholeView},
                      {L, NoKeys, 4096, {0, 0, 15, 11}, WholeView},
                      {L, NoKeys, 8192, {0, 0, 7, 5}, WholeView},
                      {L, NoKeys, 8192, {0, 0, 7, 5}, WholeView},
                      {L, ShiftKey, 256, WholeView, WholeView}}},
        ZoomSequence{"OutTo3Percent", 400, 300, WholeView,
                     {{R, NoKeys, 128, {0, 0, 400, 300}, {0, 0, 200, 150}},
                      {R, NoKeys, 64, {0, 0, 400, 300}, {0, 0, 100, 75}},
                      {R, NoKeys, 32, {0, 0, 400, 300}, {0, 0, 50, 37}},
                      {R, NoKeys, 16, {0, 0, 400, 300}, {0, 0, 25, 18}},
                      {R, NoKeys, 8, {0, 0, 400, 300}, {0, 0, 12, 9}},
                      {R, NoKeys, 8, {0, 0, 400, 300}, {0, 0, 12, 9}}}},
        ZoomSequence{"SmallPictureGrowsToFill", 100, 60, {0, 0, 100, 60},
                     {{L, NoKeys, 512, {0, 0, 100, 60}, {0, 0, 200, 120}},
                      {L, NoKeys, 1024, {0, 0, 61, 46}, WholeView},
                      {L, NoKeys, 2048, {0, 0, 30, 23}, WholeView},
                      {R, NoKeys, 1024, {0, 0, 61, 46}, WholeView}}},
        ZoomSequence{"MiddleAndShiftRight", 400, 300, WholeView,
                     {{L, NoKeys, 512, {0, 0, 123, 92}, WholeView},
                      {M, NoKeys, 512, {0, 0, 123, 92}, WholeView},
                      {M, ShiftKey, 512, {0, 0, 123, 92}, WholeView},
                      {R, ShiftKey, 256, WholeView, WholeView}}},
        // At 50 % the odd picture is scaled to exactly the view's 246 × 184:
        // the view counts as filled, so the source is what fills it.
        ZoomSequence{"HalfSizeExactlyAsLargeAsTheView", 493, 369, WholeView,
                     {{R, NoKeys, 128, {0, 0, 492, 368}, WholeView}}}),
    RowName());

// From the 400 × 300 picture at 200 % with SourceRect (100, 100, 223, 192),
// reached by a drag with the move tool.
struct OffsetZoomRow {
    const char* Name;
    Qt::MouseButton Button;
    uint16_t Zoom;
    TRect Source;
};

class OffsetZoomTest : public ViewHarness, public ::testing::WithParamInterface<OffsetZoomRow> {};

TEST_P(OffsetZoomTest, MovesTheSourceByAQuarterOfItsNewExtent)
{
    MoveToolAt200Percent();
    Press(Qt::LeftButton, {220, 180});
    Move({20, -20});
    Release(Qt::LeftButton, {20, -20});
    ASSERT_EQ(View->SourceRect(), (TRect{100, 100, 223, 192}));
    View->SetSelectedTool(TTool::Zoom);
    Click(GetParam().Button);
    EXPECT_EQ(View->ZoomFactor(), GetParam().Zoom);
    EXPECT_EQ(View->SourceRect(), GetParam().Source);
    EXPECT_EQ(View->DestRect(), WholeView);
}

INSTANTIATE_TEST_SUITE_P(ZoomTool, OffsetZoomTest,
                         ::testing::Values(OffsetZoomRow{"InTowardTopLeft", L, 1024, {85, 89, 146, 135}},
                                           OffsetZoomRow{"OutAroundTheCentre", R, 256, {39, 54, 285, 238}}),
                         RowName());

class ViewMouseTest : public ViewHarness {};

// Both presses of a double click zoom.
TEST_F(ViewMouseTest, DoubleClickZoomsTwice)
{
    Assign(400, 300);
    QTest::mouseDClick(Window.windowHandle(), Qt::LeftButton, {}, InWindow({10, 10}));
    EXPECT_EQ(View->ZoomFactor(), 1024);
}

TEST_F(ViewMouseTest, SlowDragAddsUpAndLeftOverIsDropped)
{
    MoveToolAt200Percent();
    Press(Qt::LeftButton, {100, 100});
    EXPECT_TRUE(View->Dragging());
    EXPECT_EQ(View->SourceRect(), (TRect{0, 0, 123, 92})) << "a press alone moves nothing";
    const struct {
        QPoint To;
        TRect Source;
        int32_t DragX, DragY;
    } Steps[] = {{{90, 95}, {5, 2, 128, 94}, 90, 95},
                 {{89, 95}, {5, 2, 128, 94}, 90, 95},
                 {{88, 95}, {6, 2, 129, 94}, 88, 95}};
    for (const auto& Step : Steps) {
        Move(Step.To);
        EXPECT_EQ(View->SourceRect(), Step.Source) << "after the move to " << Step.To.x() << ", " << Step.To.y();
        EXPECT_EQ(View->DragX(), Step.DragX) << "after the move to " << Step.To.x();
        EXPECT_EQ(View->DragY(), Step.DragY) << "after the move to " << Step.To.x();
        EXPECT_EQ(View->DestRect(), WholeView);
    }
    Release(Qt::LeftButton, {88, 95});
    EXPECT_FALSE(View->Dragging());
}

TEST_F(ViewMouseTest, DragReachesBothFarCorners)
{
    MoveToolAt200Percent();
    Press(Qt::LeftButton, {240, 180});
    Move({-600, -600});
    EXPECT_EQ(View->SourceRect(), (TRect{277, 208, 400, 300}));
    Move({780, 590});
    EXPECT_EQ(View->SourceRect(), (TRect{0, 0, 123, 92}));
    Release(Qt::LeftButton, {780, 590});
}

// Every button that starts a drag holds the mouse: the moves and the release
// reach the view from outside it.
class DragButtonTest : public ViewHarness, public ::testing::WithParamInterface<Qt::MouseButton> {};

TEST_P(DragButtonTest, PansOutsideTheViewUntilReleased)
{
    MoveToolAt200Percent();
    Press(GetParam(), {100, 100});
    Move({-20, -10});
    EXPECT_EQ(View->SourceRect(), (TRect{60, 55, 183, 147}));
    Release(GetParam(), {-20, -10});
    EXPECT_FALSE(View->Dragging());
    Move({100, 100});
    EXPECT_EQ(View->SourceRect(), (TRect{60, 55, 183, 147})) << "a move after the release panned";
}

INSTANTIATE_TEST_SUITE_P(MoveTool, DragButtonTest,
                         ::testing::Values(Qt::LeftButton, Qt::RightButton, Qt::MiddleButton),
                         [](const auto& Info) {
                             return Info.param == Qt::LeftButton    ? std::string("Left")
                                    : Info.param == Qt::RightButton ? std::string("Right")
                                                                    : std::string("Middle");
                         });

TEST_F(ViewMouseTest, ToolChangeDuringADragDoesNotEndIt)
{
    MoveToolAt200Percent();
    Press(Qt::LeftButton, {100, 100});
    View->SetSelectedTool(TTool::Zoom);
    Move({90, 100});
    EXPECT_EQ(View->SourceRect(), (TRect{5, 0, 128, 92}));
    EXPECT_EQ(View->Cursor(), 6) << "the cursor follows the new tool";
    Release(Qt::LeftButton, {90, 100});
}

TEST_F(ViewMouseTest, NoToolIgnoresTheMouse)
{
    Assign(400, 300);
    View->SetSelectedTool(TTool::Move);
    Move({50, 50});
    View->SetSelectedTool(TTool::None);
    for (const Qt::MouseButton Button : {Qt::LeftButton, Qt::RightButton}) {
        Press(Button, {100, 100});
        Move({10, 10});
        Release(Button, {10, 10});
    }
    EXPECT_EQ(View->ZoomFactor(), 256);
    EXPECT_EQ(View->SourceRect(), WholeView);
    EXPECT_FALSE(View->Dragging());
    EXPECT_EQ(View->Cursor(), 5) << "None keeps the cursor it had";
}

TEST_F(ViewMouseTest, CursorFollowsTheToolAtTheNextMove)
{
    ASSERT_EQ(View->Cursor(), 6);
    View->SetSelectedTool(TTool::Move);
    EXPECT_EQ(View->Cursor(), 6) << "the cursor changed before the pointer moved";
    Move({30, 30});
    EXPECT_EQ(View->Cursor(), 5);
    const QImage Shown = View->cursor().bitmap().toImage();
    EXPECT_EQ(Shown, Screen().Cursors(5).bitmap().toImage()) << "the view does not show the hand";
    View->SetSelectedTool(TTool::Zoom);
    Move({31, 30});
    EXPECT_EQ(View->Cursor(), 6);
}

// A pan step paints at once with ForceRepaint and otherwise only asks for a
// paint, which arrives with the next round of events.
struct RepaintRow {
    const char* Name;
    bool Force;
    int PaintsDuringMove;
};

class PaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        Paints += Event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class PanRepaintTest : public ViewHarness, public ::testing::WithParamInterface<RepaintRow> {};

TEST_P(PanRepaintTest, PaintsAsForceRepaintSays)
{
    Assign(400, 300);
    View->SetSelectedTool(TTool::Move);
    View->SetForceRepaint(GetParam().Force);
    QCoreApplication::processEvents();
    PaintCounter Counter;
    View->installEventFilter(&Counter);
    // Straight to the view, so no round of events runs in between.
    QTest::mousePress(View, Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(View, {100, 100});
    EXPECT_EQ(Counter.Paints, GetParam().PaintsDuringMove);
    QTest::mouseRelease(View, Qt::LeftButton, {}, {100, 100});
    QCoreApplication::processEvents();
    EXPECT_EQ(Counter.Paints, 1) << "the scheduled paint did not come, or came twice";
    View->removeEventFilter(&Counter);
}

INSTANTIATE_TEST_SUITE_P(MoveTool, PanRepaintTest,
                         ::testing::Values(RepaintRow{"Forced", true, 1}, RepaintRow{"Scheduled", false, 0}),
                         RowName());

} // namespace
} // namespace nebulo::test
