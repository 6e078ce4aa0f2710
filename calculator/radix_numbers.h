// Hexadecimal, octal and binary numbers: reading the literal notations of
// an operand and writing results as digits of a radix.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calc {

// Shown instead of digits for values beyond the display limit.
inline constexpr std::string_view kOverflowText = "Owerflow";
// Largest magnitude shown as radix digits (2^30 - 1).
inline constexpr long double kRadixDisplayLimit = 1073741823.0L;

// Replaces a radix literal in an operand (given without its leading "!")
// by its decimal text. The notations, tried in order: "$" prefix (16),
// "h"/"H" suffix (16), "0x" prefix (16), "o"/"O" suffix (8), a leading "0"
// not followed by the separator or "b" (8) unless only binary digits and a
// "b"/"B" suffix follow it, "b"/"B" suffix (2), "0b" prefix (2). Text without a notation comes back unchanged; an invalid
// digit gives nothing.
std::optional<std::string> ResolveRadixNotation(std::string_view text, char separator);

// The decimal text of the digits in `radix` (2, 8 or 16), accumulated in a
// 6-byte real (exact up to 2^40, rounded beyond). Empty digits give "0".
// Nothing for an invalid digit or a value of 2^127 or more.
std::optional<std::string> RadixToDecimal(std::string_view digits, int radix, char separator);

// The integer part of a decimal text as upper-case digits of `radix`
// (16, 8 or 2), at least two of them ("05", "00"); negative values get a
// "-" before the digits of their magnitude. Magnitudes above the display
// limit give "Owerflow"; a text that cannot be read gives "Error".
std::string DecimalToRadix(std::string_view decimalText, int radix, char separator);

}  // namespace calc
