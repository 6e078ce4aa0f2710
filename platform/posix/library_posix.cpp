// POSIX shared library loading: dlopen and friends only.
#include "../library.h"

#include <dlfcn.h>

namespace platform {

namespace {
thread_local std::string g_lastError;
}

Library* OpenLibrary(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* e = dlerror();
        g_lastError = e ? e : "cannot load " + path;
    }
    return static_cast<Library*>(handle);
}

void* FindSymbol(Library* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

void CloseLibrary(Library* library) {
    if (library) dlclose(library);
}

std::string LastLoadError() { return g_lastError; }

}  // namespace platform
