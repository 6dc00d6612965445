#pragma once

#include "toolkit/core/Types.h"

namespace nebulo {

// The desktop's button-face colour (system colour 15), taken from the
// application palette when asked, so a change of desktop theme shows at the
// next paint.
TColor ButtonFaceColor();

} // namespace nebulo
