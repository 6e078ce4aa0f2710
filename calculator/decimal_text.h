// Reading and writing decimal numbers with the user's decimal separator.
// Both work at the x87 unit's 64-bit precision whatever the caller set.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calc {

// Reads [spaces][sign][digits][separator digits][E|e [sign] digits][spaces].
// A digit or the separator must be present (a lone separator reads as 0);
// an exponent without digits is 0. Fails on anything else, and on values
// beyond the extended range.
std::optional<long double> ParseDecimal(std::string_view text, char separator);

// The general format with 15 significant digits: fixed form for magnitudes
// from 1E-4 up to (not including) 1E15, scientific form ("1E15", "-2.5E-7")
// outside; "0" for zero of either sign, "NAN" and "INF" for the non-numbers.
std::string FormatDecimal(long double value, char separator);

}  // namespace calc
