#include "tests/dib_graphic/DIBSamples.h"
#include "tests/support/SamePixels.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Canvas.h"
#include "toolkit/core/DeviceContext.h"
#include "toolkit/core/GdiObjects.h"
#include "toolkit/core/GlobalMemory.h"

#include <gtest/gtest.h>

#include <functional>

namespace nebulo {
namespace {

using test::FailureOf;
using test::TBytes;

void LoadRandom(TDIB& Graphic, int32_t Width, int32_t Height, uint16_t BitCount)
{
    test::LoadFile(Graphic, test::MakeBmpFile(test::RandomSpec(Width, Height, BitCount, 7 + BitCount)));
}

class DIBCrop : public testing::TestWithParam<uint16_t> {};

TEST_P(DIBCrop, CopyRegionCutsTheRectangleAtAnyBitOffset)
{
    TDIB Graphic;
    LoadRandom(Graphic, 37, 9, GetParam());
    const QImage Whole = test::PixelsOf(Graphic);
    for (const QRect Area : {QRect(0, 0, 37, 9), QRect(1, 2, 30, 5), QRect(3, 0, 7, 9), QRect(5, 8, 31, 1),
                             QRect(7, 3, 1, 1), QRect(36, 1, 1, 4)}) {
        SCOPED_TRACE(testing::Message() << "x " << Area.x() << ", y " << Area.y() << ", " << Area.width() << " x "
                                        << Area.height());
        TDIB Cut;
        Graphic.CopyRegion(Area.x(), Area.y(), Area.width(), Area.height(), Cut);
        EXPECT_EQ(Cut.Width(), Area.width());
        EXPECT_EQ(Cut.Height(), Area.height());
        EXPECT_TRUE(test::SamePixels(Whole.copy(Area), test::PixelsOf(Cut)));
        EXPECT_EQ(bmp::GetU32(Cut.Image().Info + 20), uint32_t(DIBRowBytes(GetParam() * Area.width()) * Area.height()))
            << "biSizeImage";
        EXPECT_EQ(TBytes(Cut.Image().Info + 40, Cut.Image().Bits), TBytes(Graphic.Image().Info + 40, Graphic.Image().Bits))
            << "colour table kept";
    }
    EXPECT_TRUE(test::SamePixels(Whole, test::PixelsOf(Graphic))) << "the source is left alone";
}

TEST_P(DIBCrop, SmallerWidthAndHeightKeepTheTopLeft)
{
    TDIB Graphic;
    LoadRandom(Graphic, 11, 6, GetParam());
    const QImage Whole = test::PixelsOf(Graphic);
    Graphic.SetHeight(5);
    EXPECT_TRUE(test::SamePixels(Whole.copy(0, 0, 11, 5), test::PixelsOf(Graphic))) << "bottom row dropped";
    Graphic.SetWidth(10);
    EXPECT_TRUE(test::SamePixels(Whole.copy(0, 0, 10, 5), test::PixelsOf(Graphic))) << "right column dropped";
}

INSTANTIATE_TEST_SUITE_P(Depths, DIBCrop, testing::Values(1, 4, 8, 16, 24, 32),
                         [](const auto& Info) { return std::to_string(Info.param) + "bits"; });

TEST(DIBCropEdges, HeightZeroLeavesAHeaderOnlyPicture)
{
    TDIB Graphic;
    LoadRandom(Graphic, 3, 3, 8);
    Graphic.SetHeight(0);
    EXPECT_FALSE(Graphic.Empty());
    EXPECT_EQ(Graphic.Height(), 0);
    EXPECT_EQ(bmp::GetI32(Graphic.Image().Info + 8), 0);
    EXPECT_EQ(bmp::GetU32(Graphic.Image().Info + 20), 0u);
    EXPECT_EQ(test::HeldDIB(Graphic).size(), 40u + 1024);
}

TEST(DIBCropEdges, RowsOfNoBytesAreNotWalked)
{
    test::TBmpPlan Plan{0, 2000000000, 24};
    TDIB Graphic;
    test::LoadFile(Graphic, test::MakeBmpFile(Plan));
    Graphic.SetHeight(1000000000);
    EXPECT_EQ(Graphic.Height(), 1000000000);
    EXPECT_EQ(test::HeldDIB(Graphic).size(), 40u);
}

TEST(DIBCropEdges, LargerNegativeOrEmptyAreRefusedAndChangeNothing)
{
    TDIB Graphic;
    LoadRandom(Graphic, 4, 3, 24);
    const TBytes Before = test::HeldDIB(Graphic);
    int Changes = 0;
    Graphic.OnChange = [&](TGraphic*) { ++Changes; };
    EXPECT_EQ(FailureOf([&] { Graphic.SetWidth(5); }), "Invalid bitmap size");
    EXPECT_EQ(FailureOf([&] { Graphic.SetHeight(-1); }), "Invalid bitmap size");
    TDIB Target;
    EXPECT_EQ(FailureOf([&] { Graphic.CopyRegion(1, 0, 4, 3, Target); }), "Invalid bitmap size");
    EXPECT_EQ(FailureOf([&] { Graphic.CopyRegion(0, -1, 1, 1, Target); }), "Invalid bitmap size");
    EXPECT_TRUE(Target.Empty());
    EXPECT_EQ(Before, test::HeldDIB(Graphic));
    EXPECT_EQ(Changes, 0);

    TDIB Empty;
    EXPECT_EQ(FailureOf([&] { Empty.SetWidth(2); }), "Invalid bitmap");
    EXPECT_EQ(FailureOf([] { TDIB().CreateDIBPalette(); }), "Invalid bitmap");
    TBitmap Canvas;
    Canvas.SetSize(2, 2);
    EXPECT_EQ(FailureOf([&] { Empty.Draw(Canvas.Canvas(), {0, 0, 2, 2}); }), "Invalid bitmap");
    uint16_t Format = 0;
    HGLOBAL Data = nullptr;
    HPALETTE Palette = nullptr;
    EXPECT_EQ(FailureOf([&] { Empty.SaveToClipboardFormat(Format, Data, Palette); }), "Invalid bitmap");
    EXPECT_EQ(Data, nullptr);
    Empty.SetWidth(0);
    EXPECT_TRUE(Empty.Empty()) << "the same width changes nothing";
}

TEST(DIBSharing, AssignedGraphicsShareUntilOneChanges)
{
    TDIB First;
    LoadRandom(First, 6, 4, 4);
    TDIB Second;
    Second.Assign(&First);
    EXPECT_EQ(&First.Image(), &Second.Image()) << "shared, not copied";
    const QImage Picture = test::PixelsOf(First);

    Second.SetWidth(3);
    EXPECT_EQ(First.Width(), 6);
    EXPECT_TRUE(test::SamePixels(Picture, test::PixelsOf(First)));
    EXPECT_TRUE(test::SamePixels(Picture.copy(0, 0, 3, 4), test::PixelsOf(Second)));

    TDIB Third;
    Third.Assign(&First);
    LoadRandom(Third, 2, 2, 24);
    EXPECT_EQ(First.Height(), 4);
    EXPECT_TRUE(test::SamePixels(Picture, test::PixelsOf(First))) << "reloading the other holder";
    First.Assign(&First);
    EXPECT_TRUE(test::SamePixels(Picture, test::PixelsOf(First))) << "assigned to itself";
}

TEST(DIBChanged, AnnouncedExactlyByTheChangingRoads)
{
    const TBytes File = test::MakeBmpFile(test::RandomSpec(3, 2, 8));
    TDIB Source;
    test::LoadFile(Source, File);
    TBitmap Bitmap;
    Bitmap.Assign(&Source);
    const TGlobalMemory Block = test::ClipboardBlockOf(Source);
    TMemoryStream Data;
    Source.WriteData(Data);

    struct TRoad {
        const char* Name;
        std::function<void(TDIB&)> Run;
        int Changes;
    };
    const TRoad Roads[] = {
        {"Assign(none)", [](TDIB& G) { G.Assign(nullptr); }, 1},
        {"Assign(TDIB)", [&](TDIB& G) { G.Assign(&Source); }, 1},
        {"LoadFromStream", [&](TDIB& G) { test::LoadFile(G, File); }, 1},
        {"ReadData", [&](TDIB& G) { Data.Seek(0, soBeginning); G.ReadData(Data); }, 1},
        {"SetWidth(other)", [](TDIB& G) { G.SetWidth(1); }, 1},
        {"SetHeight(other)", [](TDIB& G) { G.SetHeight(1); }, 1},
        {"SetWidth(same)", [](TDIB& G) { G.SetWidth(3); }, 0},
        {"SetHeight(same)", [](TDIB& G) { G.SetHeight(2); }, 0},
        {"Assign(TBitmap)", [&](TDIB& G) { G.Assign(&Bitmap); }, 0},
        {"LoadFromClipboardFormat", [&](TDIB& G) { G.LoadFromClipboardFormat(8, Block.get(), nullptr); }, 0},
        {"SaveToStream", [](TDIB& G) { TMemoryStream S; G.SaveToStream(S); }, 0},
    };
    for (const TRoad& Road : Roads) {
        TDIB Graphic;
        test::LoadFile(Graphic, File);
        int Changes = 0;
        Graphic.OnChange = [&](TGraphic* Sender) {
            EXPECT_EQ(Sender, &Graphic);
            ++Changes;
        };
        Road.Run(Graphic);
        EXPECT_EQ(Changes, Road.Changes) << Road.Name;
    }
}

// A canvas with a known background and a palette of its own selected.
struct TTarget {
    TBitmap Bitmap;
    TPaletteHandle Own;
    explicit TTarget(int W, int H)
    {
        Bitmap.SetSize(W, H);
        Bitmap.Canvas().Brush().Color = RGB(1, 2, 3);
        Bitmap.Canvas().FillRect({0, 0, W, H});
        LOGPALETTE Log;
        Log.palNumEntries = 1;
        Log.palPalEntry = {{9, 9, 9, 0}};
        Own.reset(CreatePalette(Log));
        SelectPalette(Bitmap.Canvas().Handle(), Own.get(), false);
    }
    ~TTarget() { SelectPalette(Bitmap.Canvas().Handle(), DefaultPalette(), false); }
};

TEST(DIBDraw, StretchesToTwiceTheSizeAndRestoresThePalette)
{
    for (const uint16_t BitCount : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE("bit count " + std::to_string(BitCount));
        TDIB Graphic;
        LoadRandom(Graphic, 5, 3, BitCount);
        const QImage Picture = test::PixelsOf(Graphic);
        TTarget Target(12, 8);
        Graphic.Draw(Target.Bitmap.Canvas(), {1, 1, 11, 7});
        const QImage Drawn = Target.Bitmap.ToRgb32();
        for (int Y = 0; Y < 8; ++Y)
            for (int X = 0; X < 12; ++X) {
                const bool Inside = X >= 1 && X < 11 && Y >= 1 && Y < 7;
                const QRgb Expected = Inside ? Picture.pixel((X - 1) / 2, (Y - 1) / 2) : qRgb(1, 2, 3);
                ASSERT_EQ(Drawn.pixel(X, Y), Expected) << "pixel (" << X << ", " << Y << ")";
            }
        const HDC DC = Target.Bitmap.Canvas().Handle();
        EXPECT_EQ(DC->Palette(), Target.Own.get()) << "previous palette selected again";
        EXPECT_TRUE(DC->BackgroundPalette());
        EXPECT_EQ(DC->StretchMode(), COLORONCOLOR);
    }
}

TEST(DIBDraw, HonoursTheCanvasCopyModeAndMakesAPaletteOfTheTable)
{
    TDIB Graphic;
    test::TBmpPlan Plan = test::RandomSpec(2, 1, 4);
    Plan.Rows = {0x10, 0, 0, 0};
    test::LoadFile(Graphic, test::MakeBmpFile(Plan));
    const TPaletteHandle Palette = Graphic.CreateDIBPalette();
    ASSERT_EQ(Palette->Entries.size(), 16u);
    const PALETTEENTRY Entry = Palette->Entries[1];
    EXPECT_EQ(qRgb(Entry.peRed, Entry.peGreen, Entry.peBlue), QRgb(0xFF000000 | Plan.Palette[1]));

    TTarget Target(2, 1);
    Target.Bitmap.Canvas().SetCopyMode(cmSrcInvert);
    Graphic.Draw(Target.Bitmap.Canvas(), {0, 0, 2, 1});
    EXPECT_EQ(Target.Bitmap.ToRgb32().pixel(0, 0), (0xFF000000 | Plan.Palette[1]) ^ 0x010203u);
    EXPECT_EQ(Target.Bitmap.ToRgb32().pixel(1, 0), (0xFF000000 | Plan.Palette[0]) ^ 0x010203u);
}

} // namespace
} // namespace nebulo
