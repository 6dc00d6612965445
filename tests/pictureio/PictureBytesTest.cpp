#include "pictureio/IncomingPicture.h"
#include "pictureio/PictureBytes.h"
#include "tests/support/PngWriter.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"

#include <QBuffer>
#include <QMimeData>

#include <gtest/gtest.h>

#include <libdeflate.h>

#include <functional>

namespace nebulo {
namespace {

using test::PrintTo;

QByteArray SmallPng()
{
    QImage Picture(3, 2, QImage::Format_RGB32);
    Picture.fill(qRgb(10, 200, 30));
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Picture.save(&Buffer, "PNG");
    return Bytes;
}

// The header chunk ends 33 bytes in.
QByteArray WithChunkAfterHeader(const QByteArray& Length)
{
    QByteArray Bytes = SmallPng();
    Bytes.insert(33, Length + "tEXtdate");
    return Bytes;
}

// A header chunk declaring Width x Height, with its check sum.
QByteArray Declaring(QByteArray Png, uint32_t Width, uint32_t Height)
{
    for (int I = 0; I < 4; ++I) {
        Png[16 + I] = char(Width >> (24 - 8 * I));
        Png[20 + I] = char(Height >> (24 - 8 * I));
    }
    const uint32_t Sum = libdeflate_crc32(0, Png.constData() + 12, 17);
    for (int I = 0; I < 4; ++I)
        Png[29 + I] = char(Sum >> (24 - 8 * I));
    return Png;
}

// The decoder fed the bytes as they would come in pieces of Piece bytes.
QImage InPieces(const QByteArray& Bytes, qsizetype Piece, QImageReader::ImageReaderError* Error = nullptr)
{
    TPictureStream Decoder;
    for (qsizetype Size = Piece; Size < Bytes.size(); Size += Piece)
        Decoder.Arrived(Bytes.constData(), Size);
    return Decoder.Finish(Bytes, Error);
}

struct TBytesRow {
    const char* Name;
    std::function<QByteArray()> Make;
    bool HoldsTogether;
};

class PictureBytes : public ::testing::TestWithParam<TBytesRow> {};

TEST_P(PictureBytes, AreDecodedOnlyWhenTheyHoldTogether)
{
    const QByteArray Bytes = GetParam().Make();
    EXPECT_EQ(PictureBytesHoldTogether(Bytes), GetParam().HoldsTogether);
    if (!GetParam().HoldsTogether) {
        QImageReader::ImageReaderError Error = QImageReader::UnknownError;
        EXPECT_TRUE(DecodePictureBytes(Bytes, &Error).isNull());
        EXPECT_EQ(Error, QImageReader::InvalidDataError);
        Error = QImageReader::UnknownError;
        EXPECT_TRUE(InPieces(Bytes, 1, &Error).isNull()) << "decoded while the bytes came";
        EXPECT_EQ(Error, QImageReader::InvalidDataError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PictureBytes,
    ::testing::Values(TBytesRow{"WholePng", SmallPng, true},
                      TBytesRow{"AfterItsEnd", [] { return SmallPng() + "trailing bytes"; }, true},
                      TBytesRow{"CutWithinAFrame", [] { return SmallPng().left(37); }, true},
                      TBytesRow{"CutWithinAChunk", [] { return SmallPng().left(42); }, false},
                      TBytesRow{"ChunkClaimsGigabytes",
                                [] { return WithChunkAfterHeader(QByteArray("\x66\x01\x3b\x74", 4)); }, false},
                      TBytesRow{"ChunkBeyondThePngLimit",
                                [] { return WithChunkAfterHeader(QByteArray("\x80\x00\x00\x00", 4)); }, false},
                      TBytesRow{"NotAPng", [] { return QByteArray("BM\x01\x02", 4); }, true},
                      TBytesRow{"DeclaresMoreThanTheReadersMemoryLimit",
                                [] { return Declaring(SmallPng(), 70000, 70000); }, true}),
    test::RowName());

TEST(PictureBytes, ThePngHeaderTellsTheSizeWithoutTheDecoder)
{
    EXPECT_EQ(PngDeclaredSize(SmallPng()), QSize(3, 2));
    EXPECT_EQ(PngDeclaredSize(SmallPng().left(32)), QSize()) << "header cut short";
    QByteArray NoWidth = SmallPng();
    NoWidth.replace(16, 4, QByteArray(4, '\0'));
    EXPECT_EQ(PngDeclaredSize(NoWidth), QSize());
    EXPECT_EQ(PngDeclaredSize("BM\x01\x02"), QSize());
}

TEST(PictureBytes, DecodesAWholePicture)
{
    const QImage Picture = DecodePictureBytes(SmallPng());
    ASSERT_EQ(Picture.size(), QSize(3, 2));
    EXPECT_EQ(Picture.pixel(2, 1), qRgb(10, 200, 30));
    EXPECT_TRUE(DecodePictureBytes(Declaring(SmallPng(), 70000, 70000)).isNull())
        << "beyond the memory limit of Qt's reader";
}

struct TPngRow {
    const char* Name;
    test::TPngKind Kind;
    QByteArray (*Alter)(const QByteArray& Png) = nullptr; // the bytes after they were written
};

// What Qt's reader makes of the bytes, ready to show.
TIncomingPicture ThroughQt(const QByteArray& Bytes)
{
    return PrepareIncomingPicture(QImage::fromData(Bytes, "PNG"));
}

class PngKinds : public ::testing::TestWithParam<TPngRow> {};

// Every kind of PNG gives Qt's reader's pixels, as a whole and in pieces of
// any size.
TEST_P(PngKinds, GiveQtsPixelsWholeAndInPieces)
{
    QByteArray Bytes = test::WritePng(GetParam().Kind);
    ASSERT_FALSE(Bytes.isEmpty());
    if (GetParam().Alter != nullptr)
        Bytes = GetParam().Alter(Bytes);
    const TIncomingPicture Expected = ThroughQt(Bytes);
    const TIncomingPicture Whole = PrepareIncomingPicture(DecodePictureBytes(Bytes));
    EXPECT_TRUE(test::SamePixels(Expected.Pixels, Whole.Pixels));
    EXPECT_EQ(Whole.Flattened, Expected.Flattened);
    for (const qsizetype Piece : {1, 61, 4096})
        EXPECT_TRUE(test::SamePixels(Expected.Pixels, PrepareIncomingPicture(InPieces(Bytes, Piece)).Pixels))
            << "in pieces of " << Piece << " bytes";
}

test::TPngKind Kind(int Colour, int Depth, bool Transparency = false, bool Interlaced = false, int PaletteSize = 0)
{
    return {Colour, Depth, Transparency, Interlaced, PaletteSize};
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PngKinds,
    ::testing::Values(
        TPngRow{"Grey1", Kind(0, 1)}, TPngRow{"Grey2WithTransparentGrey", Kind(0, 2, true)},
        TPngRow{"Grey8", Kind(0, 8)}, TPngRow{"Grey16", Kind(0, 16)},
        TPngRow{"Grey16WithTransparentGrey", Kind(0, 16, true)}, TPngRow{"GreyAlpha8", Kind(4, 8)},
        TPngRow{"GreyAlpha16", Kind(4, 16)}, TPngRow{"Rgb8", Kind(2, 8)},
        TPngRow{"Rgb8WithTransparentColour", Kind(2, 8, true)}, TPngRow{"Rgb16", Kind(2, 16)},
        TPngRow{"Rgba8", Kind(6, 8)}, TPngRow{"Rgba16", Kind(6, 16)}, TPngRow{"Palette1", Kind(3, 1)},
        TPngRow{"Palette1OfOneColour", Kind(3, 1, false, false, 1)},
        TPngRow{"Palette2IndicesBeyondItsThreeColours", Kind(3, 2, false, false, 3)},
        TPngRow{"Palette8Of200ColoursWithAlphas", Kind(3, 8, true, false, 200)},
        TPngRow{"InterlacedRgb8", Kind(2, 8, false, true)}, TPngRow{"InterlacedRgba8", Kind(6, 8, false, true)},
        TPngRow{"InterlacedPalette4WithAlphas", Kind(3, 4, true, true, 11)},
        TPngRow{"InterlacedGrey16", Kind(0, 16, false, true)}, TPngRow{"OnePixel", {2, 8, false, true, 0, 1, 1}},
        TPngRow{"OneColumnInterlaced", {6, 8, false, true, 0, 1, 9}},
        TPngRow{"RowsMissing", Kind(2, 8), [](const QByteArray& Png) { return Declaring(Png, 61, 18); }},
        TPngRow{"InterlacedRowsMissing", Kind(0, 8, false, true),
                [](const QByteArray& Png) { return Declaring(Png, 61, 18); }}),
    test::RowName());

// Qt's reader gives a 16-bit RGB picture with a transparent colour from
// memory it never wrote; the decoder gives its colours, the transparent one
// on white.
TEST(PngKinds, Rgb16WithATransparentColourIsItsColoursOnWhite)
{
    for (const bool Interlaced : {false, true}) {
        test::TPngKind Transparent{2, 16, true, Interlaced};
        test::TPngKind Opaque = Transparent;
        Opaque.Transparency = false;
        QImage Expected = ThroughQt(test::WritePng(Opaque)).Pixels;
        for (int Y = 0; Y < Expected.height(); ++Y)
            for (int X = 0; X < Expected.width(); ++X)
                if (test::HasTransparentColour(Transparent, X, Y))
                    Expected.setPixel(X, Y, qRgb(255, 255, 255));
        const TIncomingPicture Decoded = PrepareIncomingPicture(DecodePictureBytes(test::WritePng(Transparent)));
        EXPECT_TRUE(test::SamePixels(Expected, Decoded.Pixels)) << (Interlaced ? "interlaced" : "");
        EXPECT_TRUE(Decoded.Flattened);
    }
}

struct TMimeRow {
    const char* Name;
    std::function<void(QMimeData&)> Fill;
    QSize Size; // of the picture found; invalid for none
    bool Unanswered;
};

class MimePicture : public ::testing::TestWithParam<TMimeRow> {};

TEST_P(MimePicture, IsFoundOrSaysWhyNot)
{
    QMimeData Data;
    GetParam().Fill(Data);
    const TMimePicture Found = PictureOfMimeData(Data);
    EXPECT_EQ(Found.Unanswered(), GetParam().Unanswered);
    const TArrival Arrived = ArrivalFromMime(Found, TTrace("paste", false), {"no answer", "unreadable", "", ""});
    const QImage& Picture = Arrived.Picture.Pixels;
    EXPECT_EQ(Picture.isNull() ? QSize() : Picture.size(), GetParam().Size);
    EXPECT_EQ(bool(Arrived.Failure), Picture.isNull() && !Found.Type.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Offers, MimePicture,
    ::testing::Values(TMimeRow{"PngBytes", [](QMimeData& Data) { Data.setData("image/png", SmallPng()); },
                               QSize(3, 2), false},
                      TMimeRow{"PngOfferedNoBytesCame",
                               [](QMimeData& Data) { Data.setData("image/png", QByteArray()); }, QSize(), true},
                      TMimeRow{"PngOfferedOtherBytesCame",
                               [](QMimeData& Data) { Data.setData("image/png", "not a picture"); }, QSize(), false},
                      TMimeRow{"PictureWithinThisProgram",
                               [](QMimeData& Data) { Data.setImageData(QImage(4, 5, QImage::Format_RGB32)); },
                               QSize(4, 5), false},
                      TMimeRow{"NoPictureOffered", [](QMimeData& Data) { Data.setText("words"); }, QSize(), false}),
    test::RowName());

} // namespace
} // namespace nebulo
