#include "help_view.h"

#include <algorithm>

#include "keys.h"
#include "message_view.h"
#include "text_codec.h"

namespace plughost::tui {

std::vector<std::u32string> WrapLine(const std::u32string& line, int width) {
    std::vector<std::u32string> out;
    if (width < 1) width = 1;
    size_t indent = 0;
    while (indent < line.size() && line[indent] == U' ') ++indent;
    std::u32string rest = line;
    while (static_cast<int>(rest.size()) > width) {
        size_t cut = rest.rfind(U' ', static_cast<size_t>(width));
        if (cut == std::u32string::npos || cut <= indent) cut = static_cast<size_t>(width);
        out.push_back(rest.substr(0, cut));
        size_t next = cut;
        while (next < rest.size() && rest[next] == U' ') ++next;
        // Continuation lines keep the paragraph's indent.
        rest = std::u32string(std::min(indent, static_cast<size_t>(width / 2)), U' ') + rest.substr(next);
    }
    out.push_back(rest);
    return out;
}

void ShowHelp(Screen& screen, const std::string& asked) {
    // Where no topic is named (a menu, a dialog without one) the plugin's contents serve.
    const std::string topic = asked.empty() ? std::string(kContentsTopic) : asked;
    HelpTopic help;
    if (!screen.FindHelp(topic, &help)) {
        MessageContent notice;
        notice.title = "Help";
        notice.lines = {"There is no help topic \"" + topic + "\"."};
        notice.buttons = {"OK"};
        RunMessage(screen, notice);
        return;
    }
    int top = 0;
    std::vector<std::u32string> wrapped;
    int visible = 1;
    auto paint = [&](Grid& grid) {
        const int width = std::min(76, std::max(20, grid.Width() - 4));
        const int height = std::max(6, grid.Height() - 4);
        const int left = std::max(0, (grid.Width() - width) / 2);
        const int y0 = std::max(0, (grid.Height() - height) / 2);
        wrapped.clear();
        for (const std::string& line : help.lines)
            for (std::u32string& piece : WrapLine(Decode(line), width - 6)) wrapped.push_back(std::move(piece));
        visible = height - 2;
        top = std::max(0, std::min(top, static_cast<int>(wrapped.size()) - visible));
        grid.Fill(left, y0, width, height, Style::kHelp);
        grid.Frame(left + 1, y0, left + width - 2, y0 + height - 1, true, Style::kHelp);
        const std::u32string title = U" " + Decode(help.title) + U" ";
        grid.Text(left + std::max(2, (width - static_cast<int>(title.size())) / 2), y0, title, Style::kHelpTitle,
                  width - 4);
        for (int row = 0; row < visible && top + row < static_cast<int>(wrapped.size()); ++row)
            grid.Text(left + 3, y0 + 1 + row, wrapped[static_cast<size_t>(top + row)], Style::kHelp, width - 6);
        const int total = static_cast<int>(wrapped.size());
        if (total > visible) {
            // Scroll indicator on the right frame: arrows at the ends, a block for the position.
            const int right = left + width - 2;
            grid.Put(right, y0 + 1, top > 0 ? U'▲' : U'║', Style::kHelpTitle);
            grid.Put(right, y0 + visible, top + visible < total ? U'▼' : U'║', Style::kHelpTitle);
            const int track = std::max(1, visible - 2);
            const int maxTop = std::max(1, total - visible);
            grid.Put(right, y0 + 2 + (track - 1) * top / maxTop, U'█', Style::kHelpTitle);
            const std::u32string keys = U" PgUp PgDn Home End  Esc ";
            grid.Text(left + std::max(2, (width - static_cast<int>(keys.size())) / 2), y0 + height - 1, keys,
                      Style::kHelpTitle, width - 4);
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
        if (code == key::kEsc || code == key::kEnter || code == key::F(10) || code == key::F(1)) return;
        if (code == key::kDown) ++top;
        if (code == key::kUp) --top;
        // A page keeps its last line in sight.
        if (code == key::kPageDown) top += std::max(1, visible - 1);
        if (code == key::kPageUp) top -= std::max(1, visible - 1);
        if (code == key::kHome) top = 0;
        if (code == key::kEnd) top = static_cast<int>(wrapped.size());
        if (top < 0) top = 0;
    }
}

}  // namespace plughost::tui
