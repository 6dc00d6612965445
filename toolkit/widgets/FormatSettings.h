#pragma once

#include <QChar>

namespace nebulo {

// The decimal separator: the first character of the system locale's, a full
// stop where the locale gives none. Read at start and again whenever the
// system announces a change of its settings.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar Value);

} // namespace nebulo
