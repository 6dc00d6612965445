#include "dib/CDIBs.h"

#include "toolkit/core/BmpLayout.h"
#include "toolkit/core/Canvas.h"
#include "toolkit/core/DeviceContext.h"
#include "toolkit/core/StretchDIBits.h"

namespace nebulo {

namespace {

// Selects a palette into a context as a background palette for one scope and
// the previous one back afterwards.
class TSelectedPalette {
public:
    TSelectedPalette(HDC DC, HPALETTE Palette) : DC_(DC), Previous_(SelectPalette(DC, Palette, true)) {}
    ~TSelectedPalette()
    {
        if (Previous_ != nullptr)
            SelectPalette(DC_, Previous_, true);
    }
    TSelectedPalette(const TSelectedPalette&) = delete;
    TSelectedPalette& operator=(const TSelectedPalette&) = delete;

private:
    HDC DC_;
    HPALETTE Previous_;
};

} // namespace

TPaletteHandle TDIB::CreateDIBPalette() const
{
    RequireDIB();
    const uint8_t* Info = Image_->Info;
    const uint16_t Entries =
        bmp::GetU16(Info + bmp::biBitCount) >= 16 ? 0 : uint16_t(bmp::GetU32(Info + bmp::biClrUsed));
    LOGPALETTE Palette;
    Palette.palVersion = 0x300;
    Palette.palNumEntries = Entries;
    for (uint16_t I = 0; I < Entries; ++I) {
        const uint8_t* Quad = Info + bmp::InfoHeaderSize + bmp::QuadSize * I;
        Palette.palPalEntry.push_back({Quad[2], Quad[1], Quad[0], 0});
    }
    return TPaletteHandle(CreatePalette(Palette));
}

void TDIB::Draw(TCanvas& Canvas, const TRect& Rect)
{
    const TPaletteHandle Palette = CreateDIBPalette();
    const HDC DC = Canvas.Handle();
    // Declared after the palette, so that it is deselected before deletion.
    const TSelectedPalette Selected(DC, Palette.get());
    RealizePalette(DC);
    SetStretchBltMode(DC, COLORONCOLOR);
    StretchDIBits(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), 0, 0, Width(), Height(), Image_->Bits,
                  Image_->Info, DIB_RGB_COLORS, Canvas.CopyMode());
}

} // namespace nebulo
