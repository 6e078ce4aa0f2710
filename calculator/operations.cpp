#include "operations.h"

#include <cmath>
#include <cstdint>

#include "checked_float.h"
#include "trigonometry.h"

namespace calc {

namespace {

// Binary exponentiation over the bits of |exponent|, squaring only while
// bits remain; a negative exponent takes the reciprocal at the end.
std::optional<long double> IntegerPower(long double base, int64_t exponent) {
    uint64_t bits = static_cast<uint64_t>(exponent < 0 ? -exponent : exponent);
    long double result = 1.0L;
    long double square = base;
    while (bits != 0) {
        bool odd = (bits & 1) != 0;
        bits >>= 1;
        if (odd) {
            result *= square;
            if (!IsUsable(result)) return std::nullopt;
            if (bits == 0) break;
        }
        square *= square;
        if (!IsUsable(square)) return std::nullopt;
    }
    if (exponent < 0) {
        if (result == 0) return std::nullopt;  // division by zero
        result = 1.0L / result;
        if (!IsUsable(result)) return std::nullopt;
    }
    return result;
}

std::optional<long double> NaturalLog(long double value) {
    if (value <= 0) return std::nullopt;  // zero divides by zero, negatives are invalid
    return std::log(value);
}

// Arguments of magnitude 2^63 or more count as 0, as the x87 sine and
// cosine give up there; below, the argument is reduced exactly.
long double Sine(long double value) {
    return std::fabs(value) >= 0x1p63L ? 0.0L : ReducedSine(value);
}

long double Cosine(long double value) {
    return std::fabs(value) >= 0x1p63L ? 0.0L : ReducedCosine(value);
}

std::optional<long double> Divide(long double left, long double right) {
    if (right == 0) return std::nullopt;
    long double quotient = left / right;
    if (!IsUsable(quotient)) return std::nullopt;
    return quotient;
}

}  // namespace

std::optional<double> Power(double base, double exponent) {
    if (exponent == 0) return 1.0;
    if (base == 0 && exponent > 0) return 0.0;
    long double e = exponent;
    if (std::trunc(e) == e && std::fabs(e) <= 2147483647.0L) {
        std::optional<long double> result = IntegerPower(base, static_cast<int64_t>(e));
        if (!result) return std::nullopt;
        return StoreDouble(*result);
    }
    std::optional<long double> log = NaturalLog(base);
    if (!log) return std::nullopt;
    return StoreDouble(std::exp(e * *log));
}

std::optional<double> ApplyOperator(char op, double left, double right) {
    long double l = left;
    long double r = right;
    switch (op) {
        case '^':
            return Power(left, right);
        case '*':
            return StoreDouble(l * r);
        case '/':
        case ':': {
            std::optional<long double> quotient = Divide(l, r);
            if (!quotient) return std::nullopt;
            return StoreDouble(*quotient);
        }
        case '+':
            return StoreDouble(l + r);
        case '-':
            return StoreDouble(l - r);
        default:
            return std::nullopt;
    }
}

std::optional<double> ApplyFunction(std::string_view upperName, double value) {
    long double x = value;
    std::optional<long double> result;
    if (upperName.empty()) {
        return value;
    } else if (upperName == "LN") {
        result = NaturalLog(x);
    } else if (upperName == "SIN") {
        result = Sine(x);
    } else if (upperName == "COS") {
        result = Cosine(x);
    } else if (upperName == "TAN" || upperName == "TG") {
        result = Divide(Sine(x), Cosine(x));
    } else if (upperName == "LG") {
        std::optional<long double> log = NaturalLog(x);
        if (log) result = *log / std::log(10.0L);
    } else if (upperName == "CTG") {
        result = Divide(Cosine(x), Sine(x));
    } else if (upperName == "SQR") {
        result = x * x;
    } else if (upperName == "SQRT") {
        if (x >= 0) result = std::sqrt(x);  // negative arguments are invalid
    }
    if (!result) return std::nullopt;
    return StoreDouble(*result);
}

}  // namespace calc
