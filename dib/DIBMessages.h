#pragma once

// Failure texts shared by the DIB graphic's sources.

namespace nebulo::dib {

constexpr const char* InvalidBitmap = "Invalid bitmap";
constexpr const char* InvalidBitmapFormat = "Invalid bitmap format";
constexpr const char* InvalidBitmapSize = "Invalid bitmap size";
constexpr const char* UnknownClipboardFormat = "Unknown clipboard format";

} // namespace nebulo::dib
