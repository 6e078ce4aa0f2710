#include "calculator/real48.h"

#include <gtest/gtest.h>

#include <cmath>

namespace calc {
namespace {

TEST(Real48, KeepsFortySignificantBits) {
    const long double twoTo40 = std::ldexp(1.0L, 40);
    EXPECT_EQ(StoreReal48(twoTo40 - 1), twoTo40 - 1);
    EXPECT_EQ(StoreReal48(0.0L), 0.0L);
    EXPECT_EQ(StoreReal48(1.0L), 1.0L);
    EXPECT_EQ(StoreReal48(-3.5L), -3.5L);
}

TEST(Real48, RoundsHalfUpInMagnitude) {
    const long double twoTo40 = std::ldexp(1.0L, 40);
    EXPECT_EQ(StoreReal48(twoTo40 + 1), twoTo40 + 2);       // exactly half: up
    EXPECT_EQ(StoreReal48(twoTo40 + 5), twoTo40 + 6);       // half again: up, not to even
    EXPECT_EQ(StoreReal48(-(twoTo40 + 1)), -(twoTo40 + 2)); // magnitude rounds up
    EXPECT_EQ(StoreReal48(std::ldexp(1.0L, 44) + 15), std::ldexp(1.0L, 44));
    EXPECT_EQ(StoreReal48(std::ldexp(1.0L, 44) - 1), std::ldexp(1.0L, 44));  // carry into the exponent
}

TEST(Real48, OverflowsAt2To127) {
    EXPECT_FALSE(StoreReal48(std::ldexp(1.0L, 127)));
    EXPECT_FALSE(StoreReal48(std::ldexp(1.0L, 127) - std::ldexp(1.0L, 86)));  // rounds up to 2^127
    EXPECT_TRUE(StoreReal48(std::ldexp(1.0L, 127) - std::ldexp(1.0L, 87)));   // the largest value
    EXPECT_FALSE(StoreReal48(HUGE_VALL));
    EXPECT_FALSE(StoreReal48(std::nanl("")));
}

TEST(Real48, TooSmallBecomesZero) {
    EXPECT_EQ(StoreReal48(std::ldexp(1.0L, -128)), std::ldexp(1.0L, -128));
    EXPECT_EQ(StoreReal48(std::ldexp(1.0L, -129)), 0.0L);
}

}  // namespace
}  // namespace calc
