#include "tui/panel_view.h"

#include <gtest/gtest.h>

#include "tui/keys.h"

namespace plughost::tui {
namespace {

TEST(PanelView, CursorMovesAndStaysVisible) {
    struct Case {
        int current, top, code, count, rows;
        int wantCurrent, wantTop;
    } const cases[] = {
        {0, 0, key::kDown, 5, 3, 1, 0},      {2, 0, key::kDown, 5, 3, 3, 1},
        {4, 2, key::kDown, 5, 3, 4, 2},      {0, 0, key::kUp, 5, 3, 0, 0},
        {0, 0, key::kEnd, 50, 10, 49, 40},   {49, 40, key::kHome, 50, 10, 0, 0},
        {0, 0, key::kPageDown, 50, 10, 9, 0}, {9, 0, key::kPageDown, 50, 10, 18, 9},
        {5, 0, key::kPageUp, 50, 10, 0, 0},  {0, 0, key::kDown, 0, 10, 0, 0},
    };
    for (const Case& c : cases) {
        PanelCursor cursor{c.current, c.top};
        EXPECT_TRUE(cursor.Handle(c.code, c.count, c.rows));
        EXPECT_EQ(cursor.current, c.wantCurrent) << c.current << " " << c.code;
        EXPECT_EQ(cursor.top, c.wantTop) << c.current << " " << c.code;
    }
    PanelCursor cursor;
    EXPECT_FALSE(cursor.Handle(key::kEnter, 5, 3));
}

TEST(PanelView, SizesShrinkToTheirColumn) {
    EXPECT_EQ(FormatSize(0, 10), U"0");
    EXPECT_EQ(FormatSize(1234567890, 10), U"1234567890");
    EXPECT_EQ(FormatSize(12345678901ULL, 10), U"12056328K");
    EXPECT_EQ(FormatSize(5 * 1024 * 1024, 4), U"5M");
}

TEST(PanelView, PaintsTitleColumnsEntriesAndInfoLine) {
    Grid grid;
    grid.Resize(60, 12);
    std::vector<PanelEntry> entries = {{"..", true, false, 0, ""}, {"docs", true, false, 0, ""}, {"notes.txt", false, true, 1234, "08.12.26 14:00"}};
    PanelCursor cursor{2, 0};
    PanelPaint paint{"/work/samples", &entries, &cursor, true};
    PaintPanel(grid, 0, 0, 60, 12, paint);
    EXPECT_NE(grid.RowText(0).find(" /work/samples "), std::string::npos);
    EXPECT_NE(grid.RowText(1).find("Name"), std::string::npos);
    EXPECT_NE(grid.RowText(2).find("Up"), std::string::npos);
    EXPECT_NE(grid.RowText(3).find("docs"), std::string::npos);
    EXPECT_NE(grid.RowText(3).find("Folder"), std::string::npos);
    const std::string row = grid.RowText(4);
    EXPECT_NE(row.find("notes.txt"), std::string::npos);
    EXPECT_NE(row.find("1234"), std::string::npos);
    EXPECT_NE(row.find("08.12.26 14:00"), std::string::npos);
    EXPECT_EQ(grid.At(1, 4).style, Style::kPanelCursorSelected);
    EXPECT_NE(grid.RowText(10).find("notes.txt"), std::string::npos);  // info line
    EXPECT_NE(grid.RowText(9).find("1234 bytes in 1 selected"), std::string::npos);
}

TEST(PanelView, WideNamesAreCutByColumnsAndKeepTheColumnsInPlace) {
    Grid grid;
    grid.Resize(120, 12);
    std::vector<PanelEntry> entries = {
        {"..", true, false, 0, ""},
        {std::string("\xE6\xBC\xA2\xE5\xAD\x97") + "\xE6\xBC\xA2\xE5\xAD\x97" + std::string(30, 'x') + ".txt", false, false, 7, ""},
        {"\xF0\x9F\x98\x80 smile.txt", false, false, 8, ""},
        {"cafe\xCC\x81.txt", false, false, 9, ""},   // a combining accent
        {"plain.txt", false, false, 10, ""},
    };
    PanelCursor cursor{1, 0};
    PanelPaint paint{"/w", &entries, &cursor, true};
    PaintPanel(grid, 0, 0, 60, 12, paint);
    grid.Text(60, 3, U"RIGHT", Style::kPanel);
    // The size column's rule is at the same column on every row, and the other panel is untouched.
    int rule = -1;
    for (int x = 0; x < 60; ++x)
        if (grid.At(x, 2).ch == U'│') rule = x;
    ASSERT_GT(rule, 0);
    for (int row = 2; row <= 6; ++row) EXPECT_EQ(grid.At(rule, row).ch, U'│') << row;
    EXPECT_EQ(grid.At(59, 3).ch, U'║');
    EXPECT_EQ(grid.At(60, 3).ch, U'R');
    // The long CJK name is cut by width and marked; it never spills over its column.
    EXPECT_NE(grid.RowText(3).find("漢字漢字xxx"), std::string::npos);
    EXPECT_NE(grid.RowText(3).find("}"), std::string::npos);
    EXPECT_NE(grid.RowText(4).find("😀 smile.txt"), std::string::npos);
    EXPECT_NE(grid.RowText(5).find("cafe.txt"), std::string::npos);
}

TEST(Grid, WideCharactersTakeTwoCellsAndLeaveNoHalves) {
    Grid grid;
    grid.Resize(6, 1);
    EXPECT_EQ(grid.Text(0, 0, U"漢字x", Style::kPanel), 5);
    EXPECT_EQ(grid.RowText(0), "漢字x ");
    grid.Put(3, 0, U'-', Style::kPanel);              // over the right half of 字
    EXPECT_EQ(grid.RowText(0), "漢 -x ");
    grid.Put(0, 0, U'+', Style::kPanel);              // over the left half of 漢
    EXPECT_EQ(grid.RowText(0), "+  -x ");
    EXPECT_EQ(grid.Text(4, 0, U"漢", Style::kPanel, 1), 1);  // no room for both halves: a blank
    EXPECT_EQ(grid.RowText(0), "+  -  ");
    EXPECT_EQ(grid.Text(5, 0, U"漢", Style::kPanel), 1);     // nor at the edge
    EXPECT_EQ(grid.RowText(0), "+  -  ");
}

TEST(PanelView, NarrowPanelsKeepSizesAndShortenDatesFirst) {
    struct Case {
        int inner, name, size, date;
    } const cases[] = {
        {58, 32, 10, 14},  // 120 columns: the full date
        {38, 18, 10, 8},   // 80 columns: the date without its time
        {30, 19, 10, 0},   // the date goes before the size
        {20, 20, 0, 0},    // the name alone
    };
    for (const Case& c : cases) {
        const PanelColumns got = ChooseColumns(c.inner);
        EXPECT_EQ(got.name, c.name) << c.inner;
        EXPECT_EQ(got.size, c.size) << c.inner;
        EXPECT_EQ(got.date, c.date) << c.inner;
    }
    Grid grid;
    grid.Resize(40, 8);
    std::vector<PanelEntry> entries = {{"notes.txt", false, false, 1234, "08.12.26 14:00"}};
    PanelCursor cursor{0, 0};
    PanelPaint paint{"/w", &entries, &cursor, false};
    PaintPanel(grid, 0, 0, 40, 8, paint);
    EXPECT_EQ(grid.RowText(2), "║notes.txt         │      1234│08.12.26║");
}

}  // namespace
}  // namespace plughost::tui
