// File name matching with wildcards, as HostMatchName offers it to plugins.
#pragma once

#include <string_view>

namespace plughost {

// '*' matches any run of characters (also none), '?' exactly one; other
// characters match ignoring ASCII letter case. With skipPath, only the part
// of `name` after its last '/' or '\' is matched.
bool MatchName(std::string_view pattern, std::string_view name, bool skipPath);

}  // namespace plughost
