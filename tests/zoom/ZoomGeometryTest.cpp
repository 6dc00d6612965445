#include "view/ZoomGeometry.h"

#include "tests/support/Rows.h"

#include <gtest/gtest.h>

#include <limits>

namespace nebulo {
namespace {

using test::PrintTo;
using test::RowName;

struct ScaleRow {
    const char* Name;
    int32_t Value;
    uint16_t Zoom;
    int32_t Scaled;
    int32_t Unscaled;
};

class ScaleTest : public ::testing::TestWithParam<ScaleRow> {};

TEST_P(ScaleTest, TruncatesTowardZero)
{
    const ScaleRow& Row = GetParam();
    EXPECT_EQ(Scaled(Row.Value, Row.Zoom), Row.Scaled) << "scaled(" << Row.Value << ") at " << Row.Zoom;
    EXPECT_EQ(Unscaled(Row.Value, Row.Zoom), Row.Unscaled) << "unscaled(" << Row.Value << ") at " << Row.Zoom;
}

INSTANTIATE_TEST_SUITE_P(
    Zoom, ScaleTest,
    ::testing::Values(ScaleRow{"Unit", 246, 256, 246, 246},
                      ScaleRow{"DoubleSize", 246, 512, 492, 123},
                      ScaleRow{"QuarterPixelDropped", 246, 1024, 984, 61},
                      ScaleRow{"SmallestZoom", 300, 8, 9, 9600},
                      ScaleRow{"LargestZoom", 184, 8192, 5888, 5},
                      // 300000 × 8192 does not fit 32 bits; the size must not wrap.
                      ScaleRow{"HugePictureDoesNotWrap", 300000, 8192, 9600000, 9375},
                      ScaleRow{"LargestValueHeld", std::numeric_limits<int32_t>::max(), 8192,
                               std::numeric_limits<int32_t>::max(), 67108863}),
    RowName());

// The 400 × 300 picture at 200 % in a 246 × 184 view: the source moves one
// picture pixel per two view pixels.
struct PanRow {
    const char* Name;
    TRect Source;
    TPoint Anchor;
    TPoint Pointer;
    TRect MovedSource;
    TPoint MovedAnchor;
};

class PanTest : public ::testing::TestWithParam<PanRow> {};

TEST_P(PanTest, MovesTheSourceByWholePicturePixels)
{
    const PanRow& Row = GetParam();
    TZoomGeometry Geometry;
    Geometry.ShowFromTopLeft({400, 300}, {246, 184});
    ASSERT_TRUE(Geometry.Zoom(TMouseButton::mbLeft, false, {400, 300}, {246, 184}));
    Geometry.SetSourceRect(Row.Source);
    TPoint Anchor = Row.Anchor;
    Geometry.Pan(Anchor, Row.Pointer, {400, 300});
    EXPECT_EQ(Geometry.SourceRect(), Row.MovedSource);
    EXPECT_EQ(Anchor.X, Row.MovedAnchor.X);
    EXPECT_EQ(Anchor.Y, Row.MovedAnchor.Y);
    EXPECT_EQ(Geometry.DestRect(), (TRect{0, 0, 246, 184})) << "a pan never moves the destination";
}

INSTANTIATE_TEST_SUITE_P(
    Drag, PanTest,
    ::testing::Values(
        // -5 / 2 = -2.5 moves two pixels back, not three.
        PanRow{"NegativeShiftTruncatesTowardZero", {100, 100, 223, 192}, {100, 100}, {105, 100},
               {98, 100, 221, 192}, {105, 100}},
        PanRow{"HalfPixelKeepsAnchor", {100, 100, 223, 192}, {100, 100}, {101, 99},
               {100, 100, 223, 192}, {100, 100}},
        PanRow{"EachAxisMovesItsOwnAnchor", {100, 100, 223, 192}, {100, 100}, {96, 101},
               {102, 100, 225, 192}, {96, 100}},
        PanRow{"HugeJumpStopsAtPictureEnd", {0, 0, 123, 92}, {std::numeric_limits<int32_t>::max(), 0},
               {std::numeric_limits<int32_t>::min(), 0}, {277, 0, 400, 92},
               {std::numeric_limits<int32_t>::min(), 0}}),
    RowName());

// An earlier picture coming back, smaller or larger, in a 246 × 184 view.
struct ReframeRow {
    const char* Name;
    TExtent Picture;
    int ZoomIns;
    TRect Source; // where the source was panned to
    TExtent Back;
    TRect MovedSource;
    TRect MovedDest;
};

class ReframeTest : public ::testing::TestWithParam<ReframeRow> {};

TEST_P(ReframeTest, KeepsTheZoomAndTheSourceInsideThePicture)
{
    const ReframeRow& Row = GetParam();
    TZoomGeometry Geometry;
    Geometry.ShowFromTopLeft(Row.Picture, {246, 184});
    for (int Step = 0; Step < Row.ZoomIns; ++Step)
        Geometry.Zoom(TMouseButton::mbLeft, false, Row.Picture, {246, 184});
    Geometry.SetSourceRect(Row.Source);
    const uint16_t Zoom = Geometry.ZoomFactor();
    Geometry.Reframe(Row.Back, {246, 184});
    EXPECT_EQ(Geometry.SourceRect(), Row.MovedSource);
    EXPECT_EQ(Geometry.DestRect(), Row.MovedDest);
    EXPECT_EQ(Geometry.ZoomFactor(), Zoom);
}

INSTANTIATE_TEST_SUITE_P(
    EarlierPicture, ReframeTest,
    ::testing::Values(
        ReframeRow{"ShownWholeAndShrunk", {106, 86}, 0, {0, 0, 106, 86}, {100, 80}, {0, 0, 100, 80}, {0, 0, 100, 80}},
        ReframeRow{"PannedPastTheNewEdge", {422, 322}, 0, {176, 138, 422, 322}, {400, 300}, {154, 116, 400, 300},
                   {0, 0, 246, 184}},
        ReframeRow{"PannedAndNowSmallerThanTheView", {300, 200}, 0, {54, 16, 300, 200}, {240, 180},
                   {0, 0, 240, 180}, {0, 0, 240, 180}},
        ReframeRow{"GrownAsRefitGrowsIt", {200, 100}, 0, {0, 0, 200, 100}, {222, 122}, {0, 0, 222, 122},
                   {0, 0, 222, 122}},
        ReframeRow{"GrownToExactlyTheViewsWidth", {200, 100}, 0, {0, 0, 200, 100}, {246, 122}, {0, 0, 200, 122},
                   {0, 0, 200, 122}},
        ReframeRow{"ZoomedInAtTheFarCorner", {400, 300}, 1, {277, 208, 400, 300}, {380, 280}, {257, 188, 380, 280},
                   {0, 0, 246, 184}}),
    RowName());

// Before any assignment the destination has no width, so there is no scale.
TEST(PanWithoutScale, LeavesSourceAndAnchorAlone)
{
    TZoomGeometry Geometry;
    Geometry.SetSourceRect({0, 0, 100, 100});
    TPoint Anchor{50, 50};
    Geometry.Pan(Anchor, {0, 0}, {100, 100});
    EXPECT_EQ(Geometry.SourceRect(), (TRect{0, 0, 100, 100}));
    EXPECT_EQ(Anchor, (TPoint{50, 50}));
}

} // namespace
} // namespace nebulo
