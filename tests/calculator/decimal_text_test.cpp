#include "calculator/decimal_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace calc {
namespace {

TEST(DecimalText, ParseDecimalReadsTheGrammar) {
    struct Case {
        const char* text;
        long double value;
    };
    const std::vector<Case> cases = {
        {"0", 0.0L},          {"42", 42.0L},         {"0.5", 0.5L},      {".5", 0.5L},
        {"5.", 5.0L},         {".", 0.0L},           {"1E", 1.0L},       {"1e3", 1000.0L},
        {"1E+3", 1000.0L},    {"25E-1", 2.5L},       {"-2.5", -2.5L},    {"+7", 7.0L},
        {"  12  ", 12.0L},    {" -.25 ", -0.25L},    {"1.5E2", 150.0L},  {"007", 7.0L},
        {"1E0027", 1e27L},   {"123456789012345678", 123456789012345678.0L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<long double> value = ParseDecimal(c.text, '.');
        ASSERT_TRUE(value);
        EXPECT_EQ(*value, c.value);
    }
}

TEST(DecimalText, ParseDecimalRejectsMalformedText) {
    for (const char* text : {"", " ", "-", "+", "E5", "1.2.3", "1 2", "1E5x", "--1", "1,5", "0x1", "1E-+5",
                             "1E5000", "1E4933"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseDecimal(text, '.'));
    }
}

TEST(DecimalText, ParseDecimalStopsReadingExponentDigitsAt500) {
    // "1E4999" reads all four digits (499 is still below 500) and overflows;
    // "1E5000" stops after "500", leaving a digit unread.
    EXPECT_FALSE(ParseDecimal("1E4999", '.'));
    EXPECT_FALSE(ParseDecimal("1E5000", '.'));
    std::optional<long double> tiny = ParseDecimal("1E-4900", '.');
    ASSERT_TRUE(tiny);
    EXPECT_GT(*tiny, 0.0L);
    EXPECT_LT(*tiny, 1e-4899L);
    EXPECT_EQ(ParseDecimal("0E4999", '.'), 0.0L);
}

TEST(DecimalText, ParseDecimalUsesTheGivenSeparator) {
    EXPECT_EQ(ParseDecimal("0,5", ','), 0.5L);
    EXPECT_EQ(ParseDecimal(",", ','), 0.0L);
    EXPECT_FALSE(ParseDecimal("0.5", ','));
}

TEST(DecimalText, FormatDecimalFixedAndScientificForms) {
    struct Case {
        long double value;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0.0L, "0"},
        {-0.0L, "0"},
        {2.5L, "2.5"},
        {-2.5L, "-2.5"},
        {1234567.0L, "1234567"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.0001L, "0.0001"},
        {0.00012345L, "0.00012345"},
        {0.00001L, "1E-5"},
        {0.000099999L, "9.9999E-5"},
        {123456789012345.0L, "123456789012345"},
        {1e15L, "1E15"},
        {999999999999999.0L, "999999999999999"},
        {9999999999999999.0L, "1E16"},  // 16 nines round up to 10^16
        {999999999999999.4L, "999999999999999"},
        {-2.5e-7L, "-2.5E-7"},
        {1152921504606846976.0L, "1.15292150460685E18"},
        {1e100L, "1E100"},
        {1.5e-300L, "1.5E-300"},
        {100.0L, "100"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {0.9999999999999995L, "1"},
        {std::numeric_limits<double>::max(), "1.79769313486232E308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {std::numeric_limits<long double>::max(), "1.18973149535723E4932"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatDecimal(c.value, '.'), c.text);
    }
}

TEST(DecimalText, FormatDecimalRoundsEighteenDigitsThenFifteen) {
    // 1.0000000000000049999 has the 18 digits 100000000000000500 (the 18th
    // rounded up), so its 16th digit is 5 and the value rounds up.
    EXPECT_EQ(FormatDecimal(1.0000000000000049999L, '.'), "1.00000000000001");
    EXPECT_EQ(FormatDecimal(1.0000000000000049L, '.'), "1");
    EXPECT_EQ(FormatDecimal(1.000000000000005L, '.'), "1.00000000000001");
}

TEST(DecimalText, FormatDecimalNonNumbers) {
    EXPECT_EQ(FormatDecimal(std::numeric_limits<long double>::quiet_NaN(), '.'), "NAN");
    EXPECT_EQ(FormatDecimal(std::numeric_limits<long double>::infinity(), '.'), "INF");
    EXPECT_EQ(FormatDecimal(-std::numeric_limits<long double>::infinity(), '.'), "INF");
}

TEST(DecimalText, FormatDecimalUsesTheGivenSeparator) {
    EXPECT_EQ(FormatDecimal(2.5L, ','), "2,5");
    EXPECT_EQ(FormatDecimal(-2.5e-7L, ','), "-2,5E-7");
    EXPECT_EQ(FormatDecimal(0.0001L, ','), "0,0001");
}

TEST(DecimalText, FormattedValuesReadBack) {
    for (long double value : {1.0L / 3.0L, 2.5e-7L, -1234.5678L, 1e15L, 6.02214076e23L, 1e-5L}) {
        for (char separator : {'.', ','}) {
            std::string text = FormatDecimal(value, separator);
            SCOPED_TRACE(text);
            std::optional<long double> back = ParseDecimal(text, separator);
            ASSERT_TRUE(back);
            EXPECT_EQ(FormatDecimal(*back, separator), text);
            EXPECT_NEAR(static_cast<double>(*back / value), 1.0, 1e-14);
        }
    }
}

}  // namespace
}  // namespace calc
