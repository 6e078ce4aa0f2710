// The help window: one topic, scrolled with the arrows and PgUp/PgDn.
#pragma once

#include <string>

#include "screen.h"

namespace plughost::tui {

// Shows `topic` from the screen's help source until Esc, Enter or F10;
// without such a topic a short notice says so. Nothing happens for an empty topic.
void ShowHelp(Screen& screen, const std::string& topic);

// Breaks a line into pieces of at most `width` characters at blanks.
std::vector<std::u32string> WrapLine(const std::u32string& line, int width);

}  // namespace plughost::tui
