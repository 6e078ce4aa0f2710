#include "checked_float.h"

#include <cmath>

namespace calc {

namespace {
// Half an ulp above the largest double: from here on, rounding to double
// gives an infinity.
const long double kDoubleOverflow = std::ldexp(1.0L, 1024) - std::ldexp(1.0L, 970);
}  // namespace

bool IsUsable(long double value) { return std::isfinite(value); }

std::optional<double> StoreDouble(long double value) {
    if (!std::isfinite(value)) return std::nullopt;
    if (std::fabs(value) >= kDoubleOverflow) return std::nullopt;
    return static_cast<double>(value);
}

}  // namespace calc
