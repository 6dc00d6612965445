#include "blur/FastBlur.h"

#include "blur/Blur.h"
#include "blur/FastBlurKernel.h"
#include "dib/SDIB.h"
#include "toolkit/core/Exceptions.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace nebulo {

namespace {

// Below this many pixels a second thread costs more than it saves.
constexpr int64_t TwoThreadPixels = 1 << 16;
constexpr int MaxThreads = 2;
// Bytes of a row blurred at a time: their pairs fit the first-level cache.
constexpr ptrdiff_t RowSegment = 960;
// Rows the vertical pass blurs at a time. With stripes of 512 bytes this
// measured best: each row's page then serves more work, while the pairs of a
// block stay near the second-level cache.
constexpr int32_t RowBlock = 128;
constexpr int32_t PrefetchRows = 16;

const TPairKernels* KernelsOf(TBlurIsa Isa)
{
    switch (Isa) {
    case TBlurIsa::Portable: return &PortableKernels();
#ifdef NEBULO_X86_KERNELS
    case TBlurIsa::Sse2: return &Sse2Kernels();
    case TBlurIsa::Avx2: return &Avx2Kernels();
    case TBlurIsa::Avx512: return &Avx512Kernels();
#else
    default: break;
#endif
    }
    return nullptr;
}

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

// The kernel that BuildKernel left, in pairs; false unless it is symmetric
// with weights summing to KernelSum, which the pairing and the division need.
bool PairKernel(TFastKernel& Kernel)
{
    if (KernelLow != -KernelHigh || KernelHigh < 0 || KernelHigh > KernelReach)
        return false;
    int32_t Sum = 0;
    for (int K = KernelLow; K <= KernelHigh; ++K) {
        if (KernelWeight(K) != KernelWeight(-K))
            return false;
        Sum += KernelWeight(K);
    }
    if (Sum != KernelSum || Sum < 1)
        return false;
    auto Weight = [](int K) { return K <= KernelHigh ? uint32_t(KernelWeight(K)) : 0u; };
    Kernel.Groups = (KernelHigh + 1) / 2;
    Kernel.Centre = Weight(0);
    for (int G = 0; G < Kernel.Groups; ++G)
        Kernel.Pairs[size_t(G)] = Weight(2 * G + 2) | (Weight(2 * G + 1) << 16);
    Kernel.Multiplier = DivisionMultiplier(KernelSum);
    return true;
}

// One worker's buffers: a row with its wrapped ends, and pairs for a row or
// for a stripe of columns.
struct TScratch {
    std::vector<uint8_t> Line;
    std::vector<uint32_t> P;
    std::vector<uint32_t> Q;
};

class TFastBlur {
public:
    TFastBlur(const TRows& Rows, const TFastKernel& Kernel, const TPairKernels& Code)
        : Rows_(Rows), Kernel_(Kernel), Code_(Code), Margin_(2 * Kernel.Groups + 1),
          Bytes_(3 * ptrdiff_t(Rows.Width))
    {
    }

    int32_t Stripes() const { return int32_t((Bytes_ + Code_.StripeWidth - 1) / Code_.StripeWidth); }

    void Allocate(TScratch& Scratch) const
    {
        const size_t LineBytes = size_t(3 * (Rows_.Width + 2 * Margin_));
        const size_t SegmentPairs = size_t(RowSegment + 6 * Margin_);
        const size_t StripeBytes = size_t(2 * Margin_) * size_t(Code_.StripeWidth);
        const size_t StripePairs = size_t(RowBlock + 4 * Kernel_.Groups) * size_t(Code_.StripeWidth);
        try {
            Scratch.Line.resize(std::max(LineBytes, StripeBytes));
            Scratch.P.resize(std::max(SegmentPairs, StripePairs));
            Scratch.Q.resize(std::max(SegmentPairs, StripePairs));
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory("Out of memory");
        }
    }

    // Each row is copied out with Margin pixels of wrap-around on both
    // sides, then blurred back in place in segments whose pairs stay in the
    // first-level cache: only its 3 x Width pixel bytes are written, never
    // the padding.
    void BlurRows(int32_t First, int32_t Last, TScratch& Scratch) const
    {
        const int32_t W = Rows_.Width;
        const ptrdiff_t Edge = 3 * Margin_;
        uint8_t* Line = Scratch.Line.data() + Edge;
        for (int32_t Y = First; Y < Last; ++Y) {
            uint8_t* Row = Rows_.Row(Y);
            std::memcpy(Line, Row, size_t(Bytes_));
            for (int32_t X = -Margin_; X < 0; ++X)
                std::memcpy(Line + 3 * X, Row + 3 * (((X % W) + W) % W), 3);
            for (int32_t X = W; X < W + Margin_; ++X)
                std::memcpy(Line + 3 * X, Row + 3 * (X % W), 3);
            for (ptrdiff_t From = 0; From < Bytes_; From += RowSegment) {
                const ptrdiff_t Count = std::min(RowSegment, Bytes_ - From);
                Code_.BuildPairs(Line + From - Edge, Line + From - Edge + 3, Scratch.P.data(), Scratch.Q.data(),
                                 Count + 2 * Edge - 3);
                Code_.ConvolvePairs(Kernel_, Scratch.P.data() + Edge, Scratch.Q.data() + Edge, 3, Count, 1, Row + From, 0);
            }
        }
    }

