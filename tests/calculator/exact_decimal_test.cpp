#include "calculator/exact_decimal.h"

#include <gtest/gtest.h>

#include <limits>

namespace calc {
namespace {

TEST(ExactDecimal, ExpandsEveryDigit) {
    struct Case {
        long double value;
        const char* digits;
        int exponent;
    };
    const Case cases[] = {
        {1.0L, "1", 1},
        {0.5L, "5", 0},
        {100.0L, "1", 3},
        {0.001953125L, "1953125", -2},  // 2^-9
        {18446744073709551616.0L, "18446744073709551616", 20},  // 2^64
        {1e23, "99999999999999991611392", 23},
        {0.1, "1000000000000000055511151231257827021181583404541015625", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        DecimalExpansion expansion = ExpandDecimal(c.value);
        EXPECT_EQ(expansion.digits, c.digits);
        EXPECT_EQ(expansion.exponent, c.exponent);
    }
}

TEST(ExactDecimal, ReachesTheEndsOfTheExtendedRange) {
    DecimalExpansion largest = ExpandDecimal(std::numeric_limits<long double>::max());
    EXPECT_EQ(largest.exponent, 4933);
    EXPECT_EQ(largest.digits.substr(0, 10), "1189731495");

    DecimalExpansion smallest = ExpandDecimal(std::numeric_limits<long double>::denorm_min());
    EXPECT_EQ(smallest.exponent, -4950);
    EXPECT_EQ(smallest.digits.substr(0, 10), "3645199531");
    EXPECT_EQ(smallest.digits.back(), '5');
}

}  // namespace
}  // namespace calc
