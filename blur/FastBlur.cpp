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
    // Row Y of a column taken as periodic, as the reference wraps it.
    uint8_t* WrappedRow(int32_t Y) const { return Row(Y < 0 || Y >= Height ? ((Y % Height) + Height) % Height : Y); }
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
        const size_t StripePairs = size_t(Rows_.Height + 2 * Margin_) * size_t(Code_.StripeWidth);
        try {
            Scratch.Line.resize(LineBytes);
            Scratch.P.resize(std::max(LineBytes, StripePairs));
            Scratch.Q.resize(std::max(LineBytes, StripePairs));
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory("Out of memory");
        }
    }

    // Each row is copied out with Margin pixels of wrap-around on both
    // sides, then blurred back in place: only its 3 x Width pixel bytes are
    // written, never the padding.
    void BlurRows(int32_t First, int32_t Last, TScratch& Scratch) const
    {
        const int32_t W = Rows_.Width;
        uint8_t* Line = Scratch.Line.data() + 3 * Margin_;
        for (int32_t Y = First; Y < Last; ++Y) {
            uint8_t* Row = Rows_.Row(Y);
            std::memcpy(Line, Row, size_t(Bytes_));
            for (int32_t X = -Margin_; X < 0; ++X)
                std::memcpy(Line + 3 * X, Row + 3 * (((X % W) + W) % W), 3);
            for (int32_t X = W; X < W + Margin_; ++X)
                std::memcpy(Line + 3 * X, Row + 3 * (X % W), 3);
            const ptrdiff_t Edge = 3 * Margin_;
            Code_.BuildPairs(Line - Edge, Line - Edge + 3, Scratch.P.data(), Scratch.Q.data(), Bytes_ + 2 * Edge - 3);
            Code_.ConvolvePairs(Kernel_, Scratch.P.data() + Edge, Scratch.Q.data() + Edge, 3, Bytes_, 1, Row, 0);
        }
    }

    // A stripe of byte columns: its pairs are built from every row first
    // (wrapping at the top and bottom), so the outputs may overwrite them.
    void BlurStripes(int32_t First, int32_t Last, TScratch& Scratch) const
    {
        const ptrdiff_t Width = Code_.StripeWidth;
        for (int32_t Stripe = First; Stripe < Last; ++Stripe) {
            const ptrdiff_t Column = Stripe * Width;
            const ptrdiff_t Count = std::min(Width, Bytes_ - Column);
            for (int32_t Y = -Margin_; Y < Rows_.Height + Margin_ - 1; ++Y) {
                const ptrdiff_t At = (Y + Margin_) * Width;
                Code_.BuildPairs(Rows_.WrappedRow(Y) + Column, Rows_.WrappedRow(Y + 1) + Column, Scratch.P.data() + At,
                                 Scratch.Q.data() + At, Count);
            }
            const ptrdiff_t Centre = Margin_ * Width;
            Code_.ConvolvePairs(Kernel_, Scratch.P.data() + Centre, Scratch.Q.data() + Centre, Width, Count,
                                Rows_.Height, Rows_.Row(0) + Column, -Rows_.Stride);
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
