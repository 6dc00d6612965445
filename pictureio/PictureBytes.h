#pragma once

// Bytes to pictures and back: sniffing, size checks before decoding, decoding,
// making a picture ready to show, PNG encoding; no X, no widgets. Every road
// in (the clipboard, a drop, nebulo-blur's file) ends in DecodePictureBytes.

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QStringList>

#include <cstdint>
#include <memory>

class QMimeData;

namespace nebulo {

class TPngStream;

// The most a picture's bytes may be, from another program or a file: beyond
// any picture the window can decode.
constexpr int64_t PictureByteLimit = int64_t(256) << 20;
// No picture the blur takes needs more: 2023 x 2023 pixels of four 32-bit
// channels, the widest Qt decodes, stored without compression, are 65 MB;
// twice that leaves room for any headers and metadata. Files are read no
// further.
constexpr int64_t PictureFileLimit = int64_t(128) << 20;

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

// What a picture's first bytes tell before a pixel is decoded.
struct TPictureHead {
    bool Recognised = false; // a format that can be read begins there
    QSize Size;              // empty when the bytes do not tell it
};
TPictureHead ProbePicture(const QByteArray& Bytes);

// The one decoder of every road in: the picture that bytes from another
// program or a file hold, whatever its kind; a null image when they hold
// none, with the reason in Error. BMP files of every depth, run-length
// encoded or with alpha, go through Nebulo's own reader, PNG files of the
// kinds TPngStream takes through libpng with Qt's reader's pixels, the rest
// through Qt's readers once they hold together.
QImage DecodePictureBytes(const QByteArray& Bytes, QImageReader::ImageReaderError* Error = nullptr);

// The same decoder, given the bytes as they arrive: a PNG of a kind that
// allows it is decoded on the way (TPngStream), the rest once all is there.
// For the same bytes Finish gives what DecodePictureBytes gives, however
// they were cut into pieces.
class TPictureStream {
public:
    TPictureStream();
    ~TPictureStream();
    // SoFar holds every byte that came, the latest at its end; it may be
    // elsewhere in memory from call to call.
    void Arrived(const char* SoFar, qsizetype Size) noexcept;
    // All holds every byte there is.
    QImage Finish(const QByteArray& All, QImageReader::ImageReaderError* Error = nullptr);

private:
    bool Known_ = false; // whether the first bytes told the kind
    std::unique_ptr<TPngStream> Png_;
};

// What clipboard or drop data carries for a picture: the bytes of its best
// picture type, or, where it carries a picture within this program and no
// bytes, that picture. Reading it may wait on the program that offers it.
struct TMimePicture {
    QByteArray Type; // empty: no picture type is offered
    QByteArray Bytes;
    QImage Within;
    // A picture type was offered and nothing came, as when the program
    // offering it did not answer in time.
    bool Unanswered() const { return !Type.isEmpty() && Bytes.isEmpty() && Within.isNull(); }
};
TMimePicture PictureOfMimeData(const QMimeData& Data);

} // namespace nebulo
