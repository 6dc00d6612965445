#include "toolkit/widgets/Image.h"

#include "toolkit/widgets/SpeedButton.h"

#include <QEvent>

namespace nebulo {

TImage::TImage(QWidget* Parent) : QLabel(Parent) {}

void TImage::SetPicture(const QString& Name)
{
    Picture_ = Name;
    setPixmap(Name.isEmpty() ? QPixmap() : TransparentPicture(Name));
}

void TImage::changeEvent(QEvent* Event)
{
    if (Event->type() == QEvent::EnabledChange)
        setAttribute(Qt::WA_TransparentForMouseEvents, !isEnabled());
    QLabel::changeEvent(Event);
}

} // namespace nebulo
