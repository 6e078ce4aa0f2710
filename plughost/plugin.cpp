#include "plugin.h"

#include <filesystem>

#include "host_operations.h"
#include "platform/library.h"

namespace plughost {

namespace {

template <typename Fn>
void Bind(platform::Library* library, const char* name, Fn* fn) {
    *fn = reinterpret_cast<Fn>(platform::FindSymbol(library, name));
}

}  // namespace

std::unique_ptr<Plugin> Plugin::Load(const std::string& libraryPath, int moduleNumber, std::string* error,
                                     std::string* warning) {
    platform::Library* library = platform::OpenLibrary(libraryPath);
    if (library == nullptr) {
        *error = "cannot load " + libraryPath + ": " + platform::LastLoadError();
        return nullptr;
    }
    std::unique_ptr<Plugin> plugin(new Plugin);
    plugin->path_ = libraryPath;
    plugin->moduleNumber_ = moduleNumber;
    plugin->library_ = library;
    PluginExports& e = plugin->exports_;
    Bind(library, "SetStartupInfo", &e.setStartupInfo);
    Bind(library, "GetPluginInfo", &e.getPluginInfo);
    Bind(library, "OpenPlugin", &e.openPlugin);
    Bind(library, "ClosePlugin", &e.closePlugin);
    Bind(library, "OpenFilePlugin", &e.openFilePlugin);
    Bind(library, "GetOpenPluginInfo", &e.getOpenPluginInfo);
    Bind(library, "GetFindData", &e.getFindData);
    Bind(library, "ProcessEvent", &e.processEvent);
    Bind(library, "PutFiles", &e.putFiles);
    Bind(library, "GetFiles", &e.getFiles);
    Bind(library, "DeleteFiles", &e.deleteFiles);
    Bind(library, "Configure", &e.configure);
    if (e.setStartupInfo == nullptr) {
        *error = libraryPath + " does not export SetStartupInfo";
        return nullptr;
    }
    const std::string lng = FindLanguageFile(libraryPath);
    std::string reason;
    if (lng.empty())
        *warning = "no language file beside " + libraryPath;
    else if (!ReadLanguageFile(lng, &plugin->language_, &reason))
        *warning = lng + ": " + reason;
    plugin->startupInfo_ = MakeStartupInfo(moduleNumber, libraryPath);
    return plugin;
}

Plugin::~Plugin() {
    if (library_ != nullptr) platform::CloseLibrary(library_);
}

std::string Plugin::FileName() const { return std::filesystem::path(path_).filename().string(); }

std::string Plugin::Name() const { return std::filesystem::path(path_).stem().string(); }

const char* Plugin::Message(int number) const {
    if (number < 0 || static_cast<size_t>(number) >= language_.messages.size()) return "";
    return language_.messages[static_cast<size_t>(number)].c_str();
}

void Plugin::Start() { exports_.setStartupInfo(&startupInfo_); }

PluginMenus Plugin::GetMenus() const {
    PluginMenus menus;
    if (exports_.getPluginInfo == nullptr) return menus;
    host::PluginMenuInfo info{};
    info.structSize = sizeof info;
    exports_.getPluginInfo(&info);
    for (int i = 0; i < info.pluginMenuStringsNumber; ++i)
        menus.pluginsMenu.emplace_back(info.pluginMenuStrings[i] ? info.pluginMenuStrings[i] : "");
    for (int i = 0; i < info.pluginConfigStringsNumber; ++i)
        menus.configMenu.emplace_back(info.pluginConfigStrings[i] ? info.pluginConfigStrings[i] : "");
    return menus;
}

}  // namespace plughost
