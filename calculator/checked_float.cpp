#include "checked_float.h"

#include <cfloat>
#include <cmath>

#if (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__) && LDBL_MANT_DIG == 64
#define CALC_X87_CONTROL 1
#endif

namespace calc {

namespace {
// Half an ulp above the largest double: from here on, rounding to double
// gives an infinity.
const long double kDoubleOverflow = std::ldexp(1.0L, 1024) - std::ldexp(1.0L, 970);

#ifdef CALC_X87_CONTROL
constexpr unsigned short kPrecisionControl = 0x0300;  // 11: 64-bit significand
constexpr unsigned short kRoundingControl = 0x0C00;   // 00: to nearest

unsigned short ReadControlWord() {
    unsigned short word = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void WriteControlWord(unsigned short word) { __asm__ __volatile__("fldcw %0" : : "m"(word)); }
#endif
}  // namespace

bool IsUsable(long double value) { return std::isfinite(value); }

std::optional<double> StoreDouble(long double value) {
    if (!std::isfinite(value)) return std::nullopt;
    if (std::fabs(value) >= kDoubleOverflow) return std::nullopt;
    return static_cast<double>(value);
}

#ifdef CALC_X87_CONTROL
ExtendedPrecisionScope::ExtendedPrecisionScope() : saved_(ReadControlWord()) {
    const unsigned short wanted = static_cast<unsigned short>((saved_ & ~kRoundingControl) | kPrecisionControl);
    if (wanted != saved_) WriteControlWord(wanted);
}

ExtendedPrecisionScope::~ExtendedPrecisionScope() {
    if (ReadControlWord() != saved_) WriteControlWord(saved_);
}
#else
ExtendedPrecisionScope::ExtendedPrecisionScope() = default;
ExtendedPrecisionScope::~ExtendedPrecisionScope() = default;
#endif

}  // namespace calc
