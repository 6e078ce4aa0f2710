// The 6-byte real that accumulates radix digits: 40-bit significand
// (39 stored bits below an implicit 1), 8-bit exponent with bias 129.
#pragma once

#include <optional>

namespace calc {

// Rounds `value` as storing it into a 6-byte real does: at the 40th
// significant bit, half up in magnitude. Too small a value becomes 0; a
// result of 2^127 or more does not fit (overflow) and gives nothing.
std::optional<long double> StoreReal48(long double value);

}  // namespace calc
