// Process environment services for the plughost program.
#pragma once

#include <string>

namespace platform {

// True when standard input is an interactive terminal (console).
bool StdinIsTerminal();
// Sets an environment variable of this process (overwriting it); false on failure.
bool SetEnv(const std::string& name, const std::string& value);
// Makes a write past the process's file-size limit fail with an error that
// the caller handles, instead of a signal that ends the process mid-write.
void FailWritesPastSizeLimit();
// The text of the calling thread's last OS error ("Permission denied"), as
// the host shows it under a failure message; "" when there is none.
std::string LastErrorText();
// The settings store's whole content where it is a file of ours (POSIX), to
// tell whether something wrote to it; "" where the system keeps it.
std::string SettingsStoreSnapshot();

}  // namespace platform
