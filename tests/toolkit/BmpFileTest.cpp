#include "tests/support/BmpBytes.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nebulo {
namespace {

using test::PrintTo;
using test::TBytes;
using test::TBmpPlan;

// A small picture with a different colour at every pixel, so that a flipped,
// shifted or mirrored row shows.
QImage Pattern(int Width, int Height, const QList<QRgb>& Colours)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Image.setPixel(X, Y, Colours[(X * 7 + Y * 3) % Colours.size()]);
    return Image;
}

TBytes Saved(TBitmap& Bitmap)
{
    TMemoryStream Stream;
    Bitmap.SaveToStream(Stream);
    return test::BytesOf(Stream);
}

std::unique_ptr<TBitmap> Loaded(const TBytes& File)
{
    auto Bitmap = std::make_unique<TBitmap>();
    auto Stream = test::StreamOf(File);
    Bitmap->LoadFromStream(*Stream);
    return Bitmap;
}

struct TDepthCase {
    const char* Name;
    TPixelFormat Format;
    int StoredBits;
    int TableEntries;
    TPixelFormat FormatAfterLoad;
};

class BitmapDepth : public ::testing::TestWithParam<TDepthCase> {};

TEST_P(BitmapDepth, WritesAnUncompressedFileAndReadsItBack)
{
    const TDepthCase& Case = GetParam();
    const int Width = 13, Height = 5; // odd width: every depth needs row padding
    const QList<QRgb> Colours = Case.TableEntries == 2 ? QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}
                                                       : StandardPalette16();
    TBitmap Bitmap;
    Bitmap.SetImage(Pattern(Width, Height, Colours), Case.Format);
    ASSERT_EQ(Bitmap.PixelFormat(), Case.Format);

    const TBytes File = Saved(Bitmap);
    const int64_t Stride = bmp::RowBytes(Width, Case.StoredBits);
    // Eight-bit pictures keep the palette the conversion chose.
    const int Entries = Case.TableEntries >= 0 ? Case.TableEntries : Bitmap.Image().colorCount();
    const int64_t Offset = 54 + 4 * Entries;
    ASSERT_EQ(int64_t(File.size()), Offset + Stride * Height);
    EXPECT_EQ(bmp::GetU16(File.data()), 0x4D42);
    EXPECT_EQ(bmp::GetU32(File.data() + 2), File.size()) << "bfSize";
    EXPECT_EQ(bmp::GetU32(File.data() + 10), Offset) << "bfOffBits";
    EXPECT_EQ(bmp::GetU32(File.data() + 14), 40u);
    EXPECT_EQ(bmp::GetI32(File.data() + 18), Width);
    EXPECT_EQ(bmp::GetI32(File.data() + 22), Height) << "bottom-up";
    EXPECT_EQ(bmp::GetU16(File.data() + 28), Case.StoredBits);
    EXPECT_EQ(bmp::GetU32(File.data() + 30), 0u) << "uncompressed";
    EXPECT_EQ(bmp::GetU32(File.data() + 46), uint32_t(Entries));

    const auto Back = Loaded(File);
    EXPECT_EQ(Back->PixelFormat(), Case.FormatAfterLoad);
    EXPECT_TRUE(test::SamePixels(Bitmap.Image(), Back->Image()));
}

INSTANTIATE_TEST_SUITE_P(
    EveryDepth, BitmapDepth,
    ::testing::Values(TDepthCase{"OneBit", TPixelFormat::pf1bit, 1, 2, TPixelFormat::pf1bit},
                      TDepthCase{"FourBits", TPixelFormat::pf4bit, 4, 16, TPixelFormat::pf4bit},
                      TDepthCase{"EightBits", TPixelFormat::pf8bit, 8, -1, TPixelFormat::pf8bit},
                      TDepthCase{"SixteenBits", TPixelFormat::pf16bit, 24, 0, TPixelFormat::pf24bit},
                      TDepthCase{"TwentyFourBits", TPixelFormat::pf24bit, 24, 0, TPixelFormat::pf24bit},
                      TDepthCase{"ThirtyTwoBits", TPixelFormat::pf32bit, 24, 0, TPixelFormat::pf24bit}),
    test::RowName());

