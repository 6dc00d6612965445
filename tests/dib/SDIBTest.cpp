#include "dib/SDIB.h"
#include "tests/support/BmpBytes.h"
#include "tests/support/RecordingFiler.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

namespace nebulo {
namespace {

using test::TBmpPlan;
using test::TBytes;

void Load(TSDIB& Surface, const TBytes& File)
{
    auto Stream = test::StreamOf(File);
    Surface.LoadFromStream(*Stream);
}

TBytes Held(TSDIB& Surface)
{
    return test::BytesOf(Surface.DIBFile());
}

TBytes Saved(TSDIB& Surface)
{
    TMemoryStream Out;
    Surface.SaveToStream(Out);
    return test::BytesOf(Out);
}

// The 2 x 2 picture whose stored rows are 01..06 and 07..0C, two pad bytes each.
TBytes TwoByTwo()
{
    TBmpPlan Plan{2, 2, 24};
    Plan.Rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    return test::MakeBmpFile(Plan);
}

TEST(SDIB, AFreshSurfaceIsEmptyAndInert)
{
    TSDIB Surface;
    EXPECT_FALSE(Surface.Valid());
    EXPECT_EQ(Surface.DIBFile().Size(), 0);
    EXPECT_EQ(Surface.ReadPixel({1, 1}), 0u);
    Surface.WritePixel({1, 1}, 0xFFFFFF);
    EXPECT_EQ(Surface.DIBFile().Size(), 0);
    EXPECT_TRUE(Saved(Surface).empty()) << "an empty surface writes nothing";
}

TEST(SDIB, ParsesTheHeadersIntoItsGeometry)
{
    TSDIB Surface;
    Load(Surface, TwoByTwo());
    EXPECT_TRUE(Surface.Valid());
    EXPECT_EQ(Surface.Width(), 2);
    EXPECT_EQ(Surface.Height(), 2);
    EXPECT_EQ(Surface.BitCount(), 24);
    EXPECT_EQ(Surface.PixelOffset(), 54);
    EXPECT_EQ(Surface.RowStride(), 8);
    EXPECT_EQ(Surface.DIBFile().Position(), 0);
}

TEST(SDIB, ReadsTwentyFourBitPixelsTopRowFirst)
{
    TSDIB Surface;
    Load(Surface, TwoByTwo());
    EXPECT_EQ(Surface.ReadPixel({1, 1}), 0x090807u);
    EXPECT_EQ(Surface.ReadPixel({2, 2}), 0x060504u);
    for (TPoint Outside : {TPoint{3, 1}, TPoint{1, 3}, TPoint{0, 1}, TPoint{1, 0}})
        EXPECT_EQ(Surface.ReadPixel(Outside), 0u) << "(" << Outside.X << ", " << Outside.Y << ")";
}

TEST(SDIB, WritesOnlyThePixelsBytesAndIgnoresByteThree)
{
    TSDIB Surface;
    Load(Surface, TwoByTwo());
    Surface.WritePixel({2, 1}, 0xAA332211);
    EXPECT_EQ(Surface.ReadPixel({2, 1}), 0x332211u);
    const TBytes File = Held(Surface);
    EXPECT_EQ(TBytes(File.begin() + 62, File.end()), (TBytes{7, 8, 9, 0x11, 0x22, 0x33, 0, 0}));
    Surface.WritePixel({3, 1}, 0xFFFFFF);
    Surface.WritePixel({1, -1}, 0xFFFFFF);
    EXPECT_EQ(Held(Surface), File) << "writes outside the picture change nothing";
}

TEST(SDIB, OneBitPixelsAreSingleBitsHighestFirst)
{
    TBmpPlan Plan{10, 2, 1};
    Plan.Palette = {0, 0xFFFFFF};
    Plan.Rows = {0x00, 0x7F, 0, 0, 0xFF, 0x00, 0, 0};
    TSDIB Surface;
    Load(Surface, test::MakeBmpFile(Plan));
    EXPECT_EQ(Surface.RowStride(), 4);
    EXPECT_EQ(Surface.ReadPixel({1, 1}), 1u << 24);
    Surface.WritePixel({9, 2}, 1u << 24);
    const TBytes File = Held(Surface);
    EXPECT_EQ(File[62 + 1], 0xFF) << "only the top bit of the second byte is set";
    Surface.WritePixel({10, 2}, 0x000000FE); // index 0 in byte 3; byte 0 is ignored
    EXPECT_EQ(Held(Surface)[62 + 1], 0xBF);
    EXPECT_EQ(Surface.ReadPixel({9, 2}), 1u << 24);
}

TEST(SDIB, FourBitPixelsAreNibblesOddColumnsHigh)
{
    TBmpPlan Plan{4, 1, 4};
    Plan.Palette = std::vector<uint32_t>(16, 0);
    Plan.Rows = {0x12, 0x34, 0, 0};
    TSDIB Surface;
    Load(Surface, test::MakeBmpFile(Plan));
    EXPECT_EQ(Surface.ReadPixel({1, 1}) >> 24, 1u);
    EXPECT_EQ(Surface.ReadPixel({4, 1}) >> 24, 4u);
    Surface.WritePixel({3, 1}, 5u << 24);
    EXPECT_EQ(Held(Surface)[54 + 64 + 1], 0x54);
    Surface.WritePixel({3, 1}, 5u);
    EXPECT_EQ(Held(Surface)[54 + 64 + 1], 0x04) << "the index comes from byte 3 alone";
}

TEST(SDIB, EightBitIndexTravelsInByteThree)
{
    TBmpPlan Plan{1, 1, 8};
    Plan.Palette = std::vector<uint32_t>(256, 0);
    Plan.Rows = {42, 0, 0, 0};
    TSDIB Surface;
    Load(Surface, test::MakeBmpFile(Plan));
    EXPECT_EQ(Surface.ReadPixel({1, 1}), 42u << 24);
    Surface.WritePixel({1, 1}, 0x07FFFFFF);
    EXPECT_EQ(Surface.ReadPixel({1, 1}), 7u << 24);
}

TEST(SDIB, DeepPicturesAreAcceptedButHaveNoPixels)
{
    for (uint16_t Bits : {uint16_t(16), uint16_t(32)}) {
        TBmpPlan Plan{2, 1, Bits};
        Plan.Rows = TBytes(size_t(bmp::RowBytes(2, Bits)), 0x5A);
        TSDIB Surface;
        Load(Surface, test::MakeBmpFile(Plan));
        EXPECT_TRUE(Surface.Valid()) << Bits << " bits";
        EXPECT_EQ(Surface.ReadPixel({1, 1}), 0u) << Bits << " bits";
        const TBytes Before = Held(Surface);
        Surface.WritePixel({1, 1}, 0);
        EXPECT_EQ(Held(Surface), Before) << Bits << " bits";
    }
}

TEST(SDIB, TopDownPicturesHaveNoAddressablePoint)
{
    TBmpPlan Plan{1, -1, 24};
    Plan.Rows = {1, 2, 3, 0};
    TSDIB Surface;
    Load(Surface, test::MakeBmpFile(Plan));
    EXPECT_TRUE(Surface.Valid());
    EXPECT_EQ(Surface.ReadPixel({1, 1}), 0u);
    EXPECT_EQ(Surface.ReadPixel({1, -1}), 0u);
}

TEST(SDIB, RejectedHeadersLeaveTheGeometryAndValidity)
{
    TSDIB Surface;
    Load(Surface, TwoByTwo());
    TBmpPlan Compressed{5, 5, 8, 1};
    Compressed.Rows = TBytes(8, 0);
    Load(Surface, test::MakeBmpFile(Compressed));
    EXPECT_TRUE(Surface.Valid()) << "never cleared";
    EXPECT_EQ(Surface.Width(), 2);

    TBytes NotBmp = TwoByTwo();
    NotBmp[0] = 'P';
    TSDIB Fresh;
    Load(Fresh, NotBmp);
    EXPECT_FALSE(Fresh.Valid());
    EXPECT_EQ(Fresh.DIBFile().Size(), int64_t(NotBmp.size()));
}

TEST(SDIB, HeadersShorterThanTheyClaimFailWithTheReadError)
{
    const TBytes File = TwoByTwo();
    for (size_t Length : {size_t(5), size_t(13), size_t(14), size_t(53)}) {
        TSDIB Surface;
        try {
            Load(Surface, TBytes(File.begin(), File.begin() + Length));
            FAIL() << Length << " bytes must fail";
        } catch (const EReadError& Error) {
            EXPECT_STREQ(Error.what(), "Stream read error");
        }
    }
}

TEST(SDIB, PixelsPastTheEndOfATruncatedFile)
{
    TBytes File = TwoByTwo();
    File.resize(54 + 8 + 2); // the top row is cut after its first pixel's second byte
    TSDIB Surface;
    Load(Surface, File);
    EXPECT_EQ(Surface.ReadPixel({1, 2}), 0x030201u) << "the bottom row is whole";
    EXPECT_THROW(Surface.ReadPixel({1, 1}), EReadError);
    Surface.WritePixel({2, 1}, 0xFFFFFF);
    EXPECT_EQ(Surface.DIBFile().Size(), int64_t(File.size())) << "a write never extends the file";

    TBmpPlan OneBit{8, 2, 1};
    OneBit.Palette = {0, 0xFFFFFF};
    OneBit.Rows = {0, 0, 0, 0};
    TSDIB Short;
    Load(Short, test::MakeBmpFile(OneBit));
    EXPECT_THROW(Short.WritePixel({1, 1}, 1u << 24), EReadError);
}

TEST(SDIB, HostileGeometryNeverLeavesTheFile)
{
    TBytes File = TwoByTwo();
    uint8_t* Info = File.data() + bmp::FileHeaderSize;
    bmp::PutU32(Info + bmp::biWidth, 0x7FFFFFFF);
    bmp::PutU32(Info + bmp::biHeight, 0x7FFFFFFF);
    bmp::PutU16(Info + bmp::biBitCount, 24);
    TSDIB Surface;
    Load(Surface, File);
    EXPECT_THROW(Surface.ReadPixel({0x7FFFFFFF, 1}), EReadError);
    EXPECT_THROW(Surface.ReadPixel({1, 1}), EReadError);
    Surface.WritePixel({0x7FFFFFFF, 1}, 0xFFFFFF);
    EXPECT_EQ(Held(Surface), File);

    bmp::PutU32(File.data() + bmp::bfOffBits, 0x80000000); // far before the start
    TSDIB Before;
    Load(Before, File);
    EXPECT_THROW(Before.ReadPixel({1, 0x7FFFFFFF}), EReadError);
    Before.WritePixel({1, 0x7FFFFFFF}, 0xFFFFFF);
    EXPECT_EQ(Held(Before), File);
}

TEST(SDIB, LoadFromGraphicWritesOverWithoutShortening)
{
    TBitmap Large;
    Large.SetSize(4, 4);
    Large.SetPixelFormat(TPixelFormat::pf24bit);
    TBitmap Small;
    Small.SetSize(1, 1);
    Small.SetPixelFormat(TPixelFormat::pf24bit);

    TSDIB Surface;
    Surface.LoadFromGraphic(Large);
    const int64_t LargeSize = Surface.DIBFile().Size();
    Surface.LoadFromGraphic(Small);
    EXPECT_EQ(Surface.Width(), 1);
    EXPECT_EQ(Surface.DIBFile().Size(), LargeSize) << "older bytes stay behind the new file";

    const TBytes Out = Saved(Surface);
    EXPECT_EQ(int64_t(Out.size()), LargeSize);
    TBitmap Back;
    Back.LoadFromStream(*test::StreamOf(Out));
    EXPECT_EQ(Back.Width(), 1) << "the leftover bytes play no part";
}

TEST(SDIB, LoadFromStreamReplacesTheFileExactly)
{
    TSDIB Surface;
    Load(Surface, TwoByTwo());
    TMemoryStream Empty;
    Surface.LoadFromStream(Empty);
    EXPECT_EQ(Held(Surface), TwoByTwo()) << "an empty source changes nothing";

    auto Positioned = test::StreamOf(TwoByTwo());
    Positioned->Seek(1, soBeginning);
    EXPECT_THROW(Surface.LoadFromStream(*Positioned), EReadError);
    EXPECT_EQ(Held(Surface), TwoByTwo()) << "a failed load keeps what was held";
}

TEST(SDIB, SaveToStreamWritesAtTheDestinationPositionAndLeavesItsOwn)
{
    TSDIB Surface;
    Load(Surface, TwoByTwo());
    Surface.DIBFile().Seek(17, soBeginning);
    TMemoryStream Out;
    Out.WriteBuffer("xyz", 3);
    Surface.SaveToStream(Out);
    EXPECT_EQ(Out.Size(), 3 + 70);
    EXPECT_EQ(Surface.DIBFile().Position(), 17);
}

TEST(SDIB, StoresItsWholeFileAsData)
{
    TSDIB Empty;
    test::TRecordingFiler Filer;
    DefinePropertiesOf(Empty, Filer);
    EXPECT_EQ(Filer.Name, "Data");
    EXPECT_TRUE(Filer.HasData) << "written even when empty";
    TMemoryStream Stored;
    Filer.Write(Stored);
    EXPECT_EQ(Stored.Size(), 0);
    Filer.Read(Stored);
    EXPECT_FALSE(Empty.Valid()) << "0 bytes of data leave the surface empty";

    TSDIB Full;
    Load(Full, TwoByTwo());
    DefinePropertiesOf(Full, Filer);
    Filer.Write(Stored);
    Stored.Seek(0, soBeginning);
    TSDIB Restored;
    DefinePropertiesOf(Restored, Filer);
    Filer.Read(Stored);
    EXPECT_EQ(Held(Restored), TwoByTwo());
    EXPECT_EQ(Restored.ReadPixel({1, 1}), 0x090807u);
}

} // namespace
} // namespace nebulo
