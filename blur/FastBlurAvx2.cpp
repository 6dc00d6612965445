#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("avx2")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

struct TAvx2 {
    using V = __m256i;
    static constexpr int Lanes = 8;
    static V Splat(uint32_t X) { return _mm256_set1_epi32(int(X)); }
    static V Load(const uint32_t* P) { return _mm256_loadu_si256(reinterpret_cast<const V*>(P)); }
    static void Store(uint32_t* P, V X) { _mm256_storeu_si256(reinterpret_cast<V*>(P), X); }
    static V Widen(const uint8_t* P) { return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(P))); }
    static V Pair(V Low, V High) { return _mm256_or_si256(Low, _mm256_slli_epi32(High, 16)); }
    static V Add(V A, V B) { return _mm256_add_epi32(A, B); }
    static V MultiplyAdd(V A, V W) { return _mm256_madd_epi16(A, W); }
    // Even elements end in the low halves of the 64-bit products, odd ones
    // are shifted so that they end in the high halves.
    static V Divide(V Sum, V Multiplier)
    {
        const V Even = _mm256_srli_epi64(_mm256_mul_epu32(Sum, Multiplier), DivisionShift);
        const V Odd = _mm256_srli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(Sum, 32), Multiplier), DivisionShift - 32);
        return _mm256_blend_epi32(Even, Odd, 0xAA);
    }
    // The packs work within each 128-bit half: bytes 0..3 of the result
    // land in 32-bit element 0, bytes 4..7 in element 4.
    static void StoreBytes(uint8_t* P, V X)
    {
        const V Words = _mm256_packus_epi32(X, X);
        const V Bytes = _mm256_packus_epi16(Words, Words);
        const V Joined = _mm256_permutevar8x32_epi32(Bytes, _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(P), _mm256_castsi256_si128(Joined));
    }
};

constexpr TPairKernels Avx2Table = PairKernelsOf<TAvx2>(512);

} // namespace
} // namespace nebulo

NEBULO_END_TARGET()

const nebulo::TPairKernels& nebulo::Avx2Kernels()
{
    return Avx2Table;
}

#endif
