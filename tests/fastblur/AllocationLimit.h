#pragma once

#include <cstddef>

namespace nebulo::test {

// While one lives, every allocation through operator new of at least Bytes
// fails with std::bad_alloc, on every thread.
class TAllocationLimit {
public:
    explicit TAllocationLimit(std::size_t Bytes);
    ~TAllocationLimit();
    TAllocationLimit(const TAllocationLimit&) = delete;
    TAllocationLimit& operator=(const TAllocationLimit&) = delete;
};

} // namespace nebulo::test
