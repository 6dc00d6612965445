#include "dib/SDIB.h"
#include "tests/dib_graphic/DIBSamples.h"
#include "tests/support/FailingStream.h"
#include "tests/support/Rows.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BitmapDIB.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

namespace nebulo {
namespace {

using test::PrintTo;
using test::TBytes;

using TWrite = std::function<void(TStream&)>;

// A writer with the source it writes, made afresh for each row.
struct TWriterRow {
    const char* Name;
    std::function<TWrite()> Writer;
};

// Five pixels wide, so that rows are padded at every depth.
std::shared_ptr<TBitmap> BitmapAt(TPixelFormat Format)
{
    QImage Image(5, 3, QImage::Format_RGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Image.setPixel(X, Y, qRgb(50 * X, 80 * Y, X == Y ? 255 : 0));
    auto Bitmap = std::make_shared<TBitmap>();
    Bitmap->SetImage(Image, Format);
    return Bitmap;
}

std::shared_ptr<TDIB> HeldDIB()
{
    auto Graphic = std::make_shared<TDIB>();
    test::LoadFile(*Graphic, test::MakeBmpFile(test::RandomSpec(5, 3, 8)));
    return Graphic;
}

std::shared_ptr<TSDIB> HeldSurface()
{
    auto Surface = std::make_shared<TSDIB>();
    Surface->LoadFromStream(*test::StreamOf(test::MakeBmpFile(test::RandomSpec(5, 3, 24))));
    return Surface;
}

TWrite SaveToStream(std::shared_ptr<TGraphic> Graphic)
{
    return [Graphic](TStream& Stream) { Graphic->SaveToStream(Stream); };
}

// The "Data" property as a stored layout's writer writes it.
template <typename T>
TWrite DataProperty(std::shared_ptr<T> Object)
{
    return [Object](TStream& Stream) {
        test::TRecordingFiler Filer;
        DefinePropertiesOf(*Object, Filer);
        Filer.Write(Stream);
    };
}

// The packed DIB a bitmap hands the clipboard, over a stream sized for it.
TWrite PackedDIB(std::shared_ptr<TBitmap> Bitmap)
{
    return [Bitmap](TStream& Stream) {
        int64_t InfoSize = 0;
        int64_t ImageSize = 0;
        GetDIBSizes(*Bitmap, InfoSize, ImageSize);
        Stream.SetSize(InfoSize + ImageSize);
        if (!GetDIB(*Bitmap, Stream))
            throw std::logic_error("the bitmap gave no DIB");
    };
}

// Whether a writer stopped after Capacity bytes fails as it should: with the
// stream write error, having written the start of its whole output.
::testing::AssertionResult FailsCleanly(const TWrite& Write, int64_t Capacity, const TBytes& Whole)
{
    test::TFailingStream Stream(Capacity);
    try {
        Write(Stream);
        return ::testing::AssertionFailure() << "no failure when the stream stops after " << Capacity << " bytes";
    } catch (const EWriteError& Failure) {
        if (std::string(Failure.what()) != "Stream write error")
            return ::testing::AssertionFailure() << "the message is \"" << Failure.what() << "\"";
    }
    const TBytes Landed = Stream.Bytes();
    if (int64_t(Landed.size()) < Capacity || !std::equal(Whole.begin(), Whole.begin() + Capacity, Landed.begin()))
        return ::testing::AssertionFailure() << "after " << Capacity
                                             << " bytes the stream does not hold the start of the whole output";
    return ::testing::AssertionSuccess();
}

class WriteFailure : public ::testing::TestWithParam<TWriterRow> {};

TEST_P(WriteFailure, StopsAtEveryByteWithTheStreamWriteErrorAndLeavesTheSourceAsItWas)
{
    const TWrite Write = GetParam().Writer();
    TMemoryStream Stream;
    Write(Stream);
    const TBytes Whole = test::BytesOf(Stream);
    ASSERT_FALSE(Whole.empty());
    for (int64_t Capacity = 0; Capacity < int64_t(Whole.size()); ++Capacity)
        ASSERT_TRUE(FailsCleanly(Write, Capacity, Whole));

    TMemoryStream Again;
    Write(Again);
    EXPECT_EQ(test::BytesOf(Again), Whole) << "the failed writes changed what the source writes";
}

INSTANTIATE_TEST_SUITE_P(
    Writers, WriteFailure,
    ::testing::Values(
        TWriterRow{"BitmapFileOneBit", [] { return SaveToStream(BitmapAt(TPixelFormat::pf1bit)); }},
        TWriterRow{"BitmapFileFourBits", [] { return SaveToStream(BitmapAt(TPixelFormat::pf4bit)); }},
        TWriterRow{"BitmapFileEightBits", [] { return SaveToStream(BitmapAt(TPixelFormat::pf8bit)); }},
        TWriterRow{"BitmapFileTwentyFourBits", [] { return SaveToStream(BitmapAt(TPixelFormat::pf24bit)); }},
        TWriterRow{"BitmapFileFromThirtyTwoBits", [] { return SaveToStream(BitmapAt(TPixelFormat::pf32bit)); }},
        TWriterRow{"BitmapDataProperty", [] { return DataProperty(BitmapAt(TPixelFormat::pf24bit)); }},
        TWriterRow{"BitmapClipboardDIB", [] { return PackedDIB(BitmapAt(TPixelFormat::pf4bit)); }},
        TWriterRow{"DIBFile", [] { return SaveToStream(HeldDIB()); }},
        TWriterRow{"DIBDataProperty", [] { return DataProperty(HeldDIB()); }},
        TWriterRow{"SurfaceFile", [] {
                       auto Surface = HeldSurface();
                       return TWrite([Surface](TStream& Stream) { Surface->SaveToStream(Stream); });
                   }},
        TWriterRow{"SurfaceDataProperty", [] { return DataProperty(HeldSurface()); }},
        TWriterRow{"StreamCopy", [] {
                       auto Source = test::StreamOf(test::MakeBmpFile(test::RandomSpec(5, 3, 24)));
                       return TWrite([Source = std::shared_ptr<TMemoryStream>(std::move(Source))](TStream& Stream) {
                           Source->Seek(0, soBeginning);
                           Stream.CopyFrom(*Source, Source->Size());
                       });
                   }}),
    test::RowName());

} // namespace
} // namespace nebulo
