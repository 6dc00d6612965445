#pragma once

// The two loops of the fast blur, written once over an instruction set type
// Isa (its vector type V, Lanes, and a few operations on whole vectors).
// Each kernel file includes this header inside its own target region, after
// every header it needs, so the loops compile for that set. Everything here
// has internal linkage on purpose: copies built for different sets must never
// be merged by the linker.

#include "blur/FastBlurKernel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace nebulo {
namespace {

// One element at a time: the portable path, and the tails of the vector loops.
struct TScalar {
    using V = uint32_t;
    static constexpr int Lanes = 1;
    static V Splat(uint32_t X) { return X; }
    static V Load(const uint32_t* P) { return *P; }
    static void Store(uint32_t* P, V X) { *P = X; }
    static V Widen(const uint8_t* P) { return *P; }
    static V Pair(V Low, V High) { return Low | (High << 16); }
    // Halves never carry: a pair sum is at most 510.
    static V Add(V A, V B) { return A + B; }
    static V MultiplyAdd(V A, V W) { return (A & 0xFFFF) * (W & 0xFFFF) + (A >> 16) * (W >> 16); }
    static V Divide(V Sum, V Multiplier) { return V((uint64_t(Sum) * Multiplier) >> DivisionShift); }
    static void StoreBytes(uint8_t* P, V X) { *P = uint8_t(X); }
};

template <class Isa>
void BuildPairsWith(const uint8_t* A, const uint8_t* B, uint32_t* P, uint32_t* Q, ptrdiff_t Count)
{
    ptrdiff_t I = 0;
    for (; I + Isa::Lanes <= Count; I += Isa::Lanes) {
        const typename Isa::V Low = Isa::Widen(A + I);
        const typename Isa::V High = Isa::Widen(B + I);
        Isa::Store(P + I, Isa::Pair(Low, High));
        Isa::Store(Q + I, Isa::Pair(High, Low));
    }
    if constexpr (Isa::Lanes > 1)
        BuildPairsWith<TScalar>(A + I, B + I, P + I, Q + I, Count - I);
}

// The kernel's weights spread over every lane.
template <class Isa>
struct TSpreadKernel {
    explicit TSpreadKernel(const TFastKernel& Kernel)
        : Groups(Kernel.Groups), Centre(Isa::Splat(Kernel.Centre)), Multiplier(Isa::Splat(Kernel.Multiplier))
    {
        for (int G = 0; G < Groups; ++G)
            Pairs[G] = Isa::Splat(Kernel.Pairs[size_t(G)]);
    }
    int Groups;
    typename Isa::V Centre;
    typename Isa::V Multiplier;
    typename Isa::V Pairs[MaxTapGroups];
};

// Outputs From.. of one line while whole vectors fit below Count; returns
// where it stopped. Groups is fixed at compile time so the taps unroll.
template <class Isa, int Groups>
ptrdiff_t ConvolveLine(const TSpreadKernel<Isa>& K, const uint32_t* P, const uint32_t* Q, ptrdiff_t Step,
                       ptrdiff_t From, ptrdiff_t Count, uint8_t* Out)
{
    ptrdiff_t I = From;
    for (; I + Isa::Lanes <= Count; I += Isa::Lanes) {
        typename Isa::V Sum = Isa::MultiplyAdd(Isa::Load(P + I), K.Centre);
#pragma GCC unroll 10
        for (int G = 0; G < Groups; ++G) {
            const ptrdiff_t Near = (2 * G + 1) * Step;
            const typename Isa::V Pairs = Isa::Add(Isa::Load(P + I - Near - Step), Isa::Load(Q + I + Near));
            Sum = Isa::Add(Sum, Isa::MultiplyAdd(Pairs, K.Pairs[G]));
        }
        Isa::StoreBytes(Out + I, Isa::Divide(Sum, K.Multiplier));
    }
    return I;
}

template <class Isa, int Groups>
void ConvolveRows(const TFastKernel& Kernel, const uint32_t* P, const uint32_t* Q, ptrdiff_t Step, ptrdiff_t Count,
                  int32_t Rows, uint8_t* Out, ptrdiff_t OutStride)
{
    const TSpreadKernel<Isa> Vector(Kernel);
    const TSpreadKernel<TScalar> Scalar(Kernel);
    for (int32_t Row = 0; Row < Rows; ++Row) {
        const ptrdiff_t Done = ConvolveLine<Isa, Groups>(Vector, P, Q, Step, 0, Count, Out);
        if constexpr (Isa::Lanes > 1)
            ConvolveLine<TScalar, Groups>(Scalar, P, Q, Step, Done, Count, Out);
        P += Step;
        Q += Step;
        Out += OutStride;
    }
}

template <class Isa, size_t... Groups>
constexpr auto ConvolveRowsTable(std::index_sequence<Groups...>)
{
    return std::array{&ConvolveRows<Isa, int(Groups)>...};
}

template <class Isa>
void ConvolvePairsWith(const TFastKernel& Kernel, const uint32_t* P, const uint32_t* Q, ptrdiff_t Step,
                       ptrdiff_t Count, int32_t Rows, uint8_t* Out, ptrdiff_t OutStride)
{
    static constexpr auto Table = ConvolveRowsTable<Isa>(std::make_index_sequence<MaxTapGroups + 1>{});
    Table[size_t(Kernel.Groups)](Kernel, P, Q, Step, Count, Rows, Out, OutStride);
}

template <class Isa>
constexpr TPairKernels PairKernelsOf(int StripeWidth)
{
    return {Isa::Lanes, StripeWidth, &BuildPairsWith<Isa>, &ConvolvePairsWith<Isa>};
}

} // namespace
} // namespace nebulo
