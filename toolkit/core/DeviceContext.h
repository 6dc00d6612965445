#pragma once

#include "toolkit/core/GdiObjects.h"

#include <QImage>

#include <cstdint>
#include <memory>

namespace nebulo {

class TCanvas;

constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// The device context of a canvas: what is selected into it (a palette, and a
// bitmap that drawing lands in instead of the canvas) and its stretch mode.
class TDeviceContext {
public:
    explicit TDeviceContext(TCanvas& Canvas);
    ~TDeviceContext();
    TDeviceContext(const TDeviceContext&) = delete;
    TDeviceContext& operator=(const TDeviceContext&) = delete;

    HPALETTE Palette() const { return Palette_; }
    bool BackgroundPalette() const { return Background_; }
    int StretchMode() const { return StretchMode_; }
    // The selected bitmap; the canvas's own one until another is selected.
    HGDIOBJ Bitmap() const { return Bitmap_; }

    // The size of the selected bitmap, where drawing can land.
    QSize TargetSize() const;
    // Puts Pixels with their top-left corner at (X, Y) onto the selected
    // bitmap, combined with what is there by the raster operation.
    void PutPixels(int32_t X, int32_t Y, const QImage& Pixels, uint32_t Rop);

private:
    friend HPALETTE SelectPalette(HDC, HPALETTE, bool);
    friend int SetStretchBltMode(HDC, int);
    friend HGDIOBJ SelectObject(HDC, HGDIOBJ);

    template <typename T>
    static void Select(T*& Slot, T* Object)
    {
        --Slot->SelectedIn;
        ++Object->SelectedIn;
        Slot = Object;
    }

    TCanvas& Canvas_;
    // Stands for the canvas's own pixels among the selectable bitmaps.
    TGdiObject CanvasBitmap_;
    HGDIOBJ Bitmap_ = &CanvasBitmap_;
    HPALETTE Palette_;
    bool Background_ = false;
    int StretchMode_ = BLACKONWHITE;
};

// The palette every context starts with (the 16 standard colours); stock,
// so it is never deleted.
HPALETTE DefaultPalette();

// Returns the previous palette; none for a missing context or palette.
HPALETTE SelectPalette(HDC DC, HPALETTE Palette, bool ForceBackground);
// The number of entries of the selected palette; none are mapped on a
// true-colour surface, so nothing else changes.
int RealizePalette(HDC DC);
// Returns the previous mode; 0 (and no change) for an unknown mode.
int SetStretchBltMode(HDC DC, int Mode);
// Selects a bitmap made by CreateCompatibleBitmap, or the one a previous
// call returned; returns the previous bitmap, none for anything else.
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);

} // namespace nebulo
