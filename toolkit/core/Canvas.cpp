#include "toolkit/core/Canvas.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/DeviceContext.h"

namespace nebulo {

QPainter::CompositionMode CompositionFor(uint32_t CopyMode)
{
    switch (CopyMode) {
    case cmSrcPaint: return QPainter::RasterOp_SourceOrDestination;
    case cmSrcAnd: return QPainter::RasterOp_SourceAndDestination;
    case cmSrcInvert: return QPainter::RasterOp_SourceXorDestination;
    case cmNotSrcCopy: return QPainter::RasterOp_NotSource;
    default: return QPainter::CompositionMode_Source;
    }
}

QRect ToQRect(const TRect& Rect)
{
    return QRect(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
}

QColor ToQColor(TColor Color)
{
    return QColor(int(Color & 0xFF), int((Color >> 8) & 0xFF), int((Color >> 16) & 0xFF));
}

TCanvas::TCanvas(TBitmap& Target) : Target_(Target) {}

TCanvas::~TCanvas() = default;

TDeviceContext* TCanvas::Handle()
{
    if (!Handle_)
        Handle_ = std::make_unique<TDeviceContext>(*this);
    return Handle_.get();
}

void TCanvas::Paint(const std::function<void(QPainter&)>& Painting)
{
    Target_.PaintPixels(Painting);
}

void TCanvas::FillRect(const TRect& Rect)
{
    const QColor Colour = ToQColor(Brush_.Color);
    Paint([&](QPainter& Painter) { Painter.fillRect(ToQRect(Rect), Colour); });
}

void TCanvas::Draw(int32_t X, int32_t Y, TGraphic& Graphic)
{
    Graphic.Draw(*this, TRect{X, Y, X + Graphic.Width(), Y + Graphic.Height()});
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic& Graphic)
{
    Graphic.Draw(*this, Rect);
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas& Source, const TRect& SourceRect)
{
    if (Dest.Width() == 0 || Dest.Height() == 0 || SourceRect.Width() == 0 || SourceRect.Height() == 0)
        return;
    // A shallow copy, so that copying within one bitmap reads the old pixels.
    const QImage Pixels = Source.Target_.Image();
    if (Pixels.isNull())
        return;
    const uint32_t Mode = CopyMode_;
    Paint([&](QPainter& Painter) {
        Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        Painter.setCompositionMode(CompositionFor(Mode));
        Painter.drawImage(QRectF(ToQRect(Dest)), Pixels, QRectF(ToQRect(SourceRect)));
    });
}

} // namespace nebulo
