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

}  // namespace calc
