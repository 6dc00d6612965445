// Hostile BMP files: the bitmap either refuses them with a failure or reads a
// picture that it writes back and reads again to the same pixels.
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    using namespace nebulo;
    TMemoryStream Source;
    Source.WriteBuffer(Data, int64_t(Size));
    Source.Seek(0, soBeginning);
    TBitmap Picture;
    try {
        Picture.LoadFromStream(Source);
    } catch (const Exception&) {
        return 0;
    }
    if (int64_t(Picture.Width()) * Picture.Height() > 1 << 20)
        return 0;
    TMemoryStream Written;
    Picture.SaveToStream(Written);
    Written.Seek(0, soBeginning);
    TBitmap Again;
    Again.LoadFromStream(Written);
    if (Again.ToRgb32() != Picture.ToRgb32())
        std::abort();
    return 0;
}
