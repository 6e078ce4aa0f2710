// A panel that shows what a plugin opened from a file (OpenFilePlugin): its
// title and items come from the plugin's exports, and the plugin's requests
// to re-read or redraw it (HostControl) are counted so that commands can
// follow a panel that changes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host.h"
#include "panel.h"

namespace plughost {

// Bytes of the file handed to OpenFilePlugin (fewer when the file is shorter).
constexpr size_t kOfferedBytes = 131072;

class PluginPanel : public Panel {
public:
    struct Item {
        std::string name;
        uint64_t size;
    };

    // Offers the file to every plugin that exports OpenFilePlugin, in load
    // order, with its full path and first bytes; null when none takes it.
    static std::unique_ptr<PluginPanel> Open(Host& host, const std::string& path);
    // Closes the plugin's panel (ClosePlugin).
    ~PluginPanel() override;
    PluginPanel(const PluginPanel&) = delete;
    PluginPanel& operator=(const PluginPanel&) = delete;

    Plugin& Owner() { return plugin_; }
    host::PanelHandle Handle() const { return handle_; }
    std::string Title();        // GetOpenPluginInfo
    std::vector<Item> Items();  // GetFindData, in panel order
    // Sends the idle event (ProcessEvent).
    void Idle();
    // True once after the plugin asked the host to re-read the panel.
    bool TakeUpdateRequest();
    int Updates() const { return updates_; }
    int Redraws() const { return redraws_; }

    bool FillState(host::PanelState* state) override;
    bool ApplySelection(const host::PanelState& state) override;
    bool Update(bool keepSelection) override;
    bool Redraw(const host::PanelPosition* position) override;

private:
    PluginPanel(Host& host, Plugin& plugin, host::PanelHandle handle);

    Host& host_;
    Plugin& plugin_;
    host::PanelHandle handle_;
    std::vector<host::PanelItem> state_;
    int updates_ = 0;
    int redraws_ = 0;
    bool updateRequested_ = false;
};

// "title\t<title>" and one "item\t<name>\t<size>" line per item.
void PrintListing(PluginPanel& panel, std::ostream& out);

// The watch loop: every `intervalMs` an idle event, and the listing again
// whenever the plugin asked to re-read the panel, while keepGoing() holds.
void WatchPanel(PluginPanel& panel, std::ostream& out, const std::function<bool()>& keepGoing,
                unsigned intervalMs = 200);

}  // namespace plughost
