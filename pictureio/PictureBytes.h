#pragma once

// Bytes to pictures and back: sniffing, size checks before decoding, decoding,
// making a picture ready to show, PNG encoding; no X, no widgets.

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QStringList>

#include <cstdint>

class QMimeData;

namespace nebulo {

// The most a picture's bytes may be, from another program or a file: beyond
// any picture the window can decode.
constexpr int64_t PictureByteLimit = int64_t(256) << 20;

// The picture types a paste asks for, best first: PNG, BMP, then what else
// Qt decodes.
QList<QByteArray> PastePreferences();
// The best of the offered types by those preferences; empty when none is a
// picture type.
QByteArray PreferredPictureType(const QStringList& Offered);

// Whether the bytes hold together as far as the decoder would trust them
// before it fails: for a PNG, every chunk lies within the bytes (a chunk that
// claims more makes the decoder ask for that much memory, gigabytes from a
// few hundred bytes). Bytes of other kinds pass.
bool PictureBytesHoldTogether(const QByteArray& Bytes);

// Whether the bytes start as a PNG does, and the size its header chunk
// declares (empty when the header is missing or damaged): read without the
// decoder, which takes in the chunks up to the first rows to learn the size.
bool IsPng(const QByteArray& Bytes);
QSize PngDeclaredSize(const QByteArray& Bytes);

// The picture that bytes from another program or a file hold, whatever its
// kind; a null image when they hold none, with the reader's reason in Error.
QImage DecodePictureBytes(const QByteArray& Bytes, QImageReader::ImageReaderError* Error = nullptr);

// The picture that clipboard or drop data holds: the bytes of its best
// picture type, decoded as above; or, where it carries a picture within this
// program, that picture. A null image when it holds none that can be read;
// Unanswered then says whether the picture type it offers came with no bytes
// at all, as when the program offering it did not answer in time.
QImage PictureOfMimeData(const QMimeData& Data, bool* Unanswered = nullptr);

} // namespace nebulo
