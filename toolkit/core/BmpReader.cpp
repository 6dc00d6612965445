#include "toolkit/core/BmpFile.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BmpRunLength.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/RowShares.h"
#include "toolkit/core/Stream.h"

#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace nebulo {

namespace {

const char* const InvalidBitmapMessage = "Bitmap image is not valid";

[[noreturn]] void Invalid()
{
    throw EInvalidGraphic(InvalidBitmapMessage);
}

// The bytes of the file, borrowed from a memory stream or read once.
class TFileBytes {
public:
    explicit TFileBytes(TStream& Stream)
    {
        const int64_t Start = Stream.Position();
        const int64_t Count = Stream.Size() - Start;
        if (Count <= 0)
            return;
        if (auto* Memory = dynamic_cast<TCustomMemoryStream*>(&Stream); Memory != nullptr && Start >= 0) {
            Data_ = Memory->Memory() + Start;
            Size_ = Count;
            Stream.Seek(Count, soCurrent);
            return;
        }
        Copy_.resize(static_cast<size_t>(Count));
        Stream.ReadBuffer(Copy_.data(), Count);
        Data_ = Copy_.data();
        Size_ = Count;
    }
    const uint8_t* Data() const { return Data_; }
    int64_t Size() const { return Size_; }

private:
    std::vector<uint8_t> Copy_;
    const uint8_t* Data_ = nullptr;
    int64_t Size_ = 0;
};

struct TChannelMask {
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0;

