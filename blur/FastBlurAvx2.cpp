#include "blur/FastBlurKernel.h"
#include "blur/KernelTarget.h"

#ifdef NEBULO_X86_KERNELS

#include <immintrin.h>
#include <utility>

NEBULO_BEGIN_TARGET("avx2")

#include "blur/PairConvolution.h"

namespace nebulo {
namespace {

// A step of 32 bytes is held as 16-bit samples in two halves: Low for bytes
// 0 to 7 of each 128-bit lane, High for bytes 8 to 15. Interleaving the two
// sources of a term bytewise and multiplying by ones adds them as it widens.
// The unpacks and packs work within each lane, so packing the sums back
// together restores the order of the bytes.
struct TAvx2 {
    static constexpr ptrdiff_t Bytes = 32;
    using V = __m256i;
    using R = __m256;
    struct W {
        V Low, High;
    };
    struct Acc {
        V LowLow, LowHigh, HighLow, HighHigh;
    };
    static V Splat(uint32_t X) { return _mm256_set1_epi32(int(X)); }
    static R SplatReciprocal(float X) { return _mm256_set1_ps(X); }
    static V Load(const uint8_t* P) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(P)); }
    static W Centre(const uint8_t* P)
    {
        const V Line = Load(P);
        const V Zero = _mm256_setzero_si256();
        return {_mm256_unpacklo_epi8(Line, Zero), _mm256_unpackhi_epi8(Line, Zero)};
    }
    static W PairSum(const uint8_t* A, const uint8_t* B)
    {
        const V First = Load(A);
        const V Second = Load(B);
        const V Ones = _mm256_set1_epi8(1);
        return {_mm256_maddubs_epi16(_mm256_unpacklo_epi8(First, Second), Ones),
                _mm256_maddubs_epi16(_mm256_unpackhi_epi8(First, Second), Ones)};
    }
    // Each weight in both bytes of a 16-bit lane.
    static V SplatWeight(uint32_t X) { return _mm256_set1_epi16(short(X * 0x0101)); }
    static W WeightedPairSum(const uint8_t* A, const uint8_t* B, V Weight)
    {
        const V First = Load(A);
        const V Second = Load(B);
        return {_mm256_maddubs_epi16(_mm256_unpacklo_epi8(First, Second), Weight),
                _mm256_maddubs_epi16(_mm256_unpackhi_epi8(First, Second), Weight)};
    }
    static W Add(W A, W B) { return {_mm256_add_epi16(A.Low, B.Low), _mm256_add_epi16(A.High, B.High)}; }
    static W Zero() { return {_mm256_setzero_si256(), _mm256_setzero_si256()}; }
    static Acc Start()
    {
        const V One = _mm256_set1_epi32(1);
        return {One, One, One, One};
    }
    static void MultiplyAdd(Acc& Sum, W A, W B, V Pair)
    {
        Sum.LowLow = _mm256_add_epi32(Sum.LowLow, _mm256_madd_epi16(_mm256_unpacklo_epi16(A.Low, B.Low), Pair));
        Sum.LowHigh = _mm256_add_epi32(Sum.LowHigh, _mm256_madd_epi16(_mm256_unpackhi_epi16(A.Low, B.Low), Pair));
        Sum.HighLow = _mm256_add_epi32(Sum.HighLow, _mm256_madd_epi16(_mm256_unpacklo_epi16(A.High, B.High), Pair));
        Sum.HighHigh = _mm256_add_epi32(Sum.HighHigh, _mm256_madd_epi16(_mm256_unpackhi_epi16(A.High, B.High), Pair));
    }
    static V Quotients(V Sum, R Reciprocal)
    {
        return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(Sum), Reciprocal));
    }
    static void Store(uint8_t* P, const Acc& Sum, R Reciprocal)
    {
        const V Low = _mm256_packus_epi32(Quotients(Sum.LowLow, Reciprocal), Quotients(Sum.LowHigh, Reciprocal));
        const V High = _mm256_packus_epi32(Quotients(Sum.HighLow, Reciprocal), Quotients(Sum.HighHigh, Reciprocal));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(P), _mm256_packus_epi16(Low, High));
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
