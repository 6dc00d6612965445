#include "blur/BlurCommand.h"
#include "dib/SDIB.h"
#include "pictureio/PngEncoder.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"
#include "toolkit/core/Bitmap.h"

#include <QBuffer>

#include <libdeflate.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace nebulo {
namespace {

// Colours that differ from pixel to pixel and row to row without any
// pattern a filter could guess; the same every run.
QImage Scrambled(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) {
            const uint32_t H = (uint32_t(X) * 2654435761u) ^ (uint32_t(Y) * 40503u + 977u);
            Image.setPixel(X, Y, qRgb(int(H & 255), int((H >> 8) & 255), int((H >> 19) & 255)));
        }
    return Image;
}

// A well mixed hash of N (the finaliser of a common hash function): noise
// without a pattern, the same every run.
uint32_t Mixed(uint32_t N)
{
    N ^= N >> 16;
    N *= 0x85EBCA6Bu;
    N ^= N >> 13;
    N *= 0xC2B2AE35u;
    return N ^ (N >> 16);
}

// What a person copies: gradients with grain, blurred at 5 as the window does.
QImage Blurred(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) {
            const QRgb Grain = Mixed(uint32_t(Y * Width + X)) & 0x3F3F3F;
            Image.setPixel(
                X, Y, qRgb(X * 190 / Width + qRed(Grain), Y * 190 / Height + qGreen(Grain), 100 + qBlue(Grain)));
        }
    TBitmap Picture;
    Picture.SetImage(Image);
    TSDIB Surface;
    RunBlurSteps(Picture, Surface, 50, false);
    return Picture.ToRgb32();
}

// The picture as Qt decodes its PNG; a null picture when Qt cannot.
QImage Decoded(const QByteArray& Png)
{
    return QImage::fromData(Png, "PNG");
}

struct TDepthRow {
    const char* Name;
    TPixelFormat Format;
};

class EncoderAtEachDepth : public ::testing::TestWithParam<TDepthRow> {};

TEST_P(EncoderAtEachDepth, EveryWidthFrom1To64DecodesToTheSamePixels)
{
    for (int Width = 1; Width <= 64; ++Width) {
        TBitmap Bitmap;
        Bitmap.SetImage(Scrambled(Width, 5), GetParam().Format);
        EXPECT_TRUE(test::SamePixels(Bitmap.ToRgb32(), Decoded(EncodePng(Bitmap.Image())))) << "width " << Width;
    }
}

TEST_P(EncoderAtEachDepth, LargePicturesDecodeToTheSamePixels)
{
    for (const QSize Size : {QSize(2023, 2023), QSize(2023, 1), QSize(1, 2023), QSize(3001, 7)}) {
        TBitmap Bitmap;
        Bitmap.SetImage(Scrambled(Size.width(), Size.height()), GetParam().Format);
        EXPECT_TRUE(test::SamePixels(Bitmap.ToRgb32(), Decoded(EncodePng(Bitmap.Image()))))
            << Size.width() << " x " << Size.height();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Depths, EncoderAtEachDepth,
    ::testing::Values(TDepthRow{"bits1", TPixelFormat::pf1bit}, TDepthRow{"bits4", TPixelFormat::pf4bit},
                      TDepthRow{"bits8", TPixelFormat::pf8bit}, TDepthRow{"bits16", TPixelFormat::pf16bit},
                      TDepthRow{"bits24", TPixelFormat::pf24bit}, TDepthRow{"bits32", TPixelFormat::pf32bit}),
    test::RowName());

TEST(PngEncoder, WritesAStandardRgbFileOfAtMostOnePointFourTimesQtsSize)
{
    const QImage Picture = Blurred(640, 480);
    const QByteArray Png = EncodePng(Picture);
    ASSERT_GT(Png.size(), 33);
    EXPECT_EQ(Png.left(8), QByteArray("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(Png.mid(12, 4), "IHDR");
    EXPECT_EQ(Png.mid(24, 3), QByteArray("\x08\x02\x00", 3)) << "8 bits, red green blue, deflate";
    EXPECT_EQ(Png.right(8), QByteArray("IEND\xae\x42\x60\x82", 8)) << "the end chunk and its checksum";

    QByteArray QtPng;
    QBuffer Buffer(&QtPng);
    Buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Picture.save(&Buffer, "PNG"));
    EXPECT_LE(double(Png.size()), 1.4 * double(QtPng.size()))
        << Png.size() << " bytes against Qt's " << QtPng.size();
}

// The rows are deflated in shares, one per core, joined into one stream:
// a strict decoder must find every filtered byte and the stream's checksum.
TEST(PngEncoder, TheRowsAreOneWholeZlibStreamWithItsChecksum)
{
    const QImage Picture = Scrambled(640, 480);
    const QByteArray Png = EncodePng(Picture);
    const qsizetype Data = Png.indexOf("IDAT");
    ASSERT_GT(Data, 0);
    const auto* Length = reinterpret_cast<const uint8_t*>(Png.constData() + Data - 4);
    const size_t Deflated = size_t(Length[0]) << 24 | size_t(Length[1]) << 16 | size_t(Length[2]) << 8 | Length[3];
    std::vector<uint8_t> Rows(size_t(480) * (640 * 3 + 1) + 1);
    size_t Inflated = 0;
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> Decompressor(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    ASSERT_EQ(libdeflate_zlib_decompress(Decompressor.get(), Png.constData() + Data + 4, Deflated, Rows.data(),
                                         Rows.size(), &Inflated),
              LIBDEFLATE_SUCCESS);
    EXPECT_EQ(Inflated, Rows.size() - 1);
}

TEST(PngEncoder, AnEmptyPictureGivesNoBytes)
{
    EXPECT_TRUE(EncodePng(QImage()).isEmpty());
}

} // namespace
} // namespace nebulo
