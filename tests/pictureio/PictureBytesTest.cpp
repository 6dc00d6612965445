#include "pictureio/IncomingPicture.h"
#include "pictureio/PictureBytes.h"
#include "tests/support/Rows.h"

#include <QBuffer>
#include <QMimeData>

#include <gtest/gtest.h>

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
                      TBytesRow{"NotAPng", [] { return QByteArray("BM\x01\x02", 4); }, true}),
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
