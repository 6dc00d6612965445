#pragma once

#include "toolkit/core/Types.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace nebulo {

// Global memory blocks, as the clipboard hands them out: a handle, a lock
// count and the bytes. Every call checks its handle against the live blocks,
// so a stale or foreign handle is refused instead of followed.
constexpr uint32_t GMEM_MOVEABLE = 0x0002;

// The largest block: what blocks carry describes its sizes in 32-bit fields.
constexpr size_t MaxGlobalBlockBytes = INT32_MAX;

// A new zero-filled block of Bytes bytes, or none when it cannot be had or
// is larger than MaxGlobalBlockBytes. Blocks never move, so every kind of
// block behaves as a movable one.
HGLOBAL GlobalAlloc(uint32_t Flags, size_t Bytes);
// The block's first byte, counting one more lock; none for an unknown
// handle or an empty block.
void* GlobalLock(HGLOBAL Block);
// Counts one lock less; true while the block stays locked.
bool GlobalUnlock(HGLOBAL Block);
size_t GlobalSize(HGLOBAL Block);
// The handle whose bytes begin at Memory; none when there is no such block.
HGLOBAL GlobalHandle(const void* Memory);
// None on success; the handle itself when it was unknown.
HGLOBAL GlobalFree(HGLOBAL Block);
int GlobalLockCount(HGLOBAL Block);

struct TGlobalFree {
    void operator()(TGlobalBlock* Block) const { GlobalFree(Block); }
};
// Owns a block until it is released to somebody else.
using TGlobalMemory = std::unique_ptr<TGlobalBlock, TGlobalFree>;

// Keeps a block locked for one scope.
class TGlobalLock {
public:
    explicit TGlobalLock(HGLOBAL Block) : Block_(Block), Memory_(static_cast<uint8_t*>(GlobalLock(Block))) {}
    ~TGlobalLock()
    {
        if (Memory_ != nullptr)
            GlobalUnlock(Block_);
    }
    TGlobalLock(const TGlobalLock&) = delete;
    TGlobalLock& operator=(const TGlobalLock&) = delete;

    uint8_t* Memory() const { return Memory_; }

private:
    HGLOBAL Block_;
    uint8_t* Memory_;
};

} // namespace nebulo