    // A stripe of byte columns, top to bottom in blocks of rows. The pairs of
    // a block span Reach more rows above and below it; the lower ones are
    // kept for the next block. The stripe's first rows are saved before any
    // output overwrites them: the last outputs wrap around to them.
    void BlurStripes(int32_t First, int32_t Last, TScratch& Scratch) const
    {
        const ptrdiff_t Width = Code_.StripeWidth;
        const int32_t Reach = 2 * Kernel_.Groups;
        const int32_t Saved = std::min(Rows_.Height, 2 * Margin_);
        uint32_t* const P = Scratch.P.data();
        uint32_t* const Q = Scratch.Q.data();
        for (int32_t Stripe = First; Stripe < Last; ++Stripe) {
            const ptrdiff_t Column = Stripe * Width;
            const ptrdiff_t Count = std::min(Width, Bytes_ - Column);
            for (int32_t Y = 0; Y < Saved; ++Y)
                std::memcpy(Scratch.Line.data() + Y * Width, Rows_.Row(Y) + Column, size_t(Count));
            auto Source = [&](int32_t Y) {
                const int32_t H = Rows_.Height;
                const int32_t Wrapped = Y < 0 || Y >= H ? ((Y % H) + H) % H : Y;
                return Wrapped < Saved ? Scratch.Line.data() + Wrapped * Width : Rows_.Row(Wrapped) + Column;
            };
            int32_t Built = 0;
            for (int32_t Top = 0; Top < Rows_.Height; Top += RowBlock) {
                const int32_t Rows = std::min(RowBlock, Rows_.Height - Top);
                for (int32_t J = Built; J < Rows + 2 * Reach; ++J) {
                    const int32_t Y = Top - Reach + J;
                    // Rows lie pages apart, too far for the hardware to guess.
                    if (Y + PrefetchRows >= 0 && Y + PrefetchRows < Rows_.Height)
                        for (ptrdiff_t Byte = 0; Byte < Count; Byte += 64)
                            __builtin_prefetch(Rows_.Row(Y + PrefetchRows) + Column + Byte);
                    Code_.BuildPairs(Source(Y), Source(Y + 1), P + J * Width, Q + J * Width, Count);
                }
                Code_.ConvolvePairs(Kernel_, P + Reach * Width, Q + Reach * Width, Width, Count, Rows,
                                    Rows_.Row(Top) + Column, -Rows_.Stride);
                Built = 2 * Reach;
                std::memmove(P, P + Rows * Width, size_t(Built * Width) * sizeof(uint32_t));
                std::memmove(Q, Q + Rows * Width, size_t(Built * Width) * sizeof(uint32_t));
            }
        }
    }

private:
    TRows Rows_;
    TFastKernel Kernel_;
    const TPairKernels& Code_;
    int32_t Margin_;
    ptrdiff_t Bytes_;
};

// Splits 0..Count into one share per scratch; the caller's thread takes the
// first. Without a second thread the caller does every share.
template <class F>
void Share(std::vector<TScratch>& Scratches, int32_t Count, F Work)
{
    const int32_t Parts = int32_t(Scratches.size());
    auto Range = [&](int32_t Part, int32_t End) { Work(Count * Part / Parts, Count * End / Parts, Scratches[size_t(Part)]); };
    std::vector<std::jthread> Helpers;
    int32_t Done = Parts;
    for (int32_t Part = 1; Part < Parts; ++Part) {
        try {
            Helpers.emplace_back(Range, Part, Part + 1);
        } catch (const std::system_error&) {
            Done = Part;
            break;
        }
    }
    Range(0, 1);
    for (int32_t Part = Done; Part < Parts; ++Part)
        Range(Part, Part + 1);
}

} // namespace

uint32_t DivisionMultiplier(int32_t Divisor)
{
    return uint32_t(((uint64_t(1) << DivisionShift) + uint64_t(Divisor) - 1) / uint64_t(Divisor));
}

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
    if (KernelsOf(Isa) == nullptr)
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

TBlurIsa BestIsa()
{
    static const TBlurIsa Best = [] {
        for (TBlurIsa Isa : {TBlurIsa::Avx512, TBlurIsa::Avx2, TBlurIsa::Sse2})
            if (IsaSupported(Isa))
                return Isa;
        return TBlurIsa::Portable;
    }();
    return Best;
}

bool FastBlurPasses(TSDIB& Surface, const TFastBlurOptions& Options)
{
    TRows Rows;
    TFastKernel Kernel;
    if (!IsaSupported(Options.Isa) || !FindRows(Surface, Rows) || !PairKernel(Kernel))
        return false;
    const TFastBlur Blur(Rows, Kernel, *KernelsOf(Options.Isa));
    int Threads = Options.Threads;
    if (Threads <= 0)
        Threads = int64_t(Rows.Width) * Rows.Height >= TwoThreadPixels
            ? int(std::clamp(std::thread::hardware_concurrency(), 1u, unsigned(MaxThreads)))
            : 1;
    std::vector<TScratch> Scratches(size_t(std::clamp(Threads, 1, MaxThreads)));
    for (TScratch& Scratch : Scratches)
        Blur.Allocate(Scratch);
    Share(Scratches, Rows.Height, [&](int32_t First, int32_t Last, TScratch& S) { Blur.BlurRows(First, Last, S); });
    Share(Scratches, Blur.Stripes(), [&](int32_t First, int32_t Last, TScratch& S) { Blur.BlurStripes(First, Last, S); });
    return true;
}

} // namespace nebulo
