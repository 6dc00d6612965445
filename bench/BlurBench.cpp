// The blur of a 2023 x 2023 24-bit picture at positions 50, 100 and 200
// (amounts 5, 10 and 20; 9, 17 and 33 taps). Every figure is a median over
// repetitions; pass --benchmark_filter=avx2 (say) to time one instruction set.
#include "bench/DecoderBench.h"
#include "bench/PairedRatio.h"
#include "bench/RoundTripBench.h"
#include "blur/Blur.h"
#include "blur/BlurCommand.h"
#include "blur/FastBlur.h"
#include "dib/SDIB.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/BmpFile.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#ifdef NEBULO_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace nebulo {
namespace {

constexpr int32_t Side = 2023;
const int Positions[] = {50, 100, 200};

// The picture's pixel bytes, blue, green, red, rows from the top.
const std::vector<uint8_t>& Pixels()
{
    static const std::vector<uint8_t> Bytes = [] {
        std::vector<uint8_t> Result(size_t(Side) * Side * 3);
        std::mt19937 Random(Side);
        for (uint8_t& Byte : Result)
            Byte = uint8_t(Random());
        return Result;
    }();
    return Bytes;
}

// The same picture as a 24-bit BMP file.
void WritePicture(TMemoryStream& Stream)
{
    const int64_t Stride = bmp::RowBytes(Side, 24);
    std::vector<uint8_t> Head(54, 0);
    bmp::PutU16(Head.data(), bmp::Signature);
    bmp::PutU32(Head.data() + 2, uint32_t(54 + Stride * Side));
    bmp::PutU32(Head.data() + 10, 54);
    bmp::PutU32(Head.data() + 14, bmp::InfoHeaderSize);
    bmp::PutU32(Head.data() + 18, Side);
    bmp::PutU32(Head.data() + 22, Side);
    bmp::PutU16(Head.data() + 26, 1);
    bmp::PutU16(Head.data() + 28, 24);
    Stream.WriteBuffer(Head.data(), int64_t(Head.size()));
    std::vector<uint8_t> Row(size_t(Stride), 0);
    for (int32_t Y = Side - 1; Y >= 0; --Y) {
        std::copy_n(Pixels().begin() + ptrdiff_t(Y) * Side * 3, Side * 3, Row.begin());
        Stream.WriteBuffer(Row.data(), Stride);
    }
}

TMemoryStream& PictureFile()
{
    static TMemoryStream File;
    static const bool Written = (WritePicture(File), true);
    (void)Written;
    return File;
}

// Into a surface or a bitmap.
template <typename T>
void LoadPicture(T& Target)
{
    PictureFile().Seek(0, soBeginning);
    Target.LoadFromStream(PictureFile());
}

// The timings repeat the blur on the same surface: its cost does not depend
// on the pixels.
void Reference(benchmark::State& State)
{
    TSDIB Surface;
    LoadPicture(Surface);
    const double Amount = int(State.range(0)) * 0.1;
    for (auto _ : State)
        BlurSurfaceReference(Surface, Amount);
}

void Fast(benchmark::State& State, TBlurIsa Isa, int Threads)
{
    TSDIB Surface;
    LoadPicture(Surface);
    const double Amount = int(State.range(0)) * 0.1;
    const TFastBlurOptions Options{Isa, Threads};
    BuildKernel(Amount);
    if (!FastBlurPasses(Surface, Options)) {
        State.SkipWithError("the fast path refused the picture");
        return;
    }
    for (auto _ : State)
        BlurSurface(Surface, Amount, Options);
}

// The Blur command's steps on a bitmap: to the surface, blur, back.
void BlurCommand(benchmark::State& State)
{
    TBitmap Picture;
    LoadPicture(Picture);
    TSDIB Surface;
    const int32_t Position = int32_t(State.range(0));
    for (auto _ : State)
        RunBlurSteps(Picture, Surface, Position, false);
}

#ifdef NEBULO_BENCH_OPENCV
// The same work for OpenCV: 8-bit, 3 channels, the kernel's width, sigma a
// quarter of the amount, on as many threads as Nebulo's side.
class TOpenCvBlur {
public:
    TOpenCvBlur(int Position, int Threads)
        : Sigma_(Position * 0.1 / 4), Threads_(Threads),
          Source_(Side, Side, CV_8UC3, const_cast<uint8_t*>(Pixels().data())), Result_(Side, Side, CV_8UC3)
    {
        BuildKernel(Position * 0.1);
        Taps_ = 2 * KernelHigh + 1;
    }

