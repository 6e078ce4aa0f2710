// Sine and cosine in extended precision with exact argument reduction, so
// that every build gives the same results whatever its run-time library
// does (a bare x87 fsin or fcos reduces by a 66-bit pi and loses digits
// near multiples of pi, and all of them for large arguments).
#pragma once

namespace calc {

// For finite arguments of magnitude below 2^63, within a few units of the
// last place of the extended format. Needs the x87 unit at 64-bit precision
// and rounding to nearest (ExtendedPrecisionScope) where that is the format.
long double ReducedSine(long double x);
long double ReducedCosine(long double x);

}  // namespace calc
