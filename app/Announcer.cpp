#include "app/Announcer.h"

namespace nebulo {

TAnnouncer::TAnnouncer(QWidget* Parent) : QWidget(Parent)
{
    setObjectName(QStringLiteral("Announcer"));
    setFixedSize(0, 0);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TAnnouncer::Say(const QString& Text)
{
    hide();
    setAccessibleName(Text);
    show();
}

} // namespace nebulo
