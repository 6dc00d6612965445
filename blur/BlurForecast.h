#pragma once

#include "blur/BlurCommand.h"

#include <cstdint>

namespace nebulo {

class TBitmap;

// What a Blur at slider position Position will do to the picture shown.
struct TBlurForecast {
    int32_t Position = 0;
    bool WithBorder = false;
    // False before the first paste: nothing is known of a picture.
    bool HasPicture = false;
    // The guard that would end the Blur, if one holds.
    TBlurRefusal Refusal = TBlurRefusal::None;
    // The kernel's taps; 0 at position 0, 1 for every amount up to 1.2.
    int32_t Taps = 0;
    // The picture the Blur works on, border included: the next result's size.
    int32_t Width = 0;
    int32_t Height = 0;
};

// Picture is none before the first paste.
TBlurForecast ForecastBlur(const TBitmap* Picture, int32_t Position, bool WithBorder);

} // namespace nebulo
