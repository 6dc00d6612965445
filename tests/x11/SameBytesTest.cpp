// One set of picture files through every road in: the X11 clipboard (whole
// and in pieces), a dropped file, dropped data (the road of Qt's clipboard once it has read
// the bytes) and nebulo-blur's input. Whatever
// the road, the same bytes give the same pixels.
#include "clipboard/PasteFetch.h"
#include "interaction/PictureDrop.h"
#include "tests/support/PngWriter.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"
#include "tests/x11/FakeOwner.h"
#include "toolkit/core/Bitmap.h"
#include "tools/PictureInput.h"

#include <QBuffer>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace nebulo {
namespace {

using test::PrintTo;

QImage Pattern(QImage::Format Format)
{
    QImage Image(9, 7, Format);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Image.setPixel(X, Y, qRgba(X * 28, Y * 36, 160, X == Y ? 90 : 255));
    return Image;
}

QByteArray Written(const QImage& Image, const char* Format)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, Format);
    return Bytes;
}

QByteArray Sample(const char* Name)
{
    QFile File(QStringLiteral(NEBULO_BMP_SAMPLES "/") + Name);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

// A 2 x 1 GIF: a red pixel and a transparent one.
const char GifBytes[] = "GIF89a\x02\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
                        "\x21\xf9\x04\x01\x00\x00\x01\x00"
                        "\x2c\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02\x02\x44\x0a\x00\x3b";
const QByteArray Gif(GifBytes, sizeof GifBytes - 1);

struct TFileRow {
    const char* Name;
    std::function<QByteArray()> Bytes;
    QSize Size;
};

// The picture the one decoder and the one preparation make of the bytes.
QImage Reference(const QByteArray& Bytes)
{
    return PrepareIncomingPicture(DecodePictureBytes(Bytes)).Pixels;
}

QImage Shown(const TArrival& Arrived)
{
    if (Arrived.Failure) {
        try {
            std::rethrow_exception(Arrived.Failure);
        } catch (const std::exception& Error) {
            ADD_FAILURE() << Error.what();
        }
    }
    return Arrived.Picture.Pixels;
}

QImage FromOwner(const QByteArray& Bytes, TOwnerHabit Habit)
{
    const TFakeOwner Owner(qgetenv("DISPLAY"), Habit, Bytes);
    TOwnerRequest Request;
    Request.Display = qgetenv("DISPLAY");
    return Shown(FetchFromOwner(Request, TTrace("paste", false)));
}

QImage ThroughX11(const QByteArray& Bytes)
{
    return FromOwner(Bytes, TOwnerHabit::AnswersAll);
}

// Decoded while the pieces come.
QImage ThroughX11InPieces(const QByteArray& Bytes)
{
    return FromOwner(Bytes, TOwnerHabit::SendsPiecesUnannounced);
}

QImage ThroughDroppedFile(const QByteArray& Bytes)
{
    QTemporaryDir Folder;
    QFile File(Folder.filePath("dropped"));
    File.open(QIODevice::WriteOnly);
    File.write(Bytes);
    File.close();
    QMimeData Data;
    Data.setUrls({QUrl::fromLocalFile(File.fileName())});
    return Shown(DropTransport(Data, TTrace("drop", false))(std::stop_token()));
}

QImage ThroughDroppedData(const QByteArray& Bytes)
{
    QMimeData Data;
    Data.setData("image/png", Bytes);
    return Shown(DropTransport(Data, TTrace("drop", false))(std::stop_token()));
}

QImage ThroughBlurToolInput(const QByteArray& Bytes)
{
    std::istringstream In(Bytes.toStdString());
    TBitmap Picture;
    ReadPicture(
        "-", In, [](const QSize&) {}, Picture);
    return Picture.ToRgb32();
}

class SameBytes : public ::testing::TestWithParam<TFileRow> {};

TEST_P(SameBytes, GiveTheSamePixelsOnEveryRoad)
{
    const QByteArray Bytes = GetParam().Bytes();
    ASSERT_FALSE(Bytes.isEmpty());
    const QImage Expected = Reference(Bytes);
    ASSERT_EQ(Expected.size(), GetParam().Size);
    const std::pair<const char*, QImage (*)(const QByteArray&)> Roads[] = {
        {"X11 clipboard", ThroughX11},
        {"X11 clipboard in pieces", ThroughX11InPieces},
        {"dropped file", ThroughDroppedFile},
        {"dropped data, as Qt's clipboard hands it over too", ThroughDroppedData},
        {"nebulo-blur", ThroughBlurToolInput}};
    for (const auto& [Road, Through] : Roads)
        EXPECT_TRUE(test::SamePixels(Expected, Through(Bytes))) << "through " << Road;
}

INSTANTIATE_TEST_SUITE_P(
    Files, SameBytes,
    ::testing::Values(TFileRow{"Png", [] { return Written(Pattern(QImage::Format_RGB32), "PNG"); }, QSize(9, 7)},
                      TFileRow{"PngInterlacedPaletteWithAlphas",
                               [] {
                                   return test::WritePng({3, 4, true, true, 11});
                               },
                               QSize(61, 17)},
                      TFileRow{"PngWithAlpha", [] { return Written(Pattern(QImage::Format_ARGB32), "PNG"); },
                               QSize(9, 7)},
                      TFileRow{"Jpeg", [] { return Written(Pattern(QImage::Format_RGB32), "JPEG"); }, QSize(9, 7)},
                      TFileRow{"GifWithTransparency", [] { return Gif; }, QSize(2, 1)},
                      TFileRow{"Bmp1Bit", [] { return Sample("1bit-5x3"); }, QSize(5, 3)},
                      TFileRow{"Bmp4Bit", [] { return Sample("4bit-5x3"); }, QSize(5, 3)},
                      TFileRow{"Bmp4BitRunLength", [] { return Sample("4bit-rle4"); }, QSize(4, 2)},
                      TFileRow{"Bmp8Bit", [] { return Sample("8bit-5x3"); }, QSize(5, 3)},
                      TFileRow{"Bmp8BitRunLength", [] { return Sample("8bit-rle8"); }, QSize(4, 2)},
                      TFileRow{"Bmp16Bit565", [] { return Sample("16bit-565-bitfields"); }, QSize(5, 3)},
                      TFileRow{"Bmp24Bit", [] { return Sample("24bit-5x3"); }, QSize(5, 3)},
                      TFileRow{"Bmp32Bit", [] { return Sample("32bit-rgb"); }, QSize(5, 3)},
                      TFileRow{"Bmp32BitWithAlpha", [] { return Sample("32bit-v5-alpha"); }, QSize(4, 2)}),
    test::RowName());

} // namespace
} // namespace nebulo