    explicit TChannelMask(uint32_t M) : Mask(M)
    {
        if (M != 0) {
            Shift = std::countr_zero(M);
            Max = M >> Shift;
        }
    }
    // In 64 bits: a field of 25 bits or more times 255 does not fit in 32.
    uint32_t Expand(uint32_t Pixel) const
    {
        if (Max == 0)
            return 0;
        return uint32_t((uint64_t((Pixel & Mask) >> Shift) * 255 + Max / 2) / Max);
    }
};

struct THeader {
    int32_t Width = 0;
    int32_t Height = 0;
    int BitCount = 0;
    uint32_t Compression = bmp::BI_RGB;
    uint32_t ColorsUsed = 0;
    std::array<uint32_t, 3> Masks{}; // red, green, blue
    uint32_t AlphaMask = 0;          // 0: the pixels are opaque
    int64_t TableOffset = 0;
    int TableEntrySize = bmp::QuadSize;
};

THeader ParseHeaders(const uint8_t* P, int64_t Size)
{
    if (Size < bmp::FileHeaderSize + 4 || bmp::GetU16(P + bmp::bfType) != bmp::Signature)
        Invalid();
    const uint8_t* Info = P + bmp::FileHeaderSize;
    const uint32_t HeaderSize = bmp::GetU32(Info + bmp::biSize);
    THeader H;
    if (HeaderSize == bmp::CoreHeaderSize) {
        if (Size < bmp::FileHeaderSize + bmp::CoreHeaderSize)
            Invalid();
        H.Width = bmp::GetU16(Info + bmp::bcWidth);
        H.Height = bmp::GetU16(Info + bmp::bcHeight);
        H.BitCount = bmp::GetU16(Info + bmp::bcBitCount);
        H.TableEntrySize = bmp::TripleSize;
        H.TableOffset = bmp::FileHeaderSize + bmp::CoreHeaderSize;
        return H;
    }
    if (HeaderSize < bmp::InfoHeaderSize || HeaderSize > 1024 || Size < bmp::FileHeaderSize + int64_t(HeaderSize))
        Invalid();
    H.Width = bmp::GetI32(Info + bmp::biWidth);
    H.Height = bmp::GetI32(Info + bmp::biHeight);
    H.BitCount = bmp::GetU16(Info + bmp::biBitCount);
    H.Compression = bmp::GetU32(Info + bmp::biCompression);
    H.ColorsUsed = bmp::GetU32(Info + bmp::biClrUsed);
    H.TableOffset = bmp::FileHeaderSize + int64_t(HeaderSize);
    if (H.Compression == bmp::BI_BITFIELDS || H.Compression == bmp::BI_ALPHABITFIELDS) {
        // Masks sit inside a long header, or right after a 40-byte one.
        if (HeaderSize == bmp::InfoHeaderSize) {
            const int MasksEnd = H.Compression == bmp::BI_BITFIELDS ? bmp::bV4AlphaMask : bmp::bV4AlphaMask + 4;
            if (Size < bmp::FileHeaderSize + MasksEnd)
                Invalid();
            H.TableOffset = bmp::FileHeaderSize + MasksEnd;
        } else if (HeaderSize < bmp::bV4AlphaMask) {
            Invalid();
        }
        H.Masks = {bmp::GetU32(Info + bmp::bV4RedMask), bmp::GetU32(Info + bmp::bV4GreenMask),
                   bmp::GetU32(Info + bmp::bV4BlueMask)};
        // The alpha mask follows the others, inside a header long enough to
        // hold it or after a 40-byte one that says it is there.
        if (HeaderSize >= bmp::bV4AlphaMask + 4
            || (HeaderSize == bmp::InfoHeaderSize && H.Compression == bmp::BI_ALPHABITFIELDS))
            H.AlphaMask = bmp::GetU32(Info + bmp::bV4AlphaMask);
    } else if (H.BitCount == 16) {
        H.Masks = {0x7C00, 0x03E0, 0x001F};
    } else if (H.BitCount == 32) {
        H.Masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }
    return H;
}

bool IsRunLength(const THeader& H)
{
    return H.Compression == bmp::BI_RLE8 || H.Compression == bmp::BI_RLE4;
}

void CheckGeometry(const THeader& H)
{
    switch (H.BitCount) {
    case 1: case 24:
        if (H.Compression != bmp::BI_RGB)
            Invalid();
        break;
    case 4:
        if (H.Compression != bmp::BI_RGB && H.Compression != bmp::BI_RLE4)
            Invalid();
        break;
    case 8:
        if (H.Compression != bmp::BI_RGB && H.Compression != bmp::BI_RLE8)
            Invalid();
        break;
    case 16: case 32:
        if (H.Compression != bmp::BI_RGB && H.Compression != bmp::BI_BITFIELDS
            && H.Compression != bmp::BI_ALPHABITFIELDS)
            Invalid();
        break;
    default:
        Invalid();
    }
    if (H.Width <= 0 || H.Height == 0 || H.Height == INT32_MIN)
        Invalid();
    // Run-length rows are stored bottom-up only.
    if (IsRunLength(H) && H.Height < 0)
        Invalid();
    if (int64_t(H.Width) * std::abs(int64_t(H.Height)) > bmp::MaxPixels)
        Invalid();
}

QList<QRgb> ReadColorTable(const uint8_t* P, int64_t Size, const THeader& H)
{
    const uint32_t Full = 1u << H.BitCount;
    const uint32_t Count = H.ColorsUsed == 0 || H.ColorsUsed > Full ? Full : H.ColorsUsed;
    if (H.TableOffset + int64_t(Count) * H.TableEntrySize > Size)
        Invalid();
    QList<QRgb> Table;
    Table.reserve(Count);
    for (uint32_t I = 0; I < Count; ++I) {
        const uint8_t* E = P + H.TableOffset + int64_t(I) * H.TableEntrySize;
        Table.append(qRgb(E[2], E[1], E[0]));
    }
    return Table;
}

// Indices beyond a short table would have no colour; give the table every
// entry the depth can address.
void CompleteTable(QImage& Image, int BitCount)
{
    QList<QRgb> Table = Image.colorTable();
    const int Full = 1 << BitCount;
    if (Table.size() >= Full)
        return;
    const int Used = Table.size();
    bool OutOfRange = false;
    for (int Y = 0; Y < Image.height() && !OutOfRange; ++Y) {
        if (Image.format() == QImage::Format_Mono) {
            OutOfRange = Used < 2;
            break;
        }
        const uchar* Row = Image.constScanLine(Y);
        for (int X = 0; X < Image.width(); ++X)
            if (Row[X] >= Used) {
                OutOfRange = true;
                break;
            }
    }
    if (OutOfRange) {
        Table.resize(Full, qRgb(0, 0, 0));
        Image.setColorTable(Table);
    }
}

void DecodeRow(const THeader& H, const uint8_t* Source, uchar* Dest, int Width)
{
    switch (H.BitCount) {
    case 1:
        std::memcpy(Dest, Source, static_cast<size_t>((Width + 7) / 8));
        break;
    case 4:
        for (int X = 0; X < Width; ++X)
            Dest[X] = (X & 1) ? (Source[X / 2] & 0x0F) : (Source[X / 2] >> 4);
        break;
    case 8:
        std::memcpy(Dest, Source, static_cast<size_t>(Width));
        break;
    case 24:
        std::memcpy(Dest, Source, static_cast<size_t>(Width) * 3);
        break;
    default: {
        const TChannelMask Red(H.Masks[0]), Green(H.Masks[1]), Blue(H.Masks[2]), Alpha(H.AlphaMask);
        auto* Out = reinterpret_cast<QRgb*>(Dest);
        for (int X = 0; X < Width; ++X) {
            const uint32_t Pixel = H.BitCount == 16 ? bmp::GetU16(Source + 2 * X) : bmp::GetU32(Source + 4 * X);
            Out[X] = qRgba(int(Red.Expand(Pixel)), int(Green.Expand(Pixel)), int(Blue.Expand(Pixel)),
                           H.AlphaMask != 0 ? int(Alpha.Expand(Pixel)) : 255);
        }
    }
    }
}

QImage::Format StorageFormat(const THeader& H)
{
    switch (H.BitCount) {
    case 1: return QImage::Format_Mono;
    case 4:
    case 8: return QImage::Format_Indexed8;
    case 24: return QImage::Format_BGR888;
    default: return H.AlphaMask != 0 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    }
}

TPixelFormat PixelFormatOf(int BitCount)
{
    switch (BitCount) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    case 16: return TPixelFormat::pf16bit;
    case 24: return TPixelFormat::pf24bit;
    default: return TPixelFormat::pf32bit;
    }
}

} // namespace

