#include "tests/support/BmpBytes.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BitmapDIB.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Canvas.h"
#include "toolkit/core/DeviceContext.h"
#include "toolkit/core/GlobalMemory.h"
#include "toolkit/core/StretchDIBits.h"

#include <gtest/gtest.h>

namespace nebulo {
namespace {

using test::TBytes;

TEST(GlobalMemory, LocksCountAndStaleHandlesAreRefused)
{
    const HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, 5);
    ASSERT_NE(Block, nullptr);
    EXPECT_EQ(GlobalSize(Block), 5u);
    auto* First = static_cast<uint8_t*>(GlobalLock(Block));
    ASSERT_NE(First, nullptr);
    EXPECT_EQ(First[4], 0) << "zero-filled";
    EXPECT_EQ(GlobalLock(Block), First) << "the block does not move";
    EXPECT_EQ(GlobalLockCount(Block), 2);
    EXPECT_EQ(GlobalHandle(First), Block);
    EXPECT_EQ(GlobalHandle(First + 1), nullptr) << "only a block's first byte leads to it";
    EXPECT_TRUE(GlobalUnlock(Block));
    EXPECT_FALSE(GlobalUnlock(Block));
    EXPECT_FALSE(GlobalUnlock(Block)) << "no count below zero";
    EXPECT_EQ(GlobalLockCount(Block), 0);
    EXPECT_EQ(GlobalFree(Block), nullptr);

    EXPECT_EQ(GlobalFree(Block), Block) << "a second free is refused";
    EXPECT_EQ(GlobalLock(Block), nullptr);
    EXPECT_EQ(GlobalSize(Block), 0u);
    EXPECT_EQ(GlobalHandle(First), nullptr);
    const HGLOBAL Empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    EXPECT_EQ(GlobalLock(Empty), nullptr) << "an empty block has no bytes to lock";
    GlobalFree(Empty);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_MAX / 2), nullptr) << "too large";
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, MaxGlobalBlockBytes + 1), nullptr) << "beyond 32-bit sizes";
}

struct TPainted {
    TBitmap Bitmap;
    explicit TPainted(int W, int H, TColor Colour = RGB(10, 20, 30))
    {
        Bitmap.SetSize(W, H);
        Bitmap.Canvas().Brush().Color = Colour;
        Bitmap.Canvas().FillRect({0, 0, W, H});
    }
    HDC DC() { return Bitmap.Canvas().Handle(); }
    QRgb Pixel(int X, int Y) const { return Bitmap.ToRgb32().pixel(X, Y); }
};

TEST(DeviceContext, SelectionsSwapAndSelectedObjectsSurviveDeletion)
{
    TPainted Target(4, 4);
    const HDC DC = Target.DC();
    EXPECT_EQ(DC, Target.DC()) << "one context per canvas";
    EXPECT_EQ(DC->Palette(), DefaultPalette());
    EXPECT_EQ(RealizePalette(DC), 16);

    LOGPALETTE Log;
    Log.palNumEntries = 2;
    Log.palPalEntry = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    const HPALETTE Palette = CreatePalette(Log);
    ASSERT_NE(Palette, nullptr);
    Log.palNumEntries = 3;
    EXPECT_EQ(CreatePalette(Log), nullptr) << "count and entries disagree";
    EXPECT_EQ(SelectPalette(DC, Palette, true), DefaultPalette());
    EXPECT_EQ(RealizePalette(DC), 2);
    EXPECT_FALSE(DeleteObject(Palette)) << "selected";
    EXPECT_EQ(SelectPalette(DC, DefaultPalette(), false), Palette);
    EXPECT_TRUE(DeleteObject(Palette));
    EXPECT_FALSE(DeleteObject(Palette)) << "already deleted";
    EXPECT_EQ(SelectPalette(DC, Palette, false), nullptr) << "a stale handle";
    EXPECT_FALSE(DeleteObject(DefaultPalette())) << "stock";

    EXPECT_EQ(SetStretchBltMode(DC, COLORONCOLOR), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(DC, 9), 0);
    EXPECT_EQ(DC->StretchMode(), COLORONCOLOR);
}

