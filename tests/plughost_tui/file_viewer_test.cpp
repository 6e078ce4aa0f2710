#include "tui/file_viewer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fake_terminal.h"

namespace plughost::tui {
namespace {

namespace fs = std::filesystem;

TEST(FileViewer, SplitsLinesAndShowsTheCodePageAsUnicode) {
    struct Case {
        std::string bytes;
        std::vector<std::u32string> lines;
    } const cases[] = {
        {"a\r\nb\nc\rd", {U"a", U"b", U"c", U"d"}},
        {"end\n", {U"end"}},
        {"", {U""}},
        {"\tx", {U"        x"}},
        {"\xC9\xCD\xBB \xB3", {U"╔═╗ │"}},          // OEM box drawing
        {"caf\xC3\xA9 \xE6\xBC\xA2", {U"café 漢"}},  // UTF-8
    };
    for (const Case& c : cases) EXPECT_EQ(ViewerLines(c.bytes), c.lines) << c.bytes;
    const std::vector<std::u32string> lines = {U"one", U"Begin 644 x", U"two", U"begin again"};
    EXPECT_EQ(FindLine(lines, U"BEGIN", 0), 1);
    EXPECT_EQ(FindLine(lines, U"begin", 2), 3);
    EXPECT_EQ(FindLine(lines, U"none", 0), -1);
}

TEST(FileViewer, PagesAndFindsInAFile) {
    const fs::path file = fs::temp_directory_path() / "file_viewer_test.txt";
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 1; i <= 100; ++i) out << "row " << i << (i == 70 ? " needle" : "") << "\n";
    }
    FakeTerminal terminal(60, 20);
    Screen screen(terminal);
    terminal.Press(key::kPageDown);     // seen at the first key: rows 1 to 19
    terminal.Press(U'/');               // seen: row 19 at the top
    terminal.Type("NEEDLE");
    terminal.Press(key::kEnter);
    terminal.Press(key::kEsc);          // seen: the search result at the top
    std::vector<std::string> seen;
    struct Spy : Terminal {
        FakeTerminal& inner;
        std::vector<std::string>& seen;
        Spy(FakeTerminal& i, std::vector<std::string>& s) : inner(i), seen(s) {}
        void Size(int* w, int* h) override { inner.Size(w, h); }
        void Present(const Grid& g, int x, int y) override { inner.Present(g, x, y); }
        int ReadKey(int t) override {
            seen.push_back(inner.shown.RowText(1));
            return inner.ReadKey(t);
        }
    } spy(terminal, seen);
    Screen spyScreen(spy);
    std::string error;
    EXPECT_TRUE(ViewFile(spyScreen, file.string(), "title", &error));
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0].rfind("row 1 ", 0), 0u);
    EXPECT_EQ(seen[1].rfind("row 19 ", 0), 0u);   // a page keeps its last row in sight
    EXPECT_EQ(seen.back().rfind("row 70 needle", 0), 0u);
    EXPECT_EQ(terminal.drained, 0);
    fs::remove(file);
    EXPECT_FALSE(ViewFile(spyScreen, file.string(), "title", &error));
    EXPECT_EQ(error, "No such file or directory");
}

}  // namespace
}  // namespace plughost::tui
