// Picture bytes in pieces, as a paste takes them in: the input's first byte
// sets the size of the pieces, the rest are the bytes. Decoded while the
// pieces come they give what the whole bytes give, and a PNG that the
// progressive decoder takes gives the pixels of Qt's reader (but the kind
// that reader gets wrong: 16-bit RGB with a transparent colour).
#include "pictureio/IncomingPicture.h"
#include "pictureio/PictureBytes.h"
#include "pictureio/PngChunks.h"
#include "pictureio/PngStream.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

namespace {

using namespace nebulo;

bool SamePixels(const QImage& A, const QImage& B)
{
    if (A.isNull() != B.isNull() || A.size() != B.size())
        return false;
    for (int Y = 0; Y < A.height(); ++Y)
        for (int X = 0; X < A.width(); ++X)
            if (A.pixel(X, Y) != B.pixel(X, Y))
                return false;
    return true;
}

bool QtReadsItWrong(const QByteArray& Png)
{
    TPngChunk Chunk;
    if (!PngChunkAt(Png.constData(), Png.size(), PngSignatureSize, Chunk) || !Chunk.Is("IHDR")
        || Chunk.End() > Png.size() || Chunk.Length < 10)
        return false;
    const char Depth = Png[int(Chunk.At) + 16];
    const char Colour = Png[int(Chunk.At) + 17];
    bool Transparent = false;
    for (int64_t At = Chunk.End(); PngChunkAt(Png.constData(), Png.size(), At, Chunk); At = Chunk.End())
        Transparent = Transparent || Chunk.Is("tRNS");
    return Depth == 16 && Colour == 2 && Transparent;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // libpng and Qt's decoders warn about the broken files they meet here.
    qputenv("QT_LOGGING_RULES", "*.warning=false");
    static QGuiApplication Application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    const qsizetype Piece = 1 + qsizetype(Data[0]) * Data[0];
    const QByteArray Bytes(reinterpret_cast<const char*>(Data + 1), qsizetype(Size - 1));
    TPictureStream Decoder;
    for (qsizetype Came = Piece; Came < Bytes.size(); Came += Piece)
        Decoder.Arrived(Bytes.constData(), Came);
    const QImage InPieces = Decoder.Finish(Bytes);
    if (!SamePixels(InPieces, DecodePictureBytes(Bytes)))
        std::abort();
    TPngStream Png;
    Png.Take(Bytes.constData(), Bytes.size());
    if (Png.Done() && !QtReadsItWrong(Bytes)
        && !SamePixels(PrepareIncomingPicture(Png.TakePicture()).Pixels,
                       PrepareIncomingPicture(QImage::fromData(Bytes, "PNG")).Pixels))
        std::abort();
    return 0;
}
