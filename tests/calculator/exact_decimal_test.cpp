#include "calculator/exact_decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

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

// The leading digits must be those of the exact expansion, cut after
// `count` digits with a "1" for a non-zero rest.
TEST(ExactDecimal, LeadingDigitsAgreeWithTheFullExpansion) {
    std::vector<long double> values = {
        1.0L, 0.5L, 0.1L, 0.001953125L, 1e-5L, 0.3L, 0.99999999999999999L, 1e-300L, 4.9406564584124654e-324L,
        2.2250738585072014e-308L, 1e23L, 123456789012345678.0L, 18446744073709551616.0L,
        std::numeric_limits<long double>::max(), std::numeric_limits<long double>::denorm_min(),
        std::numeric_limits<long double>::min(), 0.1L * 0.1L};
    for (int e = -1080; e <= 1030; e += 7) {
        values.push_back(std::ldexp(1.0L, e));
        values.push_back(std::ldexp(0.7071067811865475244L, e));
        values.push_back(std::pow(10.0L, static_cast<long double>(e / 4)));  // near powers of ten
        values.push_back(std::nextafter(std::pow(10.0L, static_cast<long double>(e / 4)), 0.0L));
    }
    for (long double value : values) {
        SCOPED_TRACE(static_cast<double>(value));
        const DecimalExpansion full = ExpandDecimal(value);
        for (int count : {19, 17, 1}) {
            std::string expected = full.digits;
            if (expected.size() > static_cast<size_t>(count)) {
                expected.resize(static_cast<size_t>(count));
                expected += '1';
                expected.resize(expected.find_last_not_of('0') + 1);
            }
            const DecimalExpansion leading = LeadingDecimalDigits(value, count);
            EXPECT_EQ(leading.digits, expected) << count;
            EXPECT_EQ(leading.exponent, full.exponent) << count;
        }
    }
}

}  // namespace
}  // namespace calc
