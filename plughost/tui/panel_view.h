// Drawing of one file panel and its cursor movement.
//
// A panel is a double frame with its title on the top line, a column header
// (name, size, date), the list, and an info line with the item under the cursor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grid.h"

namespace plughost::tui {

struct PanelEntry {
    std::string name;
    bool directory = false;
    bool selected = false;
    uint64_t size = 0;
    std::string date;  // already formatted; empty when unknown
};

struct PanelCursor {
    int current = 0;
    int top = 0;
    // Moves for a key (arrows, PgUp/PgDn, Home/End); false for other keys.
    bool Handle(int code, int count, int pageRows);
    // Keeps current within [0, count) and visible among `rows` rows.
    void Clamp(int count, int rows);
};

struct PanelPaint {
    std::string title;
    const std::vector<PanelEntry>* entries = nullptr;
    const PanelCursor* cursor = nullptr;
    bool active = false;
};

// Widths of the name, size and date columns in a panel `inner` columns
// wide; 0 for a column left out. The date is "dd.mm.yy hh:mm" or, shorter,
// "dd.mm.yy".
struct PanelColumns {
    int name = 0, size = 0, date = 0;
};
PanelColumns ChooseColumns(int inner);

// Rows of the list in a panel of the given height.
int PanelListRows(int height);

void PaintPanel(Grid& grid, int x, int y, int width, int height, const PanelPaint& panel);

// A size as the size column shows it: the number when it fits in `width`,
// else in K, M or G.
std::u32string FormatSize(uint64_t size, int width);

}  // namespace plughost::tui
