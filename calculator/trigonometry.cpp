#include "trigonometry.h"

#include <cmath>
#include <cstdint>

namespace calc {

namespace {

// floor(2/pi * 2^256), least significant 32 bits first.
constexpr uint32_t kTwoOverPi[8] = {0xdebbc561, 0xfe5163ab, 0x3c439041, 0xdb629599,
                                    0xf534ddc0, 0xfc2757d1, 0x4e441529, 0xa2f9836e};
// pi/2 as the sum of two extended values.
constexpr long double kHalfPiHigh = 0xc90fdaa22168c235p-63L;
constexpr long double kHalfPiLow = -0xece675d1fc8f8cbbp-129L;
constexpr long double kQuarterPi = 0.785398163397448309615660845819875721L;

// A value as high + low, |low| at most half an ulp of high.
struct Pair {
    long double high;
    long double low;
};

// The exact product a * b as a pair (Dekker's splitting into 32-bit halves).
Pair ExactProduct(long double a, long double b) {
    constexpr long double kSplitter = 4294967297.0L;  // 2^32 + 1
    auto split = [](long double v, long double& hi, long double& lo) {
        long double t = v * kSplitter;
        hi = t - (t - v);
        lo = v - hi;
    };
    long double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    long double p = a * b;
    long double error = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    return {p, error};
}

// x = (n + r / (pi/2)) with |r| <= pi/4: returns r as a pair and n mod 4.
// x is positive, below 2^63 and at least pi/4. x * 2/pi is formed exactly
// enough from 256 bits of 2/pi: the significand (64 bits) times them, with
// the binary point where x's exponent puts it.
Pair Reduce(long double x, int& quadrant) {
    int binaryExponent = 0;
    const long double fraction = std::frexp(x, &binaryExponent);
    const auto significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
    // product = significand * kTwoOverPi, 320 bits in 32-bit limbs
    uint32_t product[10] = {};
    const uint32_t m[2] = {static_cast<uint32_t>(significand), static_cast<uint32_t>(significand >> 32)};
    for (int i = 0; i < 2; ++i) {
        uint64_t carry = 0;
        for (int j = 0; j < 8; ++j) {
            uint64_t t = static_cast<uint64_t>(m[i]) * kTwoOverPi[j] + product[i + j] + carry;
            product[i + j] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        product[i + 8] = static_cast<uint32_t>(carry);
    }
    // x = significand * 2^(binaryExponent - 64), so x * 2/pi = product *
    // 2^(binaryExponent - 320): the binary point lies at bit 320 - binaryExponent.
    const int point = 320 - binaryExponent;  // between 257 and 321
    auto bit = [&](int position) -> uint32_t {
        return position < 0 || position >= 320 ? 0u : (product[position / 32] >> (position % 32)) & 1u;
    };
    // The 192 fraction bits below the point, most significant first, in
    // three 64-bit words.
    uint64_t words[3] = {};
    for (int w = 0; w < 3; ++w) {
        for (int b = 0; b < 64; ++b) words[w] = words[w] << 1 | bit(point - 1 - (w * 64 + b));
    }
    quadrant = static_cast<int>(bit(point) | bit(point + 1) << 1);
    bool negative = false;
    if ((words[0] >> 63) != 0) {
        // fraction >= 1/2: take the next multiple of pi/2, r = -(1 - fraction)
        ++quadrant;
        negative = true;
        words[2] = ~words[2] + 1;
        words[1] = ~words[1] + (words[2] == 0 ? 1 : 0);
        words[0] = ~words[0] + (words[2] == 0 && words[1] == 0 ? 1 : 0);
    }
    quadrant &= 3;
    // Normalise: the first set bit starts the 128 bits used.
    int shift = 0;
    while (shift < 128 && words[0] == 0) {
        words[0] = words[1];
        words[1] = words[2];
        words[2] = 0;
        shift += 64;
    }
    if (words[0] == 0) return {0.0L, 0.0L};
    while ((words[0] >> 63) == 0) {
        words[0] = words[0] << 1 | words[1] >> 63;
        words[1] = words[1] << 1 | words[2] >> 63;
        words[2] <<= 1;
        ++shift;
    }
    // fraction = (words[0] + words[1] / 2^64) * 2^-(64 + shift)
    const long double fHigh = std::ldexp(static_cast<long double>(words[0]), -64 - shift);
    const long double fLow = std::ldexp(static_cast<long double>(words[1]), -128 - shift);
    // r = fraction * pi/2, as a pair
    Pair p = ExactProduct(fHigh, kHalfPiHigh);
    long double low = p.low + (fHigh * kHalfPiLow + fLow * kHalfPiHigh);
    long double high = p.high + low;
    low -= high - p.high;
    if (negative) return {-high, -low};
    return {high, low};
}

// The product of the factors 1 - z/((k-1)k) nested from the order `last`
// down to `first`: 1 - z/((first-1)first) * (1 - ... (1 - z/((last-1)last))).
long double SeriesFactor(long double z, int first, int last) {
    long double t = 1;
    for (int k = last; k >= first; k -= 2) t = 1 - z / static_cast<long double>((k - 1) * k) * t;
    return t;
}

// sin(r + c) and cos(r + c) for |r| <= pi/4 and a tiny c: Taylor series to
// the order where the terms fall below the extended precision, the leading
// terms added last so that their rounding stays small.
long double SineKernel(long double r, long double c) {
    const long double z = r * r;
    const long double rest = -(z / 6) * SeriesFactor(z, 5, 25);  // sin r = r + r * rest
    return r + (r * rest + c * (1 - z / 2));
}

long double CosineKernel(long double r, long double c) {
    const long double z = r * r;
    const long double half = z / 2;
    const long double rest = half * (z / 12) * SeriesFactor(z, 6, 24);  // cos r = 1 - half + rest
    const long double w = 1 - half;
    return w + (((1 - w) - half) + (rest - r * c));
}

long double FromQuadrant(long double x, bool cosine) {
    if (x == 0) return cosine ? 1.0L : x;  // keeps the sign of a zero sine
    const long double magnitude = std::fabs(x);
    int quadrant = 0;
    Pair r{magnitude, 0.0L};
    if (magnitude > kQuarterPi) r = Reduce(magnitude, quadrant);
    if (cosine) quadrant = (quadrant + 1) & 3;  // cos x = sin(x + pi/2)
    long double value = (quadrant & 1) != 0 ? CosineKernel(r.high, r.low) : SineKernel(r.high, r.low);
    if ((quadrant & 2) != 0) value = -value;
    // sine is odd, cosine even: the sign of x turns only the sine
    return !cosine && x < 0 ? -value : value;
}

}  // namespace

long double ReducedSine(long double x) { return FromQuadrant(x, false); }

long double ReducedCosine(long double x) { return FromQuadrant(x, true); }

}  // namespace calc
