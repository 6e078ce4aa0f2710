#include "platform/process_env.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace platform {

// Windows has no file-size signal: such a write fails by itself.
void FailWritesPastSizeLimit() {}

std::string LastErrorText() {
    const DWORD code = GetLastError();
    if (code == 0) return errno != 0 ? strerror(errno) : "";
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   sizeof text, nullptr);
    std::string s(text, n);
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '.')) s.pop_back();
    return s.empty() ? "Error " + std::to_string(code) : s;
}

std::string SettingsStoreSnapshot() { return ""; }

bool StdinIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// Through the C runtime, so that getenv sees the new value too.
bool SetEnv(const std::string& name, const std::string& value) {
    return _putenv_s(name.c_str(), value.c_str()) == 0;
}

}  // namespace platform
