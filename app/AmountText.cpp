#include "app/AmountText.h"

#include "blur/BlurCommand.h"
#include "interaction/NumberText.h"

namespace nebulo {

QString AmountText(int Position, QChar DecimalSeparator)
{
    return GeneralNumberText(BlurAmount(Position), DecimalSeparator);
}

} // namespace nebulo
