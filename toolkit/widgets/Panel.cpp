#include "toolkit/widgets/Panel.h"

#include <QPainter>

namespace nebulo {

TPanel::TPanel(QWidget* Parent) : QWidget(Parent)
{
    setAutoFillBackground(true);
}

void TPanel::SetBevelOuter(TCut Value)
{
    Outer_ = Value;
    update();
}

void TPanel::SetBevelInner(TCut Value)
{
    Inner_ = Value;
    update();
}

void TPanel::SetBevelWidth(int Value)
{
    Width_ = Value;
    update();
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    const int OuterWidth = Outer_ == TCut::bvNone ? 0 : Width_;
    DrawBevel(Painter, rect(), TBevelCut(int(Outer_)), Width_);
    DrawBevel(Painter, rect().adjusted(OuterWidth, OuterWidth, -OuterWidth, -OuterWidth), TBevelCut(int(Inner_)),
              Width_);
}

} // namespace nebulo
