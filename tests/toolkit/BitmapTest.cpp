#include "tests/support/BmpBytes.h"
#include "tests/support/RecordingFiler.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

namespace nebulo {
namespace {

class TThing : public TPersistent {
public:
    const char* ClassName() const override { return "TThing"; }
};

TEST(Bitmap, NewBitmapIsEmptyAtTheDisplayDepth)
{
    TBitmap Bitmap;
    EXPECT_TRUE(Bitmap.Empty());
    EXPECT_EQ(Bitmap.PixelFormat(), TPixelFormat::pf32bit);
    Bitmap.SetWidth(4);
    EXPECT_TRUE(Bitmap.Empty()) << "a height of 0 still makes no picture";
    Bitmap.SetHeight(3);
    EXPECT_FALSE(Bitmap.Empty());
    EXPECT_EQ(Bitmap.Width(), 4);
    EXPECT_EQ(Bitmap.Height(), 3);
    EXPECT_EQ(Bitmap.Image().pixel(3, 2), qRgb(255, 255, 255)) << "new pixels are white";
}

TEST(Bitmap, ResizingKeepsTheTopLeftPart)
{
    TBitmap Bitmap;
    Bitmap.SetSize(2, 2);
    Bitmap.Canvas().Brush().Color = RGB(10, 20, 30);
    Bitmap.Canvas().FillRect({0, 0, 2, 2});
    Bitmap.SetSize(3, 1);
    EXPECT_EQ(Bitmap.Image().pixel(1, 0), qRgb(10, 20, 30));
    EXPECT_EQ(Bitmap.Image().pixel(2, 0), qRgb(255, 255, 255));
}

TEST(Canvas, FillsAndDrawsUnscaledAtAPoint)
{
    TBitmap Small;
    QImage Pixels(2, 1, QImage::Format_RGB32);
    Pixels.setPixel(0, 0, qRgb(1, 2, 3));
    Pixels.setPixel(1, 0, qRgb(4, 5, 6));
    Small.SetImage(Pixels, TPixelFormat::pf24bit);

    TBitmap Big;
    Big.SetSize(5, 4);
    Big.Canvas().Brush().Color = clBlack;
    Big.Canvas().FillRect({0, 0, 5, 4});
    Big.Canvas().Brush().Color = clWhite;
    Big.Canvas().FillRect({1, 1, 5, 4}); // right and bottom exclusive
    Big.Canvas().Draw(2, 2, Small);

    const QImage& Out = Big.Image();
    EXPECT_EQ(Out.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(Out.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(Out.pixel(2, 2), qRgb(1, 2, 3));
    EXPECT_EQ(Out.pixel(3, 2), qRgb(4, 5, 6));
    EXPECT_EQ(Out.pixel(4, 2), qRgb(255, 255, 255));
    EXPECT_EQ(Out.pixel(2, 3), qRgb(255, 255, 255));
}

TEST(Canvas, PaintingAPalettePictureKeepsItsDepthAndPalette)
{
    TBitmap Bitmap;
    Bitmap.SetPixelFormat(TPixelFormat::pf4bit);
    Bitmap.SetSize(4, 4);
    Bitmap.Canvas().Brush().Color = RGB(250, 5, 5); // nearest standard colour: red
    Bitmap.Canvas().FillRect({0, 0, 2, 2});
    EXPECT_EQ(Bitmap.PixelFormat(), TPixelFormat::pf4bit);
    EXPECT_EQ(Bitmap.Image().colorCount(), 16);
    EXPECT_EQ(Bitmap.Image().pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(Bitmap.Image().pixel(2, 2), qRgb(255, 255, 255));
}

TEST(Bitmap, SetImageCompositesTransparencyOverWhite)
{
    QImage Image(2, 1, QImage::Format_ARGB32);
    Image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    Image.setPixel(1, 0, qRgba(0, 0, 255, 255));
    TBitmap Bitmap;
    Bitmap.SetImage(Image);
    EXPECT_EQ(Bitmap.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(Bitmap.Image().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(Bitmap.Image().pixel(1, 0), qRgb(0, 0, 255));
}

TEST(Bitmap, AssignCopiesAndRefusesForeignClassesByName)
{
    TBitmap Source;
    Source.SetSize(3, 2);
    TBitmap Copy;
    Copy.Assign(&Source);
    EXPECT_EQ(Copy.Width(), 3);
    Source.SetSize(1, 1);
    EXPECT_EQ(Copy.Width(), 3) << "a copy, not a view";

    TThing Thing;
    try {
        Copy.Assign(&Thing);
        FAIL() << "a foreign class must be refused";
    } catch (const EConvertError& Error) {
        EXPECT_STREQ(Error.what(), "Cannot assign a TThing to a TBitmap");
    }
    try {
        Thing.Assign(&Copy);
        FAIL() << "a foreign class must be refused";
    } catch (const EConvertError& Error) {
        EXPECT_STREQ(Error.what(), "Cannot assign a TBitmap to a TThing");
    }
    Copy.Assign(nullptr);
    EXPECT_TRUE(Copy.Empty());
}

TEST(Bitmap, AnnouncesChanges)
{
    TBitmap Bitmap;
    int Changes = 0;
    Bitmap.OnChange = [&](TGraphic* Sender) {
        EXPECT_EQ(Sender, &Bitmap);
        ++Changes;
    };
    Bitmap.SetSize(2, 2);
    Bitmap.Canvas().FillRect({0, 0, 1, 1});
    EXPECT_EQ(Changes, 2);
    EXPECT_TRUE(Bitmap.Modified());
}

TEST(Bitmap, StreamedDataIsLengthPrefixedAndDeclaredWhenNotEmpty)
{
    TBitmap Bitmap;
    test::TRecordingFiler Filer;
    DefinePropertiesOf(Bitmap, Filer);
    EXPECT_EQ(Filer.Name, "Data");
    EXPECT_FALSE(Filer.HasData) << "an empty graphic writes no data";

    Bitmap.SetSize(2, 3);
    DefinePropertiesOf(Bitmap, Filer);
    EXPECT_EQ(Filer.Name, "Data");
    EXPECT_TRUE(Filer.HasData);

    TMemoryStream Stream;
    Bitmap.WriteData(Stream);
    ASSERT_GE(Stream.Size(), 4);
    EXPECT_EQ(int64_t(Stream.Memory()[0] | Stream.Memory()[1] << 8), Stream.Size() - 4);
    Stream.Seek(0, soBeginning);
    TBitmap Back;
    Back.ReadData(Stream);
    EXPECT_TRUE(Back.Equals(&Bitmap));

    Stream.Seek(0, soBeginning);
    Stream.Memory()[2] = 0x7F; // a length far past the stream's end
    EXPECT_THROW(Back.ReadData(Stream), EReadError);
}

TEST(Graphic, EqualsComparesEmptinessThenStreamedBytes)
{
    TBitmap A, B;
    EXPECT_TRUE(A.Equals(&B));
    A.SetSize(2, 2);
    EXPECT_FALSE(A.Equals(&B));
    B.SetSize(2, 2);
    EXPECT_TRUE(A.Equals(&B));
    B.Canvas().Brush().Color = clBlack;
    B.Canvas().FillRect({0, 0, 1, 1});
    EXPECT_FALSE(A.Equals(&B));
}

} // namespace
} // namespace nebulo
