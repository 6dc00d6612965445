#pragma once

#include "toolkit/core/GdiObjects.h"

#include <cstdint>

namespace nebulo {

// The colour table holds colours (not palette indices, which are not drawn).
constexpr uint32_t DIB_RGB_COLORS = 0;

// Draws the source rectangle of a packed DIB (Info: a 40-byte info header and
// its colour table; Bits: the rows, bottom-up) stretched into the destination
// rectangle of the context's bitmap, nearest-neighbour, with the raster
// operation Rop. The source origin is the DIB's lower-left corner; extents of
// opposite signs mirror. Uncompressed DIBs of 1, 4, 8, 24 and 32 bits with
// RGB colour tables are drawn; for anything else, or a source rectangle not
// inside the DIB, nothing is drawn and 0 returned. Otherwise returns the
// number of source rows.
int StretchDIBits(HDC DC, int32_t XDest, int32_t YDest, int32_t DestWidth, int32_t DestHeight, int32_t XSrc,
                  int32_t YSrc, int32_t SrcWidth, int32_t SrcHeight, const void* Bits, const void* Info,
                  uint32_t Usage, uint32_t Rop);

} // namespace nebulo
