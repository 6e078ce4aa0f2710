#include "vexil/frame/decimal_text.h"

namespace vexil {

int32_t ReadDecimal(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT32_MAX) value = int64_t{INT32_MAX} + 1;  // stays clamped below
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t LinesPerSectionFromText(const char* text) {
    const int32_t lines = ReadDecimal(text);
    return lines < 1 ? 1 : lines;
}

}  // namespace vexil
