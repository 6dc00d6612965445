#pragma once

// The line convolution of the fast blur, written once over an instruction
// set type Isa that works on Bytes outputs a step:
// - W holds a step's bytes as 16-bit samples: Centre loads one source,
//   PairSum loads two and adds them, WeightedPairSum also multiplies by a
//   small weight (from SplatWeight), Add adds two such terms;
// - Acc holds the 32-bit sums, from Start; MultiplyAdd adds two terms times
//   a pair of weights (from Splat), and Store divides the sums (by the
//   reciprocal from SplatReciprocal) and writes the step's bytes.
// Each kernel file includes this header inside its own target region, after
// every header it needs, so the loop compiles for that set. Everything here
// has internal linkage on purpose: copies built for different sets must never
// be merged by the linker.

#include "blur/FastBlurKernel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace nebulo {
namespace {

// One byte at a time: the portable path, and lines shorter than a vector.
struct TScalar {
    static constexpr ptrdiff_t Bytes = 1;
    using V = uint32_t;
    using W = uint32_t;
    using Acc = uint32_t;
    using R = float;
    static V Splat(uint32_t X) { return X; }
    static R SplatReciprocal(float X) { return X; }
    static W Centre(const uint8_t* P) { return *P; }
    static W PairSum(const uint8_t* A, const uint8_t* B) { return W(*A) + *B; }
    static V SplatWeight(uint32_t X) { return X; }
    static W WeightedPairSum(const uint8_t* A, const uint8_t* B, V Weight) { return Weight * PairSum(A, B); }
    static W Add(W A, W B) { return A + B; }
    static W Zero() { return 0; }
    static Acc Start() { return 1; }
    static void MultiplyAdd(Acc& Sum, W A, W B, V Pair) { Sum += A * (Pair & 0xFFFF) + B * (Pair >> 16); }
    static void Store(uint8_t* P, Acc Sum, R Reciprocal) { *P = uint8_t(DividedSum(Sum, Reciprocal)); }
};

// Term t of output I: the centre for t = 0, the two sources at -t and +t
// added for t up to Plain, then the merged term, then nothing.
template <class Isa, int Plain, int Merged>
[[gnu::always_inline]] inline typename Isa::W Term(const uint8_t* const* Centre, int T, ptrdiff_t I,
                                                   const typename Isa::W& MergedTerm)
{
    if (T == 0)
        return Isa::Centre(Centre[0] + I);
    if (T <= Plain)
        return Isa::PairSum(Centre[-T] + I, Centre[T] + I);
    if (T == Plain + 1 && Merged > 0)
        return MergedTerm;
    return Isa::Zero();
}

template <class Isa, int Reach, int Merged>
[[gnu::always_inline]] inline void ConvolveStep(const uint8_t* const* Centre, const typename Isa::V* Pairs,
                                                const typename Isa::V* MergedWeights, typename Isa::R Reciprocal,
                                                ptrdiff_t I, uint8_t* Out)
{
    constexpr int Plain = Reach - Merged;
    // The centre, the plain terms and the merged one, two to a multiply-add.
    constexpr int UsedPairs = (1 + Plain + (Merged > 0 ? 1 : 0) + 1) / 2;
    typename Isa::W MergedTerm = Isa::Zero();
#pragma GCC unroll 6
    for (int M = 1; M <= Merged; ++M)
        MergedTerm = Isa::Add(MergedTerm, Isa::WeightedPairSum(Centre[-(Plain + M)] + I, Centre[Plain + M] + I,
                                                               MergedWeights[M - 1]));
    typename Isa::Acc Sum = Isa::Start();
#pragma GCC unroll 11
    for (int G = 0; G < UsedPairs; ++G)
        Isa::MultiplyAdd(Sum, Term<Isa, Plain, Merged>(Centre, 2 * G, I, MergedTerm),
                         Term<Isa, Plain, Merged>(Centre, 2 * G + 1, I, MergedTerm), Pairs[G]);
    Isa::Store(Out + I, Sum, Reciprocal);
}

// Reach and Merged are fixed at compile time so the taps unroll. A line that
// is not a whole number of steps ends with one step that overlaps the one
// before: it writes the same bytes again, which is harmless as Out is no
// source.
template <class Isa, int Reach, int Merged>
void ConvolveLineWith(const TTapKernel& Kernel, const uint8_t* const* Sources, ptrdiff_t Count, uint8_t* Out)
{
    if constexpr (Isa::Bytes > 1) {
        if (Count < Isa::Bytes) {
            ConvolveLineWith<TScalar, Reach, Merged>(Kernel, Sources, Count, Out);
            return;
        }
    }
    typename Isa::V Pairs[MaxTermPairs];
    for (int G = 0; G < MaxTermPairs; ++G)
        Pairs[G] = Isa::Splat(Kernel.Pairs[size_t(G)]);
    typename Isa::V MergedWeights[MaxMerged];
    for (int M = 0; M < MaxMerged; ++M)
        MergedWeights[M] = Isa::SplatWeight(Kernel.MergedWeights[size_t(M)]);
    const typename Isa::R Reciprocal = Isa::SplatReciprocal(Kernel.Reciprocal);
    const uint8_t* const* Centre = Sources + Reach;
    ptrdiff_t I = 0;
    for (; I + Isa::Bytes <= Count; I += Isa::Bytes)
        ConvolveStep<Isa, Reach, Merged>(Centre, Pairs, MergedWeights, Reciprocal, I, Out);
    if (I < Count)
        ConvolveStep<Isa, Reach, Merged>(Centre, Pairs, MergedWeights, Reciprocal, Count - Isa::Bytes, Out);
}

// One entry for every reach and merged count, empty where the count cannot
// occur with that reach.
template <class Isa, size_t Index>
constexpr TConvolveLine ConvolveLineEntry()
{
    constexpr int Reach = int(Index) / (MaxMerged + 1);
    constexpr int Merged = int(Index) % (MaxMerged + 1);
    if constexpr (Merged == 0 || (Merged >= 2 && Merged <= Reach && Merged % 2 == Reach % 2))
        return &ConvolveLineWith<Isa, Reach, Merged>;
    else
        return nullptr;
}

template <class Isa, size_t... Index>
constexpr auto ConvolveLineTable(std::index_sequence<Index...>)
{
    return std::array<TConvolveLine, sizeof...(Index)>{ConvolveLineEntry<Isa, Index>()...};
}

template <class Isa>
void ConvolveLine(const TTapKernel& Kernel, const uint8_t* const* Sources, ptrdiff_t Count, uint8_t* Out)
{
    static constexpr auto Table = ConvolveLineTable<Isa>(std::make_index_sequence<(MaxReach + 1) * (MaxMerged + 1)>{});
    Table[size_t(Kernel.Reach * (MaxMerged + 1) + Kernel.Merged)](Kernel, Sources, Count, Out);
}

} // namespace
} // namespace nebulo
