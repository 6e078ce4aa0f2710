// Floating-point failure checks. The calculator runs inside the host's
// process and leaves its floating-point control word alone; instead of
// trapping, every result is checked: not-a-number means an invalid
// operation, an infinity means a division by zero or an overflow. Values
// that underflow to zero or to denormals are accepted.
#pragma once

#include <optional>

namespace calc {

// True when an extended-precision intermediate is usable (neither NaN nor infinite).
bool IsUsable(long double value);

// Stores an extended value as a double. Nothing when it is not a number or
// rounds beyond the double range.
std::optional<double> StoreDouble(long double value);

}  // namespace calc
