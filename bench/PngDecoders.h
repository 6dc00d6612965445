#pragma once

#include <QByteArray>
#include <QImage>

#include <vector>

namespace nebulo {

// A PNG decoder to compare with Qt's reader: a null picture when it refuses
// the bytes. Qt's reader answers in the storage it picks; the others in
// Format_RGBA8888, straight into the picture where their interface allows.
struct TPngDecoder {
    const char* Name;
    QImage (*Decode)(const QByteArray& Png);
};

// Qt's reader first, then Nebulo's decoder (DecodePictureBytes), then each
// decoder this build found: libspng, libpng (with the usual expansions to
// 8-bit RGBA, 16-bit samples scaled with rounding, no gamma), lodepng and
// stb_image.
const std::vector<TPngDecoder>& PngDecoders();

} // namespace nebulo
