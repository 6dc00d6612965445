#pragma once

#include <cstdint>

namespace nebulo {

class TBitmap;
class TMemoryStream;
class TStream;

// A bitmap's DIB on request, laid out as its BMP file is after the file
// header: a 40-byte info header, the colour table, then the rows bottom-up.
// Pictures of 1, 4 and 8 bits keep their depth; deeper ones come as 24 bits.
void GetDIBSizes(const TBitmap& Bitmap, int64_t& InfoHeaderSize, int64_t& ImageSize);
// Writes the DIB over Dest from its start, whose size must already be the
// sum of the two sizes; false when the bitmap is empty or the sizes differ.
bool GetDIB(const TBitmap& Bitmap, TStream& Dest);
// Both steps: sizes DIB to the bitmap's DIB and fills it.
bool GetDIBStream(const TBitmap& Bitmap, TMemoryStream& DIB);

} // namespace nebulo
