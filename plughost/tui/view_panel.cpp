#include "view_panel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "match_name.h"
#include "platform/platform.h"
#include "tui/keys.h"

namespace plughost::tui {

host::PanelItem MakePanelItem(const std::string& name, bool folder, uint64_t size) {
    host::PanelItem item{};
    std::strncpy(item.findData.fileName, name.c_str(), sizeof item.findData.fileName - 1);
    item.findData.attributes = folder ? host::kAttrDirectory : host::kAttrArchive;
    item.findData.sizeLow = static_cast<uint32_t>(size);
    item.findData.sizeHigh = static_cast<uint32_t>(size >> 32);
    return item;
}

std::string FormatFileTime(const host::FileTime& time) {
    const uint64_t value = (static_cast<uint64_t>(time.high) << 32) | time.low;
    if (value == 0) return "";
    const platform::DateTime t = platform::os().FileTimeToLocal(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%02d %02d:%02d", t.day % 100, t.month % 100, t.year % 100,
                  t.hour % 100, t.minute % 100);
    return text;
}

std::string ViewPanel::Name(int index) const {
    if (index < 0 || index >= Count()) return "";
    return items_[static_cast<size_t>(index)].findData.fileName;
}

bool ViewPanel::IsUp(int index) const { return Name(index) == ".."; }

bool ViewPanel::IsFolder(int index) const {
    return index >= 0 && index < Count() &&
           (items_[static_cast<size_t>(index)].findData.attributes & host::kAttrDirectory) != 0;
}

bool ViewPanel::IsSelected(int index) const {
    return index >= 0 && index < Count() && (items_[static_cast<size_t>(index)].flags & host::kItemSelected) != 0;
}

void ViewPanel::MoveTo(const std::string& name) {
    for (int i = 0; i < Count(); ++i)
        if (Name(i) == name) {
            cursor_.current = i;
            cursor_.Clamp(Count(), pageRows_);
            return;
        }
}

void ViewPanel::ToggleCurrent() {
    const int i = cursor_.current;
    if (i >= 0 && i < Count() && !IsUp(i)) items_[static_cast<size_t>(i)].flags ^= host::kItemSelected;
    cursor_.Handle(key::kDown, Count(), pageRows_);
}

void ViewPanel::ClearSelection() {
    for (host::PanelItem& item : items_) item.flags &= ~host::kItemSelected;
}

void ViewPanel::Deselect(const std::string& name) {
    for (host::PanelItem& item : items_)
        if (name == item.findData.fileName) item.flags &= ~host::kItemSelected;
}

int ViewPanel::SelectMatching(const std::string& patterns, bool select) {
    std::vector<std::string> list;
    std::string current;
    for (char c : patterns + ";") {
        if (c == ',' || c == ';') {
            while (!current.empty() && current.back() == ' ') current.pop_back();
            if (!current.empty()) list.push_back(current);
            current.clear();
        } else if (!(c == ' ' && current.empty())) {
            current += c;
        }
    }
    int changed = 0;
    for (int i = 0; i < Count(); ++i) {
        if (IsUp(i)) continue;
        const std::string name = Name(i);
        bool match = false;
        for (const std::string& pattern : list) match = match || MatchName(pattern, name, false);
        if (!match || IsSelected(i) == select) continue;
        items_[static_cast<size_t>(i)].flags ^= host::kItemSelected;
        ++changed;
    }
    return changed;
}

void ViewPanel::InvertSelection() {
    for (int i = 0; i < Count(); ++i)
        if (!IsUp(i) && !IsFolder(i)) items_[static_cast<size_t>(i)].flags ^= host::kItemSelected;
}

bool ViewPanel::FindPrefix(const std::string& prefix) {
    auto fold = [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
    for (int i = 0; i < Count(); ++i) {
        const std::string name = Name(i);
        if (IsUp(i) || name.size() < prefix.size()) continue;
        bool same = true;
        for (size_t k = 0; k < prefix.size() && same; ++k) same = fold(name[k]) == fold(prefix[k]);
        if (same) {
            cursor_.current = i;
            cursor_.Clamp(Count(), pageRows_);
            return true;
        }
    }
    return false;
}

std::vector<host::PanelItem> ViewPanel::SelectedOrCurrent() const {
    std::vector<host::PanelItem> out;
    for (const host::PanelItem& item : items_)
        if (item.flags & host::kItemSelected) out.push_back(item);
    if (out.empty() && cursor_.current >= 0 && cursor_.current < Count() && !IsUp(cursor_.current))
        out.push_back(items_[static_cast<size_t>(cursor_.current)]);
    return out;
}

void ViewPanel::SetItems(std::vector<host::PanelItem> items, bool withUp, bool keepSelection) {
    std::set<std::string> selected;
    for (int i = 0; i < Count(); ++i)
        if (IsSelected(i)) selected.insert(Name(i));
    const std::string currentName = Name(cursor_.current);
    for (host::PanelItem& item : items) {
        item.flags &= ~host::kItemSelected;
        if (keepSelection && selected.count(item.findData.fileName)) item.flags |= host::kItemSelected;
    }
    // Folders first, then files, each in name order.
    std::stable_sort(items.begin(), items.end(), [](const host::PanelItem& a, const host::PanelItem& b) {
        const bool da = (a.findData.attributes & host::kAttrDirectory) != 0;
        const bool db = (b.findData.attributes & host::kAttrDirectory) != 0;
        if (da != db) return da;
        return std::strcmp(a.findData.fileName, b.findData.fileName) < 0;
    });
    if (withUp) items.insert(items.begin(), MakePanelItem("..", true));
    items_ = std::move(items);
    const int oldCurrent = cursor_.current;
    cursor_.current = -1;
    for (int i = 0; i < Count(); ++i)
        if (Name(i) == currentName) cursor_.current = i;
    if (cursor_.current < 0) cursor_.current = oldCurrent;
    cursor_.Clamp(Count(), pageRows_);
}

bool ViewPanel::FillState(host::PanelState* state) {
    if (refuseState_) {
        stateAsked_ = true;
        *state = host::PanelState{};
        return false;
    }
    stateItems_ = items_;
    stateSelected_.clear();
    // Only regular files (and folders) are handed over: a plugin reading a
    // FIFO or a device could block for good.
    for (const host::PanelItem& item : SelectedOrCurrent()) {
        const std::string why = NotOfferable(item);
        if (why.empty()) {
            stateSelected_.push_back(item);
        } else {
            const std::string note = std::string(item.findData.fileName) + " is " + why;
            if (std::find(leftOut_.begin(), leftOut_.end(), note) == leftOut_.end()) leftOut_.push_back(note);
        }
    }
    *state = host::PanelState{};
    state->plugin = IsPlugin() ? 1 : 0;
    state->panelItems = stateItems_.data();
    state->itemsNumber = static_cast<int>(stateItems_.size());
    state->selectedItems = stateSelected_.data();
    state->selectedItemsNumber = static_cast<int>(stateSelected_.size());
    state->currentItem = cursor_.current;
    state->topPanelItem = cursor_.top;
    state->visible = 1;
    // A folder longer than the record holds is left out, never cut.
    const std::string dir = Directory();
    if (dir.size() < sizeof state->currentDir) std::memcpy(state->currentDir, dir.c_str(), dir.size() + 1);
    return true;
}

bool ViewPanel::ApplySelection(const host::PanelState& state) {
    if (state.panelItems == nullptr) return false;
    for (int i = 0; i < state.itemsNumber; ++i) {
        const host::PanelItem& given = state.panelItems[i];
        for (host::PanelItem& item : items_)
            if (std::strcmp(item.findData.fileName, given.findData.fileName) == 0 &&
                std::strcmp(item.findData.fileName, "..") != 0)
                item.flags = (item.flags & ~host::kItemSelected) | (given.flags & host::kItemSelected);
    }
    return true;
}

bool ViewPanel::Redraw(const host::PanelPosition* position) {
    if (position != nullptr) {
        cursor_.current = position->currentItem;
        cursor_.top = position->topPanelItem;
        cursor_.Clamp(Count(), pageRows_);
    }
    RequestRepaint();
    return true;
}

void ViewPanel::Paint(Grid& grid, int x, int y, int width, int height, bool active) {
    pageRows_ = PanelListRows(height);
    cursor_.Clamp(Count(), pageRows_);
    std::vector<PanelEntry> entries;
    entries.reserve(items_.size());
    for (int i = 0; i < Count(); ++i) {
        const host::PanelItem& item = items_[static_cast<size_t>(i)];
        PanelEntry e;
        e.name = item.findData.fileName;
        e.directory = IsFolder(i);
        e.selected = IsSelected(i);
        e.size = (static_cast<uint64_t>(item.findData.sizeHigh) << 32) | item.findData.sizeLow;
        e.date = FormatFileTime(item.findData.lastWriteTime);
        entries.push_back(std::move(e));
    }
    PanelPaint paint{Title(), &entries, &cursor_, active};
    PaintPanel(grid, x, y, width, height, paint);
}

}  // namespace plughost::tui
