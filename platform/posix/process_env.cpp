#include "platform/process_env.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdlib.h>
#include <unistd.h>

namespace platform {

void FailWritesPastSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

std::string LastErrorText() { return errno != 0 ? std::strerror(errno) : ""; }

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool SetEnv(const std::string& name, const std::string& value) {
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

}  // namespace platform
