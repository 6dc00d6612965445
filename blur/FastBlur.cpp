#include "blur/FastBlur.h"

#include "blur/Blur.h"
#include "blur/FastBlurKernel.h"
#include "dib/SDIB.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/RowShares.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace nebulo {

// What the fast path computes: the reference's bytes. Each channel byte of
// a 24-bit picture becomes, first along every row and then along every
// column of that result, the line wrapping around at its ends,
//
//   out(i) = Sum div KernelSum,   Sum = w(0) s(i) + sum for k = 1..Reach of w(k) (s(i - k) + s(i + k)),
//
// where w are the kernel's weights, symmetric, so the two sources at -k and
// +k are added first (at most 510) and weighed once. In integers:
// - the weights are doubled and the sum starts at 1, so 2 Sum + 1 is kept;
// - the outermost terms, whose weights are small, are merged: summed with
//   their weights in 16 bits into one term that weighs 1;
// - the division is exact: (2 Sum + 1) times 0.5 / KernelSum, in float and
//   truncated, is Sum div KernelSum for every sum that can occur
//   (FastBlurKernel.h).
//
// The schedule follows the kernel in that form (PairKernel): both passes
// in one sweep down the rows of the held file (TFastBlur), the rows shared
// among threads (ShareRows), and the convolution of a line written once for
// every instruction set (PairConvolution.h, chosen by KernelOf).

namespace {

// The kernel in the form above.

// How many of the outermost terms of the kernel BuildKernel left can be
// summed in 16 bits (see MaxMerged): the most that fit, of Reach's parity.
int MergedTerms(int Reach)
{
    for (int Merged = std::min(MaxMerged, Reach); Merged >= 2; --Merged) {
        if (Merged % 2 != Reach % 2)
            continue;
        uint32_t Sum = 0;
        for (int T = Reach - Merged + 1; T <= Reach; ++T)
            Sum += KernelWeight(T);
        if (Sum <= LargestMergedWeights)
            return Merged;
    }
    return 0;
}

// The kernel that BuildKernel left, in pairs of terms; false unless it is
// symmetric with weights summing to KernelSum, which the pairing and the
// division need.
bool PairKernel(TTapKernel& Kernel)
{
    if (KernelLow != -KernelHigh || KernelHigh < 0 || KernelHigh > MaxReach)
        return false;
    int32_t Sum = 0;
    for (int K = KernelLow; K <= KernelHigh; ++K) {
        if (KernelWeight(K) != KernelWeight(-K))
            return false;
        Sum += KernelWeight(K);
    }
    if (Sum != KernelSum || Sum < 1)
        return false;
    Kernel.Reach = KernelHigh;
    Kernel.Merged = MergedTerms(KernelHigh);
    const int Plain = Kernel.Reach - Kernel.Merged;
    for (int M = 1; M <= Kernel.Merged; ++M)
        Kernel.MergedWeights[size_t(M - 1)] = KernelWeight(Plain + M);
    auto Weight = [&](int T) {
        if (T <= Plain)
            return uint32_t(KernelWeight(T));
        return T == Plain + 1 && Kernel.Merged > 0 ? 1u : 0u;
    };
    for (int G = 0; G < MaxTermPairs; ++G)
        Kernel.Pairs[size_t(G)] = 2 * Weight(2 * G) | (2 * Weight(2 * G + 1) << 16);
    Kernel.Reciprocal = DivisionReciprocal(KernelSum);
    return true;
}

// The schedule: rows, threads, instruction sets.

// The pixel rows of a 24-bit held file; row 0 is the top one, stored last.
struct TRows {
    uint8_t* Bottom = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    int64_t Stride = 0;

