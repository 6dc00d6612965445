#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("avx512f,avx512bw")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

struct TAvx512 {
    using V = __m512i;
    static constexpr int Lanes = 16;
    static V Splat(uint32_t X) { return _mm512_set1_epi32(int(X)); }
    static V Load(const uint32_t* P) { return _mm512_loadu_si512(P); }
    static void Store(uint32_t* P, V X) { _mm512_storeu_si512(P, X); }
    static V Widen(const uint8_t* P) { return _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(P))); }
    static V Pair(V Low, V High) { return _mm512_or_si512(Low, _mm512_slli_epi32(High, 16)); }
    static V Add(V A, V B) { return _mm512_add_epi32(A, B); }
    static V MultiplyAdd(V A, V W) { return _mm512_madd_epi16(A, W); }
    // As with 256 bits: even quotients in the low halves of the 64-bit
    // products, odd ones in the high halves.
    static V Divide(V Sum, V Multiplier)
    {
        const V Even = _mm512_srli_epi64(_mm512_mul_epu32(Sum, Multiplier), DivisionShift);
        const V Odd = _mm512_srli_epi64(_mm512_mul_epu32(_mm512_srli_epi64(Sum, 32), Multiplier), DivisionShift - 32);
        return _mm512_mask_blend_epi32(0xAAAA, Even, Odd);
    }
    static void StoreBytes(uint8_t* P, V X) { _mm_storeu_si128(reinterpret_cast<__m128i*>(P), _mm512_cvtepi32_epi8(X)); }
};

constexpr TPairKernels Avx512Table = PairKernelsOf<TAvx512>(512);

} // namespace
} // namespace nebulo

NEBULO_END_TARGET()

const nebulo::TPairKernels& nebulo::Avx512Kernels()
{
    return Avx512Table;
}

#endif
