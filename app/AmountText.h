#pragma once

#include <QChar>
#include <QString>

namespace nebulo {

// The blur amount of slider position n, n x 0.1, in general notation with at
// most 15 significant digits: no exponent, no trailing zeros, no separator
// for whole numbers, a 0 before the separator below 1.
QString AmountText(int Position, QChar DecimalSeparator);

} // namespace nebulo
