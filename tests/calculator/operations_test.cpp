#include "calculator/operations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace calc {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();

TEST(Operations, Arithmetic) {
    EXPECT_EQ(ApplyOperator('+', 2, 3), 5.0);
    EXPECT_EQ(ApplyOperator('-', 2, 3), -1.0);
    EXPECT_EQ(ApplyOperator('*', 2, 3), 6.0);
    EXPECT_EQ(ApplyOperator('/', 3, 2), 1.5);
    EXPECT_EQ(ApplyOperator(':', 3, 2), 1.5);
    EXPECT_EQ(ApplyOperator('^', 3, 2), 9.0);
    EXPECT_FALSE(ApplyOperator('%', 3, 2));
}

TEST(Operations, FailuresAreDetectedFromResults) {
    EXPECT_FALSE(ApplyOperator('/', 1, 0));       // division by zero
    EXPECT_FALSE(ApplyOperator('/', 0, 0));       // invalid
    EXPECT_FALSE(ApplyOperator('*', kMax, 2));    // overflow
    EXPECT_FALSE(ApplyOperator('+', kMax, kMax));
    EXPECT_FALSE(ApplyOperator('/', kMax, 0.5));
    EXPECT_EQ(ApplyOperator('*', 1e-300, 1e-300), 0.0);  // underflow is no failure
    EXPECT_EQ(ApplyOperator('/', 4.9406564584124654e-324, 2), 0.0);
}

TEST(Operations, ResultsJustBelowTheDoubleLimitAreKept) {
    // The sum is computed in extended precision and rounds back down to the largest double.
    std::optional<double> sum = ApplyOperator('+', kMax, 1e290);
    ASSERT_TRUE(sum);
    EXPECT_EQ(*sum, kMax);
}

TEST(Operations, PowerRules) {
    EXPECT_EQ(Power(0, 0), 1.0);
    EXPECT_EQ(Power(0, 3), 0.0);
    EXPECT_EQ(Power(-2, 3), -8.0);
    EXPECT_EQ(Power(2, -1), 0.5);
    EXPECT_EQ(Power(-2, -2), 0.25);
    EXPECT_FALSE(Power(0, -1));
    EXPECT_FALSE(Power(0, -0.5));
    EXPECT_FALSE(Power(-2, 0.5));
    EXPECT_FALSE(Power(10, 309));
    EXPECT_FALSE(Power(10, -5000));   // the power overflows before the reciprocal
    EXPECT_EQ(Power(0.5, 5000), 0.0);  // underflows to zero
    EXPECT_DOUBLE_EQ(*Power(2, 0.5), std::sqrt(2.0));
    EXPECT_FALSE(Power(10, 2147483648.0));  // e^(x ln 10) overflows
    EXPECT_EQ(Power(1, 1e300), 1.0);
}

TEST(Operations, Functions) {
    EXPECT_EQ(ApplyFunction("", 7), 7.0);
    EXPECT_DOUBLE_EQ(*ApplyFunction("SIN", 1), std::sin(1.0));
    EXPECT_DOUBLE_EQ(*ApplyFunction("COS", 1), std::cos(1.0));
    EXPECT_DOUBLE_EQ(*ApplyFunction("TAN", 1), std::tan(1.0));
    EXPECT_DOUBLE_EQ(*ApplyFunction("TG", 1), std::tan(1.0));
    EXPECT_DOUBLE_EQ(*ApplyFunction("CTG", 1), 1 / std::tan(1.0));
    EXPECT_DOUBLE_EQ(*ApplyFunction("LN", 10), std::log(10.0));
    EXPECT_DOUBLE_EQ(*ApplyFunction("LG", 1000), 3.0);
    EXPECT_EQ(ApplyFunction("SQR", -3), 9.0);
    EXPECT_EQ(ApplyFunction("SQRT", 16), 4.0);
    EXPECT_FALSE(ApplyFunction("SQR", 1e200));
    EXPECT_FALSE(ApplyFunction("sin", 1));  // names arrive upper-cased
    EXPECT_FALSE(ApplyFunction("PI", 1));
}

TEST(Operations, FunctionFailuresAndHugeAngles) {
    EXPECT_FALSE(ApplyFunction("LN", 0));
    EXPECT_FALSE(ApplyFunction("LN", -1));
    EXPECT_FALSE(ApplyFunction("LG", -1));
    EXPECT_FALSE(ApplyFunction("CTG", 0));
    EXPECT_FALSE(ApplyFunction("SQRT", -4));
    const double twoTo63 = 9223372036854775808.0;
    EXPECT_EQ(ApplyFunction("SIN", twoTo63), 0.0);
    EXPECT_EQ(ApplyFunction("COS", -twoTo63), 0.0);
    EXPECT_FALSE(ApplyFunction("TAN", twoTo63));  // 0 / 0
    EXPECT_FALSE(ApplyFunction("CTG", twoTo63));
    EXPECT_TRUE(ApplyFunction("SIN", twoTo63 / 2));
}

}  // namespace
}  // namespace calc
