#include "tests/view/ViewHarness.h"

#include "toolkit/core/Canvas.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace nebulo::test {
namespace {

using test::PrintTo;

// A button face no test picture contains, so the uncovered strip is told
// apart from the picture and the view is seen to read the desktop's colour.
const QRgb Face = qRgb(12, 34, 56);

class ViewPaintTest : public ViewHarness {
protected:
    void SetUp() override
    {
        Saved = QApplication::palette();
        QPalette Palette = Saved;
        Palette.setColor(QPalette::Button, QColor(Face));
        QApplication::setPalette(Palette);
        ViewHarness::SetUp();
    }
    void TearDown() override { QApplication::setPalette(Saved); }

    QPalette Saved;

    QImage Shown() const { return View->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // What a pixel inside the destination should be; empty when it is that.
    using TExpectation = std::function<std::string(int X, int Y, QRgb Pixel)>;

    // Checks every pixel of the view: inside Dest with Inside, elsewhere the
    // button face. Reports the first failing pixel.
    ::testing::AssertionResult EveryPixel(const TRect& Dest, const TExpectation& Inside)
    {
        const QImage Image = Shown();
        if (Image.size() != QSize(ViewWidth, ViewHeight))
            return ::testing::AssertionFailure() << "the view is " << Image.width() << " x " << Image.height();
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = 0; X < Image.width(); ++X) {
                const QRgb Pixel = Image.pixel(X, Y) | 0xFF000000u;
                const bool Covered = X >= Dest.Left && X < Dest.Right && Y >= Dest.Top && Y < Dest.Bottom;
                const std::string Expected = Covered ? Inside(X, Y, Pixel)
                                             : Pixel != Face ? "the button face " + Hex(Face)
                                                             : std::string();
                if (!Expected.empty())
                    return ::testing::AssertionFailure()
                           << "view pixel (" << X << ", " << Y << ") " << (Covered ? "inside " : "outside ") << Dest
                           << " is " << Hex(Pixel) << ", expected " << Expected;
            }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(ViewPaintTest, StoredPictureAloneShowsOnlyTheButtonFace)
{
    const auto Stored = MakePicture(100, 100);
    View->SetBitmap(Stored.get());
    EXPECT_TRUE(EveryPixel(TRect{}, [](int, int, QRgb) { return std::string("nothing of the picture"); }));
}

TEST_F(ViewPaintTest, At200PercentEachPicturePixelCoversTwoByTwo)
{
    Assign(100, 60);
    Click(Qt::LeftButton);
    ASSERT_EQ(View->DestRect(), (TRect{0, 0, 200, 120}));
    EXPECT_TRUE(EveryPixel(View->DestRect(), [](int X, int Y, QRgb Pixel) {
        return Pixel == PixelColour(X / 2, Y / 2) ? std::string() : Hex(PixelColour(X / 2, Y / 2));
    }));
}

// After a pan the shown part starts inside the picture.
TEST_F(ViewPaintTest, PannedPartIsDrawnFromTheViewCorner)
{
    MoveToolAt200Percent();
    Press(Qt::LeftButton, {100, 100});
    Move({90, 95});
    Release(Qt::LeftButton, {90, 95});
    ASSERT_EQ(View->SourceRect(), (TRect{5, 2, 128, 94}));
    EXPECT_TRUE(EveryPixel(View->DestRect(), [](int X, int Y, QRgb Pixel) {
        const QRgb Picture = PixelColour(5 + X / 2, 2 + Y / 2);
        return Pixel == Picture ? std::string() : Hex(Picture);
    }));
}

// Shrunk without smoothing, a black and white checkerboard stays black and
// white: no pixel of the view is a mix.
struct ShrinkRow {
    const char* Name;
    int RightPresses;
    TRect Dest;
};

class ShrinkPaintTest : public ViewPaintTest, public ::testing::WithParamInterface<ShrinkRow> {};

TEST_P(ShrinkPaintTest, KeepsPicturePixelsUnmixed)
{
    QImage Board(400, 300, QImage::Format_RGB32);
    for (int Y = 0; Y < Board.height(); ++Y)
        for (int X = 0; X < Board.width(); ++X)
            Board.setPixel(X, Y, (X + Y) % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    TBitmap Picture;
    Picture.SetImage(Board, TPixelFormat::pf24bit);
    View->AssignFrom(&Picture);
    for (int I = 0; I < GetParam().RightPresses; ++I)
        Click(Qt::RightButton);
    ASSERT_EQ(View->DestRect(), GetParam().Dest);
    EXPECT_TRUE(EveryPixel(GetParam().Dest, [](int, int, QRgb Pixel) {
        return Pixel == qRgb(0, 0, 0) || Pixel == qRgb(255, 255, 255) ? std::string() : "black or white";
    }));
}

INSTANTIATE_TEST_SUITE_P(ZoomOut, ShrinkPaintTest,
                         ::testing::Values(ShrinkRow{"HalfSize", 1, {0, 0, 200, 150}},
                                           ShrinkRow{"SmallestZoom", 5, {0, 0, 12, 9}}),
                         RowName());

} // namespace
} // namespace nebulo::test
