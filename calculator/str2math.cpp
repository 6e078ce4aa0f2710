#include "str2math.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "decimal_text.h"
#include "checked_float.h"
#include "operations.h"
#include "radix_numbers.h"

namespace calc {

namespace {

// Counts EvaluateFlat calls, the unit of an evaluation's work.
uint64_t g_flatEvaluations = 0;

// Marks a unary minus; also starts a negative group value put back into the text.
constexpr char kNegation = '!';

bool IsOperator(char c) {
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^' || c == ':';
}

// A "-" at the start or after one of these is a unary minus.
bool IsOperatorContext(char c) {
    return c == '(' || c == '*' || c == '+' || c == '-' || c == '/' || c == ':' || c == '^';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNumberChar(char c) {
    return c == '!' || c == ',' || c == '-' || c == '.' || IsDigit(c) || c == 'E' || c == 'e';
}

char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// True when text[i] is a "+" or "-" that signs an exponent: it follows an
// "E" or "e" that itself follows a decimal digit or the separator.
bool IsExponentSign(std::string_view text, size_t i, char separator) {
    if (i < 2 || (text[i] != '+' && text[i] != '-')) return false;
    char e = text[i - 1];
    char before = text[i - 2];
    return (e == 'E' || e == 'e') && (IsDigit(before) || before == separator);
}

// Operands written with "$" or "0x" have hexadecimal digits, where "E" is a digit.
bool HasHexPrefix(std::string_view operand) {
    if (!operand.empty() && operand[0] == kNegation) operand.remove_prefix(1);
    return operand.starts_with('$') || operand.starts_with("0x");
}

struct Term {
    std::string text;
    bool isOperator = false;
};

// Cuts a text into operand, operator, operand, ... (operands may be empty).
std::vector<Term> CutIntoTerms(std::string_view text, char separator) {
    std::vector<Term> terms;
    std::string operand;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        bool keepInOperand = !IsOperator(c) ||
                             (IsExponentSign(text, i, separator) && !HasHexPrefix(operand));
        if (keepInOperand) {
            operand += c;
        } else {
            terms.push_back({std::move(operand), false});
            operand.clear();
            terms.push_back({std::string(1, c), true});
        }
    }
    terms.push_back({std::move(operand), false});
    return terms;
}

bool OperatorOfLevel(const Term& term, int level) {
    if (!term.isOperator) return false;
    switch (term.text[0]) {
        case '^': return level == 1;
        case '*': case '/': case ':': return level == 2;
        default: return level == 3;
    }
}

// Mutates the text: every unary minus becomes "!".
void MarkUnaryMinus(std::string& text) {
    if (text.empty()) return;
    if (text[0] == '-') text[0] = kNegation;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '-' && IsOperatorContext(text[i - 1])) text[i] = kNegation;
    }
}

// Replaces the group whose "(" is at `pos` by its value, unless another
// group opens inside it, and subtracts the parentheses it removes from
// `parentheses`. False when its contents fail.
bool ReplaceGroupAt(std::string& text, size_t pos, char separator, size_t& parentheses) {
    size_t stop = text.find_first_of("()", pos + 1);
    if (stop != std::string::npos && text[stop] == '(') return true;  // not innermost
    size_t end = stop == std::string::npos ? text.size() : stop;
    std::string inner = text.substr(pos + 1, end - pos - 1);
    text.erase(pos, (stop == std::string::npos ? end : end + 1) - pos);
    parentheses -= stop == std::string::npos ? 1 : 2;

    std::optional<double> value = EvaluateFlat(inner, separator);
    if (!value) return false;
    std::string number = FormatDecimal(*value, separator);
    if (number[0] == '-') number[0] = kNegation;
    text.insert(pos, number);
    return true;
}

