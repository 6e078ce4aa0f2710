#include "directory_panel.h"

#include "folder_listing.h"

#include <algorithm>
#include <cstring>

namespace plughost {

namespace {

bool IsDir(const host::PanelItem& item) { return (item.findData.attributes & host::kAttrDirectory) != 0; }

}  // namespace

DirectoryPanel::DirectoryPanel(std::string directory) : directory_(std::move(directory)) { Read(); }

void DirectoryPanel::Read() {
    items_ = ListFolder(directory_);
    std::sort(items_.begin(), items_.end(), [](const host::PanelItem& a, const host::PanelItem& b) {
        if (IsDir(a) != IsDir(b)) return IsDir(a);
        return std::strcmp(a.findData.fileName, b.findData.fileName) < 0;
    });
    const int last = std::max(0, ItemCount() - 1);
    currentItem_ = std::clamp(currentItem_, 0, last);
    topItem_ = std::clamp(topItem_, 0, currentItem_);
}

int DirectoryPanel::IndexOf(const std::string& name) const {
    for (int i = 0; i < ItemCount(); ++i)
        if (name == items_[static_cast<size_t>(i)].findData.fileName) return i;
    return -1;
}

bool DirectoryPanel::Select(const std::string& name, bool selected) {
    const int index = IndexOf(name);
    if (index < 0) return false;
    uint32_t& flags = items_[static_cast<size_t>(index)].flags;
    flags = selected ? (flags | host::kItemSelected) : (flags & ~host::kItemSelected);
    return true;
}

bool DirectoryPanel::IsSelected(int index) const {
    return (items_[static_cast<size_t>(index)].flags & host::kItemSelected) != 0;
}

std::vector<std::string> DirectoryPanel::SelectedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < ItemCount(); ++i)
        if (IsSelected(i)) names.push_back(ItemName(i));
    return names;
}

bool DirectoryPanel::FillState(host::PanelState* state) {
    stateItems_ = items_;
    stateSelected_.clear();
    for (const host::PanelItem& item : items_)
        if (item.flags & host::kItemSelected) stateSelected_.push_back(item);
    *state = host::PanelState{};
    state->panelItems = stateItems_.data();
    state->itemsNumber = static_cast<int>(stateItems_.size());
    state->selectedItems = stateSelected_.data();
    state->selectedItemsNumber = static_cast<int>(stateSelected_.size());
    state->currentItem = currentItem_;
    state->topPanelItem = topItem_;
    state->visible = 1;
    std::strncpy(state->currentDir, directory_.c_str(), sizeof state->currentDir - 1);
    return true;
}

bool DirectoryPanel::ApplySelection(const host::PanelState& state) {
    if (state.panelItems == nullptr) return false;
    for (int i = 0; i < state.itemsNumber; ++i) {
        const host::PanelItem& given = state.panelItems[i];
        // Items are matched by name, so a state filled before an Update still applies.
        const int index = IndexOf(given.findData.fileName);
        if (index >= 0) Select(given.findData.fileName, (given.flags & host::kItemSelected) != 0);
    }
    return true;
}

bool DirectoryPanel::Update(bool keepSelection) {
    const std::vector<std::string> selected = SelectedNames();
    Read();
    if (keepSelection)
        for (const std::string& name : selected) Select(name);
    ++updates_;
    return true;
}

bool DirectoryPanel::Redraw(const host::PanelPosition* position) {
    if (position != nullptr) {
        const int last = std::max(0, ItemCount() - 1);
        currentItem_ = std::clamp(position->currentItem, 0, last);
        topItem_ = std::clamp(position->topPanelItem, 0, currentItem_);
    }
    ++redraws_;
    return true;
}

}  // namespace plughost
