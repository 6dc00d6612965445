#pragma once

#include <QChar>
#include <QString>

namespace nebulo {

// Value in general notation with at most 15 significant digits: no exponent
// for the values shown here, no trailing zeros, no separator for whole
// numbers, a 0 before the separator below 1.
QString GeneralNumberText(double Value, QChar DecimalSeparator);
// A picture's size as the window tells it: "640 × 480 pixels".
QString PixelSizeText(int Width, int Height);

} // namespace nebulo
