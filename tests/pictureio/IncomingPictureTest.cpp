#include "pictureio/IncomingPicture.h"
#include "tests/support/Rows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace nebulo {
namespace {

struct TIncomingRow {
    const char* Name;
    std::function<QImage()> Make;
    bool Flattened;
    QRgb Corner;     // the pixel at (0, 0) once prepared
    bool SameBuffer; // opaque 32-bit pixels are taken as they are
};

QImage Filled(QImage::Format Format, QRgb Colour)
{
    QImage Image(4, 3, Format);
    Image.fill(QColor::fromRgba(Colour));
    return Image;
}

QImage WithOneClearPixel()
{
    QImage Image = Filled(QImage::Format_ARGB32, qRgb(10, 20, 30));
    Image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    return Image;
}

QImage HalfClearPalette()
{
    QImage Image(4, 3, QImage::Format_Indexed8);
    Image.setColorTable({qRgba(255, 0, 0, 255), qRgba(0, 0, 255, 128)});
    Image.fill(1);
    return Image;
}

class IncomingPicture : public ::testing::TestWithParam<TIncomingRow> {};

TEST_P(IncomingPicture, IsMadeOpaqueAndSaysWhetherItWasFlattened)
{
    QImage Handed = GetParam().Make();
    const QImage Source = Handed.copy();
    const uchar* SourceBits = Handed.constBits();
    const TIncomingPicture Prepared = PrepareIncomingPicture(std::move(Handed));
    EXPECT_EQ(Prepared.Flattened, GetParam().Flattened);
    EXPECT_EQ(Prepared.Pixels.format(), QImage::Format_RGB32);
    EXPECT_EQ(Prepared.Pixels.size(), Source.size());
    EXPECT_EQ(Prepared.Pixels.pixel(0, 0), GetParam().Corner);
    if (GetParam().SameBuffer) {
        EXPECT_EQ(Prepared.Pixels.constBits(), SourceBits) << "no copy of opaque 32-bit pixels";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IncomingPicture,
    ::testing::Values(TIncomingRow{"OpaqueRgb32", [] { return Filled(QImage::Format_RGB32, qRgb(1, 2, 3)); }, false,
                                   qRgb(1, 2, 3), true},
                      TIncomingRow{"OpaqueArgb32", [] { return Filled(QImage::Format_ARGB32, qRgb(4, 5, 6)); },
                                   false, qRgb(4, 5, 6), true},
                      TIncomingRow{"Rgb888", [] { return Filled(QImage::Format_RGB888, qRgb(7, 8, 9)); }, false,
                                   qRgb(7, 8, 9), false},
                      TIncomingRow{"OneClearPixel", WithOneClearPixel, true, qRgb(255, 255, 255), false},
                      TIncomingRow{"HalfClearPalette", HalfClearPalette, true, qRgb(127, 127, 255), false}),
    test::RowName());

TEST(PasteButtonHint, StaysExactlyItsOwnTextUnlessAPictureWasFlattened)
{
    EXPECT_EQ(PasteButtonHint("Paste from Clipboard", false), "Paste from Clipboard");
    EXPECT_TRUE(PasteButtonHint("Paste from Clipboard", true).startsWith("Paste from Clipboard\n"));
    EXPECT_TRUE(PasteButtonHint("Paste from Clipboard", true).contains("put on white"));
}

} // namespace
} // namespace nebulo
