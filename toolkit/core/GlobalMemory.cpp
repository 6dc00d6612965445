#include "toolkit/core/GlobalMemory.h"

#include <map>
#include <new>
#include <vector>

namespace nebulo {

struct TGlobalBlock {
    std::vector<uint8_t> Bytes;
    int LockCount = 0;
};

namespace {

// The live blocks by handle; a block's bytes never move, so its address
// stays the key for GlobalHandle.
std::map<TGlobalBlock*, std::unique_ptr<TGlobalBlock>>& Blocks()
{
    static std::map<TGlobalBlock*, std::unique_ptr<TGlobalBlock>> Table;
    return Table;
}

TGlobalBlock* Find(HGLOBAL Block)
{
    const auto Found = Blocks().find(Block);
    return Found == Blocks().end() ? nullptr : Found->second.get();
}

} // namespace

HGLOBAL GlobalAlloc(uint32_t, size_t Bytes)
{
    if (Bytes > MaxGlobalBlockBytes)
        return nullptr;
    try {
        auto Block = std::make_unique<TGlobalBlock>();
        Block->Bytes.assign(Bytes, 0);
        TGlobalBlock* Handle = Block.get();
        Blocks().emplace(Handle, std::move(Block));
        return Handle;
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
}

void* GlobalLock(HGLOBAL Block)
{
    TGlobalBlock* Found = Find(Block);
    if (Found == nullptr || Found->Bytes.empty())
        return nullptr;
    ++Found->LockCount;
    return Found->Bytes.data();
}

bool GlobalUnlock(HGLOBAL Block)
{
    TGlobalBlock* Found = Find(Block);
    if (Found == nullptr || Found->LockCount == 0)
        return false;
    return --Found->LockCount > 0;
}

size_t GlobalSize(HGLOBAL Block)
{
    const TGlobalBlock* Found = Find(Block);
    return Found == nullptr ? 0 : Found->Bytes.size();
}

HGLOBAL GlobalHandle(const void* Memory)
{
    if (Memory == nullptr)
        return nullptr;
    for (const auto& [Handle, Block] : Blocks())
        if (!Block->Bytes.empty() && Block->Bytes.data() == Memory)
            return Handle;
    return nullptr;
}

HGLOBAL GlobalFree(HGLOBAL Block)
{
    if (Block == nullptr)
        return nullptr;
    return Blocks().erase(Block) == 1 ? nullptr : Block;
}

int GlobalLockCount(HGLOBAL Block)
{
    const TGlobalBlock* Found = Find(Block);
    return Found == nullptr ? 0 : Found->LockCount;
}

} // namespace nebulo
