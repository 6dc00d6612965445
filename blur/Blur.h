#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace nebulo {

class TSDIB;
struct TFastBlurOptions;

// The program-wide Gaussian kernel: 41 byte weights for the offsets -20..+20
// (index offset + 20), trimmed to the offsets whose weight is not zero, and
// the divisor that normalises a weighted sum. Rebuilt by every blur run.
constexpr int KernelReach = 20;
extern std::array<uint8_t, 2 * KernelReach + 1> KernelWeights;
extern int32_t KernelLow;
extern int32_t KernelHigh;
extern int32_t KernelSum;

inline uint8_t KernelWeight(int Offset)
{
    return KernelWeights[static_cast<size_t>(Offset + KernelReach)];
}

// The engine's line: one row or column of pixel values at a time, in a
// buffer of fixed length (8 KB on the stack, nothing allocated per line). A
// surface wider or higher is refused with a failure before a pixel changes;
// the Blur command keeps its pictures below this (BlurSizeLimit).
constexpr int32_t LineBufferLength = 2025;

// weight(k) = trunc(255 * exp(-(4k / Amount)^2 / 2)), then trimmed and summed.
// Amount 0 fails with "Floating point division by zero" before any weight
// changes; a non-finite amount is refused the same way.
void BuildKernel(double Amount);

// weight(k) for one offset, touching no kernel state.
uint8_t GaussianWeight(double Amount, int Offset);
// How many taps BuildKernel keeps for a positive Amount (1 up to 1.2, when a
// blur changes nothing), without building the kernel.
int32_t KernelTaps(double Amount);

// Blurs the surface in place: builds the kernel, then a horizontal pass over
// every row and a vertical pass over every column, each line wrapping around.
// A surface wider or higher than the line buffer is refused before any pixel
// is touched. The passes run on the held file's rows directly whenever that
// gives the same bytes (FastBlurPasses), else pixel by pixel as in
// BlurSurfaceReference.
void BlurSurface(TSDIB& Surface, double Amount);
void BlurSurface(TSDIB& Surface, double Amount, const TFastBlurOptions& Options);

// The definition of the result: every pixel read and written through the
// surface's ReadPixel and WritePixel.
void BlurSurfaceReference(TSDIB& Surface, double Amount);

} // namespace nebulo
