#include "tests/dib_graphic/DIBSamples.h"
#include "tests/support/SamePixels.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/GlobalMemory.h"

#include <gtest/gtest.h>

namespace nebulo {
namespace {

using test::FailureOf;
using test::FirstDifference;
using test::TBytes;

// A packed DIB with a 12-byte core header at 8 bits: 2 x 2, entry i of the
// table is (i, 255 - i, 7) as blue, green, red.
TBytes CoreDIB()
{
    TBytes DIB(12, 0);
    bmp::PutU32(DIB.data(), 12);
    bmp::PutU16(DIB.data() + 4, 2);
    bmp::PutU16(DIB.data() + 6, 2);
    bmp::PutU16(DIB.data() + 8, 1);
    bmp::PutU16(DIB.data() + 10, 8);
    for (int I = 0; I < 256; ++I)
        DIB.insert(DIB.end(), {uint8_t(I), uint8_t(255 - I), 7});
    DIB.insert(DIB.end(), {1, 2, 0, 0, 3, 4, 0, 0});
    return DIB;
}

TBytes FileOf(const TBytes& DIB)
{
    TBytes File(14 + DIB.size(), 0);
    bmp::PutU16(File.data(), bmp::Signature);
    std::copy(DIB.begin(), DIB.end(), File.begin() + 14);
    return File;
}

TEST(DIBLoad, CoreHeaderBecomesAnInfoHeaderWithAFullTable)
{
    TDIB Graphic;
    test::LoadFile(Graphic, FileOf(CoreDIB()));
    const TBytes Held = test::HeldDIB(Graphic);
    ASSERT_EQ(Held.size(), 40u + 1024 + 8);
    const uint8_t* Info = Held.data();
    EXPECT_EQ(bmp::GetU32(Info), 40u);
    EXPECT_EQ(bmp::GetI32(Info + 4), 2);
    EXPECT_EQ(bmp::GetI32(Info + 8), 2);
    EXPECT_EQ(bmp::GetU16(Info + 12), 1);
    EXPECT_EQ(bmp::GetU16(Info + 14), 8);
    EXPECT_EQ(bmp::GetU32(Info + 16), 0u) << "biCompression";
    EXPECT_EQ(bmp::GetU32(Info + 20), 8u) << "biSizeImage";
    EXPECT_EQ(bmp::GetU32(Info + 32), 256u) << "biClrUsed";
    EXPECT_EQ(bmp::GetU32(Info + 36), 256u) << "biClrImportant";
    for (int I = 0; I < 256; ++I) {
        const uint8_t* Quad = Info + 40 + 4 * I;
        ASSERT_EQ(TBytes(Quad, Quad + 4), (TBytes{uint8_t(I), uint8_t(255 - I), 7, 0})) << "entry " << I;
    }
    EXPECT_EQ(TBytes(Held.end() - 8, Held.end()), (TBytes{1, 2, 0, 0, 3, 4, 0, 0}));
    EXPECT_EQ(Graphic.Image().Bits - Graphic.Image().Info, 40 + 1024);
}

TEST(DIBLoad, MissingColourCountIsFilledInFromTheDepth)
{
    struct TCase {
        uint16_t BitCount;
        uint32_t Entries;
    };
    for (const TCase Case : {TCase{1, 2}, TCase{4, 16}, TCase{8, 256}, TCase{24, 0}, TCase{32, 0}}) {
        SCOPED_TRACE("bit count " + std::to_string(Case.BitCount));
        test::TBmpPlan Plan = test::RandomSpec(3, 2, Case.BitCount);
        TBytes File = test::MakeBmpFile(Plan);
        bmp::PutU32(File.data() + 14 + 32, 0);
        TDIB Graphic;
        test::LoadFile(Graphic, File);
        EXPECT_EQ(bmp::GetU32(Graphic.Image().Info + 32), Case.Entries);
        EXPECT_EQ(Graphic.CreateDIBPalette()->Entries.size(), Case.Entries);
    }
}

TEST(DIBLoad, SavesTheTwoByTwoFilesWithTheirOffsets)
{
    for (const auto& [BitCount, Size, OffBits] : {std::tuple{24, 70u, 54u}, std::tuple{8, 1086u, 1078u}}) {
        TDIB Graphic;
        test::LoadFile(Graphic, test::MakeBmpFile(test::RandomSpec(2, 2, uint16_t(BitCount))));
        const TBytes File = test::SavedFile(Graphic);
        ASSERT_EQ(File.size(), Size) << "bit count " << BitCount;
        EXPECT_EQ(bmp::GetU32(File.data() + 2), Size);
        EXPECT_EQ(bmp::GetU32(File.data() + 10), OffBits);
        EXPECT_EQ(bmp::GetU32(File.data() + 6), 0u);
    }
}

class DIBRoundTrip : public testing::TestWithParam<uint16_t> {};

TEST_P(DIBRoundTrip, EveryFormGivesBackTheSameBytes)
{
    const TBytes File = test::MakeBmpFile(test::RandomSpec(13, 5, GetParam(), GetParam()));
    TDIB Graphic;
    test::LoadFile(Graphic, File);
    EXPECT_EQ(FirstDifference(File, test::SavedFile(Graphic)), "") << "BMP file";

    TMemoryStream Data;
    Graphic.WriteData(Data);
    EXPECT_EQ(bmp::GetU32(Data.Memory()), File.size()) << "length prefix";
    Data.Seek(0, soBeginning);
    TDIB FromData;
    FromData.ReadData(Data);
    EXPECT_EQ(FirstDifference(File, test::SavedFile(FromData)), "") << "streamed form";
    EXPECT_TRUE(FromData.Equals(&Graphic));

    uint16_t Format = 0;
    HGLOBAL Block = nullptr;
    HPALETTE Palette = reinterpret_cast<HPALETTE>(&Format);
    Graphic.SaveToClipboardFormat(Format, Block, Palette);
    const TGlobalMemory Owned(Block);
    EXPECT_EQ(Format, 8);
    EXPECT_EQ(Palette, nullptr);
    const TGlobalLock Lock(Block);
    EXPECT_EQ(FirstDifference(test::HeldDIB(Graphic), TBytes(Lock.Memory(), Lock.Memory() + GlobalSize(Block))), "");
    TDIB FromBlock;
    FromBlock.LoadFromClipboardFormat(Format, Block, Palette);
    EXPECT_TRUE(FromBlock.Equals(&Graphic));

    TBitmap Bitmap;
    Bitmap.Assign(&Graphic);
    TDIB FromBitmap;
    FromBitmap.Assign(&Bitmap);
    EXPECT_TRUE(test::SamePixels(test::PixelsOf(Graphic), test::PixelsOf(FromBitmap))) << "through a bitmap";
}

INSTANTIATE_TEST_SUITE_P(Depths, DIBRoundTrip, testing::Values(1, 4, 8, 16, 24, 32),
                         [](const auto& Info) { return std::to_string(Info.param) + "bits"; });

TEST(DIBLoad, EmptyGraphicWritesOnlyAZeroLength)
{
    TDIB Graphic;
    EXPECT_TRUE(Graphic.Empty());
    EXPECT_EQ(Graphic.Width(), 0);
    EXPECT_EQ(Graphic.Height(), 0);
    EXPECT_TRUE(test::SavedFile(Graphic).empty());
    TMemoryStream Data;
    Graphic.WriteData(Data);
    EXPECT_EQ(test::BytesOf(Data), (TBytes{0, 0, 0, 0}));

    TDIB Held;
    test::LoadFile(Held, test::MakeBmpFile(test::RandomSpec(2, 2, 24)));
    Data.Seek(0, soBeginning);
    Held.ReadData(Data);
    EXPECT_TRUE(Held.Empty());
}

// Each way a stream or block can be refused, with the text of each road.
struct TRefusal {
    const char* Name;
    TBytes DIB;
    const char* StreamMessage;
    const char* ClipboardMessage;
};

TBytes WithField(TBytes DIB, size_t Offset, uint32_t Value)
{
    bmp::PutU32(DIB.data() + Offset, Value);
    return DIB;
}

std::vector<TRefusal> Refusals()
{
    const TBytes Valid = test::MakePackedDIB(test::RandomSpec(4, 3, 8));
    const TBytes Core = CoreDIB();
    TBytes Long108 = Valid;
    bmp::PutU32(Long108.data(), 108);
    Long108.insert(Long108.begin() + 40, 68, 0);
    TBytes TopDown = Valid;
    bmp::PutU32(TopDown.data() + 8, uint32_t(-3));
    // 20000 x 20000 at 8 bits: 400 MB promised, a few bytes present.
    TBytes Huge = WithField(WithField(Valid, 4, 20000), 8, 20000);
    TBytes Absurd = WithField(WithField(Valid, 4, 100000), 8, 100000);
    return {
        {"108-byte header", Long108, "", "Unknown clipboard format"},
        {"124-byte header", WithField(Valid, 0, 124), "", "Unknown clipboard format"},
        {"RLE-compressed", WithField(Valid, 16, 1), "Invalid bitmap format", "Unknown clipboard format"},
        {"bit fields", WithField(Valid, 16, 3), "Invalid bitmap format", "Unknown clipboard format"},
        {"top-down", TopDown, "Invalid bitmap format", "Unknown clipboard format"},
        {"negative width", WithField(Valid, 4, uint32_t(-4)), "Invalid bitmap format", "Unknown clipboard format"},
        {"7 bits per pixel", WithField(Valid, 14, 7), "Invalid bitmap format", "Unknown clipboard format"},
        {"table beyond the depth", WithField(Valid, 32, 257), "Invalid bitmap format", "Unknown clipboard format"},
        {"rows beyond the stream", Huge, "Stream read error", "Stream read error"},
        {"rows beyond 2 GB", Absurd, "Invalid bitmap format", "Unknown clipboard format"},
        {"short header size", TBytes{40, 0}, "Invalid bitmap", "Unknown clipboard format"},
        {"short header", TBytes(Valid.begin(), Valid.begin() + 39), "Invalid bitmap", "Unknown clipboard format"},
        {"short core table", TBytes(Core.begin(), Core.begin() + 12 + 700), "Invalid bitmap",
         "Unknown clipboard format"},
        {"short info table", TBytes(Valid.begin(), Valid.begin() + 40 + 700), "Stream read error", "Stream read error"},
        {"short rows", TBytes(Valid.begin(), Valid.end() - 1), "Stream read error", "Stream read error"},
    };
}

TEST(DIBLoad, RefusesHostileDIBsOnEveryRoadAndKeepsThePicture)
{
    const TBytes Kept = test::MakeBmpFile(test::RandomSpec(2, 2, 24));
    for (const TRefusal& Case : Refusals()) {
        SCOPED_TRACE(Case.Name);
        TDIB Graphic;
        test::LoadFile(Graphic, Kept);
        int Changes = 0;
        Graphic.OnChange = [&](TGraphic*) { ++Changes; };
        EXPECT_EQ(FailureOf([&] { test::LoadFile(Graphic, FileOf(Case.DIB)); }), Case.StreamMessage);

        TMemoryStream Data;
        const TBytes File = FileOf(Case.DIB);
        uint8_t Length[4];
        bmp::PutU32(Length, uint32_t(File.size()));
        Data.WriteBuffer(Length, 4);
        Data.WriteBuffer(File.data(), int64_t(File.size()));
        Data.Seek(0, soBeginning);
        EXPECT_EQ(FailureOf([&] { Graphic.ReadData(Data); }), Case.StreamMessage) << "streamed form";

        const TGlobalMemory Block(GlobalAlloc(GMEM_MOVEABLE, Case.DIB.size()));
        std::copy(Case.DIB.begin(), Case.DIB.end(), static_cast<uint8_t*>(GlobalLock(Block.get())));
        GlobalUnlock(Block.get());
        EXPECT_EQ(FailureOf([&] { Graphic.LoadFromClipboardFormat(8, Block.get(), nullptr); }),
                  Case.ClipboardMessage);
        EXPECT_EQ(GlobalLockCount(Block.get()), 0) << "block unlocked again";

        EXPECT_EQ(FirstDifference(Kept, test::SavedFile(Graphic)), "");
        EXPECT_EQ(Changes, 0);
    }
}

TEST(DIBLoad, RefusesFilesWithoutSignatureOrFileHeader)
{
    TBytes File = test::MakeBmpFile(test::RandomSpec(2, 2, 24));
    TDIB Graphic;
    File[1] = 'A';
    EXPECT_EQ(FailureOf([&] { test::LoadFile(Graphic, File); }), "Invalid bitmap");
    EXPECT_EQ(FailureOf([&] { test::LoadFile(Graphic, TBytes(File.begin(), File.begin() + 13)); }),
              "Stream read error");
    EXPECT_EQ(FailureOf([&] { Graphic.LoadFromClipboardFormat(2, nullptr, nullptr); }), "Unknown clipboard format");
    EXPECT_EQ(FailureOf([&] { Graphic.LoadFromClipboardFormat(8, nullptr, nullptr); }), "Unknown clipboard format");
    TMemoryStream ShortLength;
    ShortLength.WriteBuffer("\x01\x02", 2);
    ShortLength.Seek(0, soBeginning);
    EXPECT_EQ(FailureOf([&] { Graphic.ReadData(ShortLength); }), "Invalid bitmap");
    EXPECT_TRUE(Graphic.Empty());
}

TEST(DIBLoad, EveryShorterPrefixOfAFileFailsCleanly)
{
    const TBytes File = test::MakeBmpFile(test::RandomSpec(5, 3, 4));
    for (size_t Length = 1; Length < File.size(); ++Length) {
        TDIB Graphic;
        const std::string Failure =
            FailureOf([&] { test::LoadFile(Graphic, TBytes(File.begin(), File.begin() + Length)); });
        ASSERT_NE(Failure, "(no failure)") << "prefix of " << Length << " bytes";
        ASSERT_TRUE(Graphic.Empty()) << "prefix of " << Length << " bytes";
    }
}

TEST(DIBLoad, BitmapRoadReportsItsOwnTexts)
{
    TBitmap Empty;
    TDIB Graphic;
    EXPECT_EQ(FailureOf([&] { Graphic.Assign(&Empty); }), "Invalid bitmap");
    EXPECT_EQ(FailureOf([&] { Graphic.Assign(&Graphic); }), "(no failure)");
    EXPECT_EQ(FailureOf([&] { Empty.Assign(&Graphic); }), "Invalid bitmap") << "an empty DIB into a bitmap";
}

} // namespace
} // namespace nebulo
