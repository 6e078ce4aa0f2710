// Reading a folder into panel items (name, directory attribute, size, last
// write time), as both the scripted and the interactive panels show it.
#pragma once

#include <string>
#include <vector>

#include "host/host_interface.h"

namespace plughost {

// The folder's entries in the order the OS gives them; `ok` (when given) is
// false when the folder cannot be read, and `error` (when given) the OS's reason.
std::vector<host::PanelItem> ListFolder(const std::string& folder, bool* ok = nullptr, std::string* error = nullptr);

}  // namespace plughost
