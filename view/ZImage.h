#pragma once

#include "toolkit/core/Bitmap.h"
#include "toolkit/widgets/GraphicControl.h"
#include "view/ZoomGeometry.h"

#include <cstdint>
#include <memory>

namespace nebulo {

// The picture view: shows the SourceRect part of its picture stretched onto
// DestRect, the button-face colour everywhere else, and zooms or pans it with
// the mouse according to the selected tool.
class TZImage : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(nebulo::TBitmap* Bitmap READ Bitmap WRITE SetBitmap)
    Q_PROPERTY(bool ForceRepaint READ ForceRepaint WRITE SetForceRepaint)
    Q_PROPERTY(TTool SelectedTool READ SelectedTool WRITE SetSelectedTool)

public:
    enum class TTool : uint8_t { Zoom = 0, Move = 1, None = 2 };
    Q_ENUM(TTool)

    explicit TZImage(QWidget* Parent = nullptr);
    ~TZImage() override;

    // The owned picture itself; a change made through it shows after
    // RefitPicture and a repaint.
    TBitmap* Bitmap() const { return Picture_.get(); }
    // Copies Value and shows all of it as the source; the destination and the
    // zoom stay, so a view whose picture was only written stays blank.
    void SetBitmap(TBitmap* Value);

    // Whether each pan step paints at once rather than scheduling a paint.
    bool ForceRepaint() const { return ForceRepaint_; }
    void SetForceRepaint(bool Value) { ForceRepaint_ = Value; }

    // The cursor follows the tool at the next move over the view; a drag in
    // progress goes on until its release.
    TTool SelectedTool() const { return SelectedTool_; }
    void SetSelectedTool(TTool Value) { SelectedTool_ = Value; }

    const TRect& SourceRect() const { return Geometry_.SourceRect(); }
    const TRect& DestRect() const { return Geometry_.DestRect(); }
    uint16_t ZoomFactor() const { return Geometry_.ZoomFactor(); }
    bool Dragging() const { return Dragging_; }
    int32_t DragX() const { return DragAnchor_.X; }
    int32_t DragY() const { return DragAnchor_.Y; }

    // Takes Source's picture when the picture can take it (a bitmap, the
    // clipboard) and leaves it unchanged otherwise; in every case then shows
    // the picture at 100 % from its top-left corner. Paints nothing.
    void AssignFrom(TPersistent* Source);
    // Fits the rectangles to a picture that changed size, keeping the zoom.
    // Paints nothing.
    void RefitPicture();
    // RefitPicture for a picture that may have shrunk too (an earlier one
    // brought back): the zoom stays and the source stays inside the picture.
    void ReframePicture();
    // What a press of the zoom tool does, whatever the selected tool.
    void ZoomStep(TMouseButton Button, bool Shift);
    // Paints a copy of Other in place of the picture, over the same
    // rectangles, until called with none; the picture, zoom and pan stay.
    // Schedules a repaint.
    void ShowInstead(TBitmap* Other);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
    void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
    void Paint(QPainter& Canvas) override;

private:
    TExtent PictureExtent() const;
    TExtent ClientExtent() const;
    void ShowToolCursor();

    std::unique_ptr<TBitmap> Picture_;
    std::unique_ptr<TBitmap> ShownInstead_;
    TZoomGeometry Geometry_;
    bool ForceRepaint_ = true;
    bool Dragging_ = false;
    TPoint DragAnchor_;
    TTool SelectedTool_ = TTool::Zoom;
};

using TTool = TZImage::TTool;

} // namespace nebulo
