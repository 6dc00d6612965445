#include "tests/support/SamePixels.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/GlobalMemory.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

namespace nebulo {
namespace {

class ClipboardTest : public testing::Test {
protected:
    void TearDown() override
    {
        while (Clipboard().IsOpen())
            Clipboard().Close();
        QGuiApplication::clipboard()->clear();
    }
};

QImage Gradient(int W, int H, QImage::Format Format = QImage::Format_RGB32)
{
    QImage Picture(W, H, Format);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            Picture.setPixel(X, Y, qRgba(30 * X, 50 * Y, 255 - 9 * X, Y == 0 ? 0 : 255));
    return Picture;
}

TEST_F(ClipboardTest, OpenAndCloseNestByACounter)
{
    TClipboard& Board = Clipboard();
    EXPECT_EQ(&Board, &Clipboard()) << "one per application";
    Board.Close();
    EXPECT_FALSE(Board.IsOpen()) << "a Close without an Open does nothing";
    Board.Open();
    Board.Open();
    Board.Close();
    EXPECT_TRUE(Board.IsOpen()) << "only the outermost Close closes";
    Board.Close();
    EXPECT_FALSE(Board.IsOpen());
}

TEST_F(ClipboardTest, OffersFormats8And2ExactlyWhileItHoldsAPicture)
{
    EXPECT_FALSE(Clipboard().HasFormat(CF_DIB));
    EXPECT_TRUE(Clipboard().Formats().empty());
    auto* Text = new QMimeData;
    Text->setText("no picture");
    QGuiApplication::clipboard()->setMimeData(Text);
    EXPECT_FALSE(Clipboard().HasFormat(CF_DIB));
    QGuiApplication::clipboard()->setImage(Gradient(3, 2));
    EXPECT_EQ(Clipboard().Formats(), (std::vector<uint16_t>{CF_DIB, CF_BITMAP}));
    EXPECT_TRUE(Clipboard().HasFormat(CF_DIB));
    EXPECT_FALSE(Clipboard().HasFormat(3));
}

TEST_F(ClipboardTest, BitmapTakesThePictureAt32BitsOverWhite)
{
    const QImage Source = Gradient(4, 3, QImage::Format_ARGB32);
    QGuiApplication::clipboard()->setImage(Source);
    TBitmap Bitmap;
    Bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    int Changes = 0;
    Bitmap.OnChange = [&](TGraphic*) { ++Changes; };
    Bitmap.Assign(&Clipboard());
    EXPECT_EQ(Bitmap.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_GE(Changes, 1);
    const QImage Taken = Bitmap.ToRgb32();
    ASSERT_EQ(Taken.size(), Source.size());
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 4; ++X) {
            const QRgb Expected = Y == 0 ? qRgb(255, 255, 255) : (Source.pixel(X, Y) | 0xFF000000);
            ASSERT_EQ(Taken.pixel(X, Y), Expected) << "pixel (" << X << ", " << Y << ")";
        }
    EXPECT_FALSE(Clipboard().IsOpen());
}

TEST_F(ClipboardTest, BitmapFromAnEmptyClipboardFailsAndStaysAsItWas)
{
    TBitmap Bitmap;
    Bitmap.SetSize(2, 2);
    try {
        Bitmap.Assign(&Clipboard());
        FAIL() << "no failure";
    } catch (const EInvalidGraphic& Failure) {
        EXPECT_STREQ(Failure.what(), "Unsupported clipboard format");
    }
    EXPECT_EQ(Bitmap.Width(), 2);
    EXPECT_FALSE(Clipboard().IsOpen());
}

TEST_F(ClipboardTest, AssigningABitmapReplacesTheContentOnce)
{
    auto* Text = new QMimeData;
    Text->setText("old content");
    QGuiApplication::clipboard()->setMimeData(Text);
    TBitmap Bitmap;
    Bitmap.SetImage(Gradient(5, 4));
    int Changes = 0;
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [&] { ++Changes; });
    Clipboard().Open();
    Clipboard().Assign(&Bitmap);
    const int AfterFirst = Changes;
    EXPECT_EQ(AfterFirst, 1) << "the picture replaces the text directly, with no empty clipboard between";
    Clipboard().Assign(&Bitmap);
    Clipboard().Close();
    EXPECT_EQ(Changes - AfterFirst, 1) << "the second assignment in one bracket does not empty again";
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasText());
    EXPECT_TRUE(test::SamePixels(Bitmap.ToRgb32(), QGuiApplication::clipboard()->image()));
    QObject::disconnect(QGuiApplication::clipboard(), &QClipboard::dataChanged, nullptr, nullptr);
}

bool SystemHoldsPicture()
{
    const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
    return Data != nullptr && Data->hasImage();
}

TEST_F(ClipboardTest, AClearInsideABracketEmptiesAtTheOutermostClose)
{
    QGuiApplication::clipboard()->setImage(Gradient(3, 2));
    {
        const TOpenClipboard Open(Clipboard());
        Clipboard().Clear();
        EXPECT_TRUE(Clipboard().Formats().empty()) << "the bracket sees it empty at once";
        EXPECT_EQ(Clipboard().GetAsHandle(CF_DIB), nullptr);
        EXPECT_TRUE(SystemHoldsPicture()) << "other programs, not yet";
    }
    EXPECT_FALSE(SystemHoldsPicture());
    Clipboard().Clear();
    EXPECT_FALSE(Clipboard().IsOpen()) << "outside a bracket it empties at once";
}

TEST_F(ClipboardTest, Format8HandleIsAPackedDIBValidWhileOpen)
{
    const QImage Source = Gradient(3, 2);
    QGuiApplication::clipboard()->setImage(Source);
    EXPECT_EQ(Clipboard().GetAsHandle(CF_DIB), nullptr) << "closed";
    HGLOBAL Block = nullptr;
    {
        const TOpenClipboard Open(Clipboard());
        Block = Clipboard().GetAsHandle(CF_DIB);
        ASSERT_NE(Block, nullptr);
        EXPECT_EQ(Clipboard().GetAsHandle(CF_DIB), Block) << "one block per bracket";
        EXPECT_EQ(Clipboard().GetAsHandle(CF_BITMAP), nullptr);
        ASSERT_EQ(GlobalSize(Block), 40u + 2 * 12);
        const TGlobalLock Lock(Block);
        const uint8_t* Info = Lock.Memory();
        EXPECT_EQ(bmp::GetU32(Info), 40u);
        EXPECT_EQ(bmp::GetI32(Info + 4), 3);
        EXPECT_EQ(bmp::GetI32(Info + 8), 2);
        EXPECT_EQ(bmp::GetU16(Info + 14), 24);
        // Bottom row first, blue, green, red.
        for (int Row = 0; Row < 2; ++Row)
            for (int X = 0; X < 3; ++X) {
                const uint8_t* Pixel = Info + 40 + 12 * Row + 3 * X;
                const QRgb Expected = Source.pixel(X, 1 - Row) | 0xFF000000;
                ASSERT_EQ(qRgb(Pixel[2], Pixel[1], Pixel[0]), Expected) << "pixel (" << X << ", " << 1 - Row << ")";
            }
    }
    EXPECT_EQ(GlobalSize(Block), 0u) << "freed at the outermost Close";
}

} // namespace
} // namespace nebulo
