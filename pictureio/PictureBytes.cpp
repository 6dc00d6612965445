#include "pictureio/PictureBytes.h"

#include <QBuffer>
#include <QMimeData>

#include <cstdint>

namespace nebulo {

namespace {

const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);
// Length and type before a chunk's data, its check sum after.
constexpr int64_t ChunkFrame = 12;

uint32_t BigEndian32(const char* P)
{
    const auto* Bytes = reinterpret_cast<const uint8_t*>(P);
    return uint32_t(Bytes[0]) << 24 | uint32_t(Bytes[1]) << 16 | uint32_t(Bytes[2]) << 8 | Bytes[3];
}

bool PngChunksFit(const QByteArray& Bytes)
{
    const int64_t Size = Bytes.size();
    int64_t At = PngSignature.size();
    while (At + 8 <= Size) {
        const int64_t Length = BigEndian32(Bytes.constData() + At);
        if (Length > INT32_MAX || At + ChunkFrame + Length > Size)
            return false;
        if (Bytes.mid(At + 4, 4) == "IEND")
            return true;
        At += ChunkFrame + Length;
    }
    // Bytes that end between chunks (or within a frame) lose only what the
    // decoder would read last.
    return true;
}

} // namespace

bool IsPng(const QByteArray& Bytes)
{
    return Bytes.startsWith(PngSignature);
}

QSize PngDeclaredSize(const QByteArray& Bytes)
{
    constexpr int64_t HeaderEnd = 8 + ChunkFrame + 13;
    if (!IsPng(Bytes) || Bytes.size() < HeaderEnd || BigEndian32(Bytes.constData() + 8) != 13
        || Bytes.mid(12, 4) != "IHDR")
        return {};
    const uint32_t Width = BigEndian32(Bytes.constData() + 16);
    const uint32_t Height = BigEndian32(Bytes.constData() + 20);
    if (Width == 0 || Height == 0 || Width > INT32_MAX || Height > INT32_MAX)
        return {};
    return QSize(int(Width), int(Height));
}

bool PictureBytesHoldTogether(const QByteArray& Bytes)
{
    return !IsPng(Bytes) || PngChunksFit(Bytes);
}

QImage DecodePictureBytes(const QByteArray& Bytes, QImageReader::ImageReaderError* Error)
{
    if (!PictureBytesHoldTogether(Bytes)) {
        if (Error != nullptr)
            *Error = QImageReader::InvalidDataError;
        return {};
    }
    QBuffer Buffer;
    Buffer.setData(Bytes);
    Buffer.open(QIODevice::ReadOnly);
    QImageReader Reader(&Buffer);
    Reader.setDecideFormatFromContent(true);
    QImage Picture = Reader.read();
    if (Picture.isNull() && Error != nullptr)
        *Error = Reader.error();
    return Picture;
}

QImage PictureOfMimeData(const QMimeData& Data, bool* Unanswered)
{
    const QByteArray Type = PreferredPictureType(Data.formats());
    const QByteArray Bytes = Type.isEmpty() ? QByteArray() : Data.data(QString::fromLatin1(Type));
    QImage Picture = Bytes.isEmpty() ? qvariant_cast<QImage>(Data.imageData()) : DecodePictureBytes(Bytes);
    if (Unanswered != nullptr)
        *Unanswered = Picture.isNull() && !Type.isEmpty() && Bytes.isEmpty();
    return Picture;
}

QList<QByteArray> PastePreferences()
{
    QList<QByteArray> Preferred = {"image/png", "image/bmp"};
    for (const QByteArray& Type : QImageReader::supportedMimeTypes())
        if (!Preferred.contains(Type))
            Preferred.append(Type);
    // What another Qt program offers as its own picture type (PNG bytes).
    Preferred.append("application/x-qt-image");
    return Preferred;
}

QByteArray PreferredPictureType(const QStringList& Offered)
{
    for (const QByteArray& Type : PastePreferences())
        if (Offered.contains(QString::fromLatin1(Type)))
            return Type;
    return {};
}

} // namespace nebulo
