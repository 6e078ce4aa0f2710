#include "platform/process_env.h"

#include <stdlib.h>
#include <windows.h>

namespace platform {

// Windows has no file-size signal: such a write fails by itself.
void FailWritesPastSizeLimit() {}

bool StdinIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// Through the C runtime, so that getenv sees the new value too.
bool SetEnv(const std::string& name, const std::string& value) {
    return _putenv_s(name.c_str(), value.c_str()) == 0;
}

}  // namespace platform
