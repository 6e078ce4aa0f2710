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

}  // namespace
}  // namespace plughost::tui
