#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("avx512f,avx512bw")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

// As with 256 bits, the unpacks and packs keep to 128-bit quarters.
struct TAvx512 {
    static constexpr ptrdiff_t Bytes = 32;
    using V = __m512i;
    using W = __m512i;
    struct Acc {
        V Low, High;
    };
    static V Splat(uint32_t X) { return _mm512_set1_epi32(int(X)); }
    static W Load(const uint8_t* P) { return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(P))); }
    static W Add(W A, W B) { return _mm512_add_epi16(A, B); }
    static W Zero() { return _mm512_setzero_si512(); }
    static Acc Start() { return {_mm512_setzero_si512(), _mm512_setzero_si512()}; }
    static void MultiplyAdd(Acc& Sum, W A, W B, V Pair)
    {
        Sum.Low = _mm512_add_epi32(Sum.Low, _mm512_madd_epi16(_mm512_unpacklo_epi16(A, B), Pair));
        Sum.High = _mm512_add_epi32(Sum.High, _mm512_madd_epi16(_mm512_unpackhi_epi16(A, B), Pair));
    }
    static V Divide(V Sum, V Multiplier)
    {
        const V Even = _mm512_srli_epi64(_mm512_mul_epu32(Sum, Multiplier), DivisionShift);
        const V Odd = _mm512_srli_epi64(_mm512_mul_epu32(_mm512_srli_epi64(Sum, 32), Multiplier), DivisionShift - 32);
        return _mm512_mask_blend_epi32(0xAAAA, Even, Odd);
    }
    static void Store(uint8_t* P, const Acc& Sum, V Multiplier)
    {
        const V Words = _mm512_packus_epi32(Divide(Sum.Low, Multiplier), Divide(Sum.High, Multiplier));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(P), _mm512_cvtepi16_epi8(Words));
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
