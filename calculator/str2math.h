// The expression evaluator: turns the text typed into the calculator into
// one number by rewriting text. Parenthesised groups are replaced, innermost
// first, by the decimal text of their value; a text without parentheses is
// cut into a list of terms that three precedence passes reduce to one.
// Every intermediate value is carried as 15-digit decimal text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace calc {

// Longest expression EvaluateExpression accepts; longer ones fail rather
// than being cut, since a cut expression would compute something else.
inline constexpr size_t kMaxExpressionLength = 255;

// Evaluates a whole expression (a null text counts as empty). Nothing when
// the evaluation fails for any reason.
std::optional<double> EvaluateExpression(const char* text, char separator);
std::optional<double> EvaluateExpression(std::string_view text, char separator);

// Evaluates a text without parentheses: operators "^", then "*", "/", ":",
// then "+", "-", each level left to right.
std::optional<double> EvaluateFlat(std::string_view text, char separator);

// Evaluates one operand: an optional "!" (negation), a number in any
// notation and an optional function name (LN, SIN, COS, TAN, TG, LG, CTG,
// SQR, SQRT, any letter case) applied to it.
std::optional<double> EvaluateOperand(std::string_view text, char separator);

// Number of EvaluateFlat calls made so far (the evaluator's unit of work;
// one per group and one for the whole text, in a well-formed expression).
uint64_t FlatEvaluationCount();

}  // namespace calc
