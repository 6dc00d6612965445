#pragma once

#include <QImage>

#include <cstdint>

namespace nebulo {

// Decodes the run-length encoded rows of a BMP file (8 bits a pixel with
// BI_RLE8, 4 with BI_RLE4), bottom row first, into Image: an Indexed8
// picture of the file's size, one index a byte. Pixels the data does not
// reach keep index 0; runs past the end of a row are cut there, and a delta
// past the top ends the picture. Reads nothing outside Data[0, Size) and
// writes nothing outside Image. False when the data ends before the picture
// does.
bool DecodeRunLengths(const uint8_t* Data, int64_t Size, int BitCount, QImage& Image);

} // namespace nebulo
