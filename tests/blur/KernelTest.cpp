#include "blur/Blur.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

namespace nebulo {
namespace {

std::vector<int> TrimmedWeights()
{
    std::vector<int> Weights;
    for (int K = KernelLow; K <= KernelHigh; ++K)
        Weights.push_back(KernelWeight(K));
    return Weights;
}

struct TWorkedKernel {
    double Amount;
    int High;
    std::vector<int> RightHalf; // offsets 0..High
    int Sum;
    friend void PrintTo(const TWorkedKernel& Case, std::ostream* Out)
    {
        *Out << "amount " << Case.Amount << ", reach " << Case.High << ", weights";
        for (int Weight : Case.RightHalf)
            *Out << ' ' << Weight;
        *Out << " from the centre out, sum " << Case.Sum;
    }
};

class WorkedKernel : public ::testing::TestWithParam<TWorkedKernel> {};

TEST_P(WorkedKernel, HasItsWeightsBoundsAndSum)
{
    const TWorkedKernel& Case = GetParam();
    BuildKernel(Case.Amount);
    EXPECT_EQ(KernelLow, -Case.High);
    EXPECT_EQ(KernelHigh, Case.High);
    EXPECT_EQ(KernelSum, Case.Sum);
    std::vector<int> Expected(Case.RightHalf.rbegin(), Case.RightHalf.rend() - 1);
    Expected.insert(Expected.end(), Case.RightHalf.begin(), Case.RightHalf.end());
    EXPECT_EQ(TrimmedWeights(), Expected);
    for (int K = -KernelReach; K <= KernelReach; ++K) {
        if (K < KernelLow || K > KernelHigh) {
            EXPECT_EQ(KernelWeight(K), 0) << "offset " << K << " lies outside the trimmed range";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, WorkedKernel,
    ::testing::Values(
        TWorkedKernel{0.1, 0, {255}, 255}, TWorkedKernel{1.0, 0, {255}, 255}, TWorkedKernel{1.2, 0, {255}, 255},
        TWorkedKernel{1.3, 1, {255, 2}, 259}, TWorkedKernel{2.0, 1, {255, 34}, 323},
        TWorkedKernel{2.5, 2, {255, 70, 1}, 397}, TWorkedKernel{3.0, 2, {255, 104, 7}, 477},
        TWorkedKernel{5.0, 4, {255, 185, 70, 14, 1}, 795},
        TWorkedKernel{10.0, 8, {255, 235, 185, 124, 70, 34, 14, 5, 1}, 1591},
        TWorkedKernel{15.0, 12, {255, 246, 221, 185, 144, 104, 70, 44, 26, 14, 7, 3, 1}, 2385},
        TWorkedKernel{20.0, 16, {255, 249, 235, 212, 185, 154, 124, 95, 70, 50, 34, 22, 14, 8, 5, 2, 1}, 3175}),
    [](const auto& Info) { return "Amount" + std::to_string(int(std::lround(Info.param.Amount * 10))); });

TEST(Kernel, EachHalfWidthStartsAtItsAmountWithItsSum)
{
    // (half-width, smallest amount in tenths, sum there)
    const int Table[][3] = {{0, 1, 255},     {1, 13, 259},    {2, 25, 397},    {3, 37, 589},   {4, 49, 779},
                            {5, 61, 969},    {6, 73, 1161},   {7, 85, 1353},   {8, 97, 1541},  {9, 109, 1733},
                            {10, 121, 1923}, {11, 133, 2113}, {12, 145, 2303}, {13, 157, 2493}, {14, 169, 2685},
                            {15, 181, 2879}, {16, 193, 3067}};
    for (const auto& Row : Table) {
        BuildKernel(Row[1] * 0.1);
        EXPECT_EQ(KernelHigh, Row[0]) << "amount " << Row[1] / 10.0;
        EXPECT_EQ(KernelSum, Row[2]) << "amount " << Row[1] / 10.0;
        if (Row[1] > 1) {
            BuildKernel((Row[1] - 1) * 0.1);
            EXPECT_EQ(KernelHigh, Row[0] - 1) << "amount " << (Row[1] - 1) / 10.0 << " is still narrower";
        }
    }
}

TEST(Kernel, KeepsItsInvariantsAtEveryAmountOfTheSlider)
{
    for (int Position = 1; Position <= 200; ++Position) {
        BuildKernel(Position * 0.1);
        SCOPED_TRACE("position " + std::to_string(Position));
        ASSERT_EQ(KernelWeight(0), 255);
        ASSERT_EQ(KernelLow, -KernelHigh);
        int Sum = 0;
        for (int K = 1; K <= KernelReach; ++K) {
            ASSERT_EQ(KernelWeight(K), KernelWeight(-K)) << "symmetric at " << K;
            ASSERT_LE(KernelWeight(K), KernelWeight(K - 1)) << "never rising outward at " << K;
            ASSERT_EQ(KernelWeight(K) > 0, K <= KernelHigh) << "offset " << K;
        }
        for (int K = KernelLow; K <= KernelHigh; ++K)
            Sum += KernelWeight(K);
        ASSERT_EQ(KernelSum, Sum);
        ASSERT_EQ(KernelTaps(Position * 0.1), KernelHigh - KernelLow + 1);
    }
}

TEST(Kernel, TruncatesInsteadOfRounding)
{
    BuildKernel(17.9);
    EXPECT_EQ(KernelWeight(12), 6) << "255 e^-x is 6.99972 here";
    EXPECT_EQ(KernelWeight(-12), 6);
}

TEST(Kernel, RebuildingReplacesEveryTap)
{
    BuildKernel(20.0);
    BuildKernel(1.0);
    EXPECT_EQ(KernelLow, 0);
    EXPECT_EQ(KernelHigh, 0);
    EXPECT_EQ(KernelSum, 255);
    const auto Once = KernelWeights;
    BuildKernel(1.0);
    EXPECT_EQ(KernelWeights, Once);
}

TEST(Kernel, AmountZeroFailsAndLeavesTheKernelAsItWas)
{
    BuildKernel(5.0);
    const auto Before = KernelWeights;
    try {
        BuildKernel(0.0);
        FAIL() << "amount 0 must fail";
    } catch (const EZeroDivide& Error) {
        EXPECT_STREQ(Error.what(), "Floating point division by zero");
    }
    EXPECT_EQ(KernelWeights, Before);
    EXPECT_EQ(KernelSum, 795);
}

TEST(Kernel, NonFiniteAmountsAreRefused)
{
    for (double Amount : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()})
        EXPECT_THROW(BuildKernel(Amount), EInvalidArgument) << Amount;
}

} // namespace
} // namespace nebulo
