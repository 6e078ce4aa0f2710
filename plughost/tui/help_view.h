// The help window: one topic, scrolled with the arrows and PgUp/PgDn.
#pragma once

#include <string>

#include "screen.h"

namespace plughost::tui {

// The topic a plugin's help file opens with.
constexpr char kContentsTopic[] = "Contents";

// Shows `topic` from the screen's help source until Esc, Enter or F10
// (the contents topic for an empty one); without such a topic a short
// notice says so. Longer topics show where they are on the right frame and
// the paging keys on the bottom frame.
void ShowHelp(Screen& screen, const std::string& topic);

// Breaks a line into pieces of at most `width` characters at blanks.
std::vector<std::u32string> WrapLine(const std::u32string& line, int width);

}  // namespace plughost::tui
