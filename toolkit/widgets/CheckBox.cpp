#include "toolkit/widgets/CheckBox.h"

namespace nebulo {

TCheckBox::TCheckBox(QWidget* Parent) : QCheckBox(Parent)
{
    setLayoutDirection(Qt::RightToLeft);
    connect(this, &QCheckBox::clicked, this, &TCheckBox::Click);
}

} // namespace nebulo
