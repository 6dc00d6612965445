#include "blur/BlurForecast.h"

#include "blur/Blur.h"
#include "toolkit/core/Bitmap.h"

namespace nebulo {

TBlurForecast ForecastBlur(const TBitmap* Picture, int32_t Position, bool WithBorder)
{
    TBlurForecast Forecast;
    Forecast.Position = Position;
    Forecast.WithBorder = WithBorder;
    if (Position > 0)
        Forecast.Taps = KernelTaps(BlurAmount(Position));
    if (Picture == nullptr)
        return Forecast;
    Forecast.HasPicture = true;
    Forecast.Refusal = CheckBlurGuards(*Picture, Position, WithBorder);
    const int32_t Border = WithBorder && Position > 0 ? BorderAllowance(Position) : 0;
    Forecast.Width = Picture->Width() + Border;
    Forecast.Height = Picture->Height() + Border;
    return Forecast;
}

} // namespace nebulo
