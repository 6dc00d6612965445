// Hostile CF_DIB blocks: the graphic refuses them with "Unknown clipboard
// format" or a stream error, or loads one that it hands back unchanged, and
// the block is unlocked again either way.
#include "dib/CDIBs.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/GlobalMemory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    using namespace nebulo;
    const TGlobalMemory Block(GlobalAlloc(GMEM_MOVEABLE, Size));
    if (Size > 0)
        std::memcpy(GlobalLock(Block.get()), Data, Size);
    GlobalUnlock(Block.get());
    TDIB Picture;
    try {
        Picture.LoadFromClipboardFormat(CF_DIB, Block.get(), nullptr);
    } catch (const EInvalidGraphic& Failure) {
        if (std::string(Failure.what()) != "Unknown clipboard format")
            std::abort();
    } catch (const EReadError&) {
    }
    if (GlobalLockCount(Block.get()) != 0)
        std::abort();
    if (Picture.Empty())
        return 0;
    uint16_t Format = 0;
    HGLOBAL Copy = nullptr;
    HPALETTE Palette = nullptr;
    Picture.SaveToClipboardFormat(Format, Copy, Palette);
    const TGlobalMemory Owned(Copy);
    TDIB Again;
    Again.LoadFromClipboardFormat(Format, Copy, Palette);
    if (!Again.Equals(&Picture))
        std::abort();
    return 0;
}
