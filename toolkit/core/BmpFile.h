#pragma once

#include "toolkit/core/PixelFormat.h"

#include <QImage>

#include <cstdint>

namespace nebulo {

class TStream;

// The BMP file layout shared by the bitmap's reader and writer.
namespace bmp {
constexpr uint16_t Signature = 0x4D42; // "BM"
constexpr int FileHeaderSize = 14;
constexpr int CoreHeaderSize = 12;
constexpr int InfoHeaderSize = 40;
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;
// Pictures beyond this many pixels are refused before anything is allocated.
constexpr int64_t MaxPixels = int64_t(1) << 28;

inline uint16_t GetU16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
inline uint32_t GetU32(const uint8_t* P)
{
    return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}
inline int32_t GetI32(const uint8_t* P) { return static_cast<int32_t>(GetU32(P)); }
inline void PutU16(uint8_t* P, uint16_t V)
{
    P[0] = uint8_t(V);
    P[1] = uint8_t(V >> 8);
}
inline void PutU32(uint8_t* P, uint32_t V)
{
    for (int I = 0; I < 4; ++I)
        P[I] = uint8_t(V >> (8 * I));
}

// Bytes of one stored row, padded to a multiple of 4.
inline int64_t RowBytes(int64_t Width, int BitCount)
{
    return (Width * BitCount + 31) / 32 * 4;
}
} // namespace bmp

struct TBmpPicture {
    QImage Image; // Mono, Indexed8, RGB555, RGB16, BGR888 or RGB32
    TPixelFormat Format = TPixelFormat::pf32bit;
};

// Reads a BMP file from the stream's position; bytes after the picture are
// consumed and play no part. An empty remainder gives a null image. Fails with
// EInvalidGraphic for a malformed file and EReadError for missing pixel rows.
// Pixels with an alpha mask are put over white.
TBmpPicture ReadBmpFile(TStream& Stream);

// The width and height a BMP file's headers declare, read from its first
// Size bytes without looking at any pixel; invalid when those bytes do not
// hold readable headers.
QSize PeekBmpSize(const uint8_t* Data, int64_t Size);

// Writes an uncompressed, bottom-up BMP file: 1, 4 and 8 bits as they are,
// 24 bits for every deeper format. A null image writes nothing.
void WriteBmpFile(TStream& Stream, const QImage& Image, TPixelFormat Format);

// The packed DIB of such a file (everything after its 14-byte header): the
// info header with its colour table, then the rows.
struct TPackedDIBSizes {
    int64_t InfoSize = 0;
    int64_t ImageSize = 0;
};
TPackedDIBSizes PackedDIBSizes(const QImage& Image, TPixelFormat Format);
void WritePackedDIB(TStream& Stream, const QImage& Image, TPixelFormat Format);

} // namespace nebulo
