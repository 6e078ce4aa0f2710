#include "panel_view.h"

#include <algorithm>

#include "keys.h"
#include "text_codec.h"

namespace plughost::tui {

namespace {

constexpr int kSizeWidth = 10;
constexpr int kDateWidth = 14;

std::u32string Ascii(const std::string& text) { return std::u32string(text.begin(), text.end()); }

}  // namespace

bool PanelCursor::Handle(int code, int count, int pageRows) {
    const int page = std::max(1, pageRows - 1);
    switch (code) {
    case key::kUp: --current; break;
    case key::kDown: ++current; break;
    case key::kPageUp: current -= page; break;
    case key::kPageDown: current += page; break;
    case key::kHome: current = 0; break;
    case key::kEnd: current = count - 1; break;
    default: return false;
    }
    Clamp(count, pageRows);
    return true;
}

void PanelCursor::Clamp(int count, int rows) {
    rows = std::max(1, rows);
    current = std::max(0, std::min(current, count - 1));
    if (current < top) top = current;
    if (current >= top + rows) top = current - rows + 1;
    top = std::max(0, std::min(top, std::max(0, count - rows)));
}

int PanelListRows(int height) { return std::max(1, height - 5); }

PanelColumns ChooseColumns(int inner) {
    constexpr int kMinName = 12, kShortDate = 8;
    PanelColumns c;
    if (inner - (kSizeWidth + 1) - (kDateWidth + 1) >= 2 * kMinName) c.date = kDateWidth;
    else if (inner - (kSizeWidth + 1) - (kShortDate + 1) >= kMinName) c.date = kShortDate;
    if (inner - (kSizeWidth + 1) >= kMinName) c.size = kSizeWidth;
    c.name = inner - (c.size > 0 ? c.size + 1 : 0) - (c.date > 0 ? c.date + 1 : 0);
    return c;
}

std::u32string FormatSize(uint64_t size, int width) {
    std::string text = std::to_string(size);
    const char* units = "KMGT";
    for (int u = 0; static_cast<int>(text.size()) > width && u < 4; ++u) {
        size = (size + 1023) / 1024;
        text = std::to_string(size) + units[u];
    }
    return Ascii(text);
}

void PaintPanel(Grid& grid, int x, int y, int width, int height, const PanelPaint& panel) {
    if (width < 8 || height < 6) return;
    const std::vector<PanelEntry>& entries = *panel.entries;
    const PanelCursor& cursor = *panel.cursor;
    const int right = x + width - 1, bottom = y + height - 1;
    grid.Fill(x, y, width, height, Style::kPanel);
    grid.Frame(x, y, right, bottom, true, Style::kPanel);

    // Columns: name | size | date. The date drops its time, then goes, and
    // the size goes last, so that a name keeps room on narrow panels (an
    // 80-column terminal shows names, sizes and dates).
    const int inner = width - 2;
    const PanelColumns layout = ChooseColumns(inner);
    const bool columns = layout.size > 0;
    const int dateWidth = layout.date;
    const int dateX = right - dateWidth;
    const int sizeX = (dateWidth > 0 ? dateX - 1 : right) - kSizeWidth;
    const int nameWidth = layout.name;
    if (columns) {
        for (int row = y + 1; row < bottom - 2; ++row) {
            grid.Put(sizeX - 1, row, U'│', Style::kPanel);
            if (dateWidth > 0) grid.Put(dateX - 1, row, U'│', Style::kPanel);
        }
        grid.Put(sizeX - 1, y, U'╤', Style::kPanel);
        if (dateWidth > 0) grid.Put(dateX - 1, y, U'╤', Style::kPanel);
    }
    grid.Text(x + 1 + std::max(0, (nameWidth - 4) / 2), y + 1, U"Name", Style::kPanelTitle);
    if (columns) {
        grid.Text(sizeX + (kSizeWidth - 4) / 2, y + 1, U"Size", Style::kPanelTitle);
        if (dateWidth > 0) grid.Text(dateX + (dateWidth - 4) / 2, y + 1, U"Date", Style::kPanelTitle);
    }

    const int rows = PanelListRows(height);
    for (int row = 0; row < rows; ++row) {
        const int i = cursor.top + row;
        if (i >= static_cast<int>(entries.size())) break;
        const PanelEntry& e = entries[static_cast<size_t>(i)];
        const int ry = y + 2 + row;
        const bool isCursor = panel.active && i == cursor.current;
        Style style = e.selected ? Style::kPanelSelected : e.directory ? Style::kPanelDir : Style::kPanel;
        if (isCursor) style = e.selected ? Style::kPanelCursorSelected : Style::kPanelCursor;
        if (isCursor || e.selected) {
            grid.Fill(x + 1, ry, nameWidth, 1, style);
            if (columns) grid.Fill(sizeX, ry, kSizeWidth, 1, style);
            if (dateWidth > 0) grid.Fill(dateX, ry, dateWidth, 1, style);
        }
        std::u32string name = Decode(e.name);
        if (TextWidth(name) > nameWidth) {
            name = CutToWidth(name, std::max(0, nameWidth - 1));
            name.push_back(U'}');
        }
        grid.Text(x + 1, ry, name, style, nameWidth);
        if (columns) {
            const std::u32string size = e.name == ".." ? U"Up" : e.directory ? U"Folder" : FormatSize(e.size, kSizeWidth);
            grid.Text(sizeX + kSizeWidth - static_cast<int>(size.size()), ry, size, style, kSizeWidth);
            if (dateWidth > 0) grid.Text(dateX, ry, Ascii(e.date.substr(0, static_cast<size_t>(dateWidth))), style, dateWidth);
        }
    }

    // Info line: the item under the cursor.
    grid.Rule(x, right, bottom - 2, true, Style::kPanel);
    if (columns) grid.Put(sizeX - 1, bottom - 2, U'┴', Style::kPanel);
    if (dateWidth > 0) grid.Put(dateX - 1, bottom - 2, U'┴', Style::kPanel);
    if (!entries.empty() && cursor.current >= 0 && cursor.current < static_cast<int>(entries.size())) {
        const PanelEntry& e = entries[static_cast<size_t>(cursor.current)];
        std::u32string info = Decode(e.name);
        const std::u32string size = e.directory ? U"Folder" : FormatSize(e.size, kSizeWidth);
        const int room = inner - static_cast<int>(size.size()) - 1;
        if (TextWidth(info) > room) info = CutToWidth(info, std::max(0, room));
        grid.Text(x + 1, bottom - 1, info, Style::kPanel);
        grid.Text(right - static_cast<int>(size.size()), bottom - 1, size, Style::kPanel);
    }
    int selectedCount = 0;
    uint64_t selectedBytes = 0;
    for (const PanelEntry& e : entries)
        if (e.selected) ++selectedCount, selectedBytes += e.size;
    if (selectedCount > 0) {
        const std::u32string note = U" " + Ascii(std::to_string(selectedBytes)) + U" bytes in " +
                                    Ascii(std::to_string(selectedCount)) + U" selected ";
        grid.Text(x + std::max(1, (width - static_cast<int>(note.size())) / 2), bottom - 2, note,
                  Style::kPanelSelected, inner);
    }

    const std::u32string title = U" " + Decode(panel.title) + U" ";
    std::u32string shown = title;
    if (TextWidth(shown) > inner - 2) {
        // Keep the end of the title: drop characters from its front until it fits.
        size_t from = 0;
        while (from < title.size() && TextWidth(std::u32string_view(title).substr(from)) > inner - 4) ++from;
        shown = U" …" + title.substr(from);
    }
    grid.Text(x + std::max(1, (width - TextWidth(shown)) / 2), y, shown,
              panel.active ? Style::kPanelCursor : Style::kPanel);
}

}  // namespace plughost::tui
