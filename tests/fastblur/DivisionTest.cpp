#include "blur/FastBlurKernel.h"

#include <gtest/gtest.h>

namespace nebulo {
namespace {

// DividedSum grows with the sum, so it equals Sum / Divisor for every Sum
// from 0 to 256 * Divisor - 1 exactly when it does at both ends of each
// quotient's run: Q * Divisor and Q * Divisor + Divisor - 1. Checked for
// every divisor a kernel can have, 255 to 41 * 255.
TEST(DivisionByKernelSum, IsExactForEveryDivisorAndEverySum)
{
    for (int32_t Divisor = 255; Divisor <= LargestDivisor; ++Divisor) {
        const float Reciprocal = DivisionReciprocal(Divisor);
        for (uint32_t Quotient = 0; Quotient <= 255; ++Quotient)
            for (uint32_t Sum : {Quotient * uint32_t(Divisor), Quotient * uint32_t(Divisor) + uint32_t(Divisor) - 1}) {
                ASSERT_LT(2 * Sum + 1, uint32_t(1) << 24) << "the doubled sum is not exact as a float";
                ASSERT_EQ(DividedSum(2 * Sum + 1, Reciprocal), Quotient) << "sum " << Sum << " divided by " << Divisor;
            }
    }
}

} // namespace
} // namespace nebulo
