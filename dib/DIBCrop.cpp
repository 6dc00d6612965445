#include "dib/CDIBs.h"

#include "dib/DIBMessages.h"
#include "toolkit/core/BmpLayout.h"
#include "toolkit/core/Exceptions.h"

#include <algorithm>

namespace nebulo {

void TDIB::SetWidth(int32_t Value)
{
    if (Value == Width())
        return;
    CopyRegion(0, 0, Value, Height(), *this);
    Changed();
}

void TDIB::SetHeight(int32_t Value)
{
    if (Value == Height())
        return;
    CopyRegion(0, 0, Width(), Value, *this);
    Changed();
}

void TDIB::CopyRegion(int32_t X, int32_t Y, int32_t NewWidth, int32_t NewHeight, TDIB& Target) const
{
    RequireDIB();
    if (X < 0 || Y < 0 || NewWidth < 0 || NewHeight < 0 || int64_t(X) + NewWidth > Width()
        || int64_t(Y) + NewHeight > Height())
        throw EInvalidGraphic(dib::InvalidBitmapSize);
    // Held here, so that the source rows outlive Target's new record even
    // when Target is this graphic.
    const std::shared_ptr<const TDIBImage> Source = Image_;
    // The info header with its colour table, kept as it is but for the sizes.
    const int64_t InfoBytes = Source->Bits - Source->Info;
    const int32_t BitCount = bmp::GetU16(Source->Info + bmp::biBitCount);
    const int64_t DestStride = DIBRowBytes(BitCount * NewWidth);
    const int64_t SourceStride = DIBRowBytes(BitCount * Width());
    const int64_t PixelBytes = DestStride * NewHeight;

    auto DIB = std::make_unique<TMemoryStream>();
    DIB->SetSize(InfoBytes + PixelBytes);
    uint8_t* Info = DIB->Memory();
    std::copy_n(Source->Info, InfoBytes, Info);
    bmp::PutU32(Info + bmp::biWidth, uint32_t(NewWidth));
    bmp::PutU32(Info + bmp::biHeight, uint32_t(NewHeight));
    bmp::PutU32(Info + bmp::biSizeImage, uint32_t(PixelBytes));

    const int64_t FirstBit = int64_t(BitCount) * X;
    const uint8_t* From = Source->Bits + int64_t(Height() - Y - NewHeight) * SourceStride + FirstBit / 8;
    uint8_t* To = Info + InfoBytes;
    // Rows of no bytes need no copying, however many a header claims.
    for (int32_t Row = 0; Row < NewHeight && DestStride > 0; ++Row) {
        CopyBitRow(From, To, int(FirstBit % 8), BitCount * NewWidth);
        From += SourceStride;
        To += DestStride;
    }
    Target.NewImage(NewWidth, NewHeight, std::move(DIB), InfoBytes);
}

} // namespace nebulo
