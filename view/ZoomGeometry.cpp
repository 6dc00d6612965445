#include "view/ZoomGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nebulo {

namespace {

constexpr int64_t Int32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t Int32Min = std::numeric_limits<int32_t>::min();
// A destination rectangle has no far edge to keep inside.
constexpr int32_t Unbounded = std::numeric_limits<int32_t>::max();

// Puts a span of Extent at Start, moved up to 0 when below it and back from
// Limit when beyond it. Start may lie anywhere; the edges stay 32-bit values.
void Place(int32_t& Low, int32_t& High, int64_t Start, int32_t Extent, int32_t Limit)
{
    const int64_t From = std::clamp<int64_t>(Start, 0, Int32Max);
    if (From + Extent > Limit) {
        High = Limit;
        Low = Limit - Extent;
    } else {
        Low = int32_t(From);
        High = int32_t(From + Extent);
    }
}

// What a zoom step shows along one axis, in picture and in view pixels: the
// whole picture when its scaled size leaves room in the view, otherwise as
// much as fills the view.
struct TAxisExtents {
    int32_t Source;
    int32_t Dest;
};

TAxisExtents ExtentsAt(uint16_t Zoom, int32_t PictureExtent, int32_t ClientExtent)
{
    if (ClientExtent > Scaled(PictureExtent, Zoom))
        return {PictureExtent, Scaled(PictureExtent, Zoom)};
    return {Unscaled(ClientExtent, Zoom), ClientExtent};
}

void RefitAxis(int32_t& SourceEnd, int32_t& DestEnd, uint16_t Zoom, int32_t PictureExtent,
               int32_t ClientExtent)
{
    if (Scaled(PictureExtent, Zoom) < ClientExtent) {
        SourceEnd = PictureExtent;
        DestEnd = Scaled(PictureExtent, Zoom);
    }
}

void ReframeAxis(int32_t& SourceStart, int32_t& SourceEnd, uint16_t Zoom, int32_t PictureExtent,
                 int32_t ClientExtent)
{
    if (Scaled(PictureExtent, Zoom) < ClientExtent)
        SourceStart = 0;
    else
        Place(SourceStart, SourceEnd, SourceStart, std::min(SourceEnd - SourceStart, PictureExtent), PictureExtent);
}

// The whole picture pixels a pointer shift of Delta view pixels stands for,
// truncated toward zero. Held far beyond any picture so it converts cleanly.
int64_t PicturePixels(int64_t Delta, double Ratio)
{
    constexpr double Far = 1e12;
    return int64_t(std::clamp(std::trunc(double(Delta) / Ratio), -Far, Far));
}

} // namespace

int32_t Scaled(int32_t N, uint16_t Zoom)
{
    return int32_t(std::clamp<int64_t>(int64_t(N) * Zoom / UnitZoom, Int32Min, Int32Max));
}

int32_t Unscaled(int32_t V, uint16_t Zoom)
{
    return int32_t(std::trunc(double(V) * UnitZoom / Zoom));
}

uint16_t ZoomedFactor(uint16_t Zoom, TMouseButton Button, bool Shift)
{
    switch (Button) {
    case TMouseButton::mbRight:
        return Zoom >= 2 * MinZoom ? uint16_t(Zoom / 2) : Zoom;
    case TMouseButton::mbLeft:
        if (Shift)
            Zoom = UnitZoom / 2;
        return Zoom <= MaxZoom / 2 ? uint16_t(Zoom * 2) : Zoom;
    case TMouseButton::mbMiddle:
        break;
    }
    return Zoom;
}

void TZoomGeometry::ShowFromTopLeft(TExtent Picture, TExtent Client)
{
    DestRect_ = TRect{0, 0, std::min(Client.Width, Picture.Width), std::min(Client.Height, Picture.Height)};
    ZoomFactor_ = UnitZoom;
    SourceRect_ = DestRect_;
}

void TZoomGeometry::Refit(TExtent Picture, TExtent Client)
{
    RefitAxis(SourceRect_.Right, DestRect_.Right, ZoomFactor_, Picture.Width, Client.Width);
    RefitAxis(SourceRect_.Bottom, DestRect_.Bottom, ZoomFactor_, Picture.Height, Client.Height);
}

void TZoomGeometry::Reframe(TExtent Picture, TExtent Client)
{
    Refit(Picture, Client);
    ReframeAxis(SourceRect_.Left, SourceRect_.Right, ZoomFactor_, Picture.Width, Client.Width);
    ReframeAxis(SourceRect_.Top, SourceRect_.Bottom, ZoomFactor_, Picture.Height, Client.Height);
}

bool TZoomGeometry::Zoom(TMouseButton Button, bool Shift, TExtent Picture, TExtent Client)
{
    const uint16_t NewZoom = ZoomedFactor(ZoomFactor_, Button, Shift);
    if (NewZoom == ZoomFactor_)
        return false;
    ZoomFactor_ = NewZoom;
    const TAxisExtents Across = ExtentsAt(NewZoom, Picture.Width, Client.Width);
    const TAxisExtents Down = ExtentsAt(NewZoom, Picture.Height, Client.Height);
    // Stepping back by a quarter of the new extent keeps the centre of the
    // shown part in place when zooming out.
    Place(DestRect_.Left, DestRect_.Right, int64_t(DestRect_.Left) - Across.Dest / 4, Across.Dest, Unbounded);
    Place(DestRect_.Top, DestRect_.Bottom, int64_t(DestRect_.Top) - Down.Dest / 4, Down.Dest, Unbounded);
    Place(SourceRect_.Left, SourceRect_.Right, int64_t(SourceRect_.Left) - Across.Source / 4, Across.Source,
          Picture.Width);
    Place(SourceRect_.Top, SourceRect_.Bottom, int64_t(SourceRect_.Top) - Down.Source / 4, Down.Source,
          Picture.Height);
    return true;
}

void TZoomGeometry::Pan(TPoint& Anchor, TPoint Pointer, TExtent Picture)
{
    const int32_t SourceWidth = SourceRect_.Width();
    const int32_t SourceHeight = SourceRect_.Height();
    if (SourceWidth <= 0 || DestRect_.Width() <= 0)
        return;
    // View pixels per picture pixel across; the vertical step uses it too.
    const double Ratio = double(DestRect_.Width()) / SourceWidth;
    const int64_t Dx = PicturePixels(int64_t(Anchor.X) - Pointer.X, Ratio);
    const int64_t Dy = PicturePixels(int64_t(Anchor.Y) - Pointer.Y, Ratio);
    Place(SourceRect_.Left, SourceRect_.Right, SourceRect_.Left + Dx, SourceWidth, Picture.Width);
    Place(SourceRect_.Top, SourceRect_.Bottom, SourceRect_.Top + Dy, SourceHeight, Picture.Height);
    if (Dx != 0)
        Anchor.X = Pointer.X;
    if (Dy != 0)
        Anchor.Y = Pointer.Y;
}

} // namespace nebulo
