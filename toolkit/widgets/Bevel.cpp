#include "toolkit/widgets/Bevel.h"

#include <QPainter>

namespace nebulo {

void DrawBevel(QPainter& Painter, const QRect& Rect, TBevelCut Cut, int Width)
{
    if (Cut == TBevelCut::bvNone)
        return;
    const QPalette Colours;
    const QColor Light = Colours.color(QPalette::Light);
    const QColor Dark = Colours.color(QPalette::Dark);
    const QColor TopLeft = Cut == TBevelCut::bvRaised ? Light : Dark;
    const QColor BottomRight = Cut == TBevelCut::bvRaised ? Dark : Light;
    QRect R = Rect;
    for (int I = 0; I < Width; ++I) {
        Painter.setPen(TopLeft);
        Painter.drawLine(R.topLeft(), R.topRight());
        Painter.drawLine(R.topLeft(), R.bottomLeft());
        Painter.setPen(BottomRight);
        Painter.drawLine(R.bottomLeft(), R.bottomRight());
        Painter.drawLine(R.topRight(), R.bottomRight());
        R.adjust(1, 1, -1, -1);
    }
}

TBevel::TBevel(QWidget* Parent) : QFrame(Parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::SetStyle(TBevelStyle Value)
{
    Style_ = Value;
    update();
}

void TBevel::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    DrawBevel(Painter, rect(), Style_ == TBevelStyle::bsRaised ? TBevelCut::bvRaised : TBevelCut::bvLowered, 1);
}

} // namespace nebulo
