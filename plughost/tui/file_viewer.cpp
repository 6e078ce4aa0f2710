#include "file_viewer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "dialog_view.h"
#include "file_checks.h"
#include "keys.h"
#include "text_codec.h"

namespace plughost::tui {

namespace {

// The viewer reads at most this much of a file.
constexpr size_t kViewLimit = 64u << 20;

// A line's text with its tabs expanded to the next multiple of 8 columns.
std::u32string DecodeLine(std::string_view bytes) {
    std::u32string out;
    size_t start = 0;
    for (;;) {
        const size_t tab = bytes.find('\t', start);
        out += Decode(bytes.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return out;
        out.append(8 - out.size() % 8, U' ');
        start = tab + 1;
    }
}

char32_t Fold(char32_t ch) { return ch >= U'A' && ch <= U'Z' ? ch - U'A' + U'a' : ch; }

bool AskText(Screen& screen, std::string* text) {
    std::vector<host::DialogItem> items(5);
    auto set = [](host::DialogItem& item, int type, int x1, int y1, int x2, int y2, const char* data, uint32_t flags) {
        item = host::DialogItem{};
        item.type = type;
        item.x1 = x1, item.y1 = y1, item.x2 = x2, item.y2 = y2;
        item.flags = flags;
        std::strncpy(item.data, data, sizeof item.data - 1);
    };
    set(items[0], host::kDiDoubleBox, 0, 0, 49, 4, "Search", 0);
    set(items[1], host::kDiText, 2, 1, 47, 1, "Find the text:", 0);
    set(items[2], host::kDiEdit, 2, 2, 47, 2, text->c_str(), 0);
    set(items[3], host::kDiButton, 0, 3, 0, 3, "&Find", host::kDifCenterGroup);
    set(items[4], host::kDiButton, 0, 3, 0, 3, "Cancel", host::kDifCenterGroup);
    items[2].focus = 1;
    items[3].defaultButton = 1;
    DialogContent content;
    content.width = 50;
    content.height = 5;
    content.items = items.data();
    content.count = 5;
    if (RunDialog(screen, content) != 3) return false;
    *text = items[2].data;
    return !text->empty();
}

}  // namespace

std::vector<std::u32string> ViewerLines(const std::string& bytes) {
    std::vector<std::u32string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') continue;
        if (i == bytes.size() && start == i && !lines.empty()) break;
        lines.push_back(DecodeLine(std::string_view(bytes).substr(start, i - start)));
        if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines;
}

int FindLine(const std::vector<std::u32string>& lines, const std::u32string& text, int from) {
    if (text.empty()) return -1;
    std::u32string folded = text;
    for (char32_t& ch : folded) ch = Fold(ch);
    for (int i = std::max(0, from); i < static_cast<int>(lines.size()); ++i) {
        std::u32string line = lines[static_cast<size_t>(i)];
        for (char32_t& ch : line) ch = Fold(ch);
        if (line.find(folded) != std::u32string::npos) return i;
    }
    return -1;
}

bool ViewFile(Screen& screen, const std::string& path, const std::string& title, std::string* error) {
    std::vector<unsigned char> data;
    if (!ReadHead(path, kViewLimit, &data, error)) return false;
    const std::vector<std::u32string> lines = ViewerLines(std::string(data.begin(), data.end()));
    int top = 0, left = 0, rows = 1, found = -1;
    std::string search;
    std::u32string status;
    auto paint = [&](Grid& grid) {
        const int width = grid.Width(), height = grid.Height();
        rows = std::max(1, height - 1);
        top = std::max(0, std::min(top, static_cast<int>(lines.size()) - rows));
        grid.Fill(0, 0, width, height, Style::kPanel);
        grid.Fill(0, 0, width, 1, Style::kTitleBar);
        std::u32string head = Decode(title) + U"  line " + Decode(std::to_string(top + 1)) + U"/" +
                              Decode(std::to_string(lines.size()));
        if (!status.empty()) head += U"  " + status;
        grid.Text(0, 0, head, Style::kTitleBar, width);
        for (int row = 0; row < rows && top + row < static_cast<int>(lines.size()); ++row) {
            const std::u32string& line = lines[static_cast<size_t>(top + row)];
            const std::u32string shown = static_cast<int>(line.size()) > left ? line.substr(static_cast<size_t>(left)) : U"";
            grid.Text(0, 1 + row, shown, top + row == found ? Style::kPanelSelected : Style::kPanel, width);
        }
        screen.HideCursor();
    };
    Screen::Layer layer(screen, paint);
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> lock(screen.Mutex());
            paint(screen.GetGrid());
            screen.Present();
        }
        const int code = screen.ReadKey(-1);
        if (code == key::kEsc || code == key::F(3) || code == key::F(10)) return true;
        const int page = std::max(1, rows - 1);
        switch (code) {
        case key::kDown: ++top; break;
        case key::kUp: --top; break;
        case key::kPageDown: top += page; break;
        case key::kPageUp: top -= page; break;
        case key::kHome: top = 0, left = 0; break;
        case key::kEnd: top = static_cast<int>(lines.size()); break;
        case key::kRight: left += 8; break;
        case key::kLeft: left = std::max(0, left - 8); break;
        case key::F(7):
        case U'/':
        case U'n': {
            if (code != U'n' && !AskText(screen, &search)) break;
            const int at = FindLine(lines, Decode(search), found >= 0 && code == U'n' ? found + 1 : top);
            if (at < 0) {
                status = U"not found: " + Decode(search);
            } else {
                found = at;
                top = at;
                status.clear();
            }
            break;
        }
        default: break;
        }
        top = std::max(0, top);
    }
}

}  // namespace plughost::tui
