#include "dib/CDIBs.h"

#include "dib/DIBMessages.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/GlobalMemory.h"

namespace nebulo {

void TDIB::LoadFromClipboardFormat(uint16_t Format, HGLOBAL Data, HPALETTE)
{
    if (Format != CF_DIB || Data == nullptr)
        throw EInvalidGraphic(dib::UnknownClipboardFormat);
    // The buffer stream goes before the lock is released.
    const TGlobalLock Lock(Data);
    TBufferStream Block(Lock.Memory(), Lock.Memory() != nullptr ? int64_t(GlobalSize(Data)) : 0, false);
    try {
        LoadDIB(Block);
    } catch (const EInvalidGraphic&) {
        throw EInvalidGraphic(dib::UnknownClipboardFormat);
    }
}

void TDIB::SaveToClipboardFormat(uint16_t& Format, HGLOBAL& Data, HPALETTE& Palette)
{
    RequireDIB();
    Format = CF_DIB;
    Palette = nullptr;
    TMemoryStream& DIB = *Image_->Stream;
    const int64_t Size = DIB.Size();
    TGlobalMemory Block(GlobalAlloc(GMEM_MOVEABLE, size_t(Size)));
    if (!Block)
        throw EOutOfMemory();
    {
        const TGlobalLock Lock(Block.get());
        DIB.Seek(0, soBeginning);
        DIB.ReadBuffer(Lock.Memory(), Size);
        DIB.Seek(0, soBeginning);
    }
    Data = Block.release();
}

} // namespace nebulo
