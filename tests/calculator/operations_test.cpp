#include "calculator/operations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

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

// Zero, negative zero and the smallest doubles of either sign: which
// functions give a value there and which fail, and the sign of the zeros.
TEST(Operations, FunctionsAtZeroAndTheSmallestValues) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    const double normal = std::numeric_limits<double>::min();
    struct Case {
        const char* name;
        double argument;
        std::optional<double> result;  // nothing: the function fails
    };
    const Case cases[] = {
        {"SQRT", 0.0, 0.0},      {"SQRT", -0.0, -0.0},     {"SQRT", -tiny, std::nullopt},
        {"SQRT", 4 * tiny, 2 * std::sqrt(tiny)},           {"SQRT", normal, std::sqrt(normal)},
        {"LN", 0.0, std::nullopt}, {"LN", -0.0, std::nullopt}, {"LN", -tiny, std::nullopt},
        {"LN", 1.0, 0.0},        {"LG", 0.0, std::nullopt}, {"LG", -0.0, std::nullopt}, {"LG", 1.0, 0.0},
        {"SIN", 0.0, 0.0},       {"SIN", -0.0, -0.0},      {"SIN", tiny, tiny},      {"SIN", -tiny, -tiny},
        {"COS", 0.0, 1.0},       {"COS", -0.0, 1.0},       {"COS", -tiny, 1.0},
        {"TAN", -0.0, -0.0},     {"TG", tiny, tiny},
        {"CTG", 0.0, std::nullopt}, {"CTG", -0.0, std::nullopt}, {"CTG", tiny, std::nullopt},
        {"CTG", -tiny, std::nullopt},                       {"CTG", normal / 4, std::nullopt},
        {"SQR", -0.0, 0.0},      {"SQR", tiny, 0.0},       {"SQR", -tiny, 0.0},
    };
    for (const Case& c : cases) {
        char argument[32];
        std::snprintf(argument, sizeof argument, "%a", c.argument);
        SCOPED_TRACE(std::string(c.name) + " " + argument);
        std::optional<double> result = ApplyFunction(c.name, c.argument);
        ASSERT_EQ(result.has_value(), c.result.has_value());
        if (!result) continue;
        EXPECT_EQ(*result, *c.result);
        EXPECT_EQ(std::signbit(*result), std::signbit(*c.result));
    }
    std::optional<double> logOfTiny = ApplyFunction("LN", tiny);
    ASSERT_TRUE(logOfTiny);
    EXPECT_DOUBLE_EQ(*logOfTiny, -1074 * std::log(2.0));
    std::optional<double> cotangentOfNormal = ApplyFunction("CTG", normal);
    ASSERT_TRUE(cotangentOfNormal);
    EXPECT_DOUBLE_EQ(*cotangentOfNormal, 1 / normal);
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
