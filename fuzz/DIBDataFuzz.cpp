// Hostile streamed "Data" properties: the graphic refuses them or reads a DIB
// whose streamed form it writes back, read again, to an equal graphic.
#include "dib/CDIBs.h"
#include "toolkit/core/Exceptions.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    using namespace nebulo;
    TMemoryStream Source;
    Source.WriteBuffer(Data, int64_t(Size));
    Source.Seek(0, soBeginning);
    TDIB Picture;
    try {
        Picture.ReadData(Source);
    } catch (const Exception&) {
        return 0;
    }
    TMemoryStream Written;
    Picture.WriteData(Written);
    Written.Seek(0, soBeginning);
    TDIB Again;
    Again.ReadData(Written);
    if (!Again.Equals(&Picture))
        std::abort();
    return 0;
}
