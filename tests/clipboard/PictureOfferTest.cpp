#include "clipboard/PictureOffer.h"
#include "pictureio/PngEncoder.h"
#include "tests/support/SamePixels.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace nebulo {
namespace {

QImage Gradient(int Width, int Height, int Shift)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Image.setPixel(X, Y, qRgb((X + Shift) & 255, (Y * 3) & 255, Shift & 255));
    return Image;
}

TEST(PictureOffer, ARequestWhileEncodingWaitsForTheFinishedBytes)
{
    const QImage Picture = Gradient(300, 200, 7);
    std::promise<void> Gate;
    std::shared_future<void> Opened = Gate.get_future().share();
    TPictureOffer Offer(Picture, [Opened](const QImage& Pixels) {
        Opened.wait();
        return EncodePng(Pixels);
    });
    ASSERT_FALSE(Offer.PngReady()) << "the encoder is held back";
    std::thread Opener([&Gate] { Gate.set_value(); });
    const QByteArray Served = Offer.data(TPictureOffer::PngType);
    Opener.join();
    EXPECT_TRUE(Offer.PngReady());
    EXPECT_EQ(Served, EncodePng(Picture)) << "the whole of the finished bytes";
    EXPECT_TRUE(test::SamePixels(Picture, QImage::fromData(Served, "PNG")));
}

TEST(PictureOffer, OffersPngFirstThenBmpEachTheExactPicture)
{
    // An odd width gives the BMP's rows padding.
    const QImage Picture = Gradient(21, 10, 3);
    TPictureOffer Offer(Picture);
    EXPECT_EQ(Offer.formats(), QStringList({"image/png", "image/bmp", "image/x-bmp", "image/x-MS-bmp"}))
        << "no type that is slow to make or loses detail";
    EXPECT_FALSE(Offer.hasImage()) << "no platform writes the picture anew with Qt's writers";
    EXPECT_TRUE(test::SamePixels(Picture, qvariant_cast<QImage>(Offer.imageData()))) << "but this process has it";
    QSignalSpy Encoded(&Offer, &TPictureOffer::Encoded);
    EXPECT_TRUE(Encoded.wait(10000) || Offer.PngReady());
    EXPECT_TRUE(test::SamePixels(Picture, QImage::fromData(Offer.Png(), "PNG")));
    for (const QString& Type : Offer.formats())
        EXPECT_TRUE(test::SamePixels(Picture, QImage::fromData(Offer.data(Type)))) << Type.toStdString();
}

TEST(PictureOffer, AFailedEncodingLeavesPngToQtsWriter)
{
    TPictureOffer Offer(Gradient(20, 10, 5), [](const QImage&) { return QByteArray(); });
    EXPECT_TRUE(Offer.Png().isEmpty());
    EXPECT_TRUE(Offer.hasFormat(TPictureOffer::PngType));
    EXPECT_TRUE(test::SamePixels(Gradient(20, 10, 5), QImage::fromData(Offer.data(TPictureOffer::PngType), "PNG")));
}

TEST(PictureOffer, BytesGivenReadyAreServedAsTheyAre)
{
    const QByteArray Png = EncodePng(Gradient(9, 4, 1));
    TPictureOffer Offer(Gradient(9, 4, 1), Png);
    EXPECT_TRUE(Offer.PngReady());
    EXPECT_EQ(Offer.data(TPictureOffer::PngType), Png);
}

} // namespace
} // namespace nebulo