    uint8_t* Row(int32_t Y) const { return Bottom + (Height - 1 - Y) * Stride; }
};

// The rows the reference would read and write, when the held file holds all
// of them: the last byte it touches is the third of the top row's last pixel.
bool FindRows(TSDIB& Surface, TRows& Rows)
{
    if (!Surface.Valid() || Surface.BitCount() != 24 || Surface.Width() < 1 || Surface.Height() < 1
        || Surface.Width() > LineBufferLength || Surface.Height() > LineBufferLength || Surface.PixelOffset() < 0)
        return false;
    TMemoryStream& File = Surface.DIBFile();
    const int64_t End = Surface.PixelOffset() + (Surface.Height() - 1) * Surface.RowStride() + 3 * int64_t(Surface.Width());
    if (End > File.Size())
        return false;
    Rows = {File.Memory() + Surface.PixelOffset(), Surface.Width(), Surface.Height(), Surface.RowStride()};
    return true;
}

// One worker's buffers, all taken before any worker starts, so that a
// failed allocation reaches the caller: a row with its wrapped ends and the
// sources of its outputs, the rows blurred across that its share needs from
// beyond its ends, and a ring of those from within it.
struct TScratch {
    TScratch(int32_t Width, int Reach)
        : Line(3 * (size_t(Width) + 2 * size_t(Reach))), LineSources(2 * size_t(Reach) + 1),
          Outer(2 * size_t(Reach) * 3 * size_t(Width)), Ring((2 * size_t(Reach) + 1) * 3 * size_t(Width)),
          ColumnSources(2 * size_t(Reach) + 1)
    {
        for (int K = -Reach; K <= Reach; ++K)
            LineSources[size_t(K + Reach)] = Line.data() + 3 * (Reach + K);
    }
    // A copy would point into the original's line; a move keeps the buffers.
    TScratch(const TScratch&) = delete;
    TScratch(TScratch&&) = default;
    std::vector<uint8_t> Line;
    std::vector<const uint8_t*> LineSources;
    std::vector<uint8_t> Outer;
    std::vector<uint8_t> Ring;
    std::vector<const uint8_t*> ColumnSources;
};

// Both passes in one sweep down the picture. The rows are split into shares;
// each output row of a share is the vertical blur of the 2 Reach + 1 rows
// around it, each blurred across first. A share blurs across the Reach rows
// on either side of it (wrapping around the picture) before any share writes
// a row, and the rows within it just before they are needed, into a ring of
// 2 Reach + 1 rows: a row is read when the output Reach rows above it is
// due, and overwritten only as its own output.
class TFastBlur {
public:
    TFastBlur(const TRows& Rows, const TTapKernel& Kernel, TConvolveLine Convolve)
        : Rows_(Rows), Kernel_(Kernel), Convolve_(Convolve), Bytes_(3 * ptrdiff_t(Rows.Width))
    {
    }

    void BlurOuterRows(int32_t First, int32_t Last, TScratch& Scratch) const
    {
        const int32_t Reach = Kernel_.Reach;
        if (First >= Last)
            return;
        for (int32_t K = 0; K < Reach; ++K) {
            BlurAcross(First - Reach + K, Scratch, Scratch.Outer.data() + K * Bytes_);
            BlurAcross(Last + K, Scratch, Scratch.Outer.data() + (Reach + K) * Bytes_);
        }
    }

    void BlurShare(int32_t First, int32_t Last, TScratch& Scratch) const
    {
        const int32_t Reach = Kernel_.Reach;
        const int32_t RingRows = 2 * Reach + 1;
        if (First >= Last)
            return;
        auto RingRow = [&](int32_t R) { return Scratch.Ring.data() + (R - First) % RingRows * Bytes_; };
        auto Source = [&](int32_t R) -> const uint8_t* {
            if (R < First)
                return Scratch.Outer.data() + (R - First + Reach) * Bytes_;
            if (R >= Last)
                return Scratch.Outer.data() + (Reach + R - Last) * Bytes_;
            return RingRow(R);
        };
        int32_t Ready = First;
        for (int32_t Y = First; Y < Last; ++Y) {
            for (; Ready < std::min(Last, Y + Reach + 1); ++Ready)
                BlurAcross(Ready, Scratch, RingRow(Ready));
            for (int32_t K = -Reach; K <= Reach; ++K)
                Scratch.ColumnSources[size_t(K + Reach)] = Source(Y + K);
            Convolve_(Kernel_, Scratch.ColumnSources.data(), Bytes_, Rows_.Row(Y));
        }
    }

private:
    // Row R of the picture, taken around, blurred across into Out: copied
    // out with Reach pixels of wrap-around on both sides, then convolved as
    // one stream of bytes whose taps lie 3 bytes apart.
    void BlurAcross(int32_t R, TScratch& Scratch, uint8_t* Out) const
    {
        const int32_t W = Rows_.Width;
        const int32_t H = Rows_.Height;
        const int32_t Reach = Kernel_.Reach;
        uint8_t* Line = Scratch.Line.data() + 3 * Reach;
        const uint8_t* Row = Rows_.Row(((R % H) + H) % H);
        std::memcpy(Line, Row, size_t(Bytes_));
        for (int32_t X = -Reach; X < 0; ++X)
            std::memcpy(Line + 3 * X, Row + 3 * (((X % W) + W) % W), 3);
        for (int32_t X = W; X < W + Reach; ++X)
            std::memcpy(Line + 3 * X, Row + 3 * (X % W), 3);
        Convolve_(Kernel_, Scratch.LineSources.data(), Bytes_, Out);
    }

