#include "pictureio/PictureBytes.h"

#include "pictureio/PngChunks.h"
#include "pictureio/PngStream.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"

#include <QBuffer>
#include <QMimeData>

#include <cstdint>
#include <new>

namespace nebulo {

namespace {

bool PngChunksFit(const QByteArray& Bytes)
{
    TPngChunk Chunk;
    int64_t At = PngSignatureSize;
    while (PngChunkAt(Bytes.constData(), Bytes.size(), At, Chunk)) {
        if (Chunk.Length > PngChunkLengthLimit || Chunk.End() > Bytes.size())
            return false;
        if (Chunk.Is("IEND"))
            return true;
        At = Chunk.End();
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

QImage DecodeWholeBytes(const QByteArray& Bytes, QImageReader::ImageReaderError* Error)
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

} // namespace

bool IsPng(const QByteArray& Bytes)
{
    return StartsAsPng(Bytes.constData(), Bytes.size());
}

QSize PngDeclaredSize(const QByteArray& Bytes)
{
    constexpr int64_t HeaderLength = 13;
    TPngChunk Header;
    if (!IsPng(Bytes) || !PngChunkAt(Bytes.constData(), Bytes.size(), PngSignatureSize, Header)
        || Header.Length != HeaderLength || !Header.Is("IHDR") || Header.End() > Bytes.size())
        return {};
    const uint32_t Width = BigEndian32(Bytes.constData() + Header.At + 8);
    const uint32_t Height = BigEndian32(Bytes.constData() + Header.At + 12);
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
    return TPictureStream().Finish(Bytes, Error);
}

TPictureStream::TPictureStream() = default;

TPictureStream::~TPictureStream() = default;

void TPictureStream::Arrived(const char* SoFar, qsizetype Size) noexcept
{
    if (!Known_ && Size >= PngSignatureSize) {
        Known_ = true;
        try {
            if (StartsAsPng(SoFar, Size))
                Png_ = std::make_unique<TPngStream>();
        } catch (const std::bad_alloc&) {
            // Without room for it, the bytes are decoded once all came.
        }
    }
    if (Png_ != nullptr && !Png_->Declined())
        Png_->Take(SoFar, Size);
}

QImage TPictureStream::Finish(const QByteArray& All, QImageReader::ImageReaderError* Error)
{
    Arrived(All.constData(), All.size());
    if (Png_ != nullptr && Png_->Done())
        return Png_->TakePicture();
    Png_.reset();
    return DecodeWholeBytes(All, Error);
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
