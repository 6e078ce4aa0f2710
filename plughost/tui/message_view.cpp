#include "message_view.h"

#include <algorithm>

#include "help_view.h"
#include "host/host_interface.h"
#include "keys.h"
#include "text_codec.h"

namespace plughost::tui {

namespace {

class MessageRunner {
public:
    MessageRunner(Screen& screen, const MessageContent& content) : screen_(screen), content_(content) {
        title_ = Decode(content.title);
        for (const std::string& line : content.lines) lines_.push_back(Decode(line));
        for (const std::string& button : content.buttons) buttons_.push_back(ParseLabel(button));
    }

    void Paint(Grid& grid);
    int Run();

private:
    bool Warning() const { return (content_.flags & host::kMsgWarning) != 0; }
    int ButtonsWidth() const {
        int width = -1;
        for (const Label& b : buttons_) width += static_cast<int>(b.text.size()) + 5;
        return std::max(0, width);
    }

    Screen& screen_;
    const MessageContent& content_;
    std::u32string title_;
    std::vector<std::u32string> lines_;
    std::vector<Label> buttons_;
    int focus_ = 0;
};

void MessageRunner::Paint(Grid& grid) {
    const Style text = Warning() ? Style::kWarning : Style::kDialog;
    const Style hot = Warning() ? Style::kWarningHot : Style::kDialogHot;
    const Style focus = Warning() ? Style::kWarningFocus : Style::kDialogFocus;
    int inner = static_cast<int>(title_.size()) + 2;
    for (const std::u32string& line : lines_) inner = std::max(inner, static_cast<int>(line.size()));
    inner = std::max(inner, ButtonsWidth());
    inner = std::min(inner, std::max(1, grid.Width() - 10));
    const int width = inner + 10;
    const int rows = static_cast<int>(lines_.size()) + (buttons_.empty() ? 0 : 2);
    const int height = rows + 4;
    const int left = std::max(0, (grid.Width() - width) / 2);
    const int top = std::max(0, (grid.Height() - height) / 2);
    grid.Fill(left, top, width, height, text);
    grid.Frame(left + 3, top + 1, left + width - 4, top + height - 2, true, text);
    if (!title_.empty()) {
        const std::u32string t = U" " + title_ + U" ";
        grid.Text(left + std::max(4, (width - static_cast<int>(t.size())) / 2), top + 1, t, text, width - 8);
    }
    const bool leftAlign = (content_.flags & host::kMsgLeftAlign) != 0;
    int y = top + 2;
    for (const std::u32string& line : lines_) {
        const int len = std::min(static_cast<int>(line.size()), inner);
        const int x = leftAlign ? left + 5 : left + 5 + (inner - len) / 2;
        grid.Text(x, y++, line, text, inner);
    }
    screen_.HideCursor();
    if (!buttons_.empty()) {
        grid.Rule(left + 3, left + width - 4, y++, true, text);
        int x = left + 5 + std::max(0, (inner - ButtonsWidth()) / 2);
        for (size_t i = 0; i < buttons_.size(); ++i) {
            const Label& b = buttons_[i];
            const bool focused = static_cast<int>(i) == focus_;
            const Style style = focused ? focus : text;
            grid.Text(x, y, U"[ ", style);
            grid.Text(x + 2, y, b.text, style);
            if (b.hotIndex >= 0)
                grid.Put(x + 2 + b.hotIndex, y, b.text[static_cast<size_t>(b.hotIndex)], focused ? focus : hot);
            grid.Text(x + 2 + static_cast<int>(b.text.size()), y, U" ]", style);
            if (focused) screen_.SetCursor(x + 2, y);
            x += static_cast<int>(b.text.size()) + 5;
        }
    }
}

int MessageRunner::Run() {
    if (buttons_.empty()) {
        std::lock_guard<std::recursive_mutex> lock(screen_.Mutex());
        Paint(screen_.GetGrid());
        screen_.Present();
        return -1;
    }
    Screen::Layer layer(screen_, [this](Grid& grid) { Paint(grid); });
    const int n = static_cast<int>(buttons_.size());
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> lock(screen_.Mutex());
            Paint(screen_.GetGrid());
            screen_.Present();
        }
        const int code = screen_.ReadKey(-1);
        if (code == key::kEsc) return -1;
        if (code == key::kEnter || code == U' ') return focus_;
        if (code == key::F(1)) {
            ShowHelp(screen_, content_.helpTopic);
        } else if (code == key::kRight || code == key::kTab || code == key::kDown) {
            focus_ = (focus_ + 1) % n;
        } else if (code == key::kLeft || code == key::kBackTab || code == key::kUp) {
            focus_ = (focus_ + n - 1) % n;
        } else if (key::IsPrintable(code & ~key::kAlt)) {
            const char32_t ch = FoldCase(static_cast<char32_t>(code & ~key::kAlt));
            for (int i = 0; i < n; ++i)
                if (buttons_[static_cast<size_t>(i)].hot == ch) return i;
        }
    }
}

}  // namespace

int RunMessage(Screen& screen, const MessageContent& content) {
    MessageRunner runner(screen, content);
    return runner.Run();
}

}  // namespace plughost::tui
