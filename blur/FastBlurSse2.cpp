#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <cstring>
#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("sse2")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

struct TSse2 {
    using V = __m128i;
    static constexpr int Lanes = 4;
    static V Splat(uint32_t X) { return _mm_set1_epi32(int(X)); }
    static V Load(const uint32_t* P) { return _mm_loadu_si128(reinterpret_cast<const V*>(P)); }
    static void Store(uint32_t* P, V X) { _mm_storeu_si128(reinterpret_cast<V*>(P), X); }
    static V Widen(const uint8_t* P)
    {
        int32_t Bytes;
        std::memcpy(&Bytes, P, sizeof Bytes);
        const V Zero = _mm_setzero_si128();
        return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(Bytes), Zero), Zero);
    }
    static V Pair(V Low, V High) { return _mm_or_si128(Low, _mm_slli_epi32(High, 16)); }
    static V Add(V A, V B) { return _mm_add_epi32(A, B); }
    static V MultiplyAdd(V A, V W) { return _mm_madd_epi16(A, W); }
    static V Divide(V Sum, V Multiplier)
    {
        const V Even = _mm_srli_epi64(_mm_mul_epu32(Sum, Multiplier), DivisionShift);
        const V Odd = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(Sum, 32), Multiplier), DivisionShift);
        return _mm_or_si128(Even, _mm_slli_epi64(Odd, 32));
    }
    // Quotients are at most 255, so the signed pack keeps them.
    static void StoreBytes(uint8_t* P, V X)
    {
        const V Words = _mm_packs_epi32(X, X);
        const int32_t Bytes = _mm_cvtsi128_si32(_mm_packus_epi16(Words, Words));
        std::memcpy(P, &Bytes, sizeof Bytes);
    }
};

constexpr TPairKernels Sse2Table = PairKernelsOf<TSse2>(512);

} // namespace
} // namespace nebulo

NEBULO_END_TARGET()

const nebulo::TPairKernels& nebulo::Sse2Kernels()
{
    return Sse2Table;
}

#endif
