#include "pictureio/PngChunks.h"

#include <algorithm>
#include <cstring>

namespace nebulo {

bool TPngChunk::Is(const char* Name) const
{
    return std::memcmp(Type, Name, sizeof Type) == 0;
}

bool TPngChunk::Named() const
{
    return std::all_of(Type, Type + sizeof Type,
                       [](char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); });
}

bool StartsAsPng(const char* Bytes, int64_t Size)
{
    return Size >= PngSignatureSize && std::memcmp(Bytes, "\x89PNG\r\n\x1a\n", PngSignatureSize) == 0;
}

uint32_t BigEndian32(const char* Bytes)
{
    const auto* Unsigned = reinterpret_cast<const uint8_t*>(Bytes);
    return uint32_t(Unsigned[0]) << 24 | uint32_t(Unsigned[1]) << 16 | uint32_t(Unsigned[2]) << 8 | Unsigned[3];
}

bool PngChunkAt(const char* Bytes, int64_t Size, int64_t At, TPngChunk& Chunk)
{
    if (At < PngSignatureSize || At + 8 > Size)
        return false;
    Chunk.At = At;
    Chunk.Length = BigEndian32(Bytes + At);
    std::memcpy(Chunk.Type, Bytes + At + 4, sizeof Chunk.Type);
    return true;
}

} // namespace nebulo
