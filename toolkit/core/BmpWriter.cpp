#include "toolkit/core/BmpFile.h"

#include "toolkit/core/Exceptions.h"
#include "toolkit/core/RowShares.h"
#include "toolkit/core/Stream.h"

#include <bit>
#include <cstring>
#include <vector>

namespace nebulo {

namespace {

int StoredBitCount(TPixelFormat Format)
{
    return HasPalette(Format) ? BitCountOf(Format) : 24;
}

// 32-bit pixels as blue, green, red. Where the host stores a pixel as those
// bytes followed by alpha, each pixel is copied whole and the next one
// overwrites its alpha: one load and one store a pixel.
void StoreBgrRow(const QRgb* Pixels, int Width, uint8_t* Out)
{
    int X = 0;
    if constexpr (std::endian::native == std::endian::little)
        for (; X + 1 < Width; ++X)
            std::memcpy(Out + 3 * X, Pixels + X, 4);
    for (; X < Width; ++X) {
        Out[3 * X] = uint8_t(qBlue(Pixels[X]));
        Out[3 * X + 1] = uint8_t(qGreen(Pixels[X]));
        Out[3 * X + 2] = uint8_t(qRed(Pixels[X]));
    }
}

QList<QRgb> StoredTable(const QImage& Image, int BitCount)
{
    QList<QRgb> Table = Image.colorTable();
    if (Table.size() > (1 << BitCount))
        Table.resize(1 << BitCount);
    if (Table.isEmpty())
        Table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return Table;
}

// One stored row of the picture, its padding zero whatever the storage holds
// past a line, into Out.
void StoreRow(const QImage& Image, int Y, int BitCount, int64_t Stride, uint8_t* Out)
{
    const int Width = Image.width();
    const uchar* Source = Image.constScanLine(Y);
    const int64_t DataBytes = (int64_t(Width) * BitCount + 7) / 8;
    switch (BitCount) {
    case 4:
        for (int X = 0; X < Width; ++X) {
            const uint8_t Index = Source[X] & 0x0F;
            Out[X / 2] = (X & 1) ? uint8_t(Out[X / 2] | Index) : uint8_t(Index << 4);
        }
        break;
    case 24:
        if (Image.format() != QImage::Format_BGR888) {
            StoreBgrRow(reinterpret_cast<const QRgb*>(Source), Width, Out);
            break;
        }
        [[fallthrough]];
    default: std::memcpy(Out, Source, size_t(DataBytes)); break;
    }
    std::memset(Out + DataBytes, 0, size_t(Stride - DataBytes));
}

// The picture as the writer stores it, with its stored depth and colour table.
struct TStoredPicture {
    QImage Image;
    int BitCount = 24;
    QList<QRgb> Table;
    int64_t Stride = 0;

    int64_t InfoSize() const { return bmp::InfoHeaderSize + int64_t(Table.size()) * bmp::QuadSize; }
    int64_t ImageSize() const { return Stride * Image.height(); }
};

TStoredPicture Prepare(const QImage& Source, TPixelFormat Format)
{
    TStoredPicture Stored;
    Stored.BitCount = StoredBitCount(Format);
    // Deep pictures are written from BGR888 or 32-bit pixels; anything else
    // (16-bit storage, say) goes through 32 bits first.
    Stored.Image = Source;
    const int BitCount = Stored.BitCount;
    QImage& Image = Stored.Image;
    if (BitCount == 24 && Image.format() != QImage::Format_BGR888 && Image.format() != QImage::Format_RGB32
        && Image.format() != QImage::Format_ARGB32)
        Image = Image.convertToFormat(QImage::Format_RGB32);
    else if (BitCount == 1 && Image.format() != QImage::Format_Mono)
        Image = Image.convertToFormat(QImage::Format_Mono);
    else if ((BitCount == 4 || BitCount == 8) && Image.format() != QImage::Format_Indexed8)
        Image = Image.convertToFormat(QImage::Format_Indexed8);
    if (BitCount <= 8)
        Stored.Table = StoredTable(Image, BitCount);
    Stored.Stride = bmp::RowBytes(Image.width(), BitCount);
    return Stored;
}

void WriteStored(TStream& Stream, const TStoredPicture& Stored)
{
    const QImage& Image = Stored.Image;
    const QList<QRgb>& Table = Stored.Table;
    std::vector<uint8_t> Head(static_cast<size_t>(Stored.InfoSize()), 0);
    bmp::PutInfoHeader(Head.data(), {.Width = Image.width(),
                                     .Height = Image.height(),
                                     .BitCount = uint16_t(Stored.BitCount),
                                     .SizeImage = uint32_t(Stored.ImageSize()),
                                     .ClrUsed = uint32_t(Table.size())});
    for (int I = 0; I < Table.size(); ++I) {
        uint8_t* E = Head.data() + bmp::InfoHeaderSize + bmp::QuadSize * I;
        E[0] = uint8_t(qBlue(Table[I]));
        E[1] = uint8_t(qGreen(Table[I]));
        E[2] = uint8_t(qRed(Table[I]));
    }
    Stream.WriteBuffer(Head.data(), int64_t(Head.size()));

    // A memory stream takes the rows in place, bottom row first, the rows
    // shared between the cores; any other stream row by row.
    const int Height = Image.height();
    const int64_t Stride = Stored.Stride;
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Stream)) {
        uint8_t* Rows = Memory->WriteInPlace(Stride * Height);
        if (Rows == nullptr)
            throw EWriteError();
        ShareRows(Height, SharesFor(int64_t(Image.width()) * Height), [&](int, int32_t First, int32_t Last) {
            for (int32_t Y = First; Y < Last; ++Y)
                StoreRow(Image, Y, Stored.BitCount, Stride, Rows + (Height - 1 - Y) * Stride);
        });
        return;
    }
    std::vector<uint8_t> Row(static_cast<size_t>(Stride), 0);
    for (int Y = Height - 1; Y >= 0; --Y) {
        StoreRow(Image, Y, Stored.BitCount, Stride, Row.data());
        Stream.WriteBuffer(Row.data(), Stride);
    }
}

} // namespace

void WriteBmpFile(TStream& Stream, const QImage& Source, TPixelFormat Format)
{
    if (Source.isNull())
        return;
    const TStoredPicture Stored = Prepare(Source, Format);
    const int64_t PixelOffset = bmp::FileHeaderSize + Stored.InfoSize();
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Stream))
        Memory->Reserve(Memory->Position() + PixelOffset + Stored.ImageSize());
    uint8_t Head[bmp::FileHeaderSize];
    bmp::PutFileHeader(Head, uint32_t(PixelOffset + Stored.ImageSize()), uint32_t(PixelOffset));
    Stream.WriteBuffer(Head, bmp::FileHeaderSize);
    WriteStored(Stream, Stored);
}

TPackedDIBSizes PackedDIBSizes(const QImage& Image, TPixelFormat Format)
{
    if (Image.isNull())
        return {};
    const TStoredPicture Stored = Prepare(Image, Format);
    return {Stored.InfoSize(), Stored.ImageSize()};
}

void WritePackedDIB(TStream& Stream, const QImage& Image, TPixelFormat Format)
{
    if (!Image.isNull())
        WriteStored(Stream, Prepare(Image, Format));
}

} // namespace nebulo
