// Loading shared libraries (plugins) at run time.
#pragma once

#include <string>

namespace platform {

struct Library;

// Loads the shared library at `path`; null on failure (see LastLoadError).
Library* OpenLibrary(const std::string& path);
// Address of an exported symbol, or null.
void* FindSymbol(Library* library, const char* name);
void CloseLibrary(Library* library);
// Text describing the last failure of OpenLibrary.
std::string LastLoadError();

}  // namespace platform
