#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("avx2")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

// A step of 32 bytes is held as its even and its odd bytes, each in 16-bit
// samples, which takes no shuffle. The unpacks and packs work within each
// 128-bit half, so packing the low and high sums back together restores the
// order of each half's samples.
struct TAvx2 {
    static constexpr ptrdiff_t Bytes = 32;
    using V = __m256i;
    using R = __m256;
    struct W {
        V Even, Odd;
    };
    struct Acc {
        V EvenLow, EvenHigh, OddLow, OddHigh;
    };
    static V Splat(uint32_t X) { return _mm256_set1_epi32(int(X)); }
    static R SplatReciprocal(float X) { return _mm256_set1_ps(X); }
    static W Load(const uint8_t* P)
    {
        const V Bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(P));
        return {_mm256_and_si256(Bytes, _mm256_set1_epi16(0xFF)), _mm256_srli_epi16(Bytes, 8)};
    }
    static W Add(W A, W B) { return {_mm256_add_epi16(A.Even, B.Even), _mm256_add_epi16(A.Odd, B.Odd)}; }
    static W Zero() { return {_mm256_setzero_si256(), _mm256_setzero_si256()}; }
    static Acc Start()
    {
        const V One = _mm256_set1_epi32(1);
        return {One, One, One, One};
    }
    static void MultiplyAdd(Acc& Sum, W A, W B, V Pair)
    {
        Sum.EvenLow = _mm256_add_epi32(Sum.EvenLow, _mm256_madd_epi16(_mm256_unpacklo_epi16(A.Even, B.Even), Pair));
        Sum.EvenHigh = _mm256_add_epi32(Sum.EvenHigh, _mm256_madd_epi16(_mm256_unpackhi_epi16(A.Even, B.Even), Pair));
        Sum.OddLow = _mm256_add_epi32(Sum.OddLow, _mm256_madd_epi16(_mm256_unpacklo_epi16(A.Odd, B.Odd), Pair));
        Sum.OddHigh = _mm256_add_epi32(Sum.OddHigh, _mm256_madd_epi16(_mm256_unpackhi_epi16(A.Odd, B.Odd), Pair));
    }
    static V Quotients(V Sum, R Reciprocal)
    {
        return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(Sum), Reciprocal));
    }
    static void Store(uint8_t* P, const Acc& Sum, R Reciprocal)
    {
        const V Even = _mm256_packus_epi32(Quotients(Sum.EvenLow, Reciprocal), Quotients(Sum.EvenHigh, Reciprocal));
        const V Odd = _mm256_packus_epi32(Quotients(Sum.OddLow, Reciprocal), Quotients(Sum.OddHigh, Reciprocal));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(P), _mm256_or_si256(Even, _mm256_slli_epi16(Odd, 8)));
    }
};

} // namespace
} // namespace nebulo

NEBULO_END_TARGET()

nebulo::TConvolveLine nebulo::Avx2Kernel()
{
    return &ConvolveLine<TAvx2>;
}

#endif
