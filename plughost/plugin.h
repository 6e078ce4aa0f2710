// One loaded plugin library: its exports, its language file and its module
// number (its index among the host's plugins, the first argument of the host
// operations it calls).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_interface.h"
#include "language_file.h"

namespace platform { struct Library; }

namespace plughost {

// The entry points a plugin may export; null for those it does not.
struct PluginExports {
    host::SetStartupInfoFn setStartupInfo = nullptr;
    host::GetPluginInfoFn getPluginInfo = nullptr;
    host::OpenPluginFn openPlugin = nullptr;
    host::ClosePluginFn closePlugin = nullptr;
    host::OpenFilePluginFn openFilePlugin = nullptr;
    host::GetOpenPluginInfoFn getOpenPluginInfo = nullptr;
    host::GetFindDataFn getFindData = nullptr;
    host::ProcessEventFn processEvent = nullptr;
    host::PutFilesFn putFiles = nullptr;
    host::GetFilesFn getFiles = nullptr;
    host::DeleteFilesFn deleteFiles = nullptr;
    host::ConfigureFn configure = nullptr;
};

// The menu strings a plugin reports through GetPluginInfo, copied.
struct PluginMenus {
    std::vector<std::string> pluginsMenu;
    std::vector<std::string> configMenu;
};

class Plugin {
public:
    // Loads the library and its language file (see FindLanguageFile). Null
    // with a reason in `error` when the library does not load or does not
    // export SetStartupInfo. A missing language file is not an error: the
    // plugin then gets empty texts, and `warning` says so.
    static std::unique_ptr<Plugin> Load(const std::string& libraryPath, int moduleNumber, std::string* error,
                                        std::string* warning);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    const std::string& Path() const { return path_; }
    std::string FileName() const;  // "vexil.so"
    std::string Name() const;      // "vexil"
    int ModuleNumber() const { return moduleNumber_; }
    const PluginExports& Exports() const { return exports_; }
    const LanguageFile& Language() const { return language_; }
    // The text of a message number; "" for numbers the language file lacks.
    const char* Message(int number) const;

    // Calls SetStartupInfo with the host's record for this plugin.
    void Start();
    // Calls GetPluginInfo (empty menus when it is not exported).
    PluginMenus GetMenus() const;

private:
    Plugin() = default;

    std::string path_;
    int moduleNumber_ = 0;
    platform::Library* library_ = nullptr;
    PluginExports exports_;
    LanguageFile language_;
    host::HostStartupInfo startupInfo_{};
};

}  // namespace plughost
