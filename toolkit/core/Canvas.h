#pragma once

#include "toolkit/core/Types.h"

#include <QPainter>

#include <cstdint>
#include <functional>
#include <memory>

namespace nebulo {

class TBitmap;
class TDeviceContext;
class TGraphic;

// Raster operations a canvas copies with.
constexpr uint32_t cmSrcCopy = 0x00CC0020;
constexpr uint32_t cmSrcPaint = 0x00EE0086;
constexpr uint32_t cmSrcAnd = 0x008800C6;
constexpr uint32_t cmSrcInvert = 0x00660046;
constexpr uint32_t cmNotSrcCopy = 0x00330008;

// The painter setting that carries out a raster operation; plain copy for
// the ones the painter has no counterpart for.
QPainter::CompositionMode CompositionFor(uint32_t CopyMode);

struct TBrush {
    TColor Color = clWhite;
};

// The drawing surface of a bitmap.
class TCanvas {
public:
    explicit TCanvas(TBitmap& Target);
    ~TCanvas();

    TBrush& Brush() { return Brush_; }
    uint32_t CopyMode() const { return CopyMode_; }
    void SetCopyMode(uint32_t Value) { CopyMode_ = Value; }
    TBitmap& Bitmap() { return Target_; }
    // The canvas's device context, made on first use.
    TDeviceContext* Handle();

    // Fills Rect (right and bottom exclusive) with the brush colour.
    void FillRect(const TRect& Rect);
    // Draws Graphic unscaled with its top-left corner at (X, Y).
    void Draw(int32_t X, int32_t Y, TGraphic& Graphic);
    void StretchDraw(const TRect& Rect, TGraphic& Graphic);
    // Copies Source's SourceRect stretched onto Dest with the copy mode,
    // without smoothing.
    void CopyRect(const TRect& Dest, TCanvas& Source, const TRect& SourceRect);

    // Runs Painting on the target's pixels.
    void Paint(const std::function<void(QPainter&)>& Painting);

private:
    TBitmap& Target_;
    TBrush Brush_;
    uint32_t CopyMode_ = cmSrcCopy;
    std::unique_ptr<TDeviceContext> Handle_;
};

QRect ToQRect(const TRect& Rect);
QColor ToQColor(TColor Color);

} // namespace nebulo
