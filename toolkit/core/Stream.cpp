#include "toolkit/core/Stream.h"

#include "toolkit/core/Exceptions.h"

#include <algorithm>
#include <cstring>

namespace nebulo {

int64_t ReadableCount(int64_t Position, int64_t Size, int64_t Count)
{
    if (Position < 0 || Count < 0 || Position >= Size)
        return 0;
    return std::min(Count, Size - Position);
}

int64_t SeekTarget(int64_t Position, int64_t Size, int64_t Offset, int Origin)
{
    switch (Origin) {
    case soBeginning: return Offset;
    case soCurrent: return Position + Offset;
    case soEnd: return Size + Offset;
    default: return Position;
    }
}

void TStream::ReadBuffer(void* Buffer, int64_t Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError();
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError();
}

int64_t TStream::Size()
{
    const int64_t Here = Seek(0, soCurrent);
    const int64_t End = Seek(0, soEnd);
    Seek(Here, soBeginning);
    return End;
}

void TStream::SetSize(int64_t)
{
    throw EStreamError("Stream cannot be resized");
}

void TStream::CopyFrom(TStream& Source, int64_t Count)
{
    constexpr int64_t ChunkSize = 64 * 1024;
    std::vector<uint8_t> Chunk(static_cast<size_t>(std::min(std::max<int64_t>(Count, 0), ChunkSize)));
    while (Count > 0) {
        const int64_t N = std::min(Count, ChunkSize);
        Source.ReadBuffer(Chunk.data(), N);
        WriteBuffer(Chunk.data(), N);
        Count -= N;
    }
}

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count)
{
    const int64_t N = ReadableCount(Position_, Size_, Count);
    if (N > 0)
        std::memcpy(Buffer, Memory_ + Position_, static_cast<size_t>(N));
    Position_ += N;
    return N;
}

int64_t TCustomMemoryStream::Write(const void*, int64_t)
{
    return 0;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, int Origin)
{
    Position_ = SeekTarget(Position_, Size_, Offset, Origin);
    return Position_;
}

void TCustomMemoryStream::SetPointer(uint8_t* Memory, int64_t Size)
{
    Memory_ = Memory;
    Size_ = Size;
}

TMemoryStream::TMemoryStream(const void* Bytes, int64_t Count)
{
    WriteBuffer(Bytes, Count);
    Seek(0, soBeginning);
}

void TMemoryStream::Reserve(int64_t Needed)
{
    if (Needed <= static_cast<int64_t>(Block_.size()))
        return;
    // Grow geometrically so that many small writes stay linear in cost.
    OutOfMemoryAsFailure(
        [&] { Block_.resize(static_cast<size_t>(std::max(Needed, static_cast<int64_t>(Block_.size()) * 3 / 2))); });
    Memory_ = Block_.data();
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count)
{
    uint8_t* Space = Count > 0 ? WriteInPlace(Count) : nullptr;
    if (Space == nullptr)
        return 0;
    std::memcpy(Space, Buffer, static_cast<size_t>(Count));
    return Count;
}

uint8_t* TMemoryStream::WriteInPlace(int64_t Count)
{
    if (Position_ < 0 || Count < 0)
        return nullptr;
    const int64_t End = Position_ + Count;
    Reserve(End);
    if (Position_ > Size_)
        std::memset(Memory_ + Size_, 0, static_cast<size_t>(Position_ - Size_));
    uint8_t* Space = Memory_ + Position_;
    Position_ = End;
    Size_ = std::max(Size_, End);
    return Space;
}

void TMemoryStream::SetSize(int64_t NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Stream size cannot be negative");
    decltype(Block_) Fresh;
    OutOfMemoryAsFailure([&] { Fresh.assign(static_cast<size_t>(NewSize), 0); });
    Block_.swap(Fresh);
    Memory_ = Block_.data();
    Size_ = NewSize;
    Position_ = 0;
}

} // namespace nebulo
