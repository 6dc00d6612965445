#include "blur/FastBlurKernel.h"

#include <gtest/gtest.h>

namespace nebulo {
namespace {

// (Sum * Multiplier) >> DivisionShift grows with Sum, so it equals Sum /
// Divisor for every Sum from 0 to 256 * Divisor - 1 exactly when it does at
// both ends of each quotient's run: Q * Divisor and Q * Divisor + Divisor - 1.
// Checked for every divisor a kernel can have, 255 to 41 * 255.
TEST(DivisionByKernelSum, IsExactForEveryDivisorAndEverySum)
{
    for (int32_t Divisor = 255; Divisor <= LargestDivisor; ++Divisor) {
        const uint64_t Multiplier = DivisionMultiplier(Divisor);
        for (uint64_t Quotient = 0; Quotient <= 255; ++Quotient)
            for (uint64_t Sum : {Quotient * uint64_t(Divisor), Quotient * uint64_t(Divisor) + uint64_t(Divisor) - 1}) {
                const uint64_t Product = Sum * Multiplier;
                ASSERT_LT(Product >> 32, uint64_t(1) << 32) << "product overflows 64 bits";
                ASSERT_EQ(Product >> DivisionShift, Quotient)
                    << "sum " << Sum << " divided by " << Divisor << " with multiplier " << Multiplier;
            }
    }
}

} // namespace
} // namespace nebulo