TBmpPicture ReadBmpFile(TStream& Stream)
{
    const TFileBytes File(Stream);
    TBmpPicture Result;
    if (File.Size() == 0)
        return Result;
    const uint8_t* P = File.Data();
    const THeader H = ParseHeaders(P, File.Size());
    CheckGeometry(H);

    QList<QRgb> Table;
    if (H.BitCount <= 8)
        Table = ReadColorTable(P, File.Size(), H);
    const int64_t TableEnd = H.TableOffset + (H.BitCount <= 8 ? int64_t(Table.size()) * H.TableEntrySize : 0);
    const int64_t DeclaredOffset = bmp::GetU32(P + bmp::bfOffBits);
    const int64_t PixelOffset = DeclaredOffset >= TableEnd ? DeclaredOffset : TableEnd;
    const int Rows = std::abs(H.Height);
    const int64_t Stride = bmp::RowBytes(H.Width, H.BitCount);
    if (PixelOffset > File.Size() || (!IsRunLength(H) && PixelOffset + Stride * Rows > File.Size()))
        throw EReadError();

    QImage Image(H.Width, Rows, StorageFormat(H));
    if (Image.isNull())
        throw EOutOfMemory();
    if (H.BitCount <= 8)
        Image.setColorTable(Table);
    if (IsRunLength(H)) {
        Image.fill(0);
        if (!DecodeRunLengths(P + PixelOffset, File.Size() - PixelOffset, H.BitCount, Image))
            throw EReadError();
    } else {
        // The rows shared between the cores; the picture is this reader's
        // alone, so its lines are taken once, before any thread starts.
        uchar* Lines = Image.bits();
        const qsizetype LineBytes = Image.bytesPerLine();
        ShareRows(Rows, SharesFor(int64_t(H.Width) * Rows), [&](int, int32_t First, int32_t Last) {
            for (int32_t R = First; R < Last; ++R) {
                const int Y = H.Height > 0 ? Rows - 1 - R : R;
                DecodeRow(H, P + PixelOffset + Stride * R, Lines + Y * LineBytes, H.Width);
            }
        });
    }
    if (H.BitCount <= 8)
        CompleteTable(Image, H.BitCount);
    if (H.AlphaMask != 0)
        Image = CompositedOverWhite(Image);
    Result.Image = std::move(Image);
    Result.Format = PixelFormatOf(H.BitCount);
    return Result;
}

QSize PeekBmpSize(const uint8_t* Data, int64_t Size)
{
    try {
        const THeader H = ParseHeaders(Data, Size);
        if (H.Width <= 0 || H.Height == 0 || H.Height == INT32_MIN)
            return {};
        return {H.Width, std::abs(H.Height)};
    } catch (const EInvalidGraphic&) {
        return {};
    }
}

} // namespace nebulo
