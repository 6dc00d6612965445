#pragma once

// Field offsets and failure texts shared by the DIB graphic's sources.

#include <cstdint>

namespace nebulo::dib {

// BITMAPINFOHEADER
constexpr int InfoSize = 40;
constexpr int biWidth = 4;
constexpr int biHeight = 8;
constexpr int biPlanes = 12;
constexpr int biBitCount = 14;
constexpr int biCompression = 16;
constexpr int biSizeImage = 20;
constexpr int biClrUsed = 32;
constexpr int biClrImportant = 36;

// BITMAPCOREHEADER
constexpr int CoreSize = 12;
constexpr int bcWidth = 4;
constexpr int bcHeight = 6;
constexpr int bcPlanes = 8;
constexpr int bcBitCount = 10;

// A held DIB, with its file header, stays addressable by 32-bit offsets.
constexpr int64_t MaxFileBytes = INT32_MAX;

constexpr const char* InvalidBitmap = "Invalid bitmap";
constexpr const char* InvalidBitmapFormat = "Invalid bitmap format";
constexpr const char* InvalidBitmapSize = "Invalid bitmap size";
constexpr const char* UnknownClipboardFormat = "Unknown clipboard format";

} // namespace nebulo::dib
