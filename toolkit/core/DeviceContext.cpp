#include "toolkit/core/DeviceContext.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Canvas.h"

namespace nebulo {

namespace {

TLogPaletteObject MakeDefaultPalette()
{
    TLogPaletteObject Palette;
    for (const QRgb Colour : StandardPalette16())
        Palette.Entries.push_back({uint8_t(qRed(Colour)), uint8_t(qGreen(Colour)), uint8_t(qBlue(Colour)), 0});
    return Palette;
}

} // namespace

HPALETTE DefaultPalette()
{
    static TLogPaletteObject Stock = MakeDefaultPalette();
    return &Stock;
}

TDeviceContext::TDeviceContext(TCanvas& Canvas) : Canvas_(Canvas), Palette_(DefaultPalette())
{
    ++CanvasBitmap_.SelectedIn;
    ++Palette_->SelectedIn;
}

TDeviceContext::~TDeviceContext()
{
    --Bitmap_->SelectedIn;
    --Palette_->SelectedIn;
}

QSize TDeviceContext::TargetSize() const
{
    if (Bitmap_ == &CanvasBitmap_)
        return QSize(Canvas_.Bitmap().Width(), Canvas_.Bitmap().Height());
    return static_cast<const TDeviceBitmap*>(Bitmap_)->Pixels.size();
}

void TDeviceContext::PutPixels(int32_t X, int32_t Y, const QImage& Pixels, uint32_t Rop)
{
    const auto Put = [&](QPainter& Painter) {
        Painter.setCompositionMode(CompositionFor(Rop));
        Painter.drawImage(X, Y, Pixels);
    };
    if (Bitmap_ == &CanvasBitmap_) {
        Canvas_.Paint(Put);
        return;
    }
    QImage& Target = static_cast<TDeviceBitmap*>(Bitmap_)->Pixels;
    if (Target.isNull())
        return;
    QPainter Painter(&Target);
    Put(Painter);
}

HPALETTE SelectPalette(HDC DC, HPALETTE Palette, bool ForceBackground)
{
    if (DC == nullptr || (Palette != DefaultPalette() && dynamic_cast<HPALETTE>(FindGdiObject(Palette)) == nullptr))
        return nullptr;
    const HPALETTE Previous = DC->Palette_;
    TDeviceContext::Select(DC->Palette_, Palette);
    DC->Background_ = ForceBackground;
    return Previous;
}

int RealizePalette(HDC DC)
{
    return DC == nullptr ? 0 : int(DC->Palette()->Entries.size());
}

int SetStretchBltMode(HDC DC, int Mode)
{
    if (DC == nullptr || Mode < BLACKONWHITE || Mode > HALFTONE)
        return 0;
    const int Previous = DC->StretchMode_;
    DC->StretchMode_ = Mode;
    return Previous;
}

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object)
{
    if (DC == nullptr)
        return nullptr;
    if (Object == DC->Bitmap_)
        return Object;
    // A bitmap is drawn into through one context at a time.
    const bool Selectable = Object == &DC->CanvasBitmap_
        || (dynamic_cast<HBITMAP>(FindGdiObject(Object)) != nullptr && Object->SelectedIn == 0);
    if (!Selectable)
        return nullptr;
    const HGDIOBJ Previous = DC->Bitmap_;
    TDeviceContext::Select(DC->Bitmap_, Object);
    return Previous;
}

} // namespace nebulo
