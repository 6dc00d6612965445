#include "toolkit/widgets/Label.h"

#include <QMouseEvent>

namespace nebulo {

TLabel::TLabel(QWidget* Parent) : QLabel(Parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TLabel::SetCaption(const QString& Value)
{
    if (Value == text())
        return;
    setText(Value);
    if (AutoSize_)
        resize(fontMetrics().horizontalAdvance(Value), fontMetrics().height());
}

void TLabel::SetAlignment(TAlignment Value)
{
    Alignment_ = Value;
    const Qt::Alignment Horizontal = Value == TAlignment::taCenter      ? Qt::AlignHCenter
                                     : Value == TAlignment::taRightJustify ? Qt::AlignRight
                                                                           : Qt::AlignLeft;
    setAlignment(Horizontal | Qt::AlignTop);
}

void TLabel::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton)
        emit Click();
    QLabel::mousePressEvent(Event);
}

} // namespace nebulo
