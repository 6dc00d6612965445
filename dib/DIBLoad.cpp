#include "dib/CDIBs.h"

#include "dib/DIBMessages.h"
#include "toolkit/core/BmpLayout.h"
#include "toolkit/core/Exceptions.h"

#include <algorithm>
#include <vector>

namespace nebulo {

namespace {

// A held DIB, with its file header, stays addressable by 32-bit offsets.
constexpr int64_t MaxFileBytes = INT32_MAX;

// What LoadDIB learns from a header before it reads anything else.
struct TDIBShape {
    int64_t Width = 0;
    int64_t Height = 0;
    uint16_t BitCount = 0;
    int64_t Entries = 0;    // colour-table entries held afterwards
    int64_t EntrySize = bmp::QuadSize; // bytes of one entry in the source
    int64_t PixelBytes = 0;
};

// The header fields short of the rest of the header: a short read means
// the block is no DIB at all.
void ReadHeaderBytes(TStream& Stream, uint8_t* Buffer, int64_t Count)
{
    if (Stream.Read(Buffer, Count) != Count)
        throw EInvalidGraphic(dib::InvalidBitmap);
}

bool KnownBitCount(uint16_t BitCount)
{
    return BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 16 || BitCount == 24
        || BitCount == 32;
}

// Refuses what the loader would misread (compressed, top-down, masked
// DIBs) and sizes that do not fit, before anything is allocated.
void CheckShape(TDIBShape& Shape)
{
    const bool TableFits = Shape.BitCount <= 8 ? Shape.Entries <= DIBColorCount(Shape.BitCount)
                                               : Shape.Entries <= 256;
    if (!KnownBitCount(Shape.BitCount) || Shape.Width < 0 || Shape.Height < 0 || !TableFits)
        throw EInvalidGraphic(dib::InvalidBitmapFormat);
    const int64_t RowBits = Shape.Width * Shape.BitCount;
    if (RowBits > MaxFileBytes)
        throw EInvalidGraphic(dib::InvalidBitmapFormat);
    Shape.PixelBytes = int64_t(DIBRowBytes(int32_t(RowBits))) * Shape.Height;
    if (bmp::FileHeaderSize + bmp::InfoHeaderSize + bmp::QuadSize * Shape.Entries + Shape.PixelBytes > MaxFileBytes)
        throw EInvalidGraphic(dib::InvalidBitmapFormat);
}

} // namespace

void TDIB::LoadDIB(TStream& Stream)
{
    uint8_t Header[bmp::InfoHeaderSize] = {};
    ReadHeaderBytes(Stream, Header, 4);
    Stream.Seek(-4, soCurrent);
    const uint32_t HeaderSize = bmp::GetU32(Header + bmp::biSize);
    const bool Core = HeaderSize == bmp::CoreHeaderSize;
    if (!Core && HeaderSize != bmp::InfoHeaderSize)
        throw EInvalidGraphic("");
    ReadHeaderBytes(Stream, Header, HeaderSize);

    TDIBShape Shape;
    if (Core) {
        Shape.Width = bmp::GetU16(Header + bmp::bcWidth);
        Shape.Height = bmp::GetU16(Header + bmp::bcHeight);
        Shape.BitCount = bmp::GetU16(Header + bmp::bcBitCount);
        Shape.Entries = DIBColorCount(Shape.BitCount);
        Shape.EntrySize = bmp::TripleSize;
    } else {
        Shape.Width = bmp::GetI32(Header + bmp::biWidth);
        Shape.Height = bmp::GetI32(Header + bmp::biHeight);
        Shape.BitCount = bmp::GetU16(Header + bmp::biBitCount);
        if (bmp::GetU32(Header + bmp::biCompression) != bmp::BI_RGB)
            throw EInvalidGraphic(dib::InvalidBitmapFormat);
        Shape.Entries = bmp::GetU32(Header + bmp::biClrUsed);
        if (Shape.Entries == 0)
            Shape.Entries = DIBColorCount(Shape.BitCount);
    }
    CheckShape(Shape);
    const int64_t Remaining = Stream.Size() - Stream.Position();
    const int64_t SourceTable = Shape.EntrySize * Shape.Entries;
    if (Core && Remaining < SourceTable)
        throw EInvalidGraphic(dib::InvalidBitmap);
    if (Remaining - SourceTable < Shape.PixelBytes)
        throw EReadError();

    const int64_t BitsOffset = bmp::InfoHeaderSize + bmp::QuadSize * Shape.Entries;
    auto DIB = std::make_unique<TMemoryStream>();
    DIB->SetSize(BitsOffset + Shape.PixelBytes);
    uint8_t* Info = DIB->Memory();
    if (Core) {
        bmp::PutInfoHeader(Info, {.Width = int32_t(Shape.Width),
                                  .Height = int32_t(Shape.Height),
                                  .Planes = bmp::GetU16(Header + bmp::bcPlanes),
                                  .BitCount = Shape.BitCount,
                                  .SizeImage = uint32_t(Shape.PixelBytes),
                                  .ClrUsed = uint32_t(Shape.Entries),
                                  .ClrImportant = uint32_t(Shape.Entries)});
        std::vector<uint8_t> Triples(size_t(SourceTable), 0);
        Stream.ReadBuffer(Triples.data(), SourceTable);
        for (int64_t I = 0; I < Shape.Entries; ++I)
            std::copy_n(Triples.data() + bmp::TripleSize * I, bmp::TripleSize,
                        Info + bmp::InfoHeaderSize + bmp::QuadSize * I);
    } else {
        bmp::PutU32(Header + bmp::biClrUsed, uint32_t(Shape.Entries));
        std::copy_n(Header, bmp::InfoHeaderSize, Info);
        Stream.ReadBuffer(Info + bmp::InfoHeaderSize, bmp::QuadSize * Shape.Entries);
    }
    Stream.ReadBuffer(Info + BitsOffset, Shape.PixelBytes);
    NewImage(int32_t(Shape.Width), int32_t(Shape.Height), std::move(DIB), BitsOffset);
}

void TDIB::ReadBitmapFile(int64_t Size, TStream& Stream)
{
    if (Size == 0) {
        NewImage(0, 0, nullptr, 0);
        return;
    }
    uint8_t FileHeader[bmp::FileHeaderSize];
    Stream.ReadBuffer(FileHeader, bmp::FileHeaderSize);
    if (bmp::GetU16(FileHeader + bmp::bfType) != bmp::Signature)
        throw EInvalidGraphic(dib::InvalidBitmap);
    LoadDIB(Stream);
}

void TDIB::WriteBitmapFile(TStream& Stream, bool WithSize) const
{
    const int64_t DIBBytes = Empty() ? 0 : Image_->Stream->Size();
    const int64_t FileBytes = DIBBytes != 0 ? DIBBytes + bmp::FileHeaderSize : 0;
    if (WithSize) {
        uint8_t Length[4];
        bmp::PutU32(Length, uint32_t(FileBytes));
        Stream.WriteBuffer(Length, 4);
    }
    if (DIBBytes == 0)
        return;
    uint8_t FileHeader[bmp::FileHeaderSize];
    bmp::PutFileHeader(FileHeader, uint32_t(FileBytes), uint32_t(Image_->Bits - Image_->Info + bmp::FileHeaderSize));
    Stream.WriteBuffer(FileHeader, bmp::FileHeaderSize);
    Stream.WriteBuffer(Image_->Info, DIBBytes);
}

void TDIB::LoadFromStream(TStream& Stream)
{
    ReadBitmapFile(Stream.Size() - Stream.Position(), Stream);
    Changed();
}

void TDIB::SaveToStream(TStream& Stream)
{
    WriteBitmapFile(Stream, false);
}

void TDIB::ReadData(TStream& Stream)
{
    uint8_t Length[4];
    ReadHeaderBytes(Stream, Length, 4);
    ReadBitmapFile(bmp::GetI32(Length), Stream);
    Changed();
}

void TDIB::WriteData(TStream& Stream)
{
    WriteBitmapFile(Stream, true);
}

} // namespace nebulo
