#include "plugin_panel.h"

#include <cstring>
#include <filesystem>

#include "platform/platform.h"

namespace plughost {

namespace {

// The first kOfferedBytes of the file; empty when it cannot be read.
std::vector<unsigned char> FirstBytes(const std::string& path) {
    std::vector<unsigned char> data(kOfferedBytes);
    platform::Stream* stream = platform::os().Open(path, "rb");
    if (stream == nullptr) return {};
    size_t got = 0;
    while (got < data.size()) {
        const size_t n = stream->Read(data.data() + got, data.size() - got);
        if (n == 0) break;
        got += n;
    }
    platform::os().Close(stream);
    data.resize(got);
    return data;
}

}  // namespace

std::unique_ptr<PluginPanel> PluginPanel::Open(Host& host, const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    std::string full = ec ? path : absolute.string();
    // Only an existing regular file is offered: a plugin may take a name
    // that does not exist for a new file and create it, and a FIFO or a
    // device could block the reads.
    std::error_code statError;
    const auto status = std::filesystem::status(full, statError);
    if (!std::filesystem::exists(status)) {
        host.Log() << "plughost: no such file: " << path << "\n";
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(status)) {
        host.Log() << "plughost: not a regular file: " << path << "\n";
        return nullptr;
    }
    const std::vector<unsigned char> data = FirstBytes(full);
    for (const auto& plugin : host.Plugins()) {
        const host::OpenFilePluginFn open = plugin->Exports().openFilePlugin;
        if (open == nullptr) continue;
        std::vector<char> name(full.begin(), full.end());
        name.push_back('\0');
        const host::PanelHandle handle = open(name.data(), data.data(), static_cast<int>(data.size()));
        if (handle != host::kInvalidHandle) return std::unique_ptr<PluginPanel>(new PluginPanel(host, *plugin, handle));
    }
    return nullptr;
}

PluginPanel::PluginPanel(Host& host, Plugin& plugin, host::PanelHandle handle)
    : host_(host), plugin_(plugin), handle_(handle) {
    host_.BindPanelHandle(handle_, this);
}

PluginPanel::~PluginPanel() {
    host_.UnbindPanelHandle(handle_);
    if (plugin_.Exports().closePlugin != nullptr) plugin_.Exports().closePlugin(handle_);
}

std::string PluginPanel::Title() {
    host::OpenPanelDescription info{};
    if (plugin_.Exports().getOpenPluginInfo != nullptr) plugin_.Exports().getOpenPluginInfo(handle_, &info);
    return info.panelTitle != nullptr ? info.panelTitle : "";
}

std::vector<PluginPanel::Item> PluginPanel::Items() {
    std::vector<Item> items;
    host::PanelItem* array = nullptr;
    int count = 0;
    if (plugin_.Exports().getFindData == nullptr || !plugin_.Exports().getFindData(handle_, &array, &count, 0)) {
        return items;
    }
    for (int i = 0; i < count; ++i) {
        const host::FindData& f = array[i].findData;
        items.push_back({std::string(f.fileName, strnlen(f.fileName, sizeof f.fileName)),
                         (static_cast<uint64_t>(f.sizeHigh) << 32) | f.sizeLow});
    }
    return items;
}

void PluginPanel::Idle() {
    if (plugin_.Exports().processEvent != nullptr) plugin_.Exports().processEvent(handle_, host::kEventIdle, nullptr);
}

bool PluginPanel::TakeUpdateRequest() {
    const bool requested = updateRequested_;
    updateRequested_ = false;
    return requested;
}

bool PluginPanel::FillState(host::PanelState* state) {
    host::PanelItem* array = nullptr;
    int count = 0;
    state_.clear();
    if (plugin_.Exports().getFindData != nullptr && plugin_.Exports().getFindData(handle_, &array, &count, 0)) {
        state_.assign(array, array + count);
    }
    std::memset(state, 0, sizeof *state);
    state->plugin = 1;
    state->panelItems = state_.data();
    state->itemsNumber = static_cast<int>(state_.size());
    return true;
}

bool PluginPanel::ApplySelection(const host::PanelState& /*state*/) { return true; }

bool PluginPanel::Update(bool /*keepSelection*/) {
    ++updates_;
    updateRequested_ = true;
    return true;
}

bool PluginPanel::Redraw(const host::PanelPosition* /*position*/) {
    ++redraws_;
    return true;
}

void PrintListing(PluginPanel& panel, std::ostream& out) {
    out << "title\t" << panel.Title() << "\n";
    for (const PluginPanel::Item& item : panel.Items()) out << "item\t" << item.name << "\t" << item.size << "\n";
    out.flush();
}

void WatchPanel(PluginPanel& panel, std::ostream& out, const std::function<bool()>& keepGoing, unsigned intervalMs) {
    while (keepGoing()) {
        platform::os().Sleep(intervalMs);
        panel.Idle();
        if (panel.TakeUpdateRequest()) PrintListing(panel, out);
    }
}

}  // namespace plughost
