#pragma once

#include "toolkit/widgets/Screen.h"

namespace nebulo {

// Shows the busy cursor over the whole application for one scope, and the
// default cursor again afterwards, also when the scope ends in a failure.
class TBusyCursor {
public:
    TBusyCursor() { Screen().SetCursor(crHourGlass); }
    ~TBusyCursor() { Screen().SetCursor(crDefault); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

} // namespace nebulo
