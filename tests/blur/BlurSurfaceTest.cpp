#include "blur/Blur.h"
#include "dib/SDIB.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/Rows.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace nebulo {
namespace {

using test::PrintTo;
using TGrey = std::vector<std::vector<int>>; // rows from the top

// A 24-bit surface whose pixel (x, y), 0-based from the top left, has Grey in
// all three channels.
std::unique_ptr<TSDIB> GreySurface(const TGrey& Grey)
{
    const int32_t Height = int32_t(Grey.size());
    const int32_t Width = int32_t(Grey[0].size());
    auto Surface = std::make_unique<TSDIB>();
    const auto File = test::MakeBmpFile(
        test::Make24BitPlan(Width, Height, [&](int X, int Y) { return uint32_t(Grey[Y][X]) * 0x010101u; }));
    auto Stream = test::StreamOf(File);
    Surface->LoadFromStream(*Stream);
    return Surface;
}

TGrey ReadGrey(TSDIB& Surface)
{
    TGrey Grey(size_t(Surface.Height()), std::vector<int>(size_t(Surface.Width()), 0));
    for (int32_t Y = 1; Y <= Surface.Height(); ++Y)
        for (int32_t X = 1; X <= Surface.Width(); ++X) {
            const uint32_t V = Surface.ReadPixel({X, Y});
            EXPECT_TRUE((V & 0xFF) == ((V >> 8) & 0xFF) && (V & 0xFF) == ((V >> 16) & 0xFF))
                << "channels differ at (" << X << ", " << Y << ")";
            Grey[size_t(Y - 1)][size_t(X - 1)] = int(V & 0xFF);
        }
    return Grey;
}

// The file a surface holds after a blur at Amount of File.
test::TBytes BlurredFile(const test::TBytes& File, double Amount)
{
    TSDIB Surface;
    Surface.LoadFromStream(*test::StreamOf(File));
    BlurSurface(Surface, Amount);
    return test::BytesOf(Surface.DIBFile());
}

TGrey Blurred(const TGrey& Grey, double Amount)
{
    auto Surface = GreySurface(Grey);
    BlurSurface(*Surface, Amount);
    return ReadGrey(*Surface);
}

struct TLineCase {
    const char* Name;
    TGrey Picture;
    double Amount;
    TGrey Expected;
};

class SmallPicture : public ::testing::TestWithParam<TLineCase> {};

TEST_P(SmallPicture, BlursToItsWorkedValues)
{
    EXPECT_EQ(Blurred(GetParam().Picture, GetParam().Amount), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Worked, SmallPicture,
    ::testing::Values(
        TLineCase{"RowWrapsAtTheRightEdge", {{255, 0, 0, 0, 0}}, 2.0, {{201, 26, 0, 0, 26}}},
        TLineCase{"RowCentred", {{0, 0, 255, 0, 0}}, 2.0, {{0, 26, 201, 26, 0}}},
        TLineCase{"ShortRowWrapsManyTimes", {{255, 0, 0}}, 20.0, {{85, 84, 84}}},
        TLineCase{"ShortRowNarrowKernel", {{255, 0, 0}}, 2.0, {{201, 26, 26}}},
        TLineCase{"ShortColumnWrapsManyTimes", {{255}, {0}, {0}}, 20.0, {{85}, {84}, {84}}},
        TLineCase{"ShortColumnNarrowKernel", {{255}, {0}, {0}}, 2.0, {{201}, {26}, {26}}},
        TLineCase{"SinglePixel", {{77}}, 20.0, {{77}}},
        TLineCase{"HorizontalPassTruncatesFirst",
                  {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 255, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
                  2.0,
                  {{0, 0, 0, 0, 0}, {0, 2, 21, 2, 0}, {0, 20, 158, 20, 0}, {0, 2, 21, 2, 0}, {0, 0, 0, 0, 0}}}),
    test::RowName());

TGrey Noise(int Width, int Height)
{
    TGrey Grey(size_t(Height), std::vector<int>(size_t(Width), 0));
    uint32_t State = 12345;
    for (auto& Row : Grey)
        for (int& V : Row) {
            State = State * 1103515245u + 12345u;
            V = int(State >> 24);
        }
    return Grey;
}

TEST(BlurSurface, SmallAmountsLeaveEveryPixel)
{
    const TGrey Picture = Noise(7, 5);
    for (double Amount : {0.1, 0.7, 1.2})
        EXPECT_EQ(Blurred(Picture, Amount), Picture) << "amount " << Amount;
}

TEST(BlurSurface, UniformPicturesStayUniform)
{
    const TGrey Flat(6, std::vector<int>(9, 173));
    for (double Amount : {1.3, 5.0, 20.0})
        EXPECT_EQ(Blurred(Flat, Amount), Flat) << "amount " << Amount;
}

TEST(BlurSurface, TreatsTheThreeChannelsAlikeAndSeparately)
{
    auto Surface = std::make_unique<TSDIB>();
    const auto File = test::MakeBmpFile(test::Make24BitPlan(5, 1, [](int X, int) {
        return X == 0 ? 0x00FF0000u : X == 2 ? 0x0000FF00u : X == 4 ? 0x000000FFu : 0u;
    }));
    auto Stream = test::StreamOf(File);
    Surface->LoadFromStream(*Stream);
    BlurSurface(*Surface, 2.0);
    // Red 255 at column 1, green at 3, blue at 5: 201 in place, 26 beside.
    EXPECT_EQ(Surface->ReadPixel({1, 1}), 0xC9001Au);
    EXPECT_EQ(Surface->ReadPixel({2, 1}), 0x1A1A00u);
    EXPECT_EQ(Surface->ReadPixel({3, 1}), 0x00C900u);
    EXPECT_EQ(Surface->ReadPixel({5, 1}), 0x1A00C9u);
}

TEST(BlurSurface, NeverTouchesPaddingBytes)
{
    auto Surface = GreySurface(Noise(3, 4)); // 9 bytes of pixels, 3 of padding a row
    TMemoryStream& File = Surface->DIBFile();
    for (int Row = 0; Row < 4; ++Row)
        for (int I = 9; I < 12; ++I)
            File.Memory()[54 + Row * 12 + I] = 0xAB;
    BlurSurface(*Surface, 20.0);
    for (int Row = 0; Row < 4; ++Row)
        for (int I = 9; I < 12; ++I)
            EXPECT_EQ(File.Memory()[54 + Row * 12 + I], 0xAB) << "row " << Row << " byte " << I;
}

TEST(BlurSurface, TopDownAndEmptySurfacesAreLeftAlone)
{
    test::TBmpPlan Plan{2, -2, 24};
    Plan.Rows = test::TBytes(16, 0x40);
    Plan.Rows[0] = 0xFF;
    const auto File = test::MakeBmpFile(Plan);
    EXPECT_EQ(BlurredFile(File, 20.0), File);

    TSDIB Empty;
    BlurSurface(Empty, 20.0);
    EXPECT_EQ(Empty.DIBFile().Size(), 0);
}

TEST(BlurSurface, PalettePicturesKeepTheirIndices)
{
    test::TBmpPlan Plan{5, 2, 8};
    Plan.Palette = std::vector<uint32_t>(256, 0x102030);
    Plan.Rows = {1, 2, 3, 4, 5, 0, 0, 0, 9, 8, 7, 6, 5, 0, 0, 0};
    const auto File = test::MakeBmpFile(Plan);
    EXPECT_EQ(BlurredFile(File, 10.0), File);
}

TEST(BlurSurface, RefusesLinesLongerThanItsBufferBeforeTouchingAPixel)
{
    for (auto [Width, Height] : {std::pair{2026, 1}, std::pair{1, 2026}}) {
        auto Surface = GreySurface(TGrey(size_t(Height), std::vector<int>(size_t(Width), 9)));
        Surface->WritePixel({1, 1}, 0xFFFFFF);
        const auto Before = test::BytesOf(Surface->DIBFile());
        EXPECT_THROW(BlurSurface(*Surface, 5.0), EInvalidArgument) << Width << " x " << Height;
        EXPECT_EQ(test::BytesOf(Surface->DIBFile()), Before);
    }
    auto Longest = GreySurface(TGrey(1, std::vector<int>(2025, 9)));
    EXPECT_NO_THROW(BlurSurface(*Longest, 5.0)) << "2025 pixels fit the line";
}

TEST(BlurSurface, AmountZeroFailsBeforeAnyPixelIsTouched)
{
    auto Surface = GreySurface(Noise(4, 4));
    const auto Before = test::BytesOf(Surface->DIBFile());
    EXPECT_THROW(BlurSurface(*Surface, 0.0), EZeroDivide);
    EXPECT_EQ(test::BytesOf(Surface->DIBFile()), Before);
}

} // namespace
} // namespace nebulo
