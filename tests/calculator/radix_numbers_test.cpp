#include "calculator/radix_numbers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace calc {
namespace {

struct Case {
    const char* text;
    const char* result;  // nullptr when the text fails
};

void ExpectResolved(const std::vector<Case>& cases, char separator = '.') {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<std::string> resolved = ResolveRadixNotation(c.text, separator);
        if (c.result == nullptr) {
            EXPECT_FALSE(resolved) << *resolved;
        } else {
            ASSERT_TRUE(resolved);
            EXPECT_EQ(*resolved, c.result);
        }
    }
}

TEST(RadixNumbers, EveryNotationRule) {
    ExpectResolved({
        {"$1F", "31"},  {"1Fh", "31"},   {"1fh", "31"},   {"1FH", "31"}, {"0x1F", "31"},
        {"17o", "15"},  {"17O", "15"},   {"017", "15"},   {"101b", "5"}, {"101B", "5"},
        {"0b101", "5"}, {"0", "0"},      {"00", "0"},     {"0o", "0"},   {"$0", "0"},
    });
}

TEST(RadixNumbers, RulesApplyInOrder) {
    ExpectResolved({
        {"1Bh", "27"},     // "h" comes before "b"
        {"$1B", "27"},     // "$" comes before "b"
        {"0x1b", "27"},    // "0x" comes before "b"
        {"10o", "8"},
        {"$10h", nullptr},  // the "$" rule leaves "10h", whose "h" is no hex digit
        {"1Ab", nullptr},   // A is no binary digit
        {"0B101", nullptr}, // "0" then "B101" in octal
        {"0X1F", nullptr},  // an upper-case X is no prefix; octal fails
        {"08", nullptr},
        {"019", nullptr},
        {"2o", "2"},
        {"8o", nullptr},
        {"2b", nullptr},
    });
}

TEST(RadixNumbers, BinaryLiteralsWithLeadingZerosAreBinary) {
    ExpectResolved({
        {"0101b", "5"},
        {"00001111b", "15"},
        {"00001111B", "15"},
        {"00b", "0"},
        {"01b", "1"},
        {"0b", "0"},
        {"0B", "0"},
        {"0111111111111111111111111111111b", "1073741823"},
        {"0102b", nullptr},  // a 2 is no binary digit: octal "102b" fails
        {"012", "10"},       // still octal without the suffix
        {"0101", "65"},
        {"0101o", "65"},
        {"0b0101", "5"},
        {"0101bh", "4123"},  // the "h" rule fires first: hexadecimal
    });
}

TEST(RadixNumbers, BareMarkersReadAsZero) {
    ExpectResolved({{"h", "0"}, {"$", "0"}, {"0x", "0"}, {"o", "0"}, {"b", "0"}, {"0b", "0"}, {"", ""}});
}

TEST(RadixNumbers, TextWithoutNotationStaysAsItIs) {
    ExpectResolved({{"FF", "FF"}, {"12", "12"}, {"0.5", "0.5"}, {"SIN30", "SIN30"}, {"1E-5", "1E-5"}});
    ExpectResolved({{"0,5", "0,5"}, {"0.5", nullptr}}, ',');
}

