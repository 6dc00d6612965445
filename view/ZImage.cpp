#include "view/ZImage.h"

#include "toolkit/core/Exceptions.h"
#include "toolkit/widgets/CursorDrawing.h"
#include "toolkit/widgets/SystemColors.h"

#include <QPainter>

namespace nebulo {

namespace {

// The view's entries in the Screen cursor table.
constexpr TCursor HandCursor = 5;
constexpr TCursor MagnifierCursor = 6;

constexpr int32_t InitialSize = 100;

} // namespace

TZImage::TZImage(QWidget* Parent) : TGraphicControl(Parent), Picture_(std::make_unique<TBitmap>())
{
    resize(InitialSize, InitialSize);
    Picture_->SetSize(InitialSize, InitialSize);
    Screen().SetCursors(HandCursor, LoadCursorResource("CUR_HAND"));
    Screen().SetCursors(MagnifierCursor, LoadCursorResource("CUR_MAGN"));
    ShowToolCursor();
}

TZImage::~TZImage() = default;

void TZImage::SetBitmap(TBitmap* Value)
{
    Picture_->Assign(Value);
    Geometry_.SetSourceRect(TRect{0, 0, Picture_->Width(), Picture_->Height()});
    Invalidate();
}

void TZImage::AssignFrom(TPersistent* Source)
{
    if (Source != nullptr) {
        try {
            Picture_->Assign(Source);
        } catch (const EConvertError&) {
            // The picture cannot take this kind of source and is left as it was.
        }
    }
    Geometry_.ShowFromTopLeft(PictureExtent(), ClientExtent());
}

void TZImage::RefitPicture()
{
    Geometry_.Refit(PictureExtent(), ClientExtent());
}

void TZImage::ReframePicture()
{
    Geometry_.Reframe(PictureExtent(), ClientExtent());
}

void TZImage::ZoomStep(TMouseButton Button, bool Shift)
{
    Geometry_.Zoom(Button, Shift, PictureExtent(), ClientExtent());
    Invalidate();
}

void TZImage::ShowInstead(TBitmap* Other)
{
    if (Other == nullptr) {
        ShownInstead_.reset();
    } else {
        ShownInstead_ = std::make_unique<TBitmap>();
        ShownInstead_->Assign(Other);
    }
    Invalidate();
}

TExtent TZImage::PictureExtent() const
{
    return TExtent{Picture_->Width(), Picture_->Height()};
}

TExtent TZImage::ClientExtent() const
{
    return TExtent{Width(), Height()};
}

void TZImage::ShowToolCursor()
{
    switch (SelectedTool_) {
    case TTool::Zoom: SetCursor(MagnifierCursor); break;
    case TTool::Move: SetCursor(HandCursor); break;
    case TTool::None: break;
    }
}

void TZImage::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)
{
    switch (SelectedTool_) {
    case TTool::Zoom: ZoomStep(Button, Shift.Shift); break;
    case TTool::Move:
        DragAnchor_ = TPoint{X, Y};
        Dragging_ = true;
        break;
    case TTool::None: break;
    }
}

void TZImage::MouseMove(TShiftState, int32_t X, int32_t Y)
{
    ShowToolCursor();
    if (!Dragging_)
        return;
    Geometry_.Pan(DragAnchor_, TPoint{X, Y}, PictureExtent());
    if (ForceRepaint_)
        Repaint();
    else
        Invalidate();
}

void TZImage::MouseUp(TMouseButton, TShiftState, int32_t, int32_t)
{
    Dragging_ = false;
}

// One off-screen picture receives the background and the stretched part and
// reaches the screen in a single copy, so a redraw on every drag step does
// not flicker.
void TZImage::Paint(QPainter& Canvas)
{
    TBitmap Offscreen;
    Offscreen.SetSize(Width(), Height());
    Offscreen.Canvas().Brush().Color = ButtonFaceColor();
    Offscreen.Canvas().FillRect(TRect{0, 0, Width(), Height()});
    TBitmap& Shown = ShownInstead_ ? *ShownInstead_ : *Picture_;
    Offscreen.Canvas().CopyRect(DestRect(), Shown.Canvas(), SourceRect());
    Canvas.setCompositionMode(QPainter::CompositionMode_Source);
    Canvas.drawImage(0, 0, Offscreen.Image());
}

} // namespace nebulo
