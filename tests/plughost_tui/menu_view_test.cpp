#include "tui/menu_view.h"

#include <gtest/gtest.h>

#include "fake_terminal.h"

namespace plughost::tui {
namespace {

MenuContent ConfigMenu(int selected) {
    MenuContent content;
    content.title = "vexil";
    content.items = {{"&General options"}, {"&Encoding options"}, {"", false, false, true}, {"&About"}, {"&Save"}};
    if (selected >= 0) content.items[static_cast<size_t>(selected)].selected = true;
    return content;
}

TEST(MenuView, ChoosingEntries) {
    struct Case {
        int selected;
        std::vector<int> keys;
        int result;
    } const cases[] = {
        {-1, {key::kEnter}, 0},
        {1, {key::kEnter}, 1},                 // opens on the selected entry
        {1, {key::kDown, key::kEnter}, 3},     // the separator is skipped
        {3, {key::kUp, key::kEnter}, 1},
        {-1, {key::kUp, key::kEnter}, 4},      // wraps to the end
        {-1, {key::kEnd, key::kEnter}, 4},
        {-1, {'s'}, 4},                        // hot key
        {-1, {'E' | key::kAlt}, 1},
        {-1, {key::kEsc}, -1},
    };
    for (const Case& c : cases) {
        FakeTerminal terminal(80, 25);
        Screen screen(terminal);
        for (int k : c.keys) terminal.Press(k);
        EXPECT_EQ(RunMenu(screen, ConfigMenu(c.selected)), c.result) << c.selected;
        EXPECT_EQ(terminal.drained, 0);
    }
}

TEST(MenuView, ShowsTitleEntriesAndSeparator) {
    FakeTerminal terminal(80, 25);
    Screen screen(terminal);
    std::string shown;
    terminal.Press(key::kDown);
    terminal.Press(key::kEsc);
    struct Spy : Terminal {
        FakeTerminal& inner;
        std::string& seen;
        Spy(FakeTerminal& i, std::string& s) : inner(i), seen(s) {}
        void Size(int* w, int* h) override { inner.Size(w, h); }
        void Present(const Grid& g, int x, int y) override {
            inner.Present(g, x, y);
            if (seen.empty()) seen = inner.Text();
        }
        int ReadKey(int t) override { return inner.ReadKey(t); }
    } spy(terminal, shown);
    Screen spyScreen(spy);
    RunMenu(spyScreen, ConfigMenu(-1));
    EXPECT_NE(shown.find(" vexil "), std::string::npos);
    EXPECT_NE(shown.find("Encoding options"), std::string::npos);
    EXPECT_NE(shown.find("╟────"), std::string::npos);
}

TEST(MenuView, NothingToChooseIsCancelled) {
    FakeTerminal terminal(80, 25);
    Screen screen(terminal);
    MenuContent content;
    content.items = {{"", false, false, true}};
    EXPECT_EQ(RunMenu(screen, content), -1);
    EXPECT_EQ(RunMenu(screen, MenuContent{}), -1);
}

}  // namespace
}  // namespace plughost::tui
