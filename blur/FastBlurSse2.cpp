#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("sse2")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

struct TSse2 {
    static constexpr ptrdiff_t Bytes = 8;
    using V = __m128i;
    using W = __m128i;
    struct Acc {
        V Low, High;
    };
    static V Splat(uint32_t X) { return _mm_set1_epi32(int(X)); }
    static W Load(const uint8_t* P)
    {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(P)), _mm_setzero_si128());
    }
    static W Add(W A, W B) { return _mm_add_epi16(A, B); }
    static W Zero() { return _mm_setzero_si128(); }
    static Acc Start() { return {_mm_setzero_si128(), _mm_setzero_si128()}; }
    static void MultiplyAdd(Acc& Sum, W A, W B, V Pair)
    {
        Sum.Low = _mm_add_epi32(Sum.Low, _mm_madd_epi16(_mm_unpacklo_epi16(A, B), Pair));
        Sum.High = _mm_add_epi32(Sum.High, _mm_madd_epi16(_mm_unpackhi_epi16(A, B), Pair));
    }
    static V Divide(V Sum, V Multiplier)
    {
        const V Even = _mm_srli_epi64(_mm_mul_epu32(Sum, Multiplier), DivisionShift);
        const V Odd = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(Sum, 32), Multiplier), DivisionShift);
        return _mm_or_si128(Even, _mm_slli_epi64(Odd, 32));
    }
    // Quotients are at most 255, so the signed pack keeps them.
    static void Store(uint8_t* P, const Acc& Sum, V Multiplier)
    {
        const V Words = _mm_packs_epi32(Divide(Sum.Low, Multiplier), Divide(Sum.High, Multiplier));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(P), _mm_packus_epi16(Words, Words));
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
