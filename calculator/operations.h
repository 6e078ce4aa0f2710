// The binary operators and the named functions of the calculator. Each
// computes in extended precision and stores its result as a double; an
// invalid operation, a division by zero or an overflow gives nothing.
#pragma once

#include <optional>
#include <string_view>

namespace calc {

// Operator characters: "^", "*", "/", ":" (divides like "/"), "+", "-".
std::optional<double> ApplyOperator(char op, double left, double right);

// `base` raised to `exponent`: 0 gives 1; a zero base with a positive
// exponent gives 0; whole exponents up to 2^31-1 in magnitude by binary
// exponentiation, others as e^(exponent * ln base).
std::optional<double> Power(double base, double exponent);

// Applies the function named (in upper case) LN, SIN, COS, TAN, TG, LG,
// CTG, SQR or SQRT; an empty name leaves the value. An unknown name gives nothing.
std::optional<double> ApplyFunction(std::string_view upperName, double value);

}  // namespace calc
