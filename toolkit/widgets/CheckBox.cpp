#include "toolkit/widgets/CheckBox.h"

namespace nebulo {

TCheckBox::TCheckBox(QWidget* Parent) : QCheckBox(Parent)
{
    setLayoutDirection(Qt::RightToLeft);
    // Keeps the caption whole in a narrow box with wider fonts than designed for.
    setStyleSheet("QCheckBox { spacing: 0px; }");
    connect(this, &QCheckBox::clicked, this, &TCheckBox::Click);
}

} // namespace nebulo
