// Floating-point failure checks. The calculator runs inside the host's
// process and arms no floating-point traps; instead every result is checked:
// not-a-number means an invalid operation, an infinity means a division by
// zero or an overflow. Values that underflow to zero or to denormals are
// accepted.
#pragma once

#include <optional>

namespace calc {

// True when an extended-precision intermediate is usable (neither NaN nor infinite).
bool IsUsable(long double value);

// Stores an extended value as a double. Nothing when it is not a number or
// rounds beyond the double range.
std::optional<double> StoreDouble(long double value);

// Holds the x87 unit at a 64-bit significand and rounding to nearest while
// it lives, whatever the host set (a host may run at 53-bit precision, which
// would change the results); the exception masks stay as they are. The
// host's control word comes back when the scope ends, however it ends.
// Nothing happens where long double is not the x87 format.
class ExtendedPrecisionScope {
public:
    ExtendedPrecisionScope();
    ~ExtendedPrecisionScope();
    ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
    ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;

private:
    [[maybe_unused]] unsigned short saved_ = 0;
};

}  // namespace calc