    TRows Rows_;
    TTapKernel Kernel_;
    TConvolveLine Convolve_;
    ptrdiff_t Bytes_;
};

TConvolveLine KernelOf(TBlurIsa Isa)
{
    switch (Isa) {
    case TBlurIsa::Portable: return PortableKernel();
#ifdef NEBULO_X86_KERNELS
    case TBlurIsa::Sse2: return Sse2Kernel();
    case TBlurIsa::Avx2: return Avx2Kernel();
    case TBlurIsa::Avx512: return Avx512Kernel();
#else
    default: break;
#endif
    }
    return nullptr;
}

} // namespace

const char* IsaName(TBlurIsa Isa)
{
    switch (Isa) {
    case TBlurIsa::Portable: return "portable";
    case TBlurIsa::Sse2: return "sse2";
    case TBlurIsa::Avx2: return "avx2";
    case TBlurIsa::Avx512: return "avx512";
    }
    return "unknown";
}

bool IsaSupported(TBlurIsa Isa)
{
    if (KernelOf(Isa) == nullptr)
        return false;
#ifdef NEBULO_X86_KERNELS
    __builtin_cpu_init();
    switch (Isa) {
    case TBlurIsa::Sse2: return __builtin_cpu_supports("sse2");
    case TBlurIsa::Avx2: return __builtin_cpu_supports("avx2");
    case TBlurIsa::Avx512: return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    default: break;
    }
#endif
    return true;
}

TBlurIsa ChooseIsa(std::string_view Request, const std::function<bool(TBlurIsa)>& Runs)
{
    auto Names = [Request](TBlurIsa Isa) {
        const std::string_view Name = IsaName(Isa);
        return std::equal(Request.begin(), Request.end(), Name.begin(), Name.end(),
                          [](char A, char B) { return std::tolower(static_cast<unsigned char>(A)) == B; });
    };
    for (TBlurIsa Isa : {TBlurIsa::Portable, TBlurIsa::Sse2, TBlurIsa::Avx2, TBlurIsa::Avx512})
        if (Names(Isa) && Runs(Isa))
            return Isa;
    for (TBlurIsa Isa : {TBlurIsa::Avx512, TBlurIsa::Avx2, TBlurIsa::Sse2})
        if (Runs(Isa))
            return Isa;
    return TBlurIsa::Portable;
}

TBlurIsa DefaultIsa()
{
    static const TBlurIsa Chosen = [] {
        const char* Request = std::getenv("NEBULO_SIMD");
        return ChooseIsa(Request != nullptr ? Request : "", IsaSupported);
    }();
    return Chosen;
}

bool FastBlurPasses(TSDIB& Surface, const TFastBlurOptions& Options)
{
    TRows Rows;
    TTapKernel Kernel;
    if (!IsaSupported(Options.Isa) || !FindRows(Surface, Rows) || !PairKernel(Kernel))
        return false;
    const TFastBlur Blur(Rows, Kernel, KernelOf(Options.Isa));
    const int Shares = Options.Threads > 0 ? std::min(Options.Threads, MaxShares)
                                           : SharesFor(int64_t(Rows.Width) * Rows.Height);
    std::vector<TScratch> Scratches;
    OutOfMemoryAsFailure([&] {
        Scratches.reserve(size_t(Shares));
        for (int S = 0; S < Shares; ++S)
            Scratches.emplace_back(Rows.Width, Kernel.Reach);
    });
    // The first sweep's threads end before the second's start: no row is
    // written before every share has read the rows beyond its ends.
    OutOfMemoryAsFailure([&] {
        ShareRows(Rows.Height, Shares, [&](int S, int32_t First, int32_t Last) {
            Blur.BlurOuterRows(First, Last, Scratches[size_t(S)]);
        });
        ShareRows(Rows.Height, Shares,
                  [&](int S, int32_t First, int32_t Last) { Blur.BlurShare(First, Last, Scratches[size_t(S)]); });
    });
    return true;
}

} // namespace nebulo
