#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace nebulo {

// The fast blur works on pairs: each 32-bit element holds two samples of a
// line in its 16-bit halves, so that one multiply-add instruction applies two
// taps. P[e] holds (v[e], v[e + Step]) and Q[e] holds (v[e + Step], v[e]);
// P[i - (k + 1) Step] + Q[i + k Step] is then the pair of symmetric sums for
// the offsets k + 1 and k around i, each at most 510.

// The kernel has at most 20 taps on a side, so at most 10 pairs of them.
constexpr int MaxTapGroups = 10;

// Sum / KernelSum == (Sum * Multiplier) >> DivisionShift for every Sum from 0
// to 255 * KernelSum when Multiplier = ceil(2^35 / KernelSum): the error term
// 255 * KernelSum * (Multiplier * KernelSum - 2^35) stays below 2^35 for every
// KernelSum up to 11607, and the largest possible one is 41 * 255.
constexpr int DivisionShift = 35;
constexpr int32_t LargestDivisor = 41 * 255;
uint32_t DivisionMultiplier(int32_t Divisor);

struct TFastKernel {
    int Groups = 0;        // pairs of offsets on each side: (KernelHigh + 1) / 2
    uint32_t Centre = 0;   // weight of offset 0 in the low half
    // Group g: weight of offset 2g + 2 in the low half, of 2g + 1 in the high.
    std::array<uint32_t, MaxTapGroups> Pairs{};
    uint32_t Multiplier = 0;
};

// The two loops of one instruction set.
struct TPairKernels {
    int Lanes;
    // Columns of bytes the vertical pass takes at a time.
    int StripeWidth;
    // P[e] = A[e] | B[e] << 16 and Q[e] = B[e] | A[e] << 16 for e < Count.
    void (*BuildPairs)(const uint8_t* A, const uint8_t* B, uint32_t* P, uint32_t* Q, ptrdiff_t Count);
    // Rows x Count outputs: row r, element i is the blurred value around
    // P[r * Step + i], written to Out[r * OutStride + i].
    void (*ConvolvePairs)(const TFastKernel& Kernel, const uint32_t* P, const uint32_t* Q, ptrdiff_t Step,
                          ptrdiff_t Count, int32_t Rows, uint8_t* Out, ptrdiff_t OutStride);
};

const TPairKernels& PortableKernels();
#if defined(__x86_64__) || defined(__i386__)
#define NEBULO_X86_KERNELS 1
const TPairKernels& Sse2Kernels();
const TPairKernels& Avx2Kernels();
const TPairKernels& Avx512Kernels();
#endif

} // namespace nebulo
