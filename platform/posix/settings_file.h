// The POSIX settings store: one registry export text file, by default
// $XDG_CONFIG_HOME/plughost/registry.reg (else ~/.config/plughost/...),
// overridden by the environment variable PLUGHOST_REGISTRY.
//
// Every operation reads the file anew; every change rewrites it through a
// temporary file renamed over the old one, so a crash never leaves half a file.
// A store that is a symbolic link has its target rewritten (the link stays),
// and the rewritten file keeps the permission bits of the old one.
#pragma once

#include <cstdint>
#include <string>

#include "../platform.h"

namespace platform {

namespace SettingsFile {

// The file in use now.
std::string StorePath();

// Opens a key; with `create` the key is added when missing. Null when the
// key does not exist (and is not to be created) or cannot be written.
SettingsKey* Open(const std::string& keyPath, bool create);
bool Query(SettingsKey* key, const std::string& name, void* buffer, uint32_t* size);
bool SetDword(SettingsKey* key, const std::string& name, uint32_t value);
bool SetString(SettingsKey* key, const std::string& name, const std::string& value);
void Close(SettingsKey* key);

}  // namespace SettingsFile

}  // namespace platform
