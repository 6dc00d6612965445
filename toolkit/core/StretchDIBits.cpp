#include "toolkit/core/StretchDIBits.h"

#include "toolkit/core/BmpFile.h"
#include "toolkit/core/DeviceContext.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"

#include <algorithm>
#include <cstdlib>

namespace nebulo {

namespace {

// The DIB as a top-down picture, or a null image when it is not drawable.
QImage DecodeDIB(const uint8_t* Info, const uint8_t* Bits)
{
    if (bmp::GetU32(Info + bmp::biSize) != bmp::InfoHeaderSize)
        return {};
    const int64_t Width = bmp::GetI32(Info + bmp::biWidth);
    const int64_t Height = bmp::GetI32(Info + bmp::biHeight);
    const int BitCount = bmp::GetU16(Info + bmp::biBitCount);
    const uint32_t Used = bmp::GetU32(Info + bmp::biClrUsed);
    const bool Drawable = BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 24 || BitCount == 32;
    if (!Drawable || bmp::GetU32(Info + bmp::biCompression) != bmp::BI_RGB || Width <= 0 || Height <= 0
        || Width * Height > bmp::MaxPixels || Used > 256)
        return {};
    const int64_t Entries = Used != 0 || BitCount > 8 ? Used : int64_t(1) << BitCount;
    const int64_t TableBytes = bmp::QuadSize * Entries;
    const int64_t ImageBytes = bmp::RowBytes(Width, BitCount) * Height;

    // Presented to the BMP reader as a file.
    TMemoryStream File;
    uint8_t Head[bmp::FileHeaderSize + bmp::InfoHeaderSize];
    const int64_t Offset = bmp::FileHeaderSize + bmp::InfoHeaderSize + TableBytes;
    bmp::PutFileHeader(Head, uint32_t(Offset + ImageBytes), uint32_t(Offset));
    std::copy(Info, Info + bmp::InfoHeaderSize, Head + bmp::FileHeaderSize);
    bmp::PutU32(Head + bmp::FileHeaderSize + bmp::biClrUsed, uint32_t(Entries));
    File.WriteBuffer(Head, sizeof Head);
    File.WriteBuffer(Info + bmp::InfoHeaderSize, TableBytes);
    File.WriteBuffer(Bits, ImageBytes);
    File.Seek(0, soBeginning);
    try {
        return ReadBmpFile(File).Image.convertToFormat(QImage::Format_RGB32);
    } catch (const Exception&) {
        return {};
    }
}

// One axis of the stretch: a start and a signed extent in source and
// destination.
struct TSpan {
    int64_t Start;
    int64_t Extent;
    int64_t Low() const { return Extent < 0 ? Start + Extent + 1 : Start; }
    int64_t Length() const { return std::abs(Extent); }
};

// The source index that destination pixel D (0-based within the destination
// span) samples, nearest to the centre of the pixel.
int64_t Sample(const TSpan& Source, const TSpan& Dest, int64_t D, bool Mirrored)
{
    const int64_t Along = Mirrored ? Dest.Length() - 1 - D : D;
    return Source.Low() + (2 * Along + 1) * Source.Length() / (2 * Dest.Length());
}

} // namespace

int StretchDIBits(HDC DC, int32_t XDest, int32_t YDest, int32_t DestWidth, int32_t DestHeight, int32_t XSrc,
                  int32_t YSrc, int32_t SrcWidth, int32_t SrcHeight, const void* Bits, const void* Info,
                  uint32_t Usage, uint32_t Rop)
{
    if (DC == nullptr || Bits == nullptr || Info == nullptr || Usage != DIB_RGB_COLORS)
        return 0;
    const QImage Picture = DecodeDIB(static_cast<const uint8_t*>(Info), static_cast<const uint8_t*>(Bits));
    if (Picture.isNull() || DestWidth == 0 || DestHeight == 0 || SrcWidth == 0 || SrcHeight == 0)
        return 0;
    // Rows count from the bottom in the source; the picture is top-down.
    const TSpan SourceX{XSrc, SrcWidth};
    const TSpan SourceY{int64_t(Picture.height()) - YSrc - 1, -int64_t(SrcHeight)};
    if (SourceX.Low() < 0 || SourceX.Low() + SourceX.Length() > Picture.width() || SourceY.Low() < 0
        || SourceY.Low() + SourceY.Length() > Picture.height())
        return 0;
    const TSpan DestX{XDest, DestWidth};
    const TSpan DestY{YDest, DestHeight};
    const bool MirrorX = (DestWidth < 0) != (SrcWidth < 0);
    const bool MirrorY = (DestHeight < 0) != (SrcHeight < 0);

    // Only the part of the destination that lies on the target is sampled.
    const QSize Target = DC->TargetSize();
    const int64_t Left = std::max<int64_t>(DestX.Low(), 0);
    const int64_t Top = std::max<int64_t>(DestY.Low(), 0);
    const int64_t Right = std::min<int64_t>(DestX.Low() + DestX.Length(), Target.width());
    const int64_t Bottom = std::min<int64_t>(DestY.Low() + DestY.Length(), Target.height());
    if (Left < Right && Top < Bottom) {
        QImage Stretched(int(Right - Left), int(Bottom - Top), QImage::Format_RGB32);
        for (int64_t Y = Top; Y < Bottom; ++Y) {
            // Source rows run upwards from the bottom: sample them as a
            // downward span starting at the top row of the rectangle.
            const int64_t SourceRow = Sample({SourceY.Low(), SourceY.Length()}, DestY, Y - DestY.Low(), MirrorY);
            const auto* In = reinterpret_cast<const QRgb*>(Picture.constScanLine(int(SourceRow)));
            auto* Out = reinterpret_cast<QRgb*>(Stretched.scanLine(int(Y - Top)));
            for (int64_t X = Left; X < Right; ++X)
                Out[X - Left] = In[Sample(SourceX, DestX, X - DestX.Low(), MirrorX)];
        }
        DC->PutPixels(int32_t(Left), int32_t(Top), Stretched, Rop);
    }
    return std::abs(SrcHeight);
}

} // namespace nebulo
