#include "app/AmountText.h"

#include "interaction/NumberText.h"

namespace nebulo {

QString AmountText(int Position, QChar DecimalSeparator)
{
    return GeneralNumberText(Position * 0.1, DecimalSeparator);
}

} // namespace nebulo
