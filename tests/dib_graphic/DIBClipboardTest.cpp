#include "tests/dib_graphic/DIBSamples.h"
#include "tests/support/SamePixels.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/core/GlobalMemory.h"
#include "toolkit/core/Picture.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace nebulo {
namespace {

using test::FailureOf;

class DIBClipboard : public testing::Test {
protected:
    void SetUp() override { RegisterDIBGraphicClass(); }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }

    static QImage Sample()
    {
        QImage Picture(5, 3, QImage::Format_RGB32);
        for (int Y = 0; Y < 3; ++Y)
            for (int X = 0; X < 5; ++X)
                Picture.setPixel(X, Y, qRgb(40 * X, 80 * Y, 7 * X + Y));
        return Picture;
    }
};

TEST_F(DIBClipboard, PictureLoadsFormat8AsATDIBOfTheSamePixels)
{
    TDIB Source;
    test::LoadFile(Source, test::MakeBmpFile(test::RandomSpec(6, 4, 8)));
    const TGlobalMemory Block = test::ClipboardBlockOf(Source);

    TPicture Picture;
    int Changes = 0;
    Picture.OnChange = [&](TPicture*) { ++Changes; };
    Picture.LoadFromClipboardFormat(8, Block.get(), nullptr);
    auto* Loaded = dynamic_cast<TDIB*>(Picture.Graphic());
    ASSERT_NE(Loaded, nullptr) << "graphic of class " << (Picture.Graphic() ? Picture.Graphic()->ClassName() : "none");
    EXPECT_TRUE(test::SamePixels(test::PixelsOf(Source), test::PixelsOf(*Loaded)));
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(GlobalLockCount(Block.get()), 0);

    // A block that is no DIB leaves the loaded graphic in place.
    const TGlobalMemory Junk(GlobalAlloc(GMEM_MOVEABLE, 3));
    EXPECT_EQ(FailureOf([&] { Picture.LoadFromClipboardFormat(8, Junk.get(), nullptr); }), "Unknown clipboard format");
    EXPECT_EQ(Picture.Graphic(), Loaded);
    EXPECT_EQ(Changes, 1);
}

TEST_F(DIBClipboard, AssignFromTheClipboardTakesItsPicture)
{
    QGuiApplication::clipboard()->setImage(Sample());
    TDIB Graphic;
    int Changes = 0;
    Graphic.OnChange = [&](TGraphic*) { ++Changes; };
    Graphic.Assign(&Clipboard());
    EXPECT_TRUE(test::SamePixels(Sample(), test::PixelsOf(Graphic)));
    EXPECT_EQ(Changes, 1);
    EXPECT_FALSE(Clipboard().IsOpen());

    TPicture Picture;
    Picture.Assign(&Clipboard());
    auto* Loaded = dynamic_cast<TDIB*>(Picture.Graphic());
    ASSERT_NE(Loaded, nullptr) << "format 8 is offered first";
    EXPECT_TRUE(test::SamePixels(Sample(), test::PixelsOf(*Loaded)));
}

TEST_F(DIBClipboard, AssignFromAnEmptyClipboardIsRefused)
{
    QGuiApplication::clipboard()->clear();
    TDIB Graphic;
    int Changes = 0;
    Graphic.OnChange = [&](TGraphic*) { ++Changes; };
    EXPECT_EQ(FailureOf([&] { Graphic.Assign(&Clipboard()); }), "Unknown clipboard format");
    EXPECT_TRUE(Graphic.Empty());
    EXPECT_EQ(Changes, 0);
    EXPECT_FALSE(Clipboard().IsOpen());
    TPicture Picture;
    EXPECT_EQ(FailureOf([&] { Picture.Assign(&Clipboard()); }), "Unsupported clipboard format");
    EXPECT_EQ(Picture.Graphic(), nullptr);
}

} // namespace
} // namespace nebulo
