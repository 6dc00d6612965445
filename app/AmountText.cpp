#include "app/AmountText.h"

#include <cstdio>

namespace nebulo {

QString AmountText(int Position, QChar DecimalSeparator)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.15g", Position * 0.1);
    return QString::fromLatin1(Text).replace('.', DecimalSeparator);
}

} // namespace nebulo
