#include "dib/CDIBs.h"

#include "toolkit/core/BmpLayout.h"

#include <cstring>

namespace nebulo {

int32_t DIBColorCount(uint16_t BitCount)
{
    switch (BitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

int32_t DIBRowBytes(int32_t Bits)
{
    // A row of Bits one-bit pixels; in 64 bits, so that the rounding up
    // cannot overflow.
    return int32_t(bmp::RowBytes(Bits, 1));
}

void CopyBitRow(const uint8_t* Source, uint8_t* Dest, int Shift, int32_t Bits)
{
    if (Bits <= 0)
        return;
    const int64_t Count = (int64_t(Bits) + 7) / 8;
    if (Shift == 0) {
        std::memcpy(Dest, Source, size_t(Count));
        return;
    }
    const int64_t RunBytes = (int64_t(Shift) + Bits + 7) / 8;
    for (int64_t J = 0; J < Count; ++J) {
        unsigned Byte = unsigned(Source[J]) << Shift;
        if (J + 1 < RunBytes)
            Byte |= unsigned(Source[J + 1]) >> (8 - Shift);
        Dest[J] = uint8_t(Byte);
    }
}

} // namespace nebulo
