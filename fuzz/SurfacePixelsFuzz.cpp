// Hostile held files: the surface parses whatever bytes it holds and reads and
// writes pixels anywhere without leaving the file; the blur refuses what is
// too large and otherwise runs to its end.
#include "blur/Blur.h"
#include "dib/SDIB.h"
#include "toolkit/core/Exceptions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    using namespace nebulo;
    if (Size < 4)
        return 0;
    const int Position = 1 + Data[0] % 200;
    TMemoryStream Source(Data + 1, int64_t(Size - 1));
    TSDIB Surface;
    try {
        Surface.LoadFromStream(Source);
        // One past each edge, within the first 40; the header's sizes may be
        // anything, so the bounds are taken in 64 bits.
        const int32_t Step = 1 + int32_t(Data[1] % 7);
        const int64_t LastY = std::min<int64_t>(int64_t(Surface.Height()) + 1, 39);
        const int64_t LastX = std::min<int64_t>(int64_t(Surface.Width()) + 1, 39);
        for (int32_t Y = -1; Y <= LastY; Y += Step)
            for (int32_t X = -1; X <= LastX; X += Step)
                Surface.WritePixel({X, Y}, Surface.ReadPixel({Y, X}) ^ 0x5A5A5A5Au);
        if (int64_t(Surface.Width()) * Surface.Height() <= 64 * 64)
            BlurSurface(Surface, Position * 0.1);
    } catch (const Exception&) {
    }
    return 0;
}
