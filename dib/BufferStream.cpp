#include "dib/CDIBs.h"

#include "toolkit/core/GlobalMemory.h"

namespace nebulo {

TBufferStream::TBufferStream(void* Memory, int64_t Size, bool OwnsMemory) : OwnsMemory_(OwnsMemory)
{
    SetPointer(static_cast<uint8_t*>(Memory), Size);
}

TBufferStream::~TBufferStream()
{
    if (OwnsMemory_) {
        const HGLOBAL Block = GlobalHandle(Memory_);
        GlobalUnlock(Block);
        GlobalFree(Block);
    }
    // The memory stream's own destruction must find nothing of the block.
    SetPointer(nullptr, 0);
}

int64_t TBufferStream::Write(const void*, int64_t)
{
    return 0;
}

void TBufferStream::SetSize(int64_t NewSize)
{
    TStream::SetSize(NewSize);
}

} // namespace nebulo
