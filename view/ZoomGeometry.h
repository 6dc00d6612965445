#pragma once

#include "toolkit/core/Mouse.h"
#include "toolkit/core/Types.h"

#include <cstdint>

namespace nebulo {

// A width and a height, of the picture or of the view.
struct TExtent {
    int32_t Width = 0;
    int32_t Height = 0;
};

// Zoom factors are in 1/256 units and always a power of two in this range.
constexpr uint16_t UnitZoom = 256;
constexpr uint16_t MinZoom = 8;
constexpr uint16_t MaxZoom = 8192;

// N picture pixels in view pixels at Zoom: (N × Zoom) div 256. The product
// is taken in 64 bits, so a huge picture cannot wrap round to a negative size.
int32_t Scaled(int32_t N, uint16_t Zoom);
// V view pixels in picture pixels at Zoom: (V × 256) / Zoom in floating point,
// truncated toward zero.
int32_t Unscaled(int32_t V, uint16_t Zoom);

// The factor after a press of the zoom tool: right halves down to MinZoom,
// left doubles up to MaxZoom, Shift + left returns to 100 %, middle keeps it.
uint16_t ZoomedFactor(uint16_t Zoom, TMouseButton Button, bool Shift);

// Which part of the picture the view shows and where: SourceRect (picture
// pixels) is stretched onto DestRect (view pixels). DestRect's Left and Top
// only ever move toward 0, so the picture is drawn from the view's top-left
// corner. After a zoom step SourceRect lies inside the picture.
class TZoomGeometry {
public:
    const TRect& SourceRect() const { return SourceRect_; }
    void SetSourceRect(const TRect& Value) { SourceRect_ = Value; }
    const TRect& DestRect() const { return DestRect_; }
    uint16_t ZoomFactor() const { return ZoomFactor_; }

    // 100 %, from the picture's top-left corner, as much of it as fits.
    void ShowFromTopLeft(TExtent Picture, TExtent Client);
    // Widens the rectangles along each axis where the scaled picture no
    // longer fills the view; the other axis and the zoom stay.
    void Refit(TExtent Picture, TExtent Client);
    // Refit for a picture that may also have shrunk, as when an earlier
    // picture comes back: along an axis shown whole the source starts at 0,
    // along the others it is moved back inside the picture. The zoom stays.
    void Reframe(TExtent Picture, TExtent Client);
    // The zoom step of a press; false when the factor stayed.
    bool Zoom(TMouseButton Button, bool Shift, TExtent Picture, TExtent Client);
    // The pan step for a pointer at Pointer while dragging from Anchor: the
    // source moves by whole picture pixels so the picture follows the pointer;
    // the anchor moves only along an axis where the source moved. Ignored
    // while either rectangle has no width, as there is no scale to go by.
    void Pan(TPoint& Anchor, TPoint Pointer, TExtent Picture);

private:
    TRect SourceRect_;
    TRect DestRect_;
    uint16_t ZoomFactor_ = UnitZoom;
};

} // namespace nebulo
