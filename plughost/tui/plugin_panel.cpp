#include "plugin_panel.h"

#include <cstring>

namespace plughost::tui {

namespace {

std::string Trim(const char* text) {
    std::string out = text != nullptr ? text : "";
    while (!out.empty() && out.back() == ' ') out.pop_back();
    while (!out.empty() && out.front() == ' ') out.erase(0, 1);
    return out;
}

}  // namespace

PluginPanel::PluginPanel(Plugin& plugin, host::PanelHandle handle, std::function<void()> repaint,
                         std::function<void(Plugin&)> enter)
    : ViewPanel(std::move(repaint)), plugin_(plugin), handle_(handle), enter_(std::move(enter)) {
    SetItems(Read(), true, false);
}

std::vector<host::PanelItem> PluginPanel::Read() {
    std::vector<host::PanelItem> items;
    if (closed_) return items;
    const PluginExports& e = plugin_.Exports();
    if (enter_) enter_(plugin_);
    if (e.getOpenPluginInfo != nullptr) {
        host::OpenPanelDescription info{};
        info.structSize = sizeof info;
        e.getOpenPluginInfo(handle_, &info);
        title_ = Trim(info.panelTitle);
        directory_ = info.curDir != nullptr ? info.curDir : "";
        hostFile_ = info.hostFile != nullptr ? info.hostFile : "";
        if (title_.empty()) title_ = plugin_.Name();
    }
    if (e.getFindData != nullptr) {
        host::PanelItem* found = nullptr;
        int count = 0;
        if (e.getFindData(handle_, &found, &count, 0) && found != nullptr)
            for (int i = 0; i < count; ++i) {
                host::PanelItem item = found[i];
                // Only the find data is kept: the plugin's own pointers stay its own.
                item.description = item.owner = nullptr;
                item.customColumnData = nullptr;
                item.customColumnNumber = 0;
                items.push_back(item);
            }
    }
    return items;
}

bool PluginPanel::Update(bool keepSelection) {
    SetItems(Read(), true, keepSelection);
    return true;
}

void PluginPanel::Idle() {
    if (closed_ || plugin_.Exports().processEvent == nullptr) return;
    if (enter_) enter_(plugin_);
    plugin_.Exports().processEvent(handle_, host::kEventIdle, nullptr);
}

void PluginPanel::Close() {
    if (closed_) return;
    closed_ = true;
    if (plugin_.Exports().closePlugin != nullptr) {
        if (enter_) enter_(plugin_);
        plugin_.Exports().closePlugin(handle_);
    }
}

}  // namespace plughost::tui
