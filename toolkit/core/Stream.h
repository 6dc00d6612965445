#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace nebulo {

enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// The arithmetic of a stream over Size bytes at Position: how many bytes a
// read of Count takes (none at a negative position or count, or past the end),
// and where a seek leads (unclamped; an unknown origin stays put).
int64_t ReadableCount(int64_t Position, int64_t Size, int64_t Count);
int64_t SeekTarget(int64_t Position, int64_t Size, int64_t Offset, int Origin);

// The toolkit's abstract stream: Read, Write and Seek are its three operations;
// the exact-count helpers fail with the stream errors.
class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    virtual int64_t Seek(int64_t Offset, int Origin) = 0;

    // Throws EReadError / EWriteError when fewer than Count bytes move.
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Value) { Seek(Value, soBeginning); }
    virtual int64_t Size();
    // Streams that cannot be resized refuse with a stream error.
    virtual void SetSize(int64_t NewSize);

    // Copies exactly Count bytes from Source's position into this stream;
    // a Count of 0 copies nothing.
    void CopyFrom(TStream& Source, int64_t Count);
};

// A stream over one block of memory that it can hand out directly.
class TCustomMemoryStream : public TStream {
public:
    int64_t Read(void* Buffer, int64_t Count) override;
    // Refused: the block belongs to somebody else.
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, int Origin) override;
    int64_t Size() override { return Size_; }

    uint8_t* Memory() { return Memory_; }
    const uint8_t* Memory() const { return Memory_; }

protected:
    void SetPointer(uint8_t* Memory, int64_t Size);

    uint8_t* Memory_ = nullptr;
    int64_t Size_ = 0;
    int64_t Position_ = 0;
};

// A growable memory stream that owns its block.
class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    // Holds a copy of the Count bytes at Bytes, positioned at its start.
    TMemoryStream(const void* Bytes, int64_t Count);

    int64_t Write(const void* Buffer, int64_t Count) override;
    // Discards the content: afterwards the stream holds NewSize zero bytes
    // and its position is 0.
    void SetSize(int64_t NewSize) override;
    void Clear() { SetSize(0); }
    // Makes room for Needed bytes in all without changing size or content,
    // so that a writer that knows its length grows the block once.
    void Reserve(int64_t Needed);
    // Count bytes at the position for the caller to fill in place, as a
    // write of them would: the stream grows to hold them and the position
    // moves past them. Null for a negative position or count.
    uint8_t* WriteInPlace(int64_t Count);

private:
    // Growth leaves the new bytes as they come: a writer fills them at once,
    // and a write past the end zeroes the gap it leaves.
    template <class T>
    struct TUnfilledAllocator : std::allocator<T> {
        template <class U>
        struct rebind {
            using other = TUnfilledAllocator<U>;
        };
        template <class U>
        void construct(U* At)
        {
            ::new (static_cast<void*>(At)) U;
        }
        template <class U, class... A>
        void construct(U* At, A&&... Arguments)
        {
            ::new (static_cast<void*>(At)) U(std::forward<A>(Arguments)...);
        }
    };

    std::vector<uint8_t, TUnfilledAllocator<uint8_t>> Block_;
};

} // namespace nebulo
