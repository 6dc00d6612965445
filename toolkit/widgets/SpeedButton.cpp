#include "toolkit/widgets/SpeedButton.h"

#include "toolkit/core/TransparentImage.h"
#include "toolkit/widgets/PixelScale.h"

#include <QKeyEvent>
#include <QPixmap>

namespace nebulo {

QPixmap TransparentPicture(const QString& Resource)
{
    return QPixmap::fromImage(TransparentImage(Resource));
}

TSpeedButton::TSpeedButton(QWidget* Parent) : QToolButton(Parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(false);
    connect(this, &QToolButton::clicked, this, &TSpeedButton::Pressed);
}

void TSpeedButton::SetGroupIndex(int Value)
{
    GroupIndex_ = Value;
    setCheckable(Value != 0);
}

void TSpeedButton::SetDown(bool Value)
{
    if (Value && GroupIndex_ != 0 && parent() != nullptr)
        for (auto* Other : parent()->findChildren<TSpeedButton*>(QString(), Qt::FindDirectChildrenOnly))
            if (Other != this && Other->GroupIndex_ == GroupIndex_)
                Other->setChecked(false);
    setChecked(Value);
}

void TSpeedButton::SetGlyph(const QString& Name)
{
    const QPixmap Pixels = Name.isEmpty() ? QPixmap() : TransparentPicture(":/glyphs/" + Name);
    Glyph_ = Name;
    setIcon(SharpIcon(Pixels, PixelScale()));
    setIconSize(Pixels.size());
}

void TSpeedButton::keyPressEvent(QKeyEvent* Event)
{
    const bool Enter = Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter;
    if (Enter && (Event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!Event->isAutoRepeat())
            click();
        return;
    }
    QToolButton::keyPressEvent(Event);
}

void TSpeedButton::Pressed()
{
    // A grouped button stays down when pressed again.
    if (GroupIndex_ != 0)
        SetDown(true);
    emit Click();
}

} // namespace nebulo
