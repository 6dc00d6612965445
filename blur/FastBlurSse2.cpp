#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("sse2")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

// A step of 16 bytes is held as its even and its odd bytes, each in 16-bit
// samples.
struct TSse2 {
    static constexpr ptrdiff_t Bytes = 16;
    using V = __m128i;
    using R = __m128;
    struct W {
        V Even, Odd;
    };
    struct Acc {
        V EvenLow, EvenHigh, OddLow, OddHigh;
    };
    static V Splat(uint32_t X) { return _mm_set1_epi32(int(X)); }
    static R SplatReciprocal(float X) { return _mm_set1_ps(X); }
    static W Centre(const uint8_t* P)
    {
        const V Bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
        return {_mm_and_si128(Bytes, _mm_set1_epi16(0xFF)), _mm_srli_epi16(Bytes, 8)};
    }
    static W PairSum(const uint8_t* A, const uint8_t* B)
    {
        const W First = Centre(A);
        const W Second = Centre(B);
        return {_mm_add_epi16(First.Even, Second.Even), _mm_add_epi16(First.Odd, Second.Odd)};
    }
    static V SplatWeight(uint32_t X) { return _mm_set1_epi16(short(X)); }
    static W WeightedPairSum(const uint8_t* A, const uint8_t* B, V Weight)
    {
        const W Sum = PairSum(A, B);
        return {_mm_mullo_epi16(Sum.Even, Weight), _mm_mullo_epi16(Sum.Odd, Weight)};
    }
    static W Add(W A, W B) { return {_mm_add_epi16(A.Even, B.Even), _mm_add_epi16(A.Odd, B.Odd)}; }
    static W Zero() { return {_mm_setzero_si128(), _mm_setzero_si128()}; }
    static Acc Start()
    {
        const V One = _mm_set1_epi32(1);
        return {One, One, One, One};
    }
    static void MultiplyAdd(Acc& Sum, W A, W B, V Pair)
    {
        Sum.EvenLow = _mm_add_epi32(Sum.EvenLow, _mm_madd_epi16(_mm_unpacklo_epi16(A.Even, B.Even), Pair));
        Sum.EvenHigh = _mm_add_epi32(Sum.EvenHigh, _mm_madd_epi16(_mm_unpackhi_epi16(A.Even, B.Even), Pair));
        Sum.OddLow = _mm_add_epi32(Sum.OddLow, _mm_madd_epi16(_mm_unpacklo_epi16(A.Odd, B.Odd), Pair));
        Sum.OddHigh = _mm_add_epi32(Sum.OddHigh, _mm_madd_epi16(_mm_unpackhi_epi16(A.Odd, B.Odd), Pair));
    }
    static V Quotients(V Sum, R Reciprocal) { return _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(Sum), Reciprocal)); }
    // Quotients are at most 255, so the signed pack keeps them.
    static void Store(uint8_t* P, const Acc& Sum, R Reciprocal)
    {
        const V Even = _mm_packs_epi32(Quotients(Sum.EvenLow, Reciprocal), Quotients(Sum.EvenHigh, Reciprocal));
        const V Odd = _mm_packs_epi32(Quotients(Sum.OddLow, Reciprocal), Quotients(Sum.OddHigh, Reciprocal));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(P), _mm_or_si128(Even, _mm_slli_epi16(Odd, 8)));
    }
};

} // namespace
} // namespace nebulo

NEBULO_END_TARGET()

nebulo::TConvolveLine nebulo::Sse2Kernel()
{
    return &ConvolveLine<TSse2>;
}

#endif
