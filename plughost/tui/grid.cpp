#include "grid.h"

#include "text_codec.h"

namespace plughost::tui {

void Grid::Resize(int width, int height) {
    width_ = width < 0 ? 0 : width;
    height_ = height < 0 ? 0 : height;
    cells_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), Cell{});
}

Cell Grid::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return Cell{};
    return cells_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void Grid::PutCell(int x, int y, char32_t ch, Style style) {
    Cell& cell = cells_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    // Half a wide character left behind would show as garbage: blank the other half.
    if (cell.ch == kWideTail && x > 0 && ch != kWideTail) {
        Cell& lead = cells_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x - 1)];
        lead.ch = U' ';
    }
    if (cell.ch != kWideTail && x + 1 < width_) {
        Cell& next = cells_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x + 1)];
        if (next.ch == kWideTail) next.ch = U' ';
    }
    cell = Cell{ch, style};
}

void Grid::Put(int x, int y, char32_t ch, Style style) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (ch == kWideTail) ch = U' ';
    PutCell(x, y, ch, style);
}

int Grid::Text(int x, int y, std::u32string_view text, Style style, int maxWidth) {
    int written = 0;
    for (char32_t ch : text) {
        if (maxWidth >= 0 && written >= maxWidth) break;
        if (x + written >= width_) break;
        int w = CharWidth(ch);
        if (w == 0) continue;
        if (w < 0) ch = U'?', w = 1;
        if (w == 2) {
            const bool room = (maxWidth < 0 || written + 2 <= maxWidth) && x + written + 1 < width_;
            if (!room || x + written < 0 || y < 0 || y >= height_) {
                Put(x + written, y, U' ', style);
                ++written;
                break;
            }
            Put(x + written, y, ch, style);
            Put(x + written + 1, y, U' ', style);
            PutCell(x + written + 1, y, kWideTail, style);
            written += 2;
            continue;
        }
        Put(x + written, y, ch, style);
        ++written;
    }
    return written;
}

void Grid::Fill(int x, int y, int width, int height, Style style, char32_t ch) {
    for (int row = y; row < y + height; ++row)
        for (int col = x; col < x + width; ++col) Put(col, row, ch, style);
}

void Grid::Frame(int x1, int y1, int x2, int y2, bool doubleLine, Style style) {
    if (x2 <= x1 || y2 <= y1) return;
    const char32_t h = doubleLine ? U'═' : U'─';
    const char32_t v = doubleLine ? U'║' : U'│';
    for (int x = x1 + 1; x < x2; ++x) {
        Put(x, y1, h, style);
        Put(x, y2, h, style);
    }
    for (int y = y1 + 1; y < y2; ++y) {
        Put(x1, y, v, style);
        Put(x2, y, v, style);
    }
    Put(x1, y1, doubleLine ? U'╔' : U'┌', style);
    Put(x2, y1, doubleLine ? U'╗' : U'┐', style);
    Put(x1, y2, doubleLine ? U'╚' : U'└', style);
    Put(x2, y2, doubleLine ? U'╝' : U'┘', style);
}

void Grid::Rule(int x1, int x2, int y, bool doubleFrame, Style style) {
    for (int x = x1 + 1; x < x2; ++x) Put(x, y, U'─', style);
    Put(x1, y, doubleFrame ? U'╟' : U'├', style);
    Put(x2, y, doubleFrame ? U'╢' : U'┤', style);
}

std::string Grid::RowText(int y) const {
    std::string out;
    for (int x = 0; x < width_; ++x)
        if (At(x, y).ch != kWideTail) out += EncodeUtf8(At(x, y).ch);
    return out;
}

}  // namespace plughost::tui
