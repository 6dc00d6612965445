#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("avx2")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

// The unpacks and packs work within each 128-bit half, so packing the low
// and high sums back together restores the order of the samples.
struct TAvx2 {
    static constexpr ptrdiff_t Bytes = 16;
    using V = __m256i;
    using W = __m256i;
    struct Acc {
        V Low, High;
    };
    static V Splat(uint32_t X) { return _mm256_set1_epi32(int(X)); }
    static W Load(const uint8_t* P) { return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(P))); }
    static W Add(W A, W B) { return _mm256_add_epi16(A, B); }
    static W Zero() { return _mm256_setzero_si256(); }
    static Acc Start() { return {_mm256_setzero_si256(), _mm256_setzero_si256()}; }
    static void MultiplyAdd(Acc& Sum, W A, W B, V Pair)
    {
        Sum.Low = _mm256_add_epi32(Sum.Low, _mm256_madd_epi16(_mm256_unpacklo_epi16(A, B), Pair));
        Sum.High = _mm256_add_epi32(Sum.High, _mm256_madd_epi16(_mm256_unpackhi_epi16(A, B), Pair));
    }
    // Even elements end in the low halves of the 64-bit products, odd ones
    // are shifted so that they end in the high halves.
    static V Divide(V Sum, V Multiplier)
    {
        const V Even = _mm256_srli_epi64(_mm256_mul_epu32(Sum, Multiplier), DivisionShift);
        const V Odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(Sum, 32), Multiplier), DivisionShift - 32);
        return _mm256_blend_epi32(Even, Odd, 0xAA);
    }
    static void Store(uint8_t* P, const Acc& Sum, V Multiplier)
    {
        const V Words = _mm256_packus_epi32(Divide(Sum.Low, Multiplier), Divide(Sum.High, Multiplier));
        const V Bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(Words, Words), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(P), _mm256_castsi256_si128(Bytes));
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
