#include "dialog_view.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "help_view.h"
#include "keys.h"
#include "text_codec.h"

namespace plughost::tui {

namespace {

bool Focusable(int type) {
    return type == host::kDiEdit || type == host::kDiButton || type == host::kDiCheckBox ||
           type == host::kDiRadioButton;
}

std::string FieldText(const char (&field)[512]) {
    const void* end = std::memchr(field, 0, sizeof field);
    return std::string(field, end ? static_cast<const char*>(end) - field : sizeof field);
}

// One item as the dialog works with it.
struct Control {
    int index = 0;
    int type = 0;
    uint32_t flags = 0;
    int x = 0, y = 0, x2 = 0, y2 = 0;  // relative to the dialog
    Label label;
    bool state = false;   // check box, radio button
    int group = -1;       // radio group number
    std::u32string text;  // edit field characters (EditChars of its bytes)
    size_t cursor = 0;    // edit cursor (character index)
    size_t scroll = 0;    // first character shown
    bool marked = false;  // the first typed key replaces the text
    bool isDefault = false;
};

class DialogRunner {
public:
    DialogRunner(Screen& screen, const DialogContent& content) : screen_(screen), content_(content) { Build(); }

    int Run();

private:
    void Build();
    void LayOutButtons();
    void Paint(Grid& grid);
    void PaintControl(Grid& grid, const Control& c, bool focused);
    void PaintLabel(Grid& grid, int x, int y, const Label& label, Style style, Style hot, int maxWidth);
    int Left(const Grid& grid) const;
    int Top(const Grid& grid) const;
    void MoveFocus(int step);
    void Focus(int control);
    void SelectRadio(int control);
    bool HandleEditKey(Control& edit, int code);
    int HotKeyTarget(char32_t ch) const;
    int Activate(int control);  // returns the closing index, or -2 to stay open
    void WriteBack();
    void KeepCursorVisible(Control& edit) const;
    const Control* EnclosingBox(int y) const;
    int RightLimit(int x, int y) const;  // first column (dialog-relative) a label may not use

