#pragma once

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
// No picture the blur takes needs more: 2023 x 2023 pixels of four 32-bit
// channels, the widest Qt decodes, stored without compression, are 65 MB;
// twice that leaves room for any headers and metadata.
constexpr qint64 MaxInputBytes = qint64(128) << 20;

// What the first bytes tell of a picture, before a pixel is decoded.
struct TPictureHead {
    bool Recognised = false; // a format that can be read begins there
    QSize Size;              // empty when the bytes do not tell it
};
TPictureHead ProbePicture(const QByteArray& Bytes);

// Reads the picture in the file Name, or on In for "-", into Picture: the
// head first, and the rest only once CheckSize, which throws to refuse, has
// let the size the head declares pass; a size that only the whole input
// tells is checked before decoding. An input of more than MaxInputBytes is
// refused as too large without reading on. Failures are TToolError.
void ReadPicture(const QString& Name, std::istream& In, const std::function<void(const QSize&)>& CheckSize,
                 TBitmap& Picture);

} // namespace nebulo
