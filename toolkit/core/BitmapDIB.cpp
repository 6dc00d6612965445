#include "toolkit/core/BitmapDIB.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Stream.h"

namespace nebulo {

void GetDIBSizes(const TBitmap& Bitmap, int64_t& InfoHeaderSize, int64_t& ImageSize)
{
    const TPackedDIBSizes Sizes = PackedDIBSizes(Bitmap.Image(), Bitmap.PixelFormat());
    InfoHeaderSize = Sizes.InfoSize;
    ImageSize = Sizes.ImageSize;
}

bool GetDIB(const TBitmap& Bitmap, TStream& Dest)
{
    const TPackedDIBSizes Sizes = PackedDIBSizes(Bitmap.Image(), Bitmap.PixelFormat());
    const int64_t Size = Dest.Size();
    if (Bitmap.Image().isNull() || Size != Sizes.InfoSize + Sizes.ImageSize)
        return false;
    Dest.Seek(0, soBeginning);
    WritePackedDIB(Dest, Bitmap.Image(), Bitmap.PixelFormat());
    Dest.Seek(0, soBeginning);
    return Dest.Size() == Size;
}

bool GetDIBStream(const TBitmap& Bitmap, TMemoryStream& DIB)
{
    int64_t InfoSize = 0;
    int64_t ImageSize = 0;
    GetDIBSizes(Bitmap, InfoSize, ImageSize);
    DIB.SetSize(InfoSize + ImageSize);
    return GetDIB(Bitmap, DIB);
}

} // namespace nebulo
