#include "interaction/NumberText.h"

#include <cstdio>

namespace nebulo {

QString GeneralNumberText(double Value, QChar DecimalSeparator)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.15g", Value);
    return QString::fromLatin1(Text).replace('.', DecimalSeparator);
}

QString PixelSizeText(int Width, int Height)
{
    return QStringLiteral("%1 × %2 pixels").arg(Width).arg(Height);
}

} // namespace nebulo
