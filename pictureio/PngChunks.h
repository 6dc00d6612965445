#pragma once

#include <cstdint>

namespace nebulo {

// A PNG's frame, read without the decoder: the signature, then chunks of a
// 4-byte big-endian length, a 4-byte type, the data and a 4-byte check sum.
constexpr int64_t PngSignatureSize = 8;
constexpr int64_t PngChunkFrame = 12;
// The PNG format's own bound on a chunk's length.
constexpr int64_t PngChunkLengthLimit = INT32_MAX;

struct TPngChunk {
    int64_t At = 0;     // where its frame starts
    int64_t Length = 0; // of its data, as it claims
    char Type[4] = {};
    bool Is(const char* Name) const;
    // Whether its type is four letters, as the format wants and libpng
    // checks of every chunk it reads.
    bool Named() const;
    // Where the next chunk starts, if this one is as long as it claims.
    int64_t End() const { return At + PngChunkFrame + Length; }
};

// Whether the first Size bytes start with a PNG's signature.
bool StartsAsPng(const char* Bytes, int64_t Size);
// The header of the chunk whose frame starts At, when its 8 bytes lie within
// the first Size.
bool PngChunkAt(const char* Bytes, int64_t Size, int64_t At, TPngChunk& Chunk);
uint32_t BigEndian32(const char* Bytes);

} // namespace nebulo
