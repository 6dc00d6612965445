#include "blur/Blur.h"

#include "blur/FastBlur.h"
#include "dib/SDIB.h"
#include "toolkit/core/Exceptions.h"

#include <cmath>
#include <string>

namespace nebulo {

std::array<uint8_t, 2 * KernelReach + 1> KernelWeights{};
int32_t KernelLow = 0;
int32_t KernelHigh = 0;
int32_t KernelSum = 0;

void BuildKernel(double Amount)
{
    if (Amount == 0.0)
        throw EZeroDivide("Floating point division by zero");
    if (!std::isfinite(Amount))
        throw EInvalidArgument("Blur amount must be a finite number");

    for (int K = -KernelReach; K <= KernelReach; ++K)
        KernelWeights[static_cast<size_t>(K + KernelReach)] = GaussianWeight(Amount, K);

    // Counts every zero from both ends, the centre included in both counts.
    KernelLow = -KernelReach;
    KernelHigh = KernelReach;
    for (int J = 0; J <= KernelReach; ++J) {
        if (KernelWeight(-KernelReach + J) == 0)
            ++KernelLow;
        if (KernelWeight(KernelReach - J) == 0)
            --KernelHigh;
    }

    KernelSum = 0;
    for (int K = KernelLow; K <= KernelHigh; ++K)
        KernelSum += KernelWeight(K);
}

uint8_t GaussianWeight(double Amount, int Offset)
{
    const double T = 4 * Offset / Amount;
    const double E = std::exp(-(T * T) * 0.5);
    return static_cast<uint8_t>(E * 255);
}

// The weights never rise outward, so the kept taps are the nonzero ones.
int32_t KernelTaps(double Amount)
{
    int32_t Taps = 0;
    for (int K = -KernelReach; K <= KernelReach; ++K)
        if (GaussianWeight(Amount, K) != 0)
            ++Taps;
    return Taps;
}

namespace {

using TLine = std::array<uint32_t, LineBufferLength>;

// One output pixel of a line of Length values held in Line: the weighted sum
// of each channel byte around Index, the line taken as periodic. The palette
// index in byte 3 is carried over from the pixel itself, so palette pictures
// pass through unchanged.
uint32_t BlurredPixel(const TLine& Line, int32_t Length, int32_t Index)
{
    int32_t Sum[3] = {0, 0, 0};
    for (int32_t K = KernelLow; K <= KernelHigh; ++K) {
        int32_t J = Index - K;
        if (J < 0 || J >= Length)
            J = ((J % Length) + Length) % Length;
        const uint32_t Weight = KernelWeight(K);
        for (int C = 0; C < 3; ++C)
            Sum[C] += static_cast<int32_t>(Weight * ((Line[static_cast<size_t>(J)] >> (8 * C)) & 0xFF));
    }
    return uint32_t(Sum[0] / KernelSum) | (uint32_t(Sum[1] / KernelSum) << 8)
        | (uint32_t(Sum[2] / KernelSum) << 16) | (Line[static_cast<size_t>(Index)] & 0xFF000000u);
}

// Builds the kernel, then reads and checks the size, in that order.
void PrepareBlur(TSDIB& Surface, double Amount, int32_t& W, int32_t& H)
{
    BuildKernel(Amount);
    W = Surface.Width();
    H = Surface.Height();
    if (W > LineBufferLength || H > LineBufferLength)
        throw EInvalidArgument("Picture of " + std::to_string(W) + " x " + std::to_string(H)
                               + " pixels is too large to blur: each side may be at most "
                               + std::to_string(LineBufferLength) + " pixels");
}

void ReferencePasses(TSDIB& Surface, int32_t W, int32_t H)
{
    TLine Line;
    for (int32_t Y = 1; Y <= H; ++Y) {
        for (int32_t X = 1; X <= W; ++X)
            Line[static_cast<size_t>(X - 1)] = Surface.ReadPixel({X, Y});
        for (int32_t X = 1; X <= W; ++X)
            Surface.WritePixel({X, Y}, BlurredPixel(Line, W, X - 1));
    }
    for (int32_t X = 1; X <= W; ++X) {
        for (int32_t Y = 1; Y <= H; ++Y)
            Line[static_cast<size_t>(Y - 1)] = Surface.ReadPixel({X, Y});
        for (int32_t Y = 1; Y <= H; ++Y)
            Surface.WritePixel({X, Y}, BlurredPixel(Line, H, Y - 1));
    }
}

} // namespace

void BlurSurfaceReference(TSDIB& Surface, double Amount)
{
    int32_t W = 0;
    int32_t H = 0;
    PrepareBlur(Surface, Amount, W, H);
    ReferencePasses(Surface, W, H);
}

void BlurSurface(TSDIB& Surface, double Amount, const TFastBlurOptions& Options)
{
    int32_t W = 0;
    int32_t H = 0;
    PrepareBlur(Surface, Amount, W, H);
    if (!FastBlurPasses(Surface, Options))
        ReferencePasses(Surface, W, H);
}

void BlurSurface(TSDIB& Surface, double Amount)
{
    BlurSurface(Surface, Amount, TFastBlurOptions{});
}

} // namespace nebulo
