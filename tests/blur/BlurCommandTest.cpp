#include "blur/BlurCommand.h"
#include "dib/SDIB.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"
#include "toolkit/core/Bitmap.h"

#include <gtest/gtest.h>

namespace nebulo {
namespace {

using test::PrintTo;

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Ink = 0xFF204060;

std::unique_ptr<TBitmap> Picture(int Width, int Height, QRgb Colour = Ink)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Colour);
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetImage(Image);
    return Bitmap;
}

TEST(BlurGuards, StopTheCommandInTheirOrder)
{
    TBitmap Empty;
    EXPECT_EQ(CheckBlurGuards(Empty, 0, false), TBlurRefusal::EmptyPicture);
    auto Small = Picture(4, 4);
    EXPECT_EQ(CheckBlurGuards(*Small, 0, false), TBlurRefusal::AmountNotPositive);
    EXPECT_EQ(CheckBlurGuards(*Small, -3, true), TBlurRefusal::AmountNotPositive);
    EXPECT_EQ(CheckBlurGuards(*Picture(2024, 2024), 5, false), TBlurRefusal::TooWide);
    EXPECT_EQ(CheckBlurGuards(*Picture(2023, 2024), 5, false), TBlurRefusal::TooHigh);
    EXPECT_EQ(CheckBlurGuards(*Picture(2023, 2023), 5, false), TBlurRefusal::None);
}

TEST(BlurGuards, CountTheBorderIn)
{
    // At position 1 the border adds 2 pixels: 2022 + 2 reaches the limit.
    EXPECT_EQ(CheckBlurGuards(*Picture(2022, 10), 1, true), TBlurRefusal::TooWide);
    EXPECT_EQ(CheckBlurGuards(*Picture(2021, 10), 1, true), TBlurRefusal::None);
    EXPECT_EQ(CheckBlurGuards(*Picture(10, 2002), 200, true), TBlurRefusal::TooHigh); // + 22
    EXPECT_EQ(CheckBlurGuards(*Picture(10, 2001), 200, true), TBlurRefusal::None);
}

TEST(BlurCommand, LeavesThePictureUntouchedWhenAGuardHolds)
{
    auto Wide = Picture(2024, 3);
    TBitmap Before;
    Before.Assign(Wide.get());
    TSDIB Surface;
    EXPECT_EQ(RunBlurCommand(*Wide, Surface, 50, false), TBlurRefusal::TooWide);
    EXPECT_TRUE(Wide->Equals(&Before));
    EXPECT_FALSE(Surface.Valid()) << "the surface was not filled";
}

TEST(BlurCommand, BlursTheLargestPictureThatFits)
{
    auto Largest = Picture(2023, 2023);
    TSDIB Surface;
    ASSERT_EQ(RunBlurCommand(*Largest, Surface, 1, false), TBlurRefusal::None);
    EXPECT_EQ(Largest->Width(), 2023);
    EXPECT_EQ(Largest->Image().pixel(1000, 1000), Ink) << "a uniform picture stays uniform";
}

struct TBorderCase {
    int Position;
    int Width, Height; // of the bordered picture
    int Offset;        // of the picture inside it
    friend void PrintTo(const TBorderCase& Case, std::ostream* Out) { *Out << "position " << Case.Position; }
};

class BorderAtPosition : public ::testing::TestWithParam<TBorderCase> {};

TEST_P(BorderAtPosition, PutsThePictureOnAWhiteMarginOfItsSize)
{
    const TBorderCase& Case = GetParam();
    auto Original = Picture(100, 80);
    TSDIB Surface;
    HandPictureToSurface(*Original, Surface, Case.Position, true);
    ASSERT_EQ(Surface.Width(), Case.Width);
    ASSERT_EQ(Surface.Height(), Case.Height);
    EXPECT_EQ(Surface.BitCount(), 24);
    for (int32_t Y = 1; Y <= Case.Height; ++Y)
        for (int32_t X = 1; X <= Case.Width; ++X) {
            const bool Inside = X > Case.Offset && X <= Case.Offset + 100 && Y > Case.Offset && Y <= Case.Offset + 80;
            ASSERT_EQ(Surface.ReadPixel({X, Y}), (Inside ? Ink : White) & 0xFFFFFF)
                << "pixel (" << X << ", " << Y << ") should be " << (Inside ? "picture" : "border");
        }

    TSDIB Blurring;
    ASSERT_EQ(RunBlurCommand(*Original, Blurring, Case.Position, true), TBlurRefusal::None);
    EXPECT_EQ(Original->Width(), Case.Width);
    EXPECT_EQ(Original->Height(), Case.Height);
}

