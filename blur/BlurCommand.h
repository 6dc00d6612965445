#pragma once

#include "blur/Blur.h"

#include <cstdint>
#include <functional>

namespace nebulo {

class TBitmap;
class TSDIB;

// The Blur command's guard: it leaves a picture this wide or high, border
// included, as it is, so the largest it blurs is LargestBlurSide on a side:
// two pixels inside the engine's line buffer, whose own refusal (a failure)
// the command therefore never meets.
constexpr int32_t BlurSizeLimit = 2024;
constexpr int32_t LargestBlurSide = BlurSizeLimit - 1;
static_assert(LargestBlurSide <= LineBufferLength, "the guard must keep pictures within the line buffer");

// Why the Blur command ended without doing anything.
enum class TBlurRefusal { None, EmptyPicture, AmountNotPositive, TooWide, TooHigh };

// The white border added around the picture at slider position n:
// (n div 10) + 2 pixels in each dimension.
int32_t BorderAllowance(int32_t Position);

// The blur amount of slider position Position: Position x 0.1.
constexpr double BlurAmount(int32_t Position)
{
    return Position * 0.1;
}

// The guards of the Blur command, in their order.
TBlurRefusal CheckBlurGuards(const TBitmap& Picture, int32_t Position, bool WithBorder);
// The last two alone, on a picture of Width x Height: TooWide, TooHigh or None.
TBlurRefusal CheckBlurSize(int64_t Width, int64_t Height, int32_t Position, bool WithBorder);

// Hands the picture (enlarged by a white border when asked) to the surface;
// a palette picture goes as 24-bit colour, so that the blur can mix it.
void HandPictureToSurface(TBitmap& Picture, TSDIB& Surface, int32_t Position, bool WithBorder);
// Replaces the picture by the surface's file.
void TakePictureFromSurface(TSDIB& Surface, TBitmap& Picture);

// Told the name of each step as it ends: "surface", "blur", "back".
using TStepMark = std::function<void(const char* Step)>;

// The steps after the guards: the picture (bordered when asked) goes through
// the surface, is blurred by Position x 0.1 and comes back into Picture.
void RunBlurSteps(TBitmap& Picture, TSDIB& Surface, int32_t Position, bool WithBorder,
                  const TStepMark& Mark = nullptr);

// The whole Blur command without its cursor: guards, then the steps. Picture
// is not touched when a guard holds.
TBlurRefusal RunBlurCommand(TBitmap& Picture, TSDIB& Surface, int32_t Position, bool WithBorder);

} // namespace nebulo
