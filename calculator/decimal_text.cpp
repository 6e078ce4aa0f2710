#include "decimal_text.h"

#include <cmath>

#include "checked_float.h"
#include "exact_decimal.h"

namespace calc {

namespace {

constexpr int kMaxExponentRead = 500;  // exponent digits are read while below this
constexpr int kExactPowers = 27;       // 10^27 is the largest power of ten exact in extended

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

long double PowerOfTen(int count) {
    if (count <= kExactPowers) {
        long double power = 1.0L;
        for (int i = 0; i < count; ++i) power *= 10.0L;
        return power;
    }
    return std::pow(10.0L, static_cast<long double>(count));
}

// integer * 10^exponent, with a single rounding where the power is exact.
long double ScaleByPowerOfTen(long double integer, int exponent) {
    if (integer == 0 || exponent == 0) return integer;
    if (exponent > 0) return integer * PowerOfTen(exponent);
    // Divide in steps so that a huge negative exponent gives a tiny value
    // (or zero) rather than a division by an infinite power.
    int remaining = -exponent;
    long double value = integer;
    while (remaining > 4000) {
        value /= PowerOfTen(4000);
        remaining -= 4000;
    }
    return value / PowerOfTen(remaining);
}

// Adds one to the decimal digit string; true when it carried out of the
// leading digit (the string then reads "1000...").
bool Increment(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    digits.pop_back();
    return true;
}

// The first 18 significant digits rounded to nearest (ties to even), then
// rounded half up to 15 digits, trailing zeros dropped. Adjusts `exponent`
// on a carry.
std::string SignificantDigits(const DecimalExpansion& exact, int& exponent) {
    constexpr size_t kWide = 18;
    constexpr size_t kShown = 15;
    exponent = exact.exponent;
    std::string wide = exact.digits.substr(0, kWide);
    if (exact.digits.size() > kWide) {
        char next = exact.digits[kWide];
        bool restNonZero = exact.digits.find_first_not_of('0', kWide + 1) != std::string::npos;
        bool up = next > '5' || (next == '5' && (restNonZero || (wide.back() - '0') % 2 == 1));
        if (up && Increment(wide)) ++exponent;
    }
    wide.resize(kWide, '0');

    std::string shown = wide.substr(0, kShown);
    if (wide[kShown] >= '5' && Increment(shown)) ++exponent;
    shown.resize(shown.find_last_not_of('0') + 1);
    return shown;
}

}  // namespace

std::optional<long double> ParseDecimal(std::string_view text, char separator) {
    const ExtendedPrecisionScope precision;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;

    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    long double mantissa = 0.0L;
    bool anything = false;
    int fractionDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i) {
        mantissa = mantissa * 10.0L + (text[i] - '0');
        anything = true;
    }
    if (i < n && text[i] == separator) {
        ++i;
        anything = true;
        for (; i < n && IsDigit(text[i]); ++i) {
            mantissa = mantissa * 10.0L + (text[i] - '0');
            ++fractionDigits;
        }
    }
    if (!anything) return std::nullopt;

    int exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        for (; i < n && IsDigit(text[i]) && exponent < kMaxExponentRead; ++i) {
            exponent = exponent * 10 + (text[i] - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }

    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;

    long double value = ScaleByPowerOfTen(mantissa, exponent - fractionDigits);
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::string FormatDecimal(long double value, char separator) {
    const ExtendedPrecisionScope precision;
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return "INF";
    if (value == 0) return "0";

    int exponent = 0;
    // 18 digits and the one after them decide the rounding.
    std::string digits = SignificantDigits(LeadingDecimalDigits(std::fabs(value), 19), exponent);

    std::string text = value < 0 ? "-" : "";
    if (exponent > 15 || exponent < -3) {
        text += digits[0];
        if (digits.size() > 1) {
            text += separator;
            text.append(digits, 1);
        }
        text += 'E';
        int shown = exponent - 1;
        if (shown < 0) text += '-';
        text += std::to_string(shown < 0 ? -shown : shown);
    } else if (exponent <= 0) {
        text += '0';
        text += separator;
        text.append(static_cast<size_t>(-exponent), '0');
        text += digits;
    } else {
        size_t whole = static_cast<size_t>(exponent);
        if (digits.size() <= whole) {
            text += digits;
            text.append(whole - digits.size(), '0');
        } else {
            text.append(digits, 0, whole);
            text += separator;
            text.append(digits, whole);
        }
    }
    return text;
}

}  // namespace calc