TEST(BmpWriter, LaysOutATwoByTwoPictureExactly)
{
    QImage Image(2, 2, QImage::Format_RGB32);
    Image.setPixel(0, 0, qRgb(3, 2, 1));
    Image.setPixel(1, 0, qRgb(6, 5, 4));
    Image.setPixel(0, 1, qRgb(9, 8, 7));
    Image.setPixel(1, 1, qRgb(12, 11, 10));
    TBitmap Bitmap;
    Bitmap.SetImage(Image, TPixelFormat::pf24bit);
    const TBytes File = Saved(Bitmap);
    ASSERT_EQ(File.size(), 70u);
    const TBytes Rows(File.begin() + 54, File.end());
    // Bottom row first, blue-green-red, two padding bytes each.
    EXPECT_EQ(Rows, (TBytes{7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}));
}

// Rows are written straight from the scan lines; whatever the storage holds
// past a line's pixels must not reach the file.
TEST(BmpWriter, PadsRowsWithZerosWhateverTheScanLinesHoldBeyondThem)
{
    QImage Image(1, 2, QImage::Format_BGR888);
    ASSERT_EQ(Image.bytesPerLine(), 4);
    for (int Y = 0; Y < 2; ++Y) {
        uchar* Line = Image.scanLine(Y);
        std::fill_n(Line, 4, uchar(0xAB));
        Line[0] = uchar(3 * Y + 1), Line[1] = uchar(3 * Y + 2), Line[2] = uchar(3 * Y + 3);
    }
    TBitmap Bitmap;
    Bitmap.SetImage(Image, TPixelFormat::pf24bit);
    const TBytes File = Saved(Bitmap);
    ASSERT_EQ(File.size(), 62u);
    EXPECT_EQ(TBytes(File.begin() + 54, File.end()), (TBytes{4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST(BmpReader, TakesStoredBytesInFileOrderAndBottomUpRows)
{
    TBmpPlan Plan{2, 2, 24};
    Plan.Rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    const auto Bitmap = Loaded(test::MakeBmpFile(Plan));
    EXPECT_EQ(Bitmap->PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(Bitmap->Image().pixel(0, 0), qRgb(9, 8, 7)) << "top-left is the last stored row";
    EXPECT_EQ(Bitmap->Image().pixel(1, 1), qRgb(6, 5, 4));
}

TEST(BmpReader, ReadsTopDownRows)
{
    TBmpPlan Plan{1, -2, 24};
    Plan.Rows = {1, 2, 3, 0, 4, 5, 6, 0};
    const auto Bitmap = Loaded(test::MakeBmpFile(Plan));
    EXPECT_EQ(Bitmap->Height(), 2);
    EXPECT_EQ(Bitmap->Image().pixel(0, 0), qRgb(3, 2, 1));
}

TEST(BmpReader, ReadsNibblesAndBitsHighestFirst)
{
    TBmpPlan Four{3, 1, 4};
    Four.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    Four.Rows = {0x12, 0x30, 0, 0};
    const auto FourBits = Loaded(test::MakeBmpFile(Four));
    EXPECT_EQ(FourBits->PixelFormat(), TPixelFormat::pf4bit);
    EXPECT_EQ(FourBits->Image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(FourBits->Image().pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(FourBits->Image().pixel(2, 0), qRgb(0, 0, 255));

    TBmpPlan One{10, 1, 1};
    One.Palette = {0x000000, 0xFFFFFF};
    One.Rows = {0x80, 0x40, 0, 0};
    const auto OneBit = Loaded(test::MakeBmpFile(One));
    EXPECT_EQ(OneBit->Image().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(OneBit->Image().pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(OneBit->Image().pixel(9, 0), qRgb(255, 255, 255));
}

TEST(BmpReader, ExpandsSixteenBitPixelsAndBitFieldMasks)
{
    TBmpPlan Plan{2, 1, 16};
    Plan.Rows = {0x00, 0x7C, 0x1F, 0x00}; // 555: pure red, pure blue
    const auto Bitmap = Loaded(test::MakeBmpFile(Plan));
    EXPECT_EQ(Bitmap->PixelFormat(), TPixelFormat::pf16bit);
    EXPECT_EQ(Bitmap->Image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(Bitmap->Image().pixel(1, 0), qRgb(0, 0, 255));

    TBmpPlan Masked{1, 1, 32, bmp::BI_BITFIELDS};
    // Masks follow the 40-byte header; model them as the palette's words.
    Masked.Palette = {0x000000FF, 0x0000FF00, 0x00FF0000}; // red low, blue high
    Masked.Rows = {0x10, 0x20, 0x30, 0x00};
    const auto Fields = Loaded(test::MakeBmpFile(Masked));
    EXPECT_EQ(Fields->Image().pixel(0, 0), qRgb(0x10, 0x20, 0x30));
}

// One pixel of a 16- or 32-bit file with the given masks: its colour, with
// any alpha put over white as a PNG's is.
struct TMaskCase {
    const char* Name;
    uint16_t BitCount;
    uint32_t Compression;
    uint32_t HeaderSize;
    std::vector<uint32_t> Masks;
    uint32_t Pixel;
    QRgb Colour; // before it is put over white
};

class BitFieldPixel : public ::testing::TestWithParam<TMaskCase> {};

TEST_P(BitFieldPixel, ReadsEveryMaskWidthAndPutsAlphaOverWhite)
{
    const TMaskCase& Case = GetParam();
    TBmpPlan Plan{1, 1, Case.BitCount, Case.Compression};
    Plan.HeaderSize = Case.HeaderSize;
    Plan.Masks = Case.Masks;
    Plan.Rows.assign(4, 0);
    bmp::PutU32(Plan.Rows.data(), Case.Pixel);
    const auto Bitmap = Loaded(test::MakeBmpFile(Plan));
    QImage Png(1, 1, QImage::Format_ARGB32);
    Png.setPixel(0, 0, Case.Colour);
    TBitmap FromPng;
    FromPng.SetImage(Png);
    const QRgb Expected = FromPng.ToRgb32().pixel(0, 0);
    const QRgb Actual = Bitmap->ToRgb32().pixel(0, 0);
    EXPECT_EQ(Actual, Expected) << std::hex << "read " << Actual << ", a PNG of the same colour gives " << Expected;
}

const std::vector<uint32_t> Argb = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};

INSTANTIATE_TEST_SUITE_P(
    Masks, BitFieldPixel,
    ::testing::Values(
        TMaskCase{"FiveFiveFive", 16, bmp::BI_RGB, 40, {}, 0x03E0, qRgb(0, 255, 0)},
        TMaskCase{"FiveSixFive", 16, bmp::BI_BITFIELDS, 40, {0xF800, 0x07E0, 0x001F}, 0x07E0, qRgb(0, 255, 0)},
        TMaskCase{"ThirtyTwoBitRedMask", 32, bmp::BI_BITFIELDS, 40, {0xFFFFFFFF, 0, 0}, 0xFFFFFFFF, qRgb(255, 0, 0)},
        TMaskCase{"TwentyFiveBitRedMask", 32, bmp::BI_BITFIELDS, 40, {0x01FFFFFF, 0, 0}, 0x01FFFFFF, qRgb(255, 0, 0)},
        TMaskCase{"NoAlphaByDefault", 32, bmp::BI_RGB, 40, {}, 0x00FF8000, qRgb(255, 128, 0)},
        TMaskCase{"AlphaAfterAShortHeader", 32, bmp::BI_ALPHABITFIELDS, 40, Argb, 0x80FF0000, qRgba(255, 0, 0, 128)},
        TMaskCase{"AlphaInAVersion5Header", 32, bmp::BI_BITFIELDS, 124, Argb, 0x4000FF00, qRgba(0, 255, 0, 64)},
        TMaskCase{"TransparentInAVersion4Header", 32, bmp::BI_BITFIELDS, 108, Argb, 0x00123456, qRgba(0x12, 0x34, 0x56, 0)},
        TMaskCase{"Version5HeaderWithoutAlphaMask", 32, bmp::BI_BITFIELDS, 124, {0xFF0000, 0xFF00, 0xFF, 0}, 0x00FF0000,
                  qRgb(255, 0, 0)},
        TMaskCase{"UndeclaredMasksGiveNoAlpha", 32, bmp::BI_RGB, 124, Argb, 0x000000FF, qRgb(0, 0, 255)},
        TMaskCase{"OneBitAlpha", 16, bmp::BI_BITFIELDS, 56, {0x7C00, 0x03E0, 0x001F, 0x8000}, 0x7C00, qRgba(255, 0, 0, 0)}),
    test::RowName());

// Run-length encoded files, given as their data bytes, and the indices read
// from them, top row first; or the failure they end in.
enum class TRunLengthResult { Read, ReadError, Invalid };

struct TRunLengthCase {
    const char* Name;
    uint16_t BitCount;
    int32_t Width;
    int32_t Height;
    TBytes Data;
    TRunLengthResult Result;
    std::vector<uint8_t> Indices;
};

class RunLengthFile : public ::testing::TestWithParam<TRunLengthCase> {};

TEST_P(RunLengthFile, IsReadWithinItsDataAndItsPicture)
{
    const TRunLengthCase& Case = GetParam();
    TBmpPlan Plan{Case.Width, Case.Height, Case.BitCount, Case.BitCount == 8 ? bmp::BI_RLE8 : bmp::BI_RLE4};
    for (uint32_t I = 0; I < 16; ++I)
        Plan.Palette.push_back(I * 0x100F01);
    Plan.Rows = Case.Data;
    const TBytes File = test::MakeBmpFile(Plan);
    std::unique_ptr<TBitmap> Bitmap;
    switch (Case.Result) {
    case TRunLengthResult::ReadError:
        EXPECT_THROW(Loaded(File), EReadError);
        return;
    case TRunLengthResult::Invalid:
        EXPECT_THROW(Loaded(File), EInvalidGraphic);
        return;
    case TRunLengthResult::Read:
        ASSERT_NO_THROW(Bitmap = Loaded(File));
    }
    EXPECT_EQ(Bitmap->PixelFormat(), Case.BitCount == 8 ? TPixelFormat::pf8bit : TPixelFormat::pf4bit);
    ASSERT_EQ(Bitmap->Image().size(), QSize(Case.Width, Case.Height));
    for (int Y = 0; Y < Case.Height; ++Y)
        for (int X = 0; X < Case.Width; ++X)
            EXPECT_EQ(Bitmap->Image().pixelIndex(X, Y), Case.Indices[size_t(Y * Case.Width + X)])
                << "pixel (" << X << ", " << Y << ")";
}

using enum TRunLengthResult;

INSTANTIATE_TEST_SUITE_P(
    Files, RunLengthFile,
    ::testing::Values(
        TRunLengthCase{"EightBitRunsAndAbsolutePixels", 8, 4, 2, {3, 5, 1, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}, Read,
                       {1, 2, 3, 0, 5, 5, 5, 7}},
        TRunLengthCase{"FourBitRunsAlternateNibbles", 4, 5, 1, {5, 0x12, 0, 1}, Read, {1, 2, 1, 2, 1}},
        TRunLengthCase{"FourBitAbsolutePixels", 4, 3, 1, {0, 3, 0x45, 0x60, 0, 1}, Read, {4, 5, 6}},
        TRunLengthCase{"OddAbsoluteRunIsPadded", 8, 3, 2, {0, 3, 1, 2, 3, 0, 0, 0, 2, 9, 0, 1}, Read,
                       {9, 9, 0, 1, 2, 3}},
        TRunLengthCase{"DeltaSkipsPixels", 8, 4, 3, {0, 2, 2, 1, 1, 8, 0, 1}, Read, {0, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0}},
        TRunLengthCase{"RunPastTheRowEndIsCut", 8, 2, 2, {5, 3, 0, 0, 1, 4, 0, 1}, Read, {4, 0, 3, 3}},
        TRunLengthCase{"AbsolutePastTheRowEndIsCut", 8, 2, 1, {0, 4, 1, 2, 3, 4, 0, 1}, Read, {1, 2}},
        TRunLengthCase{"DeltaPastTheRowEnd", 8, 2, 2, {0, 2, 200, 0, 1, 5, 0, 0, 2, 6, 0, 1}, Read, {6, 6, 0, 0}},
        TRunLengthCase{"DeltaPastTheTopEndsThePicture", 8, 2, 2, {2, 1, 0, 2, 0, 5, 2, 2}, Read, {0, 0, 1, 1}},
        TRunLengthCase{"LastRowWithoutEndMarks", 8, 2, 2, {2, 1, 0, 0, 2, 2}, Read, {2, 2, 1, 1}},
        TRunLengthCase{"IndicesBeyondThePalette", 8, 2, 1, {2, 200, 0, 1}, Read, {200, 200}},
        TRunLengthCase{"NoData", 8, 2, 2, {}, ReadError, {}},
        TRunLengthCase{"CutInARun", 8, 2, 2, {2, 1, 0, 0, 2}, ReadError, {}},
        TRunLengthCase{"CutInAbsolutePixels", 8, 4, 1, {0, 4, 1, 2}, ReadError, {}},
        TRunLengthCase{"CutInADelta", 4, 2, 2, {0, 2, 1}, ReadError, {}},
        TRunLengthCase{"CutBeforeTheLastRow", 4, 2, 3, {2, 0x11, 0, 0, 2, 0x11, 0, 0}, ReadError, {}},
        TRunLengthCase{"TopDownRows", 8, 2, -2, {2, 1, 0, 1}, Invalid, {}}),
    test::RowName());

TEST(BmpReader, ConsumesTrailingBytesWithoutUsingThem)
{
    TBmpPlan Plan{1, 1, 24};
    Plan.Rows = {1, 2, 3, 0};
    Plan.Trailing = TBytes(100, 0xEE);
    const TBytes File = test::MakeBmpFile(Plan);
    auto Stream = test::StreamOf(File);
    TBitmap Bitmap;
    Bitmap.LoadFromStream(*Stream);
    EXPECT_EQ(Stream->Position(), int64_t(File.size()));
    EXPECT_EQ(Bitmap.Width(), 1);
    EXPECT_EQ(Saved(Bitmap).size(), 58u) << "the trailing bytes are not written back";
}

TEST(BmpReader, StartsAtTheStreamPosition)
{
    TBmpPlan Plan{1, 1, 24};
    Plan.Rows = {9, 9, 9, 0};
    TBytes File = {'j', 'u', 'n', 'k'};
    const TBytes Bmp = test::MakeBmpFile(Plan);
    File.insert(File.end(), Bmp.begin(), Bmp.end());
    auto Stream = test::StreamOf(File);
    Stream->Seek(4, soBeginning);
    TBitmap Bitmap;
    Bitmap.LoadFromStream(*Stream);
    EXPECT_EQ(Bitmap.Image().pixel(0, 0), qRgb(9, 9, 9));
}

TEST(BmpReader, AnEmptyRemainderGivesAnEmptyBitmap)
{
    TBitmap Bitmap;
    Bitmap.SetSize(3, 3);
    TMemoryStream Empty;
    Bitmap.LoadFromStream(Empty);
    EXPECT_TRUE(Bitmap.Empty());
}

TEST(BmpReader, EveryShorterPrefixFailsCleanly)
{
    TBmpPlan Plan{3, 2, 8};
    Plan.Palette = {0x000000, 0x808080, 0xFFFFFF};
    Plan.Rows = {0, 1, 2, 0, 2, 1, 0, 0};
    const TBytes File = test::MakeBmpFile(Plan);
    for (size_t Length = 1; Length < File.size(); ++Length) {
        const TBytes Prefix(File.begin(), File.begin() + Length);
        TBitmap Bitmap;
        auto Stream = test::StreamOf(Prefix);
        EXPECT_THROW(Bitmap.LoadFromStream(*Stream), Exception) << "prefix of " << Length << " bytes";
    }
}

struct THostileCase {
    const char* Name;
    int32_t Width;
    int32_t Height;
    uint16_t BitCount;
    uint32_t Compression;
};

class HostileHeader : public ::testing::TestWithParam<THostileCase> {};

TEST_P(HostileHeader, IsRefusedBeforeAnythingIsAllocated)
{
    const THostileCase& Case = GetParam();
    TBmpPlan Plan{Case.Width, Case.Height, Case.BitCount, Case.Compression};
    Plan.Rows = TBytes(64, 0);
    TBitmap Bitmap;
    auto Stream = test::StreamOf(test::MakeBmpFile(Plan));
    EXPECT_THROW(Bitmap.LoadFromStream(*Stream), Exception);
    EXPECT_TRUE(Bitmap.Empty());
}

INSTANTIATE_TEST_SUITE_P(
    Refused, HostileHeader,
    ::testing::Values(THostileCase{"HugeWidth", 0x7FFFFFFF, 1, 24, 0},
                      THostileCase{"HugeArea", 100000, 100000, 8, 0},
                      THostileCase{"RowsMissing", 64, 64, 24, 0},
                      THostileCase{"ZeroWidth", 0, 4, 24, 0},
                      THostileCase{"NegativeWidth", -4, 4, 24, 0},
                      THostileCase{"LowestHeight", 4, INT32_MIN, 24, 0},
                      THostileCase{"OddDepth", 4, 4, 7, 0},
                      THostileCase{"RunLengthAtTwentyFourBits", 4, 4, 24, 1}),
    test::RowName());

TEST(BmpReader, RefusesWhatIsNotABmpFile)
{
    TBitmap Bitmap;
    auto Stream = test::StreamOf(TBytes{'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0});
    try {
        Bitmap.LoadFromStream(*Stream);
        FAIL() << "a file without the signature must be refused";
    } catch (const EInvalidGraphic& Error) {
        EXPECT_STREQ(Error.what(), "Bitmap image is not valid");
    }
}

} // namespace
} // namespace nebulo
