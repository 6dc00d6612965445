// Hostile BMP files for the DIB graphic: it refuses them, or holds a DIB that
// it writes back byte for byte and that crops and presents as a file without
// leaving its buffers.
#include "dib/CDIBs.h"
#include "fuzz/RoundTrip.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    using namespace nebulo;
    TMemoryStream Source(Data, int64_t(Size));
    TDIB Picture;
    if (fuzz::Refuses([&] { Picture.LoadFromStream(Source); })) {
        if (!Picture.Empty())
            std::abort();
        return 0;
    }
    if (Picture.Empty())
        return 0;
    TMemoryStream Written;
    Picture.SaveToStream(Written);
    TFakeDIBFileStream Fake(Picture.Image());
    TMemoryStream Presented;
    Presented.CopyFrom(Fake, Fake.Seek(0, soEnd) - Fake.Seek(0, soBeginning));
    if (Presented.Size() != Written.Size()
        || std::memcmp(Presented.Memory(), Written.Memory(), size_t(Written.Size())) != 0)
        std::abort();
    TDIB Cropped;
    Picture.CopyRegion(Picture.Width() / 3, Picture.Height() / 4, Picture.Width() / 2, Picture.Height() / 2,
                       Cropped);
    Cropped.SetHeight(Cropped.Height() / 2);
    return 0;
}
