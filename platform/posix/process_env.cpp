#include "platform/process_env.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <stdlib.h>
#include <unistd.h>

#include "platform/posix/settings_file.h"

namespace platform {

void FailWritesPastSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

std::string LastErrorText() { return errno != 0 ? std::strerror(errno) : ""; }

std::string SettingsStoreSnapshot() {
    std::string text;
    FILE* file = std::fopen(SettingsFile::StorePath().c_str(), "rb");
    if (file == nullptr) return text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool SetEnv(const std::string& name, const std::string& value) {
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

}  // namespace platform
