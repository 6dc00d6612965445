#include "dib/CDIBs.h"

#include "toolkit/core/BmpLayout.h"

#include <algorithm>
#include <cstring>

namespace nebulo {

namespace {

// Puts the image stream back at 0 however the read ends.
class TRewind {
public:
    explicit TRewind(TStream& Stream) : Stream_(Stream) {}
    ~TRewind() { Stream_.Seek(0, soBeginning); }
    TRewind(const TRewind&) = delete;
    TRewind& operator=(const TRewind&) = delete;

private:
    TStream& Stream_;
};

} // namespace

TFakeDIBFileStream::TFakeDIBFileStream(const TDIBImage& Image)
    : Image_(Image), Size_(Image.Stream->Size() + HeaderSize)
{
    bmp::PutFileHeader(Header_, uint32_t(Size_), uint32_t(Image.Bits - Image.Info + HeaderSize));
}

int64_t TFakeDIBFileStream::Read(void* Buffer, int64_t Count)
{
    const int64_t Taken = ReadableCount(Position_, Size_, Count);
    if (Taken == 0)
        return 0;
    auto* Out = static_cast<uint8_t*>(Buffer);
    int64_t FromHeader = 0;
    if (Position_ < HeaderSize) {
        FromHeader = std::min(HeaderSize - Position_, Count);
        std::memcpy(Out, Header_ + Position_, size_t(FromHeader));
    }
    if (Taken > FromHeader) {
        const TRewind Rewind(*Image_.Stream);
        Image_.Stream->Seek(Position_ + FromHeader - HeaderSize, soBeginning);
        Image_.Stream->ReadBuffer(Out + FromHeader, Taken - FromHeader);
    }
    Position_ += Taken;
    return Taken;
}

int64_t TFakeDIBFileStream::Write(const void*, int64_t)
{
    return 0;
}

int64_t TFakeDIBFileStream::Seek(int64_t Offset, int Origin)
{
    Position_ = SeekTarget(Position_, Size_, Offset, Origin);
    return Position_;
}

} // namespace nebulo
