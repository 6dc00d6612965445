#include "interaction/PictureHistory.h"

#include "blur/BlurCommand.h"
#include "dib/SDIB.h"
#include "tests/support/Rows.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Stream.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace nebulo {
namespace {

using test::PrintTo;

std::unique_ptr<TBitmap> Pattern(int Width, int Height, int Seed = 0)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Image.setPixel(X, Y, qRgb((X * 7 + Seed) & 255, (Y * 5) & 255, (X ^ Y) & 255));
    auto Picture = std::make_unique<TBitmap>();
    Picture->SetImage(Image, TPixelFormat::pf32bit);
    return Picture;
}

// The picture as the view would write it: its whole BMP file.
std::string FileOf(TBitmap& Picture)
{
    TMemoryStream Stream;
    Picture.SaveToStream(Stream);
    return std::string(reinterpret_cast<const char*>(Stream.Memory()), size_t(Stream.Size()));
}

struct TSessionRow {
    const char* Name;
    bool Border;
};

class BlurSession : public ::testing::TestWithParam<TSessionRow> {};

// Each step comes back as the exact file it was, size and border included.
TEST_P(BlurSession, TakesBackToTheOriginalAndRedoesToTheEnd)
{
    TSDIB Surface;
    const auto Picture = Pattern(60, 40);
    TPictureHistory History;
    History.Start(*Picture);
    std::vector<std::string> Files{FileOf(*Picture)};
    std::vector<QSize> Sizes{QSize(60, 40)};
    for (int Blur = 0; Blur < 3; ++Blur) {
        ASSERT_EQ(RunBlurCommand(*Picture, Surface, 30, GetParam().Border), TBlurRefusal::None);
        History.Add(*Picture);
        Files.push_back(FileOf(*Picture));
        Sizes.push_back(QSize(Picture->Width(), Picture->Height()));
    }
    EXPECT_EQ(Sizes.back(), GetParam().Border ? QSize(75, 55) : QSize(60, 40));
    // The history holds copies: a later change of the shown picture is not one of its steps.
    Picture->Canvas().FillRect({0, 0, 10, 10});

    EXPECT_FALSE(History.CanRedo());
    for (int Step = 2; Step >= 0; --Step) {
        ASSERT_TRUE(History.CanUndo());
        TBitmap& Shown = History.Undo();
        EXPECT_EQ(QSize(Shown.Width(), Shown.Height()), Sizes[size_t(Step)]) << "step " << Step;
        EXPECT_TRUE(FileOf(Shown) == Files[size_t(Step)]) << "step " << Step << " is not the same file";
    }
    EXPECT_FALSE(History.CanUndo()) << "the original is the first step";
    for (size_t Step = 1; Step <= 3; ++Step) {
        ASSERT_TRUE(History.CanRedo());
        EXPECT_TRUE(FileOf(History.Redo()) == Files[Step]) << "redone step " << Step;
    }
    EXPECT_FALSE(History.CanRedo());
}

INSTANTIATE_TEST_SUITE_P(History, BlurSession,
                         ::testing::Values(TSessionRow{"WithoutBorder", false}, TSessionRow{"WithBorder", true}),
                         test::RowName());

TEST(PictureHistory, AnAdditionAfterTakingBackDropsTheStepsAhead)
{
    TPictureHistory History;
    History.Start(*Pattern(10, 10, 0));
    History.Add(*Pattern(10, 10, 1));
    History.Add(*Pattern(10, 10, 2));
    History.Undo();
    History.Undo();
    const auto Other = Pattern(12, 12, 3);
    History.Add(*Other);
    EXPECT_EQ(History.Steps(), 2u);
    EXPECT_FALSE(History.CanRedo());
    EXPECT_TRUE(FileOf(History.Undo()) == FileOf(*Pattern(10, 10, 0)));
    EXPECT_TRUE(FileOf(History.Redo()) == FileOf(*Other));
}

TEST(PictureHistory, AStartForgetsTheFormerSession)
{
    TPictureHistory History;
    History.Start(*Pattern(10, 10, 0));
    History.Add(*Pattern(10, 10, 1));
    History.Start(*Pattern(20, 20, 2));
    EXPECT_EQ(History.Steps(), 1u);
    EXPECT_FALSE(History.CanUndo());
    EXPECT_EQ(History.Original().Width(), 20);
}

// Each 100 × 100 picture at 32 bits holds 40000 bytes.
TEST(PictureHistory, TheCapDropsTheOldestStepsButNeverTheOriginal)
{
    TPictureHistory History(130000);
    const auto Original = Pattern(100, 100, 0);
    History.Start(*Original);
    for (int Seed = 1; Seed <= 4; ++Seed)
        History.Add(*Pattern(100, 100, Seed));
    EXPECT_EQ(History.Steps(), 3u) << "the original and the two newest";
    EXPECT_LE(History.HeldBytes(), 130000u);
    EXPECT_TRUE(FileOf(History.Undo()) == FileOf(*Pattern(100, 100, 3)));
    EXPECT_TRUE(FileOf(History.Undo()) == FileOf(*Original));
    EXPECT_FALSE(History.CanUndo());

    TPictureHistory Tiny(10000);
    Tiny.Start(*Original);
    Tiny.Add(*Pattern(100, 100, 1));
    Tiny.Add(*Pattern(100, 100, 2));
    EXPECT_EQ(Tiny.Steps(), 2u) << "over the cap, the original and the picture shown stay";
    EXPECT_TRUE(FileOf(Tiny.Original()) == FileOf(*Original));
}

} // namespace
} // namespace nebulo
