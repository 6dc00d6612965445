#pragma once

#include <QFrame>

namespace nebulo {

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// Draws a bevel of Width pixels just inside Rect: raised is light at the top
// and left, lowered is light at the bottom and right.
void DrawBevel(QPainter& Painter, const QRect& Rect, TBevelCut Cut, int Width);

// A box drawn as a bevel around its area.
class TBevel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(TBevelStyle Style READ Style WRITE SetStyle)

public:
    enum class TBevelStyle { bsLowered, bsRaised };
    Q_ENUM(TBevelStyle)

    explicit TBevel(QWidget* Parent = nullptr);

    TBevelStyle Style() const { return Style_; }
    void SetStyle(TBevelStyle Value);

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TBevelStyle Style_ = TBevelStyle::bsLowered;
};

} // namespace nebulo