TEST(RadixNumbers, RadixToDecimalAccumulatesIn40Bits) {
    const std::vector<std::pair<const char*, const char*>> hex = {
        {"", "0"},
        {"0", "0"},
        {"FF", "255"},
        {"ffff", "65535"},
        {"FFFFFFFFFF", "1099511627775"},        // 2^40 - 1, exact
        {"FFFFFFFFFFF", "17592186044416"},      // 2^44 - 1 rounds to 2^44
        {"100000000001", "17592186044416"},     // 2^44 + 1 loses its last bits
        {"100000000010", "17592186044448"},     // 2^44 + 16 is half a unit: rounds up
        {"10000000001", "1099511627778"},       // 2^40 + 1 likewise
        {"FFFFFFFFFFFFFFFF", "1.84467440737096E19"},
        {"7FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "1.06338239662793E37"},  // rounds to 2^123,
        {"000000000000000000000000000000000000000000001", "1"},
    };
    for (const auto& [digits, decimal] : hex) {
        SCOPED_TRACE(digits);
        std::optional<std::string> result = RadixToDecimal(digits, 16, '.');
        ASSERT_TRUE(result);
        EXPECT_EQ(*result, decimal);
    }
    EXPECT_EQ(RadixToDecimal("777", 8, '.'), "511");
    EXPECT_EQ(RadixToDecimal("1111", 2, '.'), "15");
}

TEST(RadixNumbers, RadixToDecimalFailures) {
    EXPECT_FALSE(RadixToDecimal("G", 16, '.'));
    EXPECT_FALSE(RadixToDecimal("8", 8, '.'));
    EXPECT_FALSE(RadixToDecimal("2", 2, '.'));
    EXPECT_FALSE(RadixToDecimal("1-", 16, '.'));
    EXPECT_FALSE(RadixToDecimal("80000000000000000000000000000000", 16, '.'));  // 2^127
    EXPECT_FALSE(RadixToDecimal("7FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", 16, '.'));  // rounds to 2^127
    EXPECT_TRUE(RadixToDecimal("7FFFFFFFFF000000000000000000000", 16, '.'));
}

TEST(RadixNumbers, RadixToDecimalWritesTheSeparator) {
    EXPECT_EQ(RadixToDecimal("FFFFFFFFFFFFFFFF", 16, ','), "1,84467440737096E19");
}

TEST(RadixNumbers, DecimalToRadixDigits) {
    struct RadixCase {
        const char* decimal;
        int radix;
        const char* digits;
    };
    const std::vector<RadixCase> cases = {
        {"5", 16, "05"},          {"0", 16, "00"},      {"0", 8, "00"},          {"0", 2, "00"},
        {"1", 2, "01"},           {"7", 8, "07"},       {"8", 8, "10"},          {"16", 16, "10"},
        {"255", 16, "FF"},        {"2.9", 16, "02"},    {"2.5", 2, "10"},        {"0.5", 16, "00"},
        {"1073741823", 16, "3FFFFFFF"},
        {"1073741823", 8, "7777777777"},
        {"1073741823", 2, "111111111111111111111111111111"},
        {"1073741824", 16, "Owerflow"},
        {"1073741823.5", 16, "Owerflow"},
        {"2000000000", 2, "Owerflow"},
        {"1E15", 16, "Owerflow"},
        {"1E-5", 16, "00"},
    };
    for (const RadixCase& c : cases) {
        SCOPED_TRACE(std::string(c.decimal) + " radix " + std::to_string(c.radix));
        EXPECT_EQ(DecimalToRadix(c.decimal, c.radix, '.'), c.digits);
    }
}

TEST(RadixNumbers, DecimalToRadixNegatives) {
    struct RadixCase {
        const char* decimal;
        int radix;
        const char* digits;
    };
    const std::vector<RadixCase> cases = {
        {"-5", 16, "-05"},
        {"-0.5", 16, "00"},
        {"-255", 16, "-FF"},
        {"-8", 8, "-10"},
        {"-1", 2, "-01"},
        {"-2.9", 16, "-02"},
        {"-1073741823", 16, "-3FFFFFFF"},
        {"-1073741824", 16, "Owerflow"},
        {"-2147483649", 8, "Owerflow"},
        {"-1E300", 2, "Owerflow"},
    };
    for (const RadixCase& c : cases) {
        SCOPED_TRACE(c.decimal);
        EXPECT_EQ(DecimalToRadix(c.decimal, c.radix, '.'), c.digits);
    }
}

TEST(RadixNumbers, DecimalToRadixUnreadableText) {
    EXPECT_EQ(DecimalToRadix("NAN", 16, '.'), "Error");
    EXPECT_EQ(DecimalToRadix("INF", 16, '.'), "Error");
    EXPECT_EQ(DecimalToRadix("2,5", 16, ','), "02");
}

}  // namespace
}  // namespace calc
