// A panel over one folder of the file system.
#pragma once

#include <cstdint>

#include "tui/view_panel.h"

namespace plughost::tui {

class FolderPanel : public ViewPanel {
public:
    FolderPanel(std::string folder, std::function<void()> repaint);

    bool Update(bool keepSelection) override;
    std::string Title() const override { return folder_; }
    std::string Directory() const override { return folder_; }
    bool IsPlugin() const override { return false; }

    // Goes into a folder (a name in this one, or ".." for the parent); the
    // cursor lands on the folder just left when going up. False when the
    // folder cannot be read, with the OS's reason in LastError().
    bool Enter(const std::string& name);
    const std::string& LastError() const { return error_; }
    // Reads the folder again when its entries changed since the last read
    // (its last-write time moved); true when it did.
    bool RefreshIfChanged();
    const std::string& Folder() const { return folder_; }
    // The full path of an item of this folder.
    std::string PathOf(const std::string& name) const;

protected:
    std::string NotOfferable(const host::PanelItem& item) const override;

private:
    std::vector<host::PanelItem> Read(bool* ok);

    std::string folder_;
    std::string error_;
    int64_t stamp_ = 0;  // the folder's last-write time at the last read
};

}  // namespace plughost::tui
