#include "tui/message_view.h"

#include <gtest/gtest.h>

#include "fake_terminal.h"
#include "host/host_interface.h"

namespace plughost::tui {
namespace {

MessageContent Question() {
    MessageContent content;
    content.flags = host::kMsgWarning;
    content.title = "vexil";
    content.lines = {"Stop encoding?"};
    content.buttons = {"&Continue", "&Stop"};
    return content;
}

TEST(MessageView, ButtonsAnswerByArrowsHotKeysAndEsc) {
    struct Case {
        std::vector<int> keys;
        int result;
    } const cases[] = {
        {{key::kEnter}, 0},
        {{key::kRight, key::kEnter}, 1},
        {{key::kRight, key::kRight, ' '}, 0},  // wraps round
        {{'s'}, 1},
        {{'C' | key::kAlt}, 0},
        {{key::kEsc}, -1},
    };
    for (const Case& c : cases) {
        FakeTerminal terminal(80, 25);
        Screen screen(terminal);
        for (int k : c.keys) terminal.Press(k);
        EXPECT_EQ(RunMessage(screen, Question()), c.result);
        EXPECT_EQ(terminal.drained, 0);
    }
}

TEST(MessageView, WarningBoxUsesTheWarningStyle) {
    FakeTerminal terminal(80, 25);
    Screen screen(terminal);
    struct Spy : Terminal {
        FakeTerminal& inner;
        bool sawWarning = false;
        explicit Spy(FakeTerminal& i) : inner(i) {}
        void Size(int* w, int* h) override { inner.Size(w, h); }
        void Present(const Grid& g, int x, int y) override {
            for (int r = 0; r < g.Height(); ++r)
                for (int c = 0; c < g.Width(); ++c) sawWarning = sawWarning || g.At(c, r).style == Style::kWarning;
            inner.Present(g, x, y);
        }
        int ReadKey(int t) override { return inner.ReadKey(t); }
    } spy(terminal);
    Screen spyScreen(spy);
    terminal.Press(key::kEnter);
    RunMessage(spyScreen, Question());
    EXPECT_TRUE(spy.sawWarning);
}

TEST(MessageView, ButtonlessBoxReturnsAtOnceAndStaysOnScreen) {
    FakeTerminal terminal(80, 25);
    Screen screen(terminal);
    MessageContent progress;
    progress.flags = host::kMsgLeftAlign;
    progress.title = "Encoding";
    progress.lines = {"notes.txt", "to", "out.uue", std::string(10, '\xDB') + std::string(15, '\xB0'),
                      std::string(25, '\xC4')};
    EXPECT_EQ(RunMessage(screen, progress), -1);
    EXPECT_EQ(terminal.drained, 0);  // read no key
    EXPECT_TRUE(terminal.Shows("██████████░░░░░░░░░░░░░░░"));
    EXPECT_TRUE(terminal.Shows("─────────────────────────"));

    // A question over it, once answered, gives the progress box back.
    terminal.Press(key::kEnter);
    RunMessage(screen, Question());
    EXPECT_TRUE(terminal.Shows("██████████░░░░░░░░░░░░░░░"));
    EXPECT_FALSE(terminal.Shows("Stop encoding?"));
}

TEST(MessageView, LinesAreCentredUnlessLeftAligned) {
    for (bool left : {false, true}) {
        FakeTerminal terminal(80, 25);
        Screen screen(terminal);
        MessageContent content;
        content.flags = left ? host::kMsgLeftAlign : 0;
        content.title = "T";
        content.lines = {"a much longer line of text", "short"};
        RunMessage(screen, content);
        const std::string text = terminal.Text();
        const size_t longStart = text.find("a much longer");
        const size_t shortStart = text.find("short");
        ASSERT_NE(longStart, std::string::npos);
        const size_t longColumn = longStart - text.rfind('\n', longStart);
        const size_t shortColumn = shortStart - text.rfind('\n', shortStart);
        if (left)
            EXPECT_EQ(shortColumn, longColumn);
        else
            EXPECT_GT(shortColumn, longColumn);
    }
}

}  // namespace
}  // namespace plughost::tui
