// The character grid the screen layer draws into; a terminal shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plughost::tui {

// What a cell looks like; the terminal maps each style to its colours.
enum class Style : uint8_t {
    kPanel,          // panel text and frame
    kPanelDir,       // directory names
    kPanelSelected,  // selected items
    kPanelCursor,    // the item under the cursor of the active panel
    kPanelCursorSelected,
    kPanelTitle,     // title of the active panel
    kTitleBar,       // the top line
    kKeyNumber,      // key bar: the key number
    kKeyLabel,       // key bar: what the key does
    kDialog,         // dialog and message text and frame
    kDialogHot,      // hot key letter
    kDialogFocus,    // the focused item
    kDialogEdit,     // an edit field
    kDialogEditMarked,  // an edit field's text before the first key replaces it
    kWarning,        // warning message boxes
    kWarningHot,
    kWarningFocus,
    kMenu,
    kMenuHot,
    kMenuSelected,
    kHelp,
    kHelpTitle,
    kCount
};

// The cell right of a wide character holds this: the character covers it.
constexpr char32_t kWideTail = 0;

struct Cell {
    char32_t ch = U' ';
    Style style = Style::kPanel;
    bool operator==(const Cell&) const = default;
};

class Grid {
public:
    void Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    Cell At(int x, int y) const;
    // Writes one narrow character inside the grid only; anything outside is
    // dropped. Writing over half of a wide character blanks its other half.
    void Put(int x, int y, char32_t ch, Style style);
    // Writes `text` from (x, y), at most `maxWidth` cells (-1: to the grid's
    // edge), each character in as many cells as the terminal gives it: a
    // wide one takes two (a blank when only one is left), a zero-width one is
    // left out and a control character shows as '?'. Returns the cells written.
    int Text(int x, int y, std::u32string_view text, Style style, int maxWidth = -1);
    void Fill(int x, int y, int width, int height, Style style, char32_t ch = U' ');
    // A frame with corners at (x1, y1) and (x2, y2).
    void Frame(int x1, int y1, int x2, int y2, bool doubleLine, Style style);
    // A horizontal rule from x1 to x2 whose ends join a frame of the given kind.
    void Rule(int x1, int x2, int y, bool doubleFrame, Style style);

    // Row y as UTF-8 text (trailing blanks kept; a wide character once), for tests and logs.
    std::string RowText(int y) const;
    bool operator==(const Grid&) const = default;

private:
    void PutCell(int x, int y, char32_t ch, Style style);

    int width_ = 0;
    int height_ = 0;
    std::vector<Cell> cells_;
};

}  // namespace plughost::tui
