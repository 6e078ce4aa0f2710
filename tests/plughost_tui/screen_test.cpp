#include "tui/screen.h"

#include <gtest/gtest.h>

#include "fake_terminal.h"

namespace plughost::tui {
namespace {

TEST(Screen, LayersGiveBackWhatWasUnderThemInOrder) {
    FakeTerminal terminal(20, 5);
    Screen screen(terminal);
    screen.SetBasePainter([](Grid& g) { g.Text(0, 0, U"base", Style::kPanel); });
    screen.RepaintAll();
    {
        Screen::Layer first(screen, nullptr);
        screen.GetGrid().Text(0, 0, U"one", Style::kDialog);
        {
            Screen::Layer second(screen, nullptr);
            screen.GetGrid().Text(0, 0, U"two", Style::kDialog);
            EXPECT_EQ(screen.LayerCount(), 2);
        }
        EXPECT_EQ(terminal.shown.RowText(0).substr(0, 4), "onee");
    }
    EXPECT_EQ(terminal.shown.RowText(0).substr(0, 4), "base");
    EXPECT_EQ(screen.LayerCount(), 0);
}

TEST(Screen, ResizeRepaintsBaseThenEveryLayer) {
    FakeTerminal terminal(20, 5);
    Screen screen(terminal);
    std::string order;
    screen.SetBasePainter([&](Grid&) { order += "B"; });
    Screen::Layer first(screen, [&](Grid&) { order += "1"; });
    Screen::Layer second(screen, [&](Grid& g) {
        order += "2";
        g.Text(0, g.Height() - 1, U"bottom", Style::kDialog);
    });
    terminal.resizeWidth = 30;
    terminal.resizeHeight = 8;
    terminal.Press(key::kResize);
    EXPECT_EQ(screen.ReadKey(0), key::kResize);
    EXPECT_EQ(order, "B12");
    EXPECT_EQ(terminal.shown.Width(), 30);
    EXPECT_EQ(terminal.shown.RowText(7).substr(0, 6), "bottom");
}

TEST(Screen, HelpIsLookedUpOnlyForATopic) {
    FakeTerminal terminal(20, 5);
    Screen screen(terminal);
    HelpTopic topic;
    EXPECT_FALSE(screen.FindHelp("Any", &topic));  // no source yet
    int asked = 0;
    screen.SetHelpSource([&](const std::string&, HelpTopic*) { return ++asked > 0; });
    EXPECT_FALSE(screen.FindHelp("", &topic));
    EXPECT_TRUE(screen.FindHelp("Any", &topic));
    EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace plughost::tui
