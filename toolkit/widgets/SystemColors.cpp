#include "toolkit/widgets/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace nebulo {

TColor ButtonFaceColor()
{
    const QColor Face = QGuiApplication::palette().color(QPalette::Button);
    return RGB(uint8_t(Face.red()), uint8_t(Face.green()), uint8_t(Face.blue()));
}

} // namespace nebulo
