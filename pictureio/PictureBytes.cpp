#include "pictureio/PictureBytes.h"

#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"

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

bool IsBmp(const QByteArray& Bytes)
{
    return bmp::StartsWithSignature(reinterpret_cast<const uint8_t*>(Bytes.constData()), Bytes.size());
}

QImage DecodeBmp(const QByteArray& Bytes, QImageReader::ImageReaderError* Error)
{
    try {
        TMemoryStream Stream(Bytes.constData(), Bytes.size());
        QImage Picture = ReadBmpFile(Stream).Image;
        if (Picture.isNull() && Error != nullptr)
            *Error = QImageReader::InvalidDataError;
        return Picture;
    } catch (const EOutOfMemory&) {
        throw;
    } catch (const Exception&) {
        if (Error != nullptr)
            *Error = QImageReader::InvalidDataError;
        return {};
    }
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

TPictureHead ProbePicture(const QByteArray& Bytes)
{
    if (IsBmp(Bytes))
        return {true, PeekBmpSize(reinterpret_cast<const uint8_t*>(Bytes.constData()), Bytes.size())};
    if (IsPng(Bytes)) {
        const QSize Declared = PngDeclaredSize(Bytes);
        return {!Declared.isEmpty(), Declared};
    }
    QBuffer Buffer;
    Buffer.setData(Bytes);
    Buffer.open(QIODevice::ReadOnly);
    QImageReader Reader(&Buffer);
    if (!Reader.canRead())
        return {};
    return {true, Reader.size()};
}

QImage DecodePictureBytes(const QByteArray& Bytes, QImageReader::ImageReaderError* Error)
{
    if (IsBmp(Bytes))
        return DecodeBmp(Bytes, Error);
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

TMimePicture PictureOfMimeData(const QMimeData& Data)
{
    TMimePicture Found;
    Found.Type = PreferredPictureType(Data.formats());
    // A picture within this program is taken as it is. Qt stands for another
    // program's data with its internal kind, whose picture would be asked
    // for once more.
    if (!Data.inherits("QInternalMimeData") && Data.hasImage()) {
        Found.Within = qvariant_cast<QImage>(Data.imageData());
        if (!Found.Within.isNull())
            return Found;
    }
    if (!Found.Type.isEmpty())
        Found.Bytes = Data.data(QString::fromLatin1(Found.Type));
    return Found;
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
