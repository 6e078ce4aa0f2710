#include "directory_panel.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace plughost {

namespace fs = std::filesystem;

namespace {

// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

host::FileTime ToFileTime(fs::file_time_type time) {
    const auto sinceUnix = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(time).time_since_epoch());
    const int64_t seconds = std::max<int64_t>(0, sinceUnix.count());
    const uint64_t value = kUnixEpochAsFileTime + static_cast<uint64_t>(seconds) * 10000000ULL;
    return host::FileTime{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)};
}

host::PanelItem MakeItem(const fs::directory_entry& entry) {
    host::PanelItem item{};
    std::error_code ec;
    const std::string name = entry.path().filename().string();
    std::strncpy(item.findData.fileName, name.c_str(), sizeof item.findData.fileName - 1);
    if (entry.is_directory(ec)) {
        item.findData.attributes = host::kAttrDirectory;
    } else {
        item.findData.attributes = host::kAttrArchive;
        const uint64_t size = entry.file_size(ec);
        if (!ec) {
            item.findData.sizeLow = static_cast<uint32_t>(size);
            item.findData.sizeHigh = static_cast<uint32_t>(size >> 32);
        }
    }
    const auto written = entry.last_write_time(ec);
    if (!ec) item.findData.lastWriteTime = ToFileTime(written);
    return item;
}

bool IsDir(const host::PanelItem& item) { return (item.findData.attributes & host::kAttrDirectory) != 0; }

}  // namespace

DirectoryPanel::DirectoryPanel(std::string directory) : directory_(std::move(directory)) { Read(); }

void DirectoryPanel::Read() {
    items_.clear();
    std::error_code ec;
    for (fs::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec))
        items_.push_back(MakeItem(*it));
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
