#pragma once

#include "tests/support/BmpBytes.h"
#include "toolkit/core/Stream.h"

#include <algorithm>
#include <cstdint>

namespace nebulo::test {

// A stream that takes the first Capacity bytes written to it and no more, as
// a full disk does: the write that reaches the limit stores what fits and
// reports the short count, and every later write stores nothing. Reads,
// seeks and resizing work as on a memory stream.
class TFailingStream : public TStream {
public:
    explicit TFailingStream(int64_t Capacity) : Left_(Capacity) {}

    int64_t Read(void* Buffer, int64_t Count) override { return Held_.Read(Buffer, Count); }
    int64_t Write(const void* Buffer, int64_t Count) override
    {
        const int64_t Taken = Held_.Write(Buffer, std::clamp<int64_t>(Count, 0, Left_));
        Left_ -= Taken;
        return Taken;
    }
    int64_t Seek(int64_t Offset, int Origin) override { return Held_.Seek(Offset, Origin); }
    int64_t Size() override { return Held_.Size(); }
    void SetSize(int64_t NewSize) override { Held_.SetSize(NewSize); }

    // Everything the stream holds.
    TBytes Bytes() { return BytesOf(Held_); }

private:
    TMemoryStream Held_;
    int64_t Left_;
};

} // namespace nebulo::test
