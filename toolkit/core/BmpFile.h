#pragma once

#include "toolkit/core/BmpLayout.h"
#include "toolkit/core/PixelFormat.h"

#include <QImage>

#include <cstdint>

namespace nebulo {

class TStream;

namespace bmp {
// Pictures beyond this many pixels are refused before anything is allocated.
constexpr int64_t MaxPixels = int64_t(1) << 28;
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