    void operator()()
    {
        cv::setNumThreads(Threads_);
        cv::GaussianBlur(Source_, Result_, cv::Size(Taps_, Taps_), Sigma_, Sigma_);
    }

private:
    double Sigma_;
    int Threads_;
    int Taps_ = 0;
    const cv::Mat Source_;
    cv::Mat Result_;
};

void OpenCv(benchmark::State& State, int Threads)
{
    TOpenCvBlur Blur(int(State.range(0)), Threads);
    for (auto _ : State)
        Blur();
}
#else
void OpenCv(benchmark::State& State, int)
{
    State.SkipWithError("built without OpenCV: install libopencv-dev and reconfigure to compare");
}
#endif

// The fast path on Threads threads with the instruction set blurs run with, on its own copy.
std::function<void()> FastOn(TSDIB& Surface, int Position, int Threads)
{
    LoadPicture(Surface);
    return [&Surface, Position, Threads] { BlurSurface(Surface, Position * 0.1, {DefaultIsa(), Threads}); };
}

void ReferenceOverFast(benchmark::State& State)
{
    const int Position = int(State.range(0));
    TSDIB Reference;
    TSDIB Fast;
    LoadPicture(Reference);
    Paired(
        State, [&] { BlurSurfaceReference(Reference, Position * 0.1); }, FastOn(Fast, Position, 1));
}

#ifdef NEBULO_BENCH_OPENCV
// Both sides on the same number of threads.
void OpenCvOverFast(benchmark::State& State, int Threads)
{
    const int Position = int(State.range(0));
    TOpenCvBlur Blur(Position, Threads);
    TSDIB Fast;
    Paired(State, std::ref(Blur), FastOn(Fast, Position, Threads));
}
#else
void OpenCvOverFast(benchmark::State& State, int Threads)
{
    OpenCv(State, Threads);
}
#endif

// The whole command against the blur it runs, with the same options.
void CommandOverBlur(benchmark::State& State)
{
    const int32_t Position = int32_t(State.range(0));
    TBitmap Picture;
    LoadPicture(Picture);
    TSDIB CommandSurface;
    TSDIB Surface;
    LoadPicture(Surface);
    Paired(
        State, [&] { RunBlurSteps(Picture, CommandSurface, Position, false); },
        [&] { BlurSurface(Surface, Position * 0.1); });
}

void AtEachPosition(benchmark::internal::Benchmark* Bench, int Repetitions)
{
    for (int Position : Positions)
        Bench->Arg(Position);
    Bench->ArgName("position")->Unit(benchmark::kMillisecond)->Repetitions(Repetitions)->ReportAggregatesOnly(true);
    Bench->UseRealTime();
}

void Register()
{
    AtEachPosition(benchmark::RegisterBenchmark("Reference", Reference)->Iterations(1), 3);
    for (TBlurIsa Isa : {TBlurIsa::Portable, TBlurIsa::Sse2, TBlurIsa::Avx2, TBlurIsa::Avx512}) {
        if (!IsaSupported(Isa)) {
            std::fprintf(stderr, "nebulo-bench: this CPU does not run the %s kernel; it is not timed\n", IsaName(Isa));
            continue;
        }
        for (int Threads : {1, 2}) {
            const std::string Name = std::string("Fast/") + IsaName(Isa) + "/threads:" + std::to_string(Threads);
            AtEachPosition(benchmark::RegisterBenchmark(Name.c_str(), Fast, Isa, Threads), 9);
        }
    }
    for (int Threads : {1, 2}) {
        const std::string Name = "OpenCV/threads:" + std::to_string(Threads);
        AtEachPosition(benchmark::RegisterBenchmark(Name.c_str(), OpenCv, Threads), 9);
    }
    AtEachPosition(benchmark::RegisterBenchmark("BlurCommand", BlurCommand), 9);

    auto Pairwise = [](const char* Name, auto&& Function, int Iterations) {
        auto* Bench = benchmark::RegisterBenchmark(Name, Function);
        for (int Position : Positions)
            Bench->Arg(Position);
        Bench->ArgName("position")->Unit(benchmark::kMillisecond)->Iterations(Iterations)->UseManualTime();
    };
    Pairwise("Ratio/Reference_over_best_one_thread", ReferenceOverFast, 5);
    Pairwise(
        "Ratio/OpenCV_over_best_one_thread", [](benchmark::State& State) { OpenCvOverFast(State, 1); }, 31);
    Pairwise(
        "Ratio/OpenCV_over_best_two_threads", [](benchmark::State& State) { OpenCvOverFast(State, 2); }, 31);
    Pairwise("Ratio/BlurCommand_over_BlurSurface", CommandOverBlur, 31);
}

} // namespace
} // namespace nebulo

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // The drawn screen's text needs fonts, which need an application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    nebulo::Register();
    nebulo::RegisterRoundTrip();
    nebulo::RegisterDecoderStudy();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
