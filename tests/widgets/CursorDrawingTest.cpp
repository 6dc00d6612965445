#include "tests/support/Rows.h"
#include "toolkit/widgets/CursorDrawing.h"

#include "toolkit/core/Exceptions.h"

#include <QBitmap>

#include <gtest/gtest.h>

namespace nebulo {
namespace {

using test::PrintTo;

// A transparent drawing with a black pixel at (1, 0) and a white one at (31, 31).
QByteArray Drawing()
{
    QByteArray Text;
    for (int Y = 0; Y < CursorDrawingSize; ++Y) {
        QByteArray Line(CursorDrawingSize, '.');
        if (Y == 0)
            Line[1] = '#';
        if (Y == CursorDrawingSize - 1)
            Line[CursorDrawingSize - 1] = '+';
        Text += Line + '\n';
    }
    return Text;
}

// On a denser screen every drawn pixel is a block of Scale × Scale device
// pixels, and the cursor keeps the drawing's size on the screen.
class CursorScaleTest : public ::testing::TestWithParam<int> {};

TEST_P(CursorScaleTest, BlackWhiteAndTransparentPixels)
{
    const int Scale = GetParam();
    const QCursor Cursor = CursorFromDrawing(Drawing(), Scale);
    EXPECT_EQ(Cursor.hotSpot(), QPoint(0, 0));
    ASSERT_EQ(Cursor.bitmap().size(), QSize(32, 32) * Scale);
    EXPECT_EQ(Cursor.bitmap().devicePixelRatio(), Scale);
    const QImage Image = Cursor.bitmap().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage Mask = Cursor.mask().toImage().convertToFormat(QImage::Format_RGB32);
    // A set bit shows black in a bitmap's image.
    const struct {
        int X, Y;
        bool ImageSet, MaskSet;
    } Pixels[] = {{1, 0, true, true}, {31, 31, false, true}, {0, 0, false, false}, {30, 31, false, false}};
    for (const auto& P : Pixels)
        for (const QPoint Corner : {QPoint(0, 0), QPoint(Scale - 1, Scale - 1)}) {
            const QPoint At = QPoint(P.X, P.Y) * Scale + Corner;
            EXPECT_EQ(Image.pixel(At) == qRgb(0, 0, 0), P.ImageSet) << "image bit at " << At.x() << ", " << At.y();
            EXPECT_EQ(Mask.pixel(At) == qRgb(0, 0, 0), P.MaskSet) << "mask bit at " << At.x() << ", " << At.y();
        }
}

INSTANTIATE_TEST_SUITE_P(Density, CursorScaleTest, ::testing::Values(1, 2, 3),
                         [](const auto& Info) { return "Scale" + std::to_string(Info.param); });

TEST(CursorDrawing, CarriageReturnsBeforeLineEndsAreIgnored)
{
    QByteArray Text = Drawing();
    Text.replace("\n", "\r\n");
    EXPECT_EQ(CursorFromDrawing(Text).bitmap().toImage(), CursorFromDrawing(Drawing()).bitmap().toImage());
}

struct BrokenRow {
    const char* Name;
    QByteArray (*Break)(QByteArray);
};

class BrokenDrawingTest : public ::testing::TestWithParam<BrokenRow> {};

TEST_P(BrokenDrawingTest, IsRejected)
{
    EXPECT_THROW(CursorFromDrawing(GetParam().Break(Drawing())), EInvalidGraphic);
}

INSTANTIATE_TEST_SUITE_P(
    Text, BrokenDrawingTest,
    ::testing::Values(BrokenRow{"LineMissing", [](QByteArray T) { return T.left(T.size() - 33); }},
                      BrokenRow{"LineTooLong", [](QByteArray T) { return T.insert(5, '.'); }},
                      BrokenRow{"LineTooShort", [](QByteArray T) { return T.remove(40, 1); }},
                      BrokenRow{"UnknownCharacter", [](QByteArray T) { return T.replace(7, 1, "x"); }},
                      BrokenRow{"Empty", [](QByteArray) { return QByteArray(); }}),
    test::RowName());

TEST(CursorDrawing, MissingResourceIsAFailure)
{
    EXPECT_THROW(LoadCursorResource("NO_SUCH_CURSOR"), EInvalidGraphic);
}

} // namespace
} // namespace nebulo
