#include "toolkit/widgets/PixelScale.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace nebulo {
namespace {

// A 4 × 3 picture whose pixels all differ from their neighbours, so that any
// smoothing shows.
QPixmap Checkerboard()
{
    QImage Image(4, 3, QImage::Format_ARGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Image.setPixel(X, Y, (X + Y) % 2 == 0 ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 0, 0));
    return QPixmap::fromImage(Image);
}

// The icon a button draws at twice the density holds every pixel of the
// picture as a sharp 2 × 2 block; the disabled look is made from that too.
TEST(SharpIcon, DrawsBlocksAtTwiceTheDensity)
{
    const QPixmap Picture = Checkerboard();
    const QImage Original = Picture.toImage();
    for (const QIcon::Mode Mode : {QIcon::Normal, QIcon::Disabled}) {
        const QImage Drawn = SharpIcon(Picture, 2).pixmap(QSize(4, 3), 2.0, Mode).toImage();
        ASSERT_EQ(Drawn.size(), QSize(8, 6)) << "mode " << Mode;
        for (int Y = 0; Y < Drawn.height(); ++Y)
            for (int X = 0; X < Drawn.width(); ++X)
                EXPECT_EQ(Drawn.pixel(X, Y), Drawn.pixel(X / 2 * 2, Y / 2 * 2))
                    << "mode " << Mode << ": pixel " << X << ", " << Y << " is not in its block's colour";
    }
    EXPECT_EQ(SharpIcon(Picture, 2).pixmap(QSize(4, 3), 2.0).toImage().convertToFormat(QImage::Format_ARGB32),
              Enlarged(Picture, 2).toImage().convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(SharpIcon(Picture, 1).pixmap(QSize(4, 3), 1.0).toImage().convertToFormat(QImage::Format_ARGB32),
              Original.convertToFormat(QImage::Format_ARGB32));
}

} // namespace
} // namespace nebulo