TBytes DIBOf(int W, int H, uint16_t BitCount, std::vector<uint32_t> Palette, TBytes Rows)
{
    test::TBmpPlan Plan{W, H, BitCount};
    Plan.Palette = std::move(Palette);
    Plan.Rows = std::move(Rows);
    return test::MakePackedDIB(Plan);
}

int Draw(HDC DC, const TBytes& DIB, TRect Dest, TRect Source, uint32_t Rop = cmSrcCopy)
{
    const int64_t Offset = 40 + 4 * int64_t(bmp::GetU32(DIB.data() + 32));
    return StretchDIBits(DC, Dest.Left, Dest.Top, Dest.Right, Dest.Bottom, Source.Left, Source.Top, Source.Right,
                         Source.Bottom, DIB.data() + Offset, DIB.data(), DIB_RGB_COLORS, Rop);
}

// Every depth as a 2 x 2 picture whose top row is red, green and bottom row
// blue, white.
struct TDepthCase {
    const char* Name;
    TBytes DIB;
};

std::vector<TDepthCase> Depths()
{
    const std::vector<uint32_t> Four = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    return {
        {"1 bit", DIBOf(2, 2, 1, {0x0000FF, 0xFFFFFF}, {0x40, 0, 0, 0, 0x00, 0, 0, 0})},
        {"4 bits", DIBOf(2, 2, 4, Four, {0x23, 0, 0, 0, 0x01, 0, 0, 0})},
        {"8 bits", DIBOf(2, 2, 8, Four, {2, 3, 0, 0, 0, 1, 0, 0})},
        {"24 bits", DIBOf(2, 2, 24, {}, {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0})},
        {"32 bits", DIBOf(2, 2, 32, {}, {255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0})},
    };
}

TEST(StretchDIBits, DrawsEveryDepthStretchedNearestNeighbour)
{
    for (const TDepthCase& Case : Depths()) {
        SCOPED_TRACE(Case.Name);
        const bool OneBit = std::string(Case.Name) == "1 bit";
        TPainted Target(5, 5);
        ASSERT_EQ(Draw(Target.DC(), Case.DIB, {1, 1, 4, 4}, {0, 0, 2, 2}), 2);
        for (int Y = 0; Y < 5; ++Y)
            for (int X = 0; X < 5; ++X) {
                QRgb Expected = qRgb(10, 20, 30);
                if (X >= 1 && X < 5 && Y >= 1 && Y < 5) {
                    const int SX = (2 * (X - 1) + 1) * 2 / 8;
                    const int SY = (2 * (Y - 1) + 1) * 2 / 8;
                    const QRgb Colours[2][2] = {{qRgb(255, 0, 0), qRgb(0, 255, 0)},
                                                {qRgb(0, 0, 255), qRgb(255, 255, 255)}};
                    Expected = Colours[SY][SX];
                    // Blue everywhere but the bottom right, white.
                    if (OneBit)
                        Expected = (SY == 1 && SX == 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 255);
                }
                ASSERT_EQ(Target.Pixel(X, Y), Expected) << "pixel (" << X << ", " << Y << ")";
            }
    }
}

