// A panel that shows what a plugin opened: its title and its items.
#pragma once

#include "plugin.h"
#include "tui/view_panel.h"

namespace plughost::tui {

class PluginPanel : public ViewPanel {
public:
    // `enter` is called before every call into the plugin (the host notes
    // whose help file F1 reads). Reads the plugin's items at once.
    PluginPanel(Plugin& plugin, host::PanelHandle handle, std::function<void()> repaint,
                std::function<void(Plugin&)> enter);

    bool Update(bool keepSelection) override;
    std::string Title() const override { return title_; }
    // The plugin's folder; a panel on a file with no folder of its own (a
    // storage) reports that file, so that a plugin writing "into the other
    // panel" writes into it, as copying onto the panel does.
    std::string Directory() const override { return directory_.empty() ? hostFile_ : directory_; }
    bool IsPlugin() const override { return true; }

    Plugin& GetPlugin() { return plugin_; }
    host::PanelHandle Handle() const { return handle_; }
    // The file the plugin opened the panel on (empty when it names none).
    const std::string& HostFile() const { return hostFile_; }
    // Sends the idle event.
    void Idle();
    // ClosePlugin; the panel is not used afterwards.
    void Close();

private:
    std::vector<host::PanelItem> Read();

    Plugin& plugin_;
    host::PanelHandle handle_;
    std::function<void(Plugin&)> enter_;
    std::string title_, directory_, hostFile_;
    bool closed_ = false;
};

}  // namespace plughost::tui
