// F3: a text pager over one file. Lines are shown as UTF-8 when the file is
// UTF-8 and byte by byte in the OEM code page (as Unicode) otherwise; tabs
// expand to 8 columns. Arrows, PgUp, PgDn, Home and End scroll; F7 or '/'
// asks for a text and 'n' finds the next line holding it (ASCII case
// ignored); Esc, F3 or F10 close.
#pragma once

#include <string>
#include <vector>

#include "screen.h"

namespace plughost::tui {

// Splits file bytes into the lines the viewer shows (CR LF, LF or CR end a line).
std::vector<std::u32string> ViewerLines(const std::string& bytes);

// The first line at or after `from` that holds `text`, -1 when none does.
int FindLine(const std::vector<std::u32string>& lines, const std::u32string& text, int from);

// Shows the file `path` titled `title`; false with `error` set when it cannot be read.
bool ViewFile(Screen& screen, const std::string& path, const std::string& title, std::string* error);

}  // namespace plughost::tui
