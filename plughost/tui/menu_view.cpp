#include "menu_view.h"

#include <algorithm>

#include "help_view.h"
#include "keys.h"
#include "text_codec.h"

namespace plughost::tui {

namespace {

class MenuRunner {
public:
    MenuRunner(Screen& screen, const MenuContent& content) : screen_(screen), content_(content) {
        for (const MenuLine& line : content.items) labels_.push_back(ParseLabel(line.text));
        for (size_t i = 0; i < content.items.size(); ++i)
            if (content.items[i].selected && !content.items[i].separator) current_ = static_cast<int>(i);
        if (current_ < 0) Step(1);
    }

    bool Empty() const { return current_ < 0; }
    void Paint(Grid& grid);
    int Run();

private:
    void Step(int direction);
    int Count() const { return static_cast<int>(content_.items.size()); }

    Screen& screen_;
    const MenuContent& content_;
    std::vector<Label> labels_;
    int current_ = -1;
    int top_ = 0;
};

void MenuRunner::Step(int direction) {
    const int n = Count();
    int i = current_;
    for (int k = 0; k < n; ++k) {
        i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
        if (!content_.items[static_cast<size_t>(i)].separator) {
            current_ = i;
            return;
        }
    }
}

void MenuRunner::Paint(Grid& grid) {
    const std::u32string title = Decode(content_.title);
    const std::u32string bottom = Decode(content_.bottom);
    int inner = std::max(static_cast<int>(title.size()), static_cast<int>(bottom.size())) + 2;
    for (const Label& l : labels_) inner = std::max(inner, static_cast<int>(l.text.size()) + 2);
    inner = std::min(inner, std::max(1, grid.Width() - 8));
    const int visible = std::max(1, std::min(Count(), grid.Height() - 6));
    if (current_ < top_) top_ = current_;
    if (current_ >= top_ + visible) top_ = current_ - visible + 1;
    const int width = inner + 6;
    const int height = visible + 4;
    const int left = std::max(0, (grid.Width() - width) / 2);
    const int topY = std::max(0, (grid.Height() - height) / 2);
    grid.Fill(left, topY, width, height, Style::kMenu);
    grid.Frame(left + 2, topY + 1, left + width - 3, topY + height - 2, true, Style::kMenu);
    if (!title.empty())
        grid.Text(left + (width - static_cast<int>(title.size()) - 2) / 2, topY + 1, U" " + title + U" ",
                  Style::kMenu, inner);
    if (!bottom.empty())
        grid.Text(left + (width - static_cast<int>(bottom.size()) - 2) / 2, topY + height - 2,
                  U" " + bottom + U" ", Style::kMenu, inner);
    for (int row = 0; row < visible; ++row) {
        const int i = top_ + row;
        const int y = topY + 2 + row;
        if (i >= Count()) break;
        const MenuLine& line = content_.items[static_cast<size_t>(i)];
        if (line.separator) {
            grid.Rule(left + 2, left + width - 3, y, true, Style::kMenu);
            continue;
        }
        const bool cur = i == current_;
        const Style style = cur ? Style::kMenuSelected : Style::kMenu;
        grid.Fill(left + 3, y, inner, 1, style);
        if (line.checked) grid.Put(left + 3, y, U'√', style);
        const Label& l = labels_[static_cast<size_t>(i)];
        grid.Text(left + 4, y, l.text, style, inner - 2);
        if (l.hotIndex >= 0 && l.hotIndex < inner - 2)
            grid.Put(left + 4 + l.hotIndex, y, l.text[static_cast<size_t>(l.hotIndex)],
                     cur ? Style::kMenuSelected : Style::kMenuHot);
    }
    screen_.HideCursor();
}

int MenuRunner::Run() {
    Screen::Layer layer(screen_, [this](Grid& grid) { Paint(grid); });
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> lock(screen_.Mutex());
            Paint(screen_.GetGrid());
            screen_.Present();
        }
        const int code = screen_.ReadKey(-1);
        switch (code) {
        case key::kEsc:
        case key::F(10):
            return -1;
        case key::kEnter:
            return current_;
        case key::kUp:
            Step(-1);
            break;
        case key::kDown:
            Step(1);
            break;
        case key::kHome:
        case key::kPageUp:
            current_ = -1;
            Step(1);
            break;
        case key::kEnd:
        case key::kPageDown:
            current_ = -1;
            Step(-1);
            break;
        case key::F(1):
            ShowHelp(screen_, content_.helpTopic);
            break;
        default:
            if (key::IsPrintable(code & ~key::kAlt)) {
                const char32_t ch = FoldCase(static_cast<char32_t>(code & ~key::kAlt));
                for (int i = 0; i < Count(); ++i)
                    if (!content_.items[static_cast<size_t>(i)].separator && labels_[static_cast<size_t>(i)].hot == ch)
                        return i;
            }
            break;
        }
    }
}

}  // namespace

int RunMenu(Screen& screen, const MenuContent& content) {
    MenuRunner runner(screen, content);
    if (runner.Empty()) return -1;
    return runner.Run();
}

}  // namespace plughost::tui
