// A panel over one folder of the file system: its entries (directories first,
// then files, each in name order) with a selection, a current and a top item.
#pragma once

#include <string>
#include <vector>

#include "panel.h"

namespace plughost {

class DirectoryPanel : public Panel {
public:
    // Lists `directory` at once; an unreadable folder gives an empty panel.
    explicit DirectoryPanel(std::string directory);

    bool FillState(host::PanelState* state) override;
    bool ApplySelection(const host::PanelState& state) override;
    bool Update(bool keepSelection) override;
    bool Redraw(const host::PanelPosition* position) override;

    const std::string& Directory() const { return directory_; }
    int ItemCount() const { return static_cast<int>(items_.size()); }
    const host::PanelItem& Item(int index) const { return items_[static_cast<size_t>(index)]; }
    std::string ItemName(int index) const { return items_[static_cast<size_t>(index)].findData.fileName; }
    int IndexOf(const std::string& name) const;  // -1 when absent

    // Selects or unselects the item of that name; false when there is none.
    bool Select(const std::string& name, bool selected = true);
    bool IsSelected(int index) const;
    std::vector<std::string> SelectedNames() const;

    int CurrentItem() const { return currentItem_; }
    int TopItem() const { return topItem_; }
    int UpdateCount() const { return updates_; }
    int RedrawCount() const { return redraws_; }

private:
    void Read();

    std::string directory_;
    std::vector<host::PanelItem> items_;  // kItemSelected in flags marks the selection
    std::vector<host::PanelItem> stateItems_;
    std::vector<host::PanelItem> stateSelected_;
    int currentItem_ = 0;
    int topItem_ = 0;
    int updates_ = 0;
    int redraws_ = 0;
};

}  // namespace plughost
