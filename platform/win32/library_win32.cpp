// Win32 shared library loading: LoadLibraryA and friends only.
#include "../library.h"

#include <windows.h>

namespace platform {

namespace {
thread_local std::string g_lastError;
}

Library* OpenLibrary(const std::string& path) {
    HMODULE module = ::LoadLibraryA(path.c_str());
    if (!module) g_lastError = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<Library*>(module);
}

void* FindSymbol(Library* library, const char* name) {
    if (!library) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void CloseLibrary(Library* library) {
    if (library) ::FreeLibrary(reinterpret_cast<HMODULE>(library));
}

std::string LastLoadError() { return g_lastError; }

}  // namespace platform
