#include "radix_numbers.h"

#include <cmath>
#include <cstdint>

#include "decimal_text.h"
#include "real48.h"

namespace calc {

namespace {

constexpr char kDigitAlphabet[] = "0123456789ABCDEF";

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int BitsPerDigit(int radix) { return radix == 16 ? 4 : radix == 8 ? 3 : 1; }

bool EndsWithEither(std::string_view text, char lower, char upper) {
    return !text.empty() && (text.back() == lower || text.back() == upper);
}

// "0101b", "00b": a leading zero, then only binary digits and the "b"
// suffix. Such a literal is binary, not octal with a "b" in it.
bool IsZeroPaddedBinary(std::string_view text) {
    if (text.size() < 2 || text[0] != '0' || !EndsWithEither(text, 'b', 'B')) return false;
    return text.substr(1, text.size() - 2).find_first_not_of("01") == std::string_view::npos;
}

}  // namespace

std::optional<std::string> RadixToDecimal(std::string_view digits, int radix, char separator) {
    const int bits = BitsPerDigit(radix);
    long double accumulator = 0.0L;
    int position = 0;
    for (size_t i = digits.size(); i-- > 0; ++position) {
        int value = DigitValue(digits[i]);
        if (value < 0 || value >= radix) return std::nullopt;
        if (value == 0) continue;  // adds nothing (and avoids 0 * an overflowing power)
        long double term = std::ldexp(static_cast<long double>(value), position * bits);
        std::optional<long double> sum = StoreReal48(accumulator + term);
        if (!sum) return std::nullopt;
        accumulator = *sum;
    }
    return FormatDecimal(accumulator, separator);
}

std::optional<std::string> ResolveRadixNotation(std::string_view text, char separator) {
    std::string current(text);
    bool failed = false;
    auto convert = [&](std::string_view digits, int radix) {
        if (failed) return;
        std::optional<std::string> decimal = RadixToDecimal(digits, radix, separator);
        if (decimal) {
            current = *decimal;
        } else {
            failed = true;
        }
    };
    auto view = [&] { return std::string_view(current); };

    if (!current.empty() && current[0] == '$') convert(view().substr(1), 16);
    if (EndsWithEither(view(), 'h', 'H')) convert(view().substr(0, current.size() - 1), 16);
    if (current.size() >= 2 && current[0] == '0' && current[1] == 'x') convert(view().substr(2), 16);
    if (EndsWithEither(view(), 'o', 'O')) convert(view().substr(0, current.size() - 1), 8);
    if (!current.empty() && current[0] == '0' &&
        (current.size() < 2 || (current[1] != separator && current[1] != 'b')) && !IsZeroPaddedBinary(current)) {
        convert(view().substr(1), 8);
    }
    if (EndsWithEither(view(), 'b', 'B')) convert(view().substr(0, current.size() - 1), 2);
    if (current.size() >= 2 && current[0] == '0' && current[1] == 'b') convert(view().substr(2), 2);

    if (failed) return std::nullopt;
    return current;
}

std::string DecimalToRadix(std::string_view decimalText, int radix, char separator) {
    std::optional<long double> value = ParseDecimal(decimalText, separator);
    if (!value) return "Error";
    long double magnitude = std::fabs(*value);
    if (magnitude > kRadixDisplayLimit) return std::string(kOverflowText);

    auto n = static_cast<uint32_t>(std::trunc(magnitude));
    const auto base = static_cast<uint32_t>(radix);
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigitAlphabet[n % base]);
        n /= base;
    } while (n >= base);
    digits.insert(digits.begin(), kDigitAlphabet[n]);
    if (*value < 0 && std::trunc(magnitude) != 0) digits.insert(digits.begin(), '-');
    return digits;
}

}  // namespace calc
