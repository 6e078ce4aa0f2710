// Fuzz target for the expression evaluator: any bytes, any length, with
// both decimal separators. Besides not crashing, a successful evaluation
// must give a finite value whose displayed texts read back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calculator/decimal_text.h"
#include "calculator/radix_numbers.h"
#include "calculator/str2math.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool IsRadixText(const std::string& text, int radix) {
    if (text == calc::kOverflowText) return true;
    size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() < start + 2) return false;
    for (size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        int value = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
        if (value >= radix) return false;
    }
    return true;
}

void CheckEvaluation(std::string_view text, char separator) {
    std::optional<double> value = calc::EvaluateExpression(text, separator);
    if (!value) return;
    Require(text.size() <= calc::kMaxExpressionLength);
    Require(std::isfinite(*value));
    std::string shown = calc::FormatDecimal(*value, separator);
    std::optional<long double> back = calc::ParseDecimal(shown, separator);
    Require(back.has_value());
    Require(calc::FormatDecimal(*back, separator) == shown);
    for (int radix : {16, 8, 2}) Require(IsRadixText(calc::DecimalToRadix(shown, radix, separator), radix));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckEvaluation(text, '.');
    CheckEvaluation(text, ',');
    std::string terminated(text);
    (void)calc::EvaluateExpression(terminated.c_str(), '.');
    return 0;
}
