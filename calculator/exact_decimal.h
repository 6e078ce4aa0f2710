// Exact decimal expansion of an extended-precision value.
#pragma once

#include <string>

namespace calc {

// A positive value written as 0.digits x 10^exponent; `digits` has no
// leading zero and holds every digit of the binary value (it is exact).
struct DecimalExpansion {
    std::string digits;
    int exponent = 0;
};

// Exact expansion of a positive finite value.
DecimalExpansion ExpandDecimal(long double magnitude);

// The first `count` (at most 19) significant digits of a positive finite
// value, exact, followed by one "1" when any later digit is non-zero, and
// without trailing zeros. Rounding this to fewer than `count` digits gives
// what rounding the full expansion gives. Values below 1 are not expanded
// in full: their exact expansion runs to thousands of digits.
DecimalExpansion LeadingDecimalDigits(long double magnitude, int count);

}  // namespace calc
