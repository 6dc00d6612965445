#pragma once

#include <cstdint>

namespace nebulo {

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// The keys held during a mouse action.
struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

} // namespace nebulo