// Resolves parenthesised groups in passes until none is left, then
// evaluates the whole text.
std::optional<double> EvaluateGroups(std::string text, char separator) {
    std::string snapshot = text;
    // The scan position counts characters from 1; 0 stands before the first.
    size_t scan = 0;
    size_t parentheses = static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return c == '(' || c == ')';
    }));
    while (!text.empty()) {
        // While a parenthesis remains the whole text cannot evaluate (the
        // parenthesis ends up in an operand's name), so it is not tried; once
        // none remains, nothing changes the text any more.
        if (parentheses == 0) return EvaluateFlat(text, separator);
        if (scan >= text.size()) {
            if (text == snapshot) return std::nullopt;  // the pass replaced nothing
            snapshot = text;
            scan = 0;
        }
        if (scan > 0 && text[scan - 1] == '(') {
            if (!ReplaceGroupAt(text, scan - 1, separator, parentheses)) return std::nullopt;
        }
        ++scan;
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> EvaluateOperand(std::string_view text, char separator) {
    bool negative = !text.empty() && text[0] == kNegation;
    if (negative) text.remove_prefix(1);

    std::optional<std::string> resolved = ResolveRadixNotation(text, separator);
    if (!resolved) return std::nullopt;
    std::string operand = negative ? "-" + *resolved : *resolved;
    if (operand.empty()) return std::nullopt;

    // Digits and number characters form the number, all else the name, each
    // in its order wherever they stand.
    std::string number;
    std::string name;
    for (size_t i = 0; i < operand.size(); ++i) {
        char c = operand[i];
        if (IsNumberChar(c) || IsExponentSign(operand, i, separator)) {
            number += c;
        } else {
            name += ToUpperAscii(c);
        }
    }

    // A unary minus before a negative group value ("-(2-5)" arrives as
    // "!!3", "-SIN(0-1)" as "!SIN!1"): the two signs cancel.
    bool negativeNumber = false;
    if (number.starts_with("-!")) {
        number.erase(0, 2);
    } else if (!number.empty() && number[0] == kNegation) {
        negativeNumber = true;
        number.erase(0, 1);
    }
    std::optional<long double> parsed = ParseDecimal(number, separator);
    if (!parsed) return std::nullopt;
    std::optional<double> value = StoreDouble(negativeNumber ? -*parsed : *parsed);
    if (!value) return std::nullopt;
    return ApplyFunction(name, *value);
}

std::optional<double> EvaluateFlat(std::string_view text, char separator) {
    ++g_flatEvaluations;
    std::vector<Term> terms = CutIntoTerms(text, separator);
    for (int level = 1; level <= 3; ++level) {
        size_t cursor = 0;
        while (cursor < terms.size()) {
            if (cursor + 1 < terms.size() && OperatorOfLevel(terms[cursor + 1], level)) {
                if (cursor + 2 >= terms.size()) return std::nullopt;
                std::optional<double> left = EvaluateOperand(terms[cursor].text, separator);
                if (!left) return std::nullopt;
                std::optional<double> right = EvaluateOperand(terms[cursor + 2].text, separator);
                if (!right) return std::nullopt;
                std::optional<double> result = ApplyOperator(terms[cursor + 1].text[0], *left, *right);
                if (!result) return std::nullopt;
                terms[cursor].text = FormatDecimal(*result, separator);
                terms.erase(terms.begin() + static_cast<std::ptrdiff_t>(cursor) + 1,
                            terms.begin() + static_cast<std::ptrdiff_t>(cursor) + 3);
            } else {
                ++cursor;
            }
        }
    }
    return EvaluateOperand(terms.front().text, separator);
}

std::optional<double> EvaluateExpression(std::string_view text, char separator) {
    const ExtendedPrecisionScope precision;
    if (text.empty() || text.size() > kMaxExpressionLength || text == "-") return std::nullopt;
    std::string marked(text);
    MarkUnaryMinus(marked);
    if (IsOperatorContext(marked.back())) return std::nullopt;
    auto opening = std::count(marked.begin(), marked.end(), '(');
    auto closing = std::count(marked.begin(), marked.end(), ')');
    if (opening != closing) return std::nullopt;
    if (opening == 0) return EvaluateFlat(marked, separator);
    return EvaluateGroups(std::move(marked), separator);
}

uint64_t FlatEvaluationCount() { return g_flatEvaluations; }

std::optional<double> EvaluateExpression(const char* text, char separator) {
    return EvaluateExpression(std::string_view(text ? text : ""), separator);
}

}  // namespace calc
