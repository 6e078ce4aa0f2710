// A panel on the screen: the host-side Panel (what HostControl sees) plus
// what the user moves over: the items, the cursor and the selection.
// FolderPanel lists a folder of the file system, PluginPanel what a plugin
// shows. Item 0 is ".." where there is somewhere to go back to.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "panel.h"
#include "tui/panel_view.h"

namespace plughost::tui {

class ViewPanel : public Panel {
public:
    // `repaint` redraws the whole screen (the panels and what lies over them).
    explicit ViewPanel(std::function<void()> repaint) : repaint_(std::move(repaint)) {}

    bool FillState(host::PanelState* state) override;
    bool ApplySelection(const host::PanelState& state) override;
    bool Redraw(const host::PanelPosition* position) override;

    virtual std::string Title() const = 0;
    // The folder reported as the panel's current directory.
    virtual std::string Directory() const = 0;
    virtual bool IsPlugin() const = 0;

    // While refused, FillState hands out an empty state and notes that it was
    // asked (a plugin wanted this panel's items as files).
    void RefuseState(bool refuse) {
        refuseState_ = refuse;
        stateAsked_ = false;
    }
    bool StateWasRefused() const { return stateAsked_; }
    // Selected items FillState left out of the selection handed to a plugin
    // (files that are not regular), with what they are; since ForgetLeftOut.
    const std::vector<std::string>& LeftOut() const { return leftOut_; }
    void ForgetLeftOut() { leftOut_.clear(); }

    const std::vector<host::PanelItem>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    std::string Name(int index) const;
    bool IsUp(int index) const;
    bool IsFolder(int index) const;
    bool IsSelected(int index) const;

    PanelCursor& Cursor() { return cursor_; }
    int Current() const { return cursor_.current; }
    // Puts the cursor on the item of that name, if there is one.
    void MoveTo(const std::string& name);
    // Insert: flips the selection of the item under the cursor ("..": none) and steps down.
    void ToggleCurrent();
    void ClearSelection();
    void Deselect(const std::string& name);
    // Selects (or deselects) every item but ".." whose name matches one of
    // the wildcard patterns (separated by ',' or ';'); returns how many changed.
    int SelectMatching(const std::string& patterns, bool select);
    // Inverts the selection of the files (folders are left as they are).
    void InvertSelection();
    // Moves the cursor to the first item whose name starts with `prefix`
    // (ASCII letters in either case); false when there is none.
    bool FindPrefix(const std::string& prefix);
    // The selected items, or the item under the cursor when none is selected.
    std::vector<host::PanelItem> SelectedOrCurrent() const;

    // Rows of the list as last painted, for PgUp/PgDn.
    int PageRows() const { return pageRows_; }
    void Paint(Grid& grid, int x, int y, int width, int height, bool active);

protected:
    // Why an item may not be handed to a plugin as a file ("" when it may).
    virtual std::string NotOfferable(const host::PanelItem&) const { return ""; }
    // Replaces the items; with keepSelection, items still present stay
    // selected; the cursor stays on the same name where it can.
    void SetItems(std::vector<host::PanelItem> items, bool withUp, bool keepSelection);
    void RequestRepaint() {
        if (repaint_) repaint_();
    }

private:
    std::function<void()> repaint_;
    std::vector<host::PanelItem> items_;
    std::vector<host::PanelItem> stateItems_, stateSelected_;
    PanelCursor cursor_;
    int pageRows_ = 10;
    bool refuseState_ = false, stateAsked_ = false;
    std::vector<std::string> leftOut_;
};

// A panel item of the given name (a folder when `folder`).
host::PanelItem MakePanelItem(const std::string& name, bool folder, uint64_t size = 0);

// "dd.mm.yy hh:mm" of a file time; empty for a zero time.
std::string FormatFileTime(const host::FileTime& time);

}  // namespace plughost::tui
