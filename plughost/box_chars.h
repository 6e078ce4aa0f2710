// The console's OEM box-drawing bytes that the plugins draw with, shown as
// the matching Unicode characters on UTF-8 output.
#pragma once

#include <string>

namespace plughost {

// 0xC4 ─, 0xB3 │, 0xC2 ┬, 0xC1 ┴, 0xDB █, 0xB0 ░ become their UTF-8 forms;
// every other byte is kept.
std::string RenderBoxChars(const std::string& text);

}  // namespace plughost
