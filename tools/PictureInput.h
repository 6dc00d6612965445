#pragma once

#include "pictureio/PictureBytes.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <iosfwd>

namespace nebulo {

class TBitmap;

// The input's first bytes: enough for the headers, and so the size, of a
// picture in most formats.
constexpr qint64 HeadBytes = 64 * 1024;
constexpr qint64 MaxInputBytes = PictureFileLimit;

// Reads the picture in the file Name, or on In for "-", into Picture, through
// the window's own decoder and preparation: the head first, and the rest only once CheckSize, which throws to
// refuse, has let the size the head declares pass; a size that only the whole input tells is checked before
// decoding. An input of more than MaxInputBytes is refused as too large without reading on. Failures are
// TToolError.
void ReadPicture(const QString& Name, std::istream& In, const std::function<void(const QSize&)>& CheckSize,
                 TBitmap& Picture);

} // namespace nebulo
