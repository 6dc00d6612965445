#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("avx512f,avx512bw")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

// As with 256 bits: even and odd bytes in 16-bit samples, and unpacks and
// packs that keep to 128-bit quarters.
struct TAvx512 {
    static constexpr ptrdiff_t Bytes = 64;
    using V = __m512i;
    using R = __m512;
    struct W {
        V Even, Odd;
    };
    struct Acc {
        V EvenLow, EvenHigh, OddLow, OddHigh;
    };
    static V Splat(uint32_t X) { return _mm512_set1_epi32(int(X)); }
    static R SplatReciprocal(float X) { return _mm512_set1_ps(X); }
    static W Centre(const uint8_t* P)
    {
        const V Bytes = _mm512_loadu_si512(P);
        return {_mm512_and_si512(Bytes, _mm512_set1_epi16(0xFF)), _mm512_srli_epi16(Bytes, 8)};
    }
    static W PairSum(const uint8_t* A, const uint8_t* B)
    {
        const W First = Centre(A);
        const W Second = Centre(B);
        return {_mm512_add_epi16(First.Even, Second.Even), _mm512_add_epi16(First.Odd, Second.Odd)};
    }
    static V SplatWeight(uint32_t X) { return _mm512_set1_epi16(short(X)); }
    static W WeightedPairSum(const uint8_t* A, const uint8_t* B, V Weight)
    {
        const W Sum = PairSum(A, B);
        return {_mm512_mullo_epi16(Sum.Even, Weight), _mm512_mullo_epi16(Sum.Odd, Weight)};
    }
    static W Add(W A, W B) { return {_mm512_add_epi16(A.Even, B.Even), _mm512_add_epi16(A.Odd, B.Odd)}; }
    static W Zero() { return {_mm512_setzero_si512(), _mm512_setzero_si512()}; }
    static Acc Start()
    {
        const V One = _mm512_set1_epi32(1);
        return {One, One, One, One};
    }
    static void MultiplyAdd(Acc& Sum, W A, W B, V Pair)
    {
        Sum.EvenLow = _mm512_add_epi32(Sum.EvenLow, _mm512_madd_epi16(_mm512_unpacklo_epi16(A.Even, B.Even), Pair));
        Sum.EvenHigh = _mm512_add_epi32(Sum.EvenHigh, _mm512_madd_epi16(_mm512_unpackhi_epi16(A.Even, B.Even), Pair));
        Sum.OddLow = _mm512_add_epi32(Sum.OddLow, _mm512_madd_epi16(_mm512_unpacklo_epi16(A.Odd, B.Odd), Pair));
        Sum.OddHigh = _mm512_add_epi32(Sum.OddHigh, _mm512_madd_epi16(_mm512_unpackhi_epi16(A.Odd, B.Odd), Pair));
    }
    static V Quotients(V Sum, R Reciprocal)
    {
        return _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(Sum), Reciprocal));
    }
    static void Store(uint8_t* P, const Acc& Sum, R Reciprocal)
    {
        const V Even = _mm512_packus_epi32(Quotients(Sum.EvenLow, Reciprocal), Quotients(Sum.EvenHigh, Reciprocal));
        const V Odd = _mm512_packus_epi32(Quotients(Sum.OddLow, Reciprocal), Quotients(Sum.OddHigh, Reciprocal));
        _mm512_storeu_si512(P, _mm512_or_si512(Even, _mm512_slli_epi16(Odd, 8)));
    }
};

} // namespace
} // namespace nebulo

NEBULO_END_TARGET()

nebulo::TConvolveLine nebulo::Avx512Kernel()
{
    return &ConvolveLine<TAvx512>;
}

#endif
