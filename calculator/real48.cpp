#include "real48.h"

#include <cmath>

namespace calc {

namespace {
constexpr int kSignificandBits = 40;
constexpr int kMaxExponent = 127;   // largest value is just below 2^127
constexpr int kMinExponent = -128;  // smallest normal value is 2^-128
}  // namespace

std::optional<long double> StoreReal48(long double value) {
    if (std::isnan(value)) return std::nullopt;
    if (value == 0) return 0.0L;
    if (std::isinf(value)) return std::nullopt;

    int exponent = 0;
    long double fraction = std::frexp(std::fabs(value), &exponent);  // [0.5, 1)
    // fraction * 2^40 lies in [2^39, 2^40) with an ulp of 2^-24, so adding
    // one half is exact.
    long double rounded = std::floor(std::ldexp(fraction, kSignificandBits) + 0.5L);
    if (rounded == std::ldexp(1.0L, kSignificandBits)) {
        rounded = std::ldexp(1.0L, kSignificandBits - 1);
        ++exponent;
    }
    // The value is now in [2^(exponent-1), 2^exponent).
    if (exponent - 1 >= kMaxExponent) return std::nullopt;
    if (exponent - 1 < kMinExponent) return 0.0L;
    return std::copysign(std::ldexp(rounded, exponent - kSignificandBits), value);
}

}  // namespace calc
