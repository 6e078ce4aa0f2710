// Reading the numbers users type into dialog fields.
#pragma once

#include <cstdint>

namespace vexil {

// Leading blanks and one sign are allowed; reading stops at the first other
// character; a text without digits gives 0. Values beyond 32 bits are clamped.
int32_t ReadDecimal(const char* text);

// A lines-per-section field: its decimal value, raised to 1 when below.
int32_t LinesPerSectionFromText(const char* text);

}  // namespace vexil
