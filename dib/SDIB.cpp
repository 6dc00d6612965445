#include "dib/SDIB.h"

#include "toolkit/core/BmpLayout.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Graphic.h"

namespace nebulo {

TSDIB::TSDIB(QObject* Owner) : TComponent(Owner), DIBFile_(std::make_unique<TMemoryStream>()) {}

TSDIB::~TSDIB() = default;

void TSDIB::LoadFromGraphic(TGraphic& Graphic)
{
    DIBFile_->Seek(0, soBeginning);
    Graphic.SaveToStream(*DIBFile_);
    ParseHeader();
}

void TSDIB::SaveToStream(TStream& Stream)
{
    Stream.WriteBuffer(DIBFile_->Memory(), DIBFile_->Size());
}

void TSDIB::LoadFromStream(TStream& Stream)
{
    const int64_t Size = Stream.Size();
    if (Size <= 0)
        return;
    // The source must stand at its start: a shorter remainder fails the read
    // before anything is resized.
    if (Stream.Size() - Stream.Position() < Size)
        throw EReadError();
    DIBFile_->SetSize(Size);
    Stream.ReadBuffer(DIBFile_->Memory(), Size);
    ParseHeader();
}

void TSDIB::ParseHeader()
{
    TMemoryStream& File = *DIBFile_;
    uint8_t FileHeader[bmp::FileHeaderSize];
    File.Seek(0, soBeginning);
    File.ReadBuffer(FileHeader, sizeof FileHeader);
    if (bmp::GetU16(FileHeader + bmp::bfType) == bmp::Signature) {
        PixelOffset_ = bmp::GetI32(FileHeader + bmp::bfOffBits);
        uint8_t InfoHeader[bmp::InfoHeaderSize];
        File.ReadBuffer(InfoHeader, sizeof InfoHeader);
        if (bmp::GetU32(InfoHeader + bmp::biCompression) == bmp::BI_RGB) {
            Valid_ = true;
            Width_ = bmp::GetI32(InfoHeader + bmp::biWidth);
            Height_ = bmp::GetI32(InfoHeader + bmp::biHeight);
            BitCount_ = bmp::GetU16(InfoHeader + bmp::biBitCount);
            // The width taken unsigned, as stored; in 64 bits the stride never wraps.
            RowStride_ = bmp::RowBytes(int64_t(uint32_t(Width_)), BitCount_);
        }
    }
    File.Seek(0, soBeginning);
}

bool TSDIB::Addressable(TPoint Point) const
{
    return Valid_ && Point.X >= 1 && Point.Y >= 1 && Point.Y <= Height_ && Point.X <= Width_;
}

int64_t TSDIB::ByteOffset(TPoint Point, int& BitInByte) const
{
    const int64_t Bit = int64_t(Point.X - 1) * BitCount_;
    BitInByte = int(Bit % 8);
    // Hostile headers can ask for positions beyond any file; those saturate
    // and so lie past the end.
    int64_t RowStart = 0;
    int64_t Offset = 0;
    if (__builtin_mul_overflow(int64_t(Height_ - Point.Y), RowStride_, &RowStart)
        || __builtin_add_overflow(RowStart, int64_t(PixelOffset_) + Bit / 8, &Offset))
        return INT64_MAX;
    return Offset;
}

uint32_t TSDIB::ReadPixel(TPoint Point)
{
    if (!Addressable(Point))
        return 0;
    int BitInByte = 0;
    const int64_t Offset = ByteOffset(Point, BitInByte);
    uint8_t Bytes[3] = {0, 0, 0};
    switch (BitCount_) {
    case 1:
    case 4:
    case 8:
        DIBFile_->Seek(Offset, soBeginning);
        DIBFile_->ReadBuffer(Bytes, 1);
        if (BitCount_ == 1)
            return uint32_t((Bytes[0] >> (7 - BitInByte)) & 1) << 24;
        if (BitCount_ == 4)
            return uint32_t((Bytes[0] >> (4 - BitInByte)) & 15) << 24;
        return uint32_t(Bytes[0]) << 24;
    case 24:
        DIBFile_->Seek(Offset, soBeginning);
        DIBFile_->ReadBuffer(Bytes, 3);
        return uint32_t(Bytes[0]) | (uint32_t(Bytes[1]) << 8) | (uint32_t(Bytes[2]) << 16);
    default:
        return 0;
    }
}

void TSDIB::WritePixel(TPoint Point, uint32_t Value)
{
    if (!Addressable(Point))
        return;
    int BitInByte = 0;
    const int64_t Offset = ByteOffset(Point, BitInByte);
    const uint8_t Index = uint8_t(Value >> 24);
    TMemoryStream& File = *DIBFile_;
    switch (BitCount_) {
    case 1:
    case 4: {
        uint8_t Byte = 0;
        File.Seek(Offset, soBeginning);
        File.ReadBuffer(&Byte, 1);
        if (BitCount_ == 1) {
            const int Shift = 7 - BitInByte;
            Byte = uint8_t((Byte & ~(1u << Shift)) | ((Index & 1u) << Shift));
        } else {
            const int Shift = 4 - BitInByte;
            Byte = uint8_t((Byte & ~(15u << Shift)) | ((Index & 15u) << Shift));
        }
        File.Seek(-1, soCurrent);
        File.WriteBuffer(&Byte, 1);
        break;
    }
    case 8:
        // Never extends a truncated file.
        if (Offset >= 0 && Offset < File.Size()) {
            File.Seek(Offset, soBeginning);
            File.WriteBuffer(&Index, 1);
        }
        break;
    case 24:
        if (Offset >= 0 && Offset <= File.Size() - 3) {
            const uint8_t Bytes[3] = {uint8_t(Value), uint8_t(Value >> 8), uint8_t(Value >> 16)};
            File.Seek(Offset, soBeginning);
            File.WriteBuffer(Bytes, 3);
        }
        break;
    default:
        break;
    }
}

void TSDIB::ReadData(TStream& Stream)
{
    LoadFromStream(Stream);
}

void TSDIB::WriteData(TStream& Stream)
{
    SaveToStream(Stream);
}

void TSDIB::SetDIBFile(std::unique_ptr<TMemoryStream> Value)
{
    if (Value)
        DIBFile_ = std::move(Value);
}

void TSDIB::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& Stream) { ReadData(Stream); },
        [this](TStream& Stream) { WriteData(Stream); }, true);
}

} // namespace nebulo
