#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace nebulo {

// Both passes convolve a line of bytes against 2 Reach + 1 source lines:
// output i is the weighted sum of Sources[Reach + k][i] over k, divided by
// the kernel's sum and truncated. The kernel is symmetric, so the sources at
// -k and +k are added first (at most 510, a 16-bit sum); two such terms then
// take one 16-bit multiply-add into 32 bits, the weight of the first in the
// low half of a pair, of the second in the high half.

// The outermost terms, whose weights are small, may instead be summed in
// 16 bits into one term of weight 1 that takes the place of an odd term out:
// each weight at most 64 and all of them together at most 64, so that a term
// times its weight (at most 64 x 510) and their sum (at most 64 x 510) stay
// below 2^15, the reach of a signed 16-bit multiply-add.
constexpr int MaxMerged = 6;
constexpr uint32_t LargestMergedWeights = 64;

// The kernel has at most 20 taps on a side: 21 terms, the centre included.
constexpr int MaxReach = 20;
constexpr int MaxTermPairs = MaxReach / 2 + 1;
// The largest sum of weights a kernel can have: 41 weights of 255.
constexpr int32_t LargestDivisor = 41 * 255;

// The sums are kept doubled plus one, 2 Sum + 1 (the weights are doubled and
// every sum starts at 1), so that the division is one float multiply:
// Sum / KernelSum == trunc(float(2 Sum + 1) * (0.5f / KernelSum)) for every
// Sum from 0 to 255 * KernelSum. 2 Sum + 1 is below 2^24, so it converts
// exactly; the true quotient (Sum + 0.5) / KernelSum stays at least
// 0.5 / KernelSum away from every integer, which is more than the two
// roundings can move it while KernelSum is below 16384.
inline float DivisionReciprocal(int32_t Divisor)
{
    return 0.5f / float(Divisor);
}

inline uint32_t DividedSum(uint32_t DoubledSumPlusOne, float Reciprocal)
{
    return uint32_t(float(DoubledSumPlusOne) * Reciprocal);
}

struct TTapKernel {
    int Reach = 0; // taps on each side
    // The terms Reach - Merged + 1 to Reach are summed in 16 bits, term
    // Reach - Merged + m with weight MergedWeights[m - 1]; 0, or 2 to
    // MaxMerged with the parity of Reach, so that the terms left (the centre,
    // the others and the merged one) pair up exactly.
    int Merged = 0;
    std::array<uint32_t, MaxMerged> MergedWeights{};
    // Pair g of the terms left, in order, the merged one last with weight 1:
    // twice the weight of term 2g in the low half, of 2g + 1 in the high
    // half; terms past the last weigh 0.
    std::array<uint32_t, MaxTermPairs> Pairs{};
    float Reciprocal = 0;
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
