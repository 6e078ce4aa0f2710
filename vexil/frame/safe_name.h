// Names read from encoded text become file names only through SafeName: the
// text is not trusted, and nothing may be written outside the folder chosen.
#pragma once

#include <string>

namespace vexil {

// The file name an encoded file is extracted to: the last component of
// `name` (after any '/', '\\' or drive "X:"), with control characters and
// the wildcards '*' and '?' replaced by '_'. With `windowsRules` also the
// characters < > : " | become '_', trailing dots and blanks are dropped, and
// a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension) gets
// a leading '_'. An empty result, "." or ".." becomes "_".
std::string SafeName(const std::string& name, bool windowsRules);

// SafeName with the rules of the platform the plugin was built for.
std::string SafeName(const std::string& name);

}  // namespace vexil