    Screen& screen_;
    const DialogContent& content_;
    std::vector<Control> controls_;
    int focus_ = -1;
};

void DialogRunner::Build() {
    int group = -1;
    bool inRun = false;
    for (int i = 0; i < content_.count; ++i) {
        const host::DialogItem& item = content_.items[i];
        Control c;
        c.index = i;
        c.type = item.type;
        c.flags = item.flags;
        c.x = item.x1;
        c.y = item.y1;
        c.x2 = item.x2;
        c.y2 = item.y2;
        c.isDefault = item.defaultButton != 0;
        if (item.type == host::kDiEdit) {
            c.text = EditChars(FieldText(item.data));
            c.cursor = c.text.size();
        } else {
            c.label = ParseLabel(FieldText(item.data));
        }
        if (item.type == host::kDiCheckBox || item.type == host::kDiRadioButton) c.state = item.selected != 0;
        // Radio buttons in a row form a group; flag 0x400 starts a new one.
        if (item.type == host::kDiRadioButton) {
            if (!inRun || (item.flags & host::kDifGroup)) ++group;
            c.group = group;
            inRun = true;
        } else {
            inRun = false;
        }
        if (item.focus != 0 && focus_ < 0 && Focusable(item.type)) focus_ = i;
        controls_.push_back(std::move(c));
    }
    if (focus_ < 0)
        for (const Control& c : controls_)
            if (Focusable(c.type)) {
                focus_ = c.index;
                break;
            }
    if (focus_ >= 0 && controls_[static_cast<size_t>(focus_)].type == host::kDiEdit)
        controls_[static_cast<size_t>(focus_)].marked = true;
    LayOutButtons();
}

int ButtonWidth(const Control& c) { return static_cast<int>(c.label.text.size()) + 4; }

void DialogRunner::LayOutButtons() {
    const int width = content_.width;
    std::vector<int> rows;
    for (const Control& c : controls_)
        if (c.type == host::kDiButton && (c.flags & host::kDifCenterGroup) &&
            std::find(rows.begin(), rows.end(), c.y) == rows.end())
            rows.push_back(c.y);
    for (int row : rows) {
        int total = -1;
        for (const Control& c : controls_)
            if (c.type == host::kDiButton && (c.flags & host::kDifCenterGroup) && c.y == row)
                total += ButtonWidth(c) + 1;
        int x = std::max(0, (width - total) / 2);
        for (Control& c : controls_)
            if (c.type == host::kDiButton && (c.flags & host::kDifCenterGroup) && c.y == row) {
                c.x = x;
                x += ButtonWidth(c) + 1;
            }
    }
}

int DialogRunner::Left(const Grid& grid) const {
    if (content_.x1 >= 0) return content_.x1;
    return std::max(0, (grid.Width() - content_.width) / 2);
}

int DialogRunner::Top(const Grid& grid) const {
    if (content_.y1 >= 0) return content_.y1;
    return std::max(0, (grid.Height() - content_.height) / 2);
}

const Control* DialogRunner::EnclosingBox(int y) const {
    for (const Control& c : controls_)
        if ((c.type == host::kDiSingleBox || c.type == host::kDiDoubleBox) && c.y < y && y < c.y2) return &c;
    return nullptr;
}

int DialogRunner::RightLimit(int x, int y) const {
    // Inside a box, a label stops short of the box's right side; else at the dialog's edge.
    const Control* inner = nullptr;
    for (const Control& c : controls_)
        if ((c.type == host::kDiSingleBox || c.type == host::kDiDoubleBox) && c.x < x && x < c.x2 && c.y < y &&
            y < c.y2 && (inner == nullptr || c.x2 - c.x < inner->x2 - inner->x))
            inner = &c;
    int limit = inner != nullptr ? inner->x2 : content_.width;
    // Nor does it run into the next item on its row: one blank stays between them.
    for (const Control& c : controls_) {
        if (c.type == host::kDiSingleBox || c.type == host::kDiDoubleBox || (c.flags & host::kDifSeparator) ||
            c.x <= x)
            continue;
        const int rows = c.type == host::kDiVText ? static_cast<int>(c.label.text.size()) : 1;
        if (y >= c.y && y < c.y + rows) limit = std::min(limit, c.x - 1);
    }
    return limit;
}

void DialogRunner::PaintLabel(Grid& grid, int x, int y, const Label& label, Style style, Style hot,
                              int maxWidth) {
    grid.Text(x, y, label.text, style, maxWidth);
    if (label.hotIndex >= 0 && (maxWidth < 0 || label.hotIndex < maxWidth))
        grid.Put(x + label.hotIndex, y, label.text[static_cast<size_t>(label.hotIndex)], hot);
}

void DialogRunner::KeepCursorVisible(Control& edit) const {
    const int width = std::max(1, edit.x2 - edit.x + 1);
    if (edit.cursor < edit.scroll) edit.scroll = edit.cursor;
    // The cursor's column must lie inside the field: scroll by whole characters.
    while (edit.scroll < edit.cursor &&
           TextWidth(std::u32string_view(edit.text).substr(edit.scroll, edit.cursor - edit.scroll)) >= width)
        ++edit.scroll;
}

void DialogRunner::PaintControl(Grid& grid, const Control& c, bool focused) {
    const int left = Left(grid), top = Top(grid);
    const int x = left + c.x, y = top + c.y;
    const int right = left + content_.width - 1;
    const Style text = Style::kDialog, hot = Style::kDialogHot;
    const Style focusStyle = Style::kDialogFocus;
    switch (c.type) {
    case host::kDiSingleBox:
    case host::kDiDoubleBox: {
        grid.Frame(x, y, left + c.x2, top + c.y2, c.type == host::kDiDoubleBox, text);
        if (!c.label.text.empty()) {
            std::u32string title = U" " + c.label.text + U" ";
            const int width = c.x2 - c.x + 1;
            const int tx = x + std::max(1, (width - static_cast<int>(title.size())) / 2);
            grid.Text(tx, y, title, text, std::max(0, width - 2));
        }
        break;
    }
    case host::kDiText:
        if (c.flags & host::kDifSeparator) {
            const Control* box = EnclosingBox(c.y);
            const int x1 = box ? left + box->x : left;
            const int x2 = box ? left + box->x2 : right;
            grid.Rule(x1, x2, y, box && box->type == host::kDiDoubleBox, text);
            if (!c.label.text.empty()) {
                std::u32string title = U" " + c.label.text + U" ";
                grid.Text(x1 + std::max(1, (x2 - x1 + 1 - static_cast<int>(title.size())) / 2), y, title, text);
            }
        } else {
            int maxWidth = RightLimit(c.x, c.y) - c.x;
            if (c.x2 > c.x) maxWidth = std::min(maxWidth, c.x2 - c.x + 1);
            PaintLabel(grid, x, y, c.label, text, hot, std::max(0, maxWidth));
        }
        break;
    case host::kDiVText:
        for (size_t i = 0; i < c.label.text.size(); ++i)
            grid.Put(x, y + static_cast<int>(i), c.label.text[i], text);
        break;
    case host::kDiEdit: {
        const int width = std::max(1, c.x2 - c.x + 1);
        grid.Fill(x, y, width, 1, Style::kDialogEdit);
        std::u32string shown = c.text.substr(std::min(c.scroll, c.text.size()));
        for (char32_t& ch : shown) ch = ShownEditChar(ch);
        grid.Text(x, y, shown, c.marked ? Style::kDialogEditMarked : Style::kDialogEdit, width);
        const size_t before = std::min(c.cursor, c.text.size()) - std::min(c.scroll, c.cursor);
        if (focused) screen_.SetCursor(x + TextWidth(std::u32string_view(shown).substr(0, before)), y);
        break;
    }
    case host::kDiCheckBox:
    case host::kDiRadioButton: {
        std::u32string mark = c.type == host::kDiCheckBox ? (c.state ? U"[x] " : U"[ ] ")
                                                          : (c.state ? U"(•) " : U"( ) ");
        grid.Text(x, y, mark, focused ? focusStyle : text);
        const int maxWidth = RightLimit(c.x, c.y) - c.x - 4;
        PaintLabel(grid, x + 4, y, c.label, focused ? focusStyle : text, hot, std::max(0, maxWidth));
        if (focused) screen_.SetCursor(x + 1, y);
        break;
    }
    case host::kDiButton: {
        const Style style = focused ? focusStyle : text;
        grid.Text(x, y, c.isDefault ? U"{ " : U"[ ", style);
        PaintLabel(grid, x + 2, y, c.label, style, focused ? focusStyle : hot, -1);
        grid.Text(x + 2 + static_cast<int>(c.label.text.size()), y, c.isDefault ? U" }" : U" ]", style);
        if (focused) screen_.SetCursor(x + 2, y);
        break;
    }
    default:
        break;
    }
}

void DialogRunner::Paint(Grid& grid) {
    screen_.HideCursor();
    const int left = Left(grid), top = Top(grid);
    grid.Fill(left, top, content_.width, content_.height, Style::kDialog);
    for (const Control& c : controls_) PaintControl(grid, c, c.index == focus_);
}

void DialogRunner::MoveFocus(int step) {
    if (focus_ < 0) return;
    const int n = static_cast<int>(controls_.size());
    int i = focus_;
    for (int k = 0; k < n; ++k) {
        i = (i + step + n) % n;
        if (Focusable(controls_[static_cast<size_t>(i)].type)) {
            Focus(i);
            return;
        }
    }
}

void DialogRunner::Focus(int control) {
    if (focus_ >= 0) controls_[static_cast<size_t>(focus_)].marked = false;
    focus_ = control;
    Control& c = controls_[static_cast<size_t>(control)];
    if (c.type == host::kDiEdit) {
        c.marked = true;
        c.cursor = c.text.size();
        KeepCursorVisible(c);
    }
}

void DialogRunner::SelectRadio(int control) {
    const int group = controls_[static_cast<size_t>(control)].group;
    for (Control& c : controls_)
        if (c.type == host::kDiRadioButton && c.group == group) c.state = c.index == control;
}

bool DialogRunner::HandleEditKey(Control& edit, int code) {
    const bool wasMarked = edit.marked;
    switch (code) {
    case key::kLeft:
        edit.marked = false;
        if (edit.cursor > 0) --edit.cursor;
        break;
    case key::kRight:
        edit.marked = false;
        if (edit.cursor < edit.text.size()) ++edit.cursor;
        break;
    case key::kHome:
        edit.marked = false;
        edit.cursor = 0;
        break;
    case key::kEnd:
        edit.marked = false;
        edit.cursor = edit.text.size();
        break;
    case key::kBackspace:
        if (wasMarked) {
            edit.text.clear();
            edit.cursor = 0;
        } else if (edit.cursor > 0) {
            edit.text.erase(--edit.cursor, 1);
        }
        edit.marked = false;
        break;
    case key::kDelete:
        if (wasMarked) {
            edit.text.clear();
            edit.cursor = 0;
        } else if (edit.cursor < edit.text.size()) {
            edit.text.erase(edit.cursor, 1);
        }
        edit.marked = false;
        break;
    default:
        if (!key::IsPrintable(code)) return false;
        if (wasMarked) {
            edit.text.clear();
            edit.cursor = 0;
        }
        edit.marked = false;
        // The field's bytes (UTF-8) must fit the item's 512-byte text.
        if (EditBytes(edit.text).size() + EncodeUtf8(static_cast<char32_t>(code)).size() <= 511)
            edit.text.insert(edit.cursor++, 1, static_cast<char32_t>(code));
        break;
    }
    KeepCursorVisible(edit);
    return true;
}

int DialogRunner::HotKeyTarget(char32_t ch) const {
    ch = FoldCase(ch);
    for (const Control& c : controls_) {
        if (c.label.hot == 0 || c.label.hot != ch) continue;
        if (Focusable(c.type)) return c.index;
        // A text's hot key reaches the next item that takes the focus.
        for (size_t k = static_cast<size_t>(c.index) + 1; k < controls_.size(); ++k)
            if (Focusable(controls_[k].type)) return static_cast<int>(k);
    }
    return -1;
}

int DialogRunner::Activate(int control) {
    Control& c = controls_[static_cast<size_t>(control)];
    Focus(control);
    switch (c.type) {
    case host::kDiButton:
        return control;
    case host::kDiCheckBox:
        c.state = !c.state;
        break;
    case host::kDiRadioButton:
        SelectRadio(control);
        break;
    default:
        break;
    }
    return -2;
}

void DialogRunner::WriteBack() {
    for (const Control& c : controls_) {
        host::DialogItem& item = content_.items[c.index];
        if (c.type == host::kDiCheckBox || c.type == host::kDiRadioButton) item.selected = c.state ? 1 : 0;
        if (c.type == host::kDiEdit) {
            // `selected` of an edit may hold its history name: left alone.
            const std::string bytes = EditBytes(c.text);
            const size_t n = std::min(bytes.size(), sizeof item.data - 1);
            std::memcpy(item.data, bytes.data(), n);
            item.data[n] = '\0';
        }
        if (Focusable(c.type)) item.focus = c.index == focus_ ? 1 : 0;
    }
}

int DialogRunner::Run() {
    Screen::Layer layer(screen_, [this](Grid& grid) { Paint(grid); });
    int result = -2;
    while (result == -2) {
        {
            std::lock_guard<std::recursive_mutex> lock(screen_.Mutex());
            Paint(screen_.GetGrid());
            screen_.Present();
        }
        const int code = screen_.ReadKey(-1);
        Control* focused = focus_ >= 0 ? &controls_[static_cast<size_t>(focus_)] : nullptr;
        const bool inEdit = focused && focused->type == host::kDiEdit;
        if (code == key::kEsc) {
            result = -1;
        } else if (code == key::F(1)) {
            ShowHelp(screen_, content_.helpTopic);
        } else if (code == key::kEnter) {
            if (focused && focused->type == host::kDiButton) {
                result = focus_;
            } else {
                result = focus_;
                for (const Control& c : controls_)
                    if (c.isDefault) {
                        result = c.index;
                        break;
                    }
            }
        } else if (code == key::kTab || code == key::kDown) {
            MoveFocus(1);
        } else if (code == key::kBackTab || code == key::kUp) {
            MoveFocus(-1);
        } else if (inEdit && HandleEditKey(*focused, code)) {
            // handled by the field
        } else if (code == key::kLeft) {
            MoveFocus(-1);
        } else if (code == key::kRight) {
            MoveFocus(1);
        } else if (code == U' ' && focused) {
            result = Activate(focus_);
        } else if (code & key::kAlt) {
            const int target = HotKeyTarget(static_cast<char32_t>(code & ~key::kAlt));
            if (target >= 0) result = Activate(target);
        } else if (key::IsPrintable(code)) {
            const int target = HotKeyTarget(static_cast<char32_t>(code));
            if (target >= 0) result = Activate(target);
        }
    }
    WriteBack();
    return result;
}

}  // namespace

int RunDialog(Screen& screen, const DialogContent& content) {
    if (content.items == nullptr || content.count <= 0) return -1;
    DialogRunner runner(screen, content);
    return runner.Run();
}

}  // namespace plughost::tui
