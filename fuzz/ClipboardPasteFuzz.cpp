// Hostile pictures on the clipboard, along the paste's road into the view: the
// bytes are refused with a failure, or decoded into opaque pixels that the
// view takes and shows at 100 % from the picture's top-left corner.
#include "pictureio/IncomingPicture.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"
#include "view/ZImage.h"

#include <QApplication>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

nebulo::TZImage* View = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's decoders warn about the broken files they meet here.
    qputenv("QT_LOGGING_RULES", "*.warning=false");
    static QApplication Application(*argc, *argv);
    static nebulo::TZImage Shown;
    Shown.resize(64, 48);
    View = &Shown;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    using namespace nebulo;
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), qsizetype(Size));
    const TArrival Result =
        ArrivalFromBytes(Bytes, TTrace("paste", false), UnreadableAs("Unsupported clipboard format"));
    if (Result.Failure) {
        try {
            std::rethrow_exception(Result.Failure);
        } catch (const Exception&) {
            return 0;
        }
    }
    const QImage& Pixels = Result.Picture.Pixels;
    if (Pixels.isNull() || Pixels.hasAlphaChannel())
        std::abort();
    TBitmap Arrived;
    Arrived.SetImage(Pixels, TPixelFormat::pf32bit);
    View->AssignFrom(&Arrived);
    const QImage Screen = View->grab().toImage();
    const int Width = std::min(Pixels.width(), Screen.width());
    const int Height = std::min(Pixels.height(), Screen.height());
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            if (Screen.pixel(X, Y) != Pixels.pixel(X, Y))
                std::abort();
    return 0;
}
