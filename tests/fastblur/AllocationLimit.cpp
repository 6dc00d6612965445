#include "tests/fastblur/AllocationLimit.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> Limit{SIZE_MAX};

} // namespace

// This program's operator new, so that a test can make large allocations fail.
void* operator new(std::size_t Size)
{
    if (Size >= Limit.load(std::memory_order_relaxed))
        throw std::bad_alloc();
    if (void* Block = std::malloc(Size != 0 ? Size : 1))
        return Block;
    throw std::bad_alloc();
}

void operator delete(void* Block) noexcept
{
    std::free(Block);
}

void operator delete(void* Block, std::size_t) noexcept
{
    std::free(Block);
}

namespace nebulo::test {

TAllocationLimit::TAllocationLimit(std::size_t Bytes)
{
    Limit.store(Bytes);
}

TAllocationLimit::~TAllocationLimit()
{
    Limit.store(SIZE_MAX);
}

} // namespace nebulo::test
