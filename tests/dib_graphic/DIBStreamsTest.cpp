#include "tests/dib_graphic/DIBSamples.h"

#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/GlobalMemory.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace nebulo {
namespace {

using test::TBytes;

TEST(DIBArithmetic, ColorCountAndRowBytesTables)
{
    const std::pair<uint16_t, int32_t> Counts[] = {{1, 2}, {4, 16}, {8, 256}, {2, 0}, {16, 0}, {24, 0}, {32, 0}};
    for (const auto& [BitCount, Expected] : Counts)
        EXPECT_EQ(DIBColorCount(BitCount), Expected) << "bit count " << BitCount;
    const std::pair<int32_t, int32_t> Rows[] = {{0, 0},  {1, 4},   {24, 4},   {32, 4},
                                                {33, 8}, {48, 8},  {72, 12},  {120, 16},
                                                {-40, 0}, {INT32_MAX, 268435456}};
    for (const auto& [Bits, Expected] : Rows)
        EXPECT_EQ(DIBRowBytes(Bits), Expected) << "bits " << Bits;
}

// Bit I of a row, bit 7 of byte 0 being bit 0.
int BitAt(const uint8_t* Row, int64_t I)
{
    return (Row[I / 8] >> (7 - I % 8)) & 1;
}

TEST(CopyBitRow, CopiesEveryRunAtEveryShiftAndWritesNoFurther)
{
    std::array<uint8_t, 8> Source{0xA5, 0x3C, 0xF0, 0x0F, 0x96, 0x69, 0xFF, 0x01};
    for (int Shift = 0; Shift < 8; ++Shift)
        for (int32_t Bits = 1; Bits + Shift <= 64; ++Bits) {
            std::array<uint8_t, 9> Dest;
            Dest.fill(0xEE);
            CopyBitRow(Source.data(), Dest.data(), Shift, Bits);
            for (int32_t I = 0; I < Bits; ++I)
                ASSERT_EQ(BitAt(Dest.data(), I), BitAt(Source.data(), Shift + I))
                    << "shift " << Shift << ", bits " << Bits << ": bit " << I;
            const size_t Written = size_t(Bits + 7) / 8;
            for (size_t J = Written; J < Dest.size(); ++J)
                ASSERT_EQ(Dest[J], 0xEE) << "shift " << Shift << ", bits " << Bits << ": byte " << J << " written";
        }
}

// A held 2 x 2 picture at BitCount bits, rows of bytes 0, 1, 2 ...
std::unique_ptr<TDIB> TwoByTwo(uint16_t BitCount)
{
    test::TBmpPlan Plan = test::RandomSpec(2, 2, BitCount);
    for (size_t I = 0; I < Plan.Rows.size(); ++I)
        Plan.Rows[I] = uint8_t(I);
    auto Graphic = std::make_unique<TDIB>();
    test::LoadFile(*Graphic, test::MakeBmpFile(Plan));
    return Graphic;
}

struct THeaderCase {
    uint16_t BitCount;
    uint32_t Size;
    uint32_t OffBits;
};

TEST(FakeDIBFileStream, HeaderGivesSignatureSizeAndPixelOffset)
{
    for (const THeaderCase& Case : {THeaderCase{24, 70, 54}, THeaderCase{1, 70, 62}, THeaderCase{8, 1086, 1078}}) {
        SCOPED_TRACE("bit count " + std::to_string(Case.BitCount));
        const auto Graphic = TwoByTwo(Case.BitCount);
        TFakeDIBFileStream File(Graphic->Image());
        uint8_t Header[14];
        ASSERT_EQ(File.Read(Header, 14), 14);
        EXPECT_EQ(Header[0], 'B');
        EXPECT_EQ(Header[1], 'M');
        EXPECT_EQ(bmp::GetU32(Header + 2), Case.Size);
        EXPECT_EQ(bmp::GetU32(Header + 6), 0u);
        EXPECT_EQ(bmp::GetU32(Header + 10), Case.OffBits);
        EXPECT_EQ(File.Seek(0, soEnd), Case.Size);
    }
}

TEST(FakeDIBFileStream, ReadsAcrossTheHeaderBoundaryAndRewindsTheImage)
{
    const auto Holder = TwoByTwo(24);
    const TDIB& Graphic = *Holder;
    const TBytes DIB = test::HeldDIB(Graphic);
    TFakeDIBFileStream File(Graphic.Image());
    ASSERT_EQ(File.Seek(10, soBeginning), 10);
    uint8_t Buffer[20];
    ASSERT_EQ(File.Read(Buffer, 20), 20);
    EXPECT_EQ(bmp::GetU32(Buffer), 54u) << "last 4 header bytes: bfOffBits";
    EXPECT_EQ(TBytes(Buffer + 4, Buffer + 20), TBytes(DIB.begin(), DIB.begin() + 16));
    EXPECT_EQ(File.Seek(0, soCurrent), 30);
    EXPECT_EQ(Graphic.Image().Stream->Position(), 0);

    uint8_t Rest[100];
    EXPECT_EQ(File.Read(Rest, 100), 40) << "only what remains";
    EXPECT_EQ(TBytes(Rest, Rest + 40), TBytes(DIB.begin() + 16, DIB.end()));
    EXPECT_EQ(File.Read(Rest, 1), 0) << "at Size";
    EXPECT_EQ(File.Seek(-5, soBeginning), -5);
    EXPECT_EQ(File.Read(Rest, 1), 0) << "at a negative position";
    EXPECT_EQ(File.Seek(-5, soCurrent), -10);
    EXPECT_EQ(File.Seek(7, 3), -10) << "an unknown origin leaves the position";
    EXPECT_EQ(File.Seek(0, soEnd), 70);
    EXPECT_EQ(File.Seek(1, soBeginning), 1);
    EXPECT_EQ(File.Read(Rest, -1), 0);
    EXPECT_EQ(File.Write(Rest, 10), 0);
    EXPECT_THROW(File.WriteBuffer(Rest, 10), EWriteError);
    EXPECT_EQ(Graphic.Image().Stream->Position(), 0);
}

TEST(BufferStream, ReadsABorrowedBlockAndLeavesItLocked)
{
    const TGlobalMemory Block(GlobalAlloc(GMEM_MOVEABLE, 6));
    auto* Memory = static_cast<uint8_t*>(GlobalLock(Block.get()));
    for (uint8_t I = 0; I < 6; ++I)
        Memory[I] = uint8_t(10 + I);
    {
        TBufferStream Stream(Memory, 6, false);
        EXPECT_FALSE(Stream.OwnsMemory());
        uint8_t Buffer[8] = {};
        EXPECT_EQ(Stream.Read(Buffer, 8), 6);
        EXPECT_EQ(Buffer[5], 15);
        Stream.Seek(0, soBeginning);
        EXPECT_EQ(Stream.Write(Buffer, 2), 0) << "the caller's block is not written";
        EXPECT_THROW(Stream.SetSize(100), EStreamError);
        EXPECT_EQ(Stream.Memory(), Memory) << "nor replaced";
    }
    EXPECT_EQ(GlobalLockCount(Block.get()), 1);
    EXPECT_EQ(GlobalSize(Block.get()), 6u);
    EXPECT_EQ(Memory[0], 10);
    GlobalUnlock(Block.get());
}

TEST(BufferStream, FreesAnOwnedGlobalBlock)
{
    const HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, 4);
    void* Memory = GlobalLock(Block);
    {
        TBufferStream Stream(Memory, 4, true);
    }
    EXPECT_EQ(GlobalHandle(Memory), nullptr);
    EXPECT_EQ(GlobalSize(Block), 0u);
    EXPECT_EQ(GlobalFree(Block), Block) << "already freed";
}

} // namespace
} // namespace nebulo