INSTANTIATE_TEST_SUITE_P(Positions, BorderAtPosition,
                         ::testing::Values(TBorderCase{5, 102, 82, 1}, TBorderCase{15, 103, 83, 1},
                                           TBorderCase{20, 104, 84, 2}, TBorderCase{200, 122, 102, 11}),
                         [](const auto& Info) { return "Position" + std::to_string(Info.param.Position); });

struct TPaletteCase {
    const char* Name;
    TPixelFormat Format;
    bool WithBorder;
};

class PalettePicture : public ::testing::TestWithParam<TPaletteCase> {};

// A palette picture is blurred as the colours it shows, not passed through.
TEST_P(PalettePicture, IsBlurredAsTwentyFourBitColour)
{
    const TPaletteCase& Case = GetParam();
    QImage Stripes(12, 9, QImage::Format_RGB32);
    for (int Y = 0; Y < Stripes.height(); ++Y)
        for (int X = 0; X < Stripes.width(); ++X)
            Stripes.setPixel(X, Y, (X / 3 + Y / 3) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    TBitmap Palette;
    Palette.SetImage(Stripes, Case.Format);
    ASSERT_EQ(Palette.PixelFormat(), Case.Format);
    TBitmap Colour;
    Colour.SetImage(Palette.ToRgb32(), TPixelFormat::pf24bit);

    TSDIB Surface;
    ASSERT_EQ(RunBlurCommand(Palette, Surface, 30, Case.WithBorder), TBlurRefusal::None);
    TSDIB ColourSurface;
    ASSERT_EQ(RunBlurCommand(Colour, ColourSurface, 30, Case.WithBorder), TBlurRefusal::None);
    EXPECT_EQ(Palette.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_TRUE(test::SamePixels(Colour, Palette));
    EXPECT_NE(Palette.ToRgb32().pixel(2, 2), qRgb(0, 0, 0)) << "the stripes' edges are mixed";
}

INSTANTIATE_TEST_SUITE_P(Depths, PalettePicture,
                         ::testing::Values(TPaletteCase{"OneBit", TPixelFormat::pf1bit, false},
                                           TPaletteCase{"FourBits", TPixelFormat::pf4bit, false},
                                           TPaletteCase{"EightBits", TPixelFormat::pf8bit, false},
                                           TPaletteCase{"EightBitsWithBorder", TPixelFormat::pf8bit, true}),
                         test::RowName());

TEST(BlurCommand, AtASmallAmountTheResultIsTheBorderedPictureItself)
{
    auto Original = Picture(3, 2);
    TSDIB Surface;
    ASSERT_EQ(RunBlurCommand(*Original, Surface, 5, true), TBlurRefusal::None);
    const QImage Result = Original->ToRgb32();
    ASSERT_EQ(Result.size(), QSize(5, 4));
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 5; ++X) {
            const bool Inside = X >= 1 && X <= 3 && Y >= 1 && Y <= 2;
            EXPECT_EQ(Result.pixel(X, Y), Inside ? Ink : White) << "pixel (" << X << ", " << Y << ")";
        }
}

TEST(BlurCommand, BlursAccumulateAndEachAddsABorder)
{
    auto Original = Picture(50, 40);
    TSDIB Surface;
    ASSERT_EQ(RunBlurCommand(*Original, Surface, 10, true), TBlurRefusal::None);
    ASSERT_EQ(RunBlurCommand(*Original, Surface, 10, true), TBlurRefusal::None);
    EXPECT_EQ(Original->Width(), 56);
    EXPECT_EQ(Original->Height(), 46);
    EXPECT_EQ(Original->PixelFormat(), TPixelFormat::pf24bit);
}

TEST(BlurCommand, WithoutBorderTheSizeStaysAndTheEdgesWrap)
{
    QImage Image(6, 1, QImage::Format_RGB32);
    Image.fill(qRgb(0, 0, 0));
    Image.setPixel(0, 0, qRgb(255, 255, 255));
    TBitmap Row;
    Row.SetImage(Image);
    TSDIB Surface;
    ASSERT_EQ(RunBlurCommand(Row, Surface, 20, false), TBlurRefusal::None);
    EXPECT_EQ(Row.Width(), 6);
    EXPECT_EQ(qRed(Row.Image().pixel(5, 0)), 26) << "the last pixel takes weight from the first";
    EXPECT_EQ(qRed(Row.Image().pixel(0, 0)), 201);
}

} // namespace
} // namespace nebulo
