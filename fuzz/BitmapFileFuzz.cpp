// Hostile BMP files: the bitmap either refuses them with a failure or reads a
// picture that it writes back and reads again to the same pixels.
#include "fuzz/RoundTrip.h"
#include "toolkit/core/Bitmap.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    using namespace nebulo;
    TMemoryStream Source(Data, int64_t(Size));
    TBitmap Picture;
    if (fuzz::Refuses([&] { Picture.LoadFromStream(Source); })
        || int64_t(Picture.Width()) * Picture.Height() > 1 << 20)
        return 0;
    TBitmap Again;
    fuzz::ReadBack(Picture, &TBitmap::SaveToStream, &TBitmap::LoadFromStream, Again);
    if (Again.ToRgb32() != Picture.ToRgb32())
        std::abort();
    return 0;
}
