#include "host.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "directory_panel.h"
#include "platform/platform.h"

namespace plughost {

namespace fs = std::filesystem;

#if defined(_WIN32)
const char kPluginExtension[] = ".dll";
#else
const char kPluginExtension[] = ".so";
#endif

namespace {

std::atomic<Host*> g_current{nullptr};

bool HasPluginExtension(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return ext == kPluginExtension;
}

std::vector<fs::path> SortedEntries(const fs::path& dir, bool directories) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError) == directories) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

Host::Host(Ui& ui, std::ostream& log) : ui_(&ui), log_(log) { g_current = this; }

Ui& Host::ReplaceUi(Ui& ui) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Ui& previous = *ui_;
    ui_ = &ui;
    return previous;
}

Host::~Host() {
    // Panels first: a panel over a plugin's storage may still call into the plugin.
    std::unique_ptr<Panel> active, passive;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        handles_.clear();
        active = std::move(active_);
        passive = std::move(passive_);
    }
    active.reset();
    passive.reset();
    while (!plugins_.empty()) plugins_.pop_back();
    Host* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

Host* Host::Current() { return g_current; }

int Host::LoadPlugins(const std::string& dir) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        log_ << "plughost: plugins folder " << dir << " does not exist\n";
        return 0;
    }
    int loaded = 0;
    for (const fs::path& folder : SortedEntries(dir, true))
        for (const fs::path& file : SortedEntries(folder, false))
            if (HasPluginExtension(file) && LoadPlugin(file.string()) != nullptr) ++loaded;
    return loaded;
}

Plugin* Host::LoadPlugin(const std::string& libraryPath) {
    std::string error, warning;
    std::unique_ptr<Plugin> plugin =
        Plugin::Load(libraryPath, static_cast<int>(plugins_.size()), &error, &warning);
    if (!warning.empty()) log_ << "plughost: " << warning << "\n";
    if (!plugin) {
        log_ << "plughost: " << error << "\n";
        return nullptr;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        plugins_.push_back(std::move(plugin));
    }
    Plugin* started = plugins_.back().get();
    started->Start();
    return started;
}

Plugin* Host::PluginByNumber(int moduleNumber) {
    if (moduleNumber < 0 || static_cast<size_t>(moduleNumber) >= plugins_.size()) return nullptr;
    return plugins_[static_cast<size_t>(moduleNumber)].get();
}

Plugin* Host::FindPlugin(const std::string& name) {
    for (const auto& plugin : plugins_)
        if (plugin->Name() == name || plugin->FileName() == name) return plugin.get();
    return nullptr;
}

Panel& Host::ActivePanel() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (!active_) active_ = std::make_unique<DirectoryPanel>(platform::os().GetCurrentDir());
    return *active_;
}

Panel& Host::PassivePanel() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (!passive_) passive_ = std::make_unique<DirectoryPanel>(platform::os().GetCurrentDir());
    return *passive_;
}

std::unique_ptr<Panel> Host::SetActivePanel(std::unique_ptr<Panel> panel) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::swap(active_, panel);
    return panel;
}

std::unique_ptr<Panel> Host::SetPassivePanel(std::unique_ptr<Panel> panel) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::swap(passive_, panel);
    return panel;
}

void Host::SwapPanels() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::swap(active_, passive_);
}

void Host::BindPanelHandle(host::PanelHandle handle, Panel* panel) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    handles_[handle] = panel;
}

void Host::UnbindPanelHandle(host::PanelHandle handle) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    handles_.erase(handle);
}

Panel* Host::ResolvePanel(host::PanelHandle handle) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (handle == host::kInvalidHandle) return &ActivePanel();
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : it->second;
}

Panel& Host::OtherPanel(const Panel* panel) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return panel == &ActivePanel() ? PassivePanel() : ActivePanel();
}

}  // namespace plughost