TEST(StretchDIBits, SourceRectanglesMirrorsRasterOpsAndRefusals)
{
    const TBytes DIB = Depths()[3].DIB; // 24 bits
    TPainted Target(2, 2);
    // The source origin is the lower-left corner: (0, 0, 1, 1) is the blue pixel.
    ASSERT_EQ(Draw(Target.DC(), DIB, {0, 0, 1, 1}, {0, 0, 1, 1}), 1);
    EXPECT_EQ(Target.Pixel(0, 0), qRgb(0, 0, 255));
    ASSERT_EQ(Draw(Target.DC(), DIB, {0, 0, -2, 1}, {0, 1, 2, 1}), 1) << "mirrored";
    EXPECT_EQ(Target.Pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(Target.Pixel(0, 1), qRgb(10, 20, 30)) << "only one row drawn";

    TPainted Xor(1, 1, RGB(0x0F, 0xF0, 0x33));
    Draw(Xor.DC(), DIB, {0, 0, 1, 1}, {1, 1, 1, 1}, cmSrcInvert);
    EXPECT_EQ(Xor.Pixel(0, 0), qRgb(0x0F, 0x0F, 0x33)) << "green XOR the background";

    TBytes Compressed = DIB;
    Compressed[bmp::biCompression] = bmp::BI_RLE8;
    TBytes SixteenBits = DIB;
    SixteenBits[bmp::biBitCount] = 16;
    TPainted Untouched(2, 2);
    EXPECT_EQ(Draw(Untouched.DC(), Compressed, {0, 0, 2, 2}, {0, 0, 2, 2}), 0);
    EXPECT_EQ(Draw(Untouched.DC(), SixteenBits, {0, 0, 2, 2}, {0, 0, 2, 2}), 0);
    EXPECT_EQ(Draw(Untouched.DC(), DIB, {0, 0, 2, 2}, {1, 0, 2, 2}), 0) << "source beyond the DIB";
    EXPECT_EQ(Draw(Untouched.DC(), DIB, {-100000, -100000, 200000000, 200000000}, {0, 0, 2, 2}), 2)
        << "a huge destination is drawn only where the target is";
    EXPECT_EQ(Untouched.Pixel(1, 1), qRgb(255, 0, 0)) << "the top-left source pixel, spread far";
}

TEST(StretchDIBits, ACompatibleBitmapSelectedTakesTheDrawing)
{
    const TBytes DIB = Depths()[3].DIB;
    TPainted Target(2, 2);
    const HDC DC = Target.DC();
    const HBITMAP Memory = CreateCompatibleBitmap(DC, 2, 2);
    ASSERT_NE(Memory, nullptr);
    const HGDIOBJ Own = SelectObject(DC, Memory);
    ASSERT_NE(Own, nullptr);
    EXPECT_FALSE(DeleteObject(Memory)) << "selected";
    Draw(DC, DIB, {0, 0, 2, 2}, {0, 0, 2, 2});
    EXPECT_EQ(Target.Pixel(0, 0), qRgb(10, 20, 30)) << "the canvas is untouched";
    EXPECT_EQ(Memory->Pixels.pixel(0, 0), qRgb(255, 0, 0));
    TPainted Other(2, 2);
    EXPECT_EQ(SelectObject(Other.DC(), Memory), nullptr) << "selected in another context";
    EXPECT_EQ(SelectObject(DC, Own), Memory);
    EXPECT_TRUE(DeleteObject(Memory));
    Draw(DC, DIB, {0, 0, 2, 2}, {0, 0, 2, 2});
    EXPECT_EQ(Target.Pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(CreateCompatibleBitmap(DC, -1, 2), nullptr);
}

TEST(BitmapDIB, GivesHeaderTableAndRowsAtTheStoredDepth)
{
    struct TCase {
        TPixelFormat Format;
        uint16_t BitCount;
        int64_t InfoSize;
    };
    for (const TCase Case : {TCase{TPixelFormat::pf1bit, 1, 48}, TCase{TPixelFormat::pf4bit, 4, 104},
                             TCase{TPixelFormat::pf16bit, 24, 40}, TCase{TPixelFormat::pf32bit, 24, 40}}) {
        SCOPED_TRACE("bit count " + std::to_string(Case.BitCount));
        TBitmap Bitmap;
        Bitmap.SetPixelFormat(Case.Format);
        Bitmap.SetSize(9, 3);
        int64_t InfoSize = 0;
        int64_t ImageSize = 0;
        GetDIBSizes(Bitmap, InfoSize, ImageSize);
        EXPECT_EQ(InfoSize, Case.InfoSize);
        EXPECT_EQ(ImageSize, bmp::RowBytes(9, Case.BitCount) * 3);
        TMemoryStream DIB;
        DIB.SetSize(InfoSize + ImageSize);
        ASSERT_TRUE(GetDIB(Bitmap, DIB));
        EXPECT_EQ(bmp::GetU16(DIB.Memory() + 14), Case.BitCount);

        TMemoryStream File;
        Bitmap.SaveToStream(File);
        EXPECT_EQ(TBytes(DIB.Memory(), DIB.Memory() + DIB.Size()),
                  TBytes(File.Memory() + 14, File.Memory() + File.Size()))
            << "the bitmap's file after its header";
        DIB.SetSize(InfoSize + ImageSize + 1);
        EXPECT_FALSE(GetDIB(Bitmap, DIB)) << "a stream of the wrong size";
    }
    TBitmap Empty;
    TMemoryStream Nothing;
    EXPECT_FALSE(GetDIB(Empty, Nothing));
}

} // namespace
} // namespace nebulo
