#pragma once

#include "toolkit/core/BmpLayout.h"
#include "toolkit/core/Stream.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace nebulo::test {

using TBytes = std::vector<uint8_t>;

// What a BMP file built for a test holds. Rows are given as stored: bottom
// row first, each already padded to a multiple of 4 bytes.
struct TBmpPlan {
    TBmpPlan(int32_t Width, int32_t Height, uint16_t BitCount, uint32_t Compression = 0)
        : Width(Width), Height(Height), BitCount(BitCount), Compression(Compression)
    {
    }
    int32_t Width = 0;
    int32_t Height = 0;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    // A 40-byte info header is followed by the masks; a longer one holds
    // them at its byte 40.
    uint32_t HeaderSize = bmp::InfoHeaderSize;
    std::vector<uint32_t> Masks; // red, green, blue, alpha
    std::vector<uint32_t> Palette; // 0x00RRGGBB
    TBytes Rows;
    TBytes Trailing; // bytes after the rows
};

// A 14-byte file header, the info header with its masks, the palette, the rows.
TBytes MakeBmpFile(const TBmpPlan& Plan);

// The same picture as a packed DIB: the file without its 14-byte header.
TBytes MakePackedDIB(const TBmpPlan& Plan);

// A memory stream holding Bytes, positioned at 0.
std::unique_ptr<TMemoryStream> StreamOf(const TBytes& Bytes);
TBytes BytesOf(TMemoryStream& Stream);

// A 24-bit file of Width x Height whose pixel (x, y), 0-based from the top
// left, has the stored bytes Pixel(x, y) (blue, green, red).
template <typename F>
TBmpPlan Make24BitPlan(int32_t Width, int32_t Height, F Pixel)
{
    TBmpPlan Plan{Width, Height, 24};
    const int32_t Stride = int32_t(bmp::RowBytes(Width, 24));
    Plan.Rows.assign(size_t(Stride) * size_t(Height), 0);
    for (int32_t Row = 0; Row < Height; ++Row)
        for (int32_t X = 0; X < Width; ++X) {
            const uint32_t V = Pixel(X, Height - 1 - Row);
            for (int C = 0; C < 3; ++C)
                Plan.Rows[size_t(Row) * Stride + size_t(X) * 3 + C] = uint8_t(V >> (8 * C));
        }
    return Plan;
}

} // namespace nebulo::test
