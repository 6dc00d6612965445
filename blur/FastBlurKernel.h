#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace nebulo {

// Both passes convolve a line of bytes against 2 Reach + 1 source lines:
// output i is the weighted sum of Sources[Reach + k][i] over k, divided by
// the kernel's sum. The kernel is symmetric, so the sources at -k and +k are
// added first (at most 510, a 16-bit sum); two such terms then take one
// 16-bit multiply-add into 32 bits, the weight of the first in the low half
// of a pair, of the second in the high half.

// The kernel has at most 20 taps on a side: 21 terms, the centre included.
constexpr int MaxReach = 20;
constexpr int MaxTermPairs = MaxReach / 2 + 1;

// Sum / KernelSum == (Sum * Multiplier) >> DivisionShift for every Sum from 0
// to 255 * KernelSum when Multiplier = ceil(2^35 / KernelSum): the error term
// 255 * KernelSum * (Multiplier * KernelSum - 2^35) stays below 2^35 for every
// KernelSum up to 11607, and the largest possible one is 41 * 255.
constexpr int DivisionShift = 35;
constexpr int32_t LargestDivisor = 41 * 255;
uint32_t DivisionMultiplier(int32_t Divisor);

struct TTapKernel {
    int Reach = 0; // taps on each side
    // Pair g: weight of offset 2g in the low half, of 2g + 1 in the high
    // half; offsets past Reach weigh 0.
    std::array<uint32_t, MaxTermPairs> Pairs{};
    uint32_t Multiplier = 0;
};

// The convolution of one instruction set. Out must not overlap a source;
// every source holds Count bytes.
using TConvolveLine = void (*)(const TTapKernel& Kernel, const uint8_t* const* Sources, ptrdiff_t Count,
                               uint8_t* Out);

TConvolveLine PortableKernel();
#if defined(__x86_64__) || defined(__i386__)
#define NEBULO_X86_KERNELS 1
TConvolveLine Sse2Kernel();
TConvolveLine Avx2Kernel();
TConvolveLine Avx512Kernel();
#endif

} // namespace nebulo
