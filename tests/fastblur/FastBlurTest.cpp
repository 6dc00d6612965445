#include "blur/Blur.h"
#include "blur/FastBlur.h"
#include "blur/FastBlurKernel.h"
#include "dib/SDIB.h"
#include "tests/fastblur/AllocationLimit.h"
#include "tests/fastblur/RandomSurface.h"
#include "tests/support/Rows.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace nebulo {
namespace {

using test::PrintTo;
using test::TBytes;

constexpr TBlurIsa EveryIsa[] = {TBlurIsa::Portable, TBlurIsa::Sse2, TBlurIsa::Avx2, TBlurIsa::Avx512};

const char* WhyNotRun()
{
#ifdef NEBULO_X86_KERNELS
    return "this processor does not run it";
#else
    return "this build has no x86 kernels";
#endif
}

// Every instruction set this machine runs, on one thread and on two. Says
// once which kernels are compared with the reference, and which are not.
const std::vector<TFastBlurOptions>& RunnableOptions()
{
    static const std::vector<TFastBlurOptions> Options = [] {
        std::vector<TFastBlurOptions> Runnable;
        std::string Compared;
        std::string Skipped;
        for (TBlurIsa Isa : EveryIsa) {
            if (!IsaSupported(Isa)) {
                Skipped += std::string(" ") + IsaName(Isa) + " (" + WhyNotRun() + ")";
                continue;
            }
            Compared += std::string(" ") + IsaName(Isa);
            for (int Threads : {1, 2})
                Runnable.push_back({Isa, Threads});
        }
        std::printf("fast blur: kernels compared with the reference:%s; skipped:%s\n", Compared.c_str(),
                    Skipped.empty() ? " none" : Skipped.c_str());
        return Runnable;
    }();
    return Options;
}

// The reference blurs one copy of File, each runnable option another; every
// byte of the held files must agree.
void ExpectSameAsReference(const TBytes& File, int Position)
{
    const double Amount = Position * 0.1;
    auto Reference = test::SurfaceOf(File);
    BlurSurfaceReference(*Reference, Amount);
    for (const TFastBlurOptions& Options : RunnableOptions()) {
        auto Fast = test::SurfaceOf(File);
        BuildKernel(Amount);
        const std::string Where = std::to_string(Fast->Width()) + " x " + std::to_string(Fast->Height())
            + " at position " + std::to_string(Position) + ", " + IsaName(Options.Isa) + ", "
            + std::to_string(Options.Threads) + " thread(s)";
        ASSERT_TRUE(FastBlurPasses(*Fast, Options)) << "fast path refused " << Where;
        const std::string Difference = test::FirstDifference(*Reference, *Fast);
        ASSERT_TRUE(Difference.empty()) << Where << ": " << Difference;
    }
}

TEST(FastBlurInstructionSets, PortableAndTheDefaultAreRunnable)
{
    EXPECT_TRUE(IsaSupported(TBlurIsa::Portable));
    EXPECT_TRUE(IsaSupported(DefaultIsa())) << IsaName(DefaultIsa());
    EXPECT_FALSE(RunnableOptions().empty());
}

struct TChoiceCase {
    const char* Name;
    const char* Request;
    std::vector<TBlurIsa> Runs;
    TBlurIsa Chosen;
};

class IsaChoice : public ::testing::TestWithParam<TChoiceCase> {};

TEST_P(IsaChoice, TakesWhatIsAskedForWhenItRunsElseTheWidest)
{
    const TChoiceCase& Case = GetParam();
    const TBlurIsa Chosen = ChooseIsa(Case.Request, [&](TBlurIsa Isa) {
        return std::find(Case.Runs.begin(), Case.Runs.end(), Isa) != Case.Runs.end();
    });
    EXPECT_STREQ(IsaName(Chosen), IsaName(Case.Chosen));
}

const std::vector<TBlurIsa> AllRun(std::begin(EveryIsa), std::end(EveryIsa));

INSTANTIATE_TEST_SUITE_P(
    Requests, IsaChoice,
    ::testing::Values(TChoiceCase{"NothingAsked", "", AllRun, TBlurIsa::Avx512},
                      TChoiceCase{"NothingAskedWithoutAvx512",
                                  "",
                                  {TBlurIsa::Portable, TBlurIsa::Sse2, TBlurIsa::Avx2},
                                  TBlurIsa::Avx2},
                      TChoiceCase{"Avx2Asked", "avx2", AllRun, TBlurIsa::Avx2},
                      TChoiceCase{"Avx512Asked", "avx512", AllRun, TBlurIsa::Avx512},
                      TChoiceCase{"Avx512AskedWhereItDoesNotRun",
                                  "avx512",
                                  {TBlurIsa::Portable, TBlurIsa::Sse2, TBlurIsa::Avx2},
                                  TBlurIsa::Avx2},
                      TChoiceCase{"Sse2Asked", "sse2", AllRun, TBlurIsa::Sse2},
                      TChoiceCase{"AskedInCapitals", "SSE2", AllRun, TBlurIsa::Sse2},
                      TChoiceCase{"PortableAsked", "portable", AllRun, TBlurIsa::Portable},
                      TChoiceCase{"UnknownAsked", "neon", AllRun, TBlurIsa::Avx512},
                      TChoiceCase{"NameWithMore", "avx2x", {TBlurIsa::Portable, TBlurIsa::Sse2}, TBlurIsa::Sse2},
                      TChoiceCase{"OlderProcessor", "", {TBlurIsa::Portable, TBlurIsa::Sse2}, TBlurIsa::Sse2},
                      TChoiceCase{"NoX86Kernels", "avx2", {TBlurIsa::Portable}, TBlurIsa::Portable}),
    test::RowName());

// Helper threads must find their buffers ready: a failed allocation inside
// one of them could not reach the caller.
TEST(FastBlurOutOfMemory, IsRaisedBeforeAnyThreadStartsAndLeavesThePicture)
{
    std::mt19937 Random(13);
    // At amount 20 a share's ring holds 41 rows of 2023 x 3 bytes, 249 KB.
    const TBytes File = test::RandomBmpFile(2023, 64, Random);
    auto Surface = test::SurfaceOf(File);
    BuildKernel(20.0);
    {
        const test::TAllocationLimit Limit(128 * 1024);
        EXPECT_THROW(FastBlurPasses(*Surface, {TBlurIsa::Portable, 2}), EOutOfMemory);
    }
    EXPECT_EQ(test::BytesOf(Surface->DIBFile()), File);
}

// Every width and height from 1 to 64, each pair at one position; stepping
// the position by 37 modulo 200 gives every position to many sizes.
TEST(FastBlurMatchesReference, EveryWidthAndHeightUpTo64)
{
    std::mt19937 Random(64);
    int Case = 0;
    for (int32_t Width = 1; Width <= 64; ++Width)
        for (int32_t Height = 1; Height <= 64; ++Height, ++Case) {
            ExpectSameAsReference(test::RandomBmpFile(Width, Height, Random), 1 + Case * 37 % 200);
            if (HasFatalFailure())
                return;
        }
}

// Every position from 1 to 200, on sizes taken in turn from a spread of
// narrow, short, odd and larger pictures.
TEST(FastBlurMatchesReference, EveryPositionOnASpreadOfSizes)
{
    const std::pair<int32_t, int32_t> Sizes[] = {{1, 1},   {2, 3},     {5, 1},    {1, 7},    {40, 33},
                                                 {97, 61}, {255, 17},  {16, 255}, {129, 130}, {300, 200},
                                                 {333, 2}, {3, 333},   {21, 45},  {85, 86}};
    std::mt19937 Random(200);
    for (int Position = 1; Position <= 200; ++Position) {
        const auto [Width, Height] = Sizes[size_t(Position) % std::size(Sizes)];
        ExpectSameAsReference(test::RandomBmpFile(Width, Height, Random), Position);
        if (HasFatalFailure())
            return;
    }
}

TEST(FastBlurMatchesReference, LargePicturesUpToTheLimit)
{
    const struct {
        int32_t Width, Height;
        int Position;
    } Cases[] = {{2023, 2023, 200}, {2023, 1, 50},  {1, 2023, 100}, {2023, 5, 173},
                 {7, 2023, 9},      {1025, 1023, 117}, {2025, 64, 200}, {64, 2025, 33}};
    std::mt19937 Random(2023);
    for (const auto& Case : Cases) {
        ExpectSameAsReference(test::RandomBmpFile(Case.Width, Case.Height, Random), Case.Position);
        if (HasFatalFailure())
            return;
    }
}

// Surfaces the fast path must leave to the reference, untouched.
struct TRefusedCase {
    const char* Name;
    TBytes File;
};

TBytes EightBitFile()
{
    test::TBmpPlan Plan{5, 3, 8};
    Plan.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    Plan.Rows = {0, 1, 2, 3, 1, 0, 0, 0, 3, 2, 1, 0, 2, 0, 0, 0, 1, 1, 3, 3, 0, 0, 0, 0};
    return test::MakeBmpFile(Plan);
}

TBytes WithInt32At(TBytes File, size_t Offset, int32_t Value)
{
    bmp::PutU32(File.data() + Offset, uint32_t(Value));
    return File;
}

std::vector<TRefusedCase> RefusedCases()
{
    std::mt19937 Random(7);
    const TBytes Good = test::RandomBmpFile(6, 4, Random);
    // The top row, stored last, lacks its last byte: 3 rows of 20 bytes come
    // before it and its pixels take 18.
    TBytes Short = Good;
    Short.resize(size_t(bmp::GetU32(Good.data() + 10)) + 3 * 20 + 17);
    return {
        {"EightBits", EightBitFile()},
        {"TopRowCutShort", Short},
        {"NegativeHeight", WithInt32At(Good, 22, -4)},
        {"ZeroWidth", WithInt32At(Good, 18, 0)},
        {"RowsBeforeTheFile", WithInt32At(Good, 10, -40)},
    };
}

class FastBlurRefuses : public ::testing::TestWithParam<TRefusedCase> {};

TEST_P(FastBlurRefuses, AndBlurSurfaceGivesTheReferenceResult)
{
    const TBytes& File = GetParam().File;
    auto Fast = test::SurfaceOf(File);
    BuildKernel(5.0);
    EXPECT_FALSE(FastBlurPasses(*Fast, {}));
    EXPECT_EQ(test::BytesOf(Fast->DIBFile()), File) << "a refused surface was changed";

    auto Reference = test::SurfaceOf(File);
    std::string ReferenceFailure;
    std::string Failure;
    try {
        BlurSurfaceReference(*Reference, 5.0);
    } catch (const Exception& Error) {
        ReferenceFailure = Error.what();
    }
    try {
        BlurSurface(*Fast, 5.0);
    } catch (const Exception& Error) {
        Failure = Error.what();
    }
    EXPECT_EQ(Failure, ReferenceFailure);
    EXPECT_EQ(test::FirstDifference(*Reference, *Fast), "");
}

INSTANTIATE_TEST_SUITE_P(Surfaces, FastBlurRefuses, ::testing::ValuesIn(RefusedCases()),
                         test::RowName());

TEST(FastBlurRefusesKernel, ThatIsNotSymmetric)
{
    std::mt19937 Random(9);
    const TBytes File = test::RandomBmpFile(9, 9, Random);
    auto Surface = test::SurfaceOf(File);
    BuildKernel(5.0);
    KernelWeights[KernelReach + 1] = 200;
    EXPECT_FALSE(FastBlurPasses(*Surface, {}));
    EXPECT_EQ(test::BytesOf(Surface->DIBFile()), File);
}

TEST(BlurSurface, TakesTheFastPathWithTheReferenceResult)
{
    std::mt19937 Random(11);
    const TBytes File = test::RandomBmpFile(301, 157, Random);
    auto Reference = test::SurfaceOf(File);
    auto Fast = test::SurfaceOf(File);
    BlurSurfaceReference(*Reference, 7.3);
    BlurSurface(*Fast, 7.3);
    EXPECT_EQ(test::FirstDifference(*Reference, *Fast), "");
}

} // namespace
} // namespace nebulo
