#include "tui/dialog_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake_terminal.h"

namespace plughost::tui {
namespace {

host::DialogItem Item(int type, int x1, int y1, int x2, int y2, const char* text, uint32_t flags = 0,
                      int selected = 0, int focus = 0, int defaultButton = 0) {
    host::DialogItem item{};
    item.type = type;
    item.x1 = x1, item.y1 = y1, item.x2 = x2, item.y2 = y2;
    item.flags = flags;
    item.selected = selected;
    item.focus = focus;
    item.defaultButton = defaultButton;
    std::strncpy(item.data, text, sizeof item.data - 1);
    return item;
}

// The calculator's dialog as it passes it (43 x 12).
std::vector<host::DialogItem> CalculatorItems() {
    using namespace host;
    return {
        Item(kDiEdit, 2, 2, 40, 0, "0", 0x200, 1, -1),
        Item(kDiDoubleBox, 0, 0, 42, 11, "Calculator"),
        Item(kDiText, 2, 1, 0, 0, "Expression", 0x200),
        Item(kDiSingleBox, 9, 3, 40, 9, "", 0xa00),
        Item(kDiText, 2, 4, 0, 0, "Eval As", 0x200),
        Item(kDiRadioButton, 2, 5, 0, 0, "&DEC", 0x200, 1),
        Item(kDiRadioButton, 2, 6, 0, 0, "&HEX", 0x200),
        Item(kDiRadioButton, 2, 7, 0, 0, "&OCT", 0x200),
        Item(kDiRadioButton, 2, 8, 0, 0, "&BIN", 0x200),
        Item(kDiText, 10, 5, 0, 0, "255", 0x200),
        Item(kDiText, 10, 6, 0, 0, "FF", 0x200),
        Item(kDiText, 10, 7, 0, 0, "377", 0x200),
        Item(kDiText, 10, 8, 0, 0, "11111111", 0x200),
        Item(kDiButton, 2, 10, 0, 0, "&Run", 0x4000, 0, 0, 1),
        Item(kDiButton, 10, 10, 0, 0, "&Evaluate", 0x4000),
        Item(kDiButton, 32, 10, 0, 0, "Close", 0x4000),
    };
}

class DialogViewTest : public ::testing::Test {
protected:
    int Run(std::vector<host::DialogItem>& items, int width, int height, const std::string& help = "") {
        Screen screen(terminal);
        DialogContent content;
        content.helpTopic = help;
        content.width = width;
        content.height = height;
        content.items = items.data();
        content.count = static_cast<int>(items.size());
        return RunDialog(screen, content);
    }
    // The screen as it was shown just before the dialog closed.
    std::string LastDialogScreen() { return lastShown; }

    FakeTerminal terminal{80, 25};
    std::string lastShown;
};

TEST_F(DialogViewTest, CalculatorTypingReplacesTheFieldAndAltPicksTheRadix) {
    auto items = CalculatorItems();
    terminal.Type("250+5");
    terminal.Press('h' | key::kAlt);
    terminal.Press(key::kEnter);
    EXPECT_EQ(Run(items, 43, 12), 13);  // Enter in the field presses the default button
    EXPECT_STREQ(items[0].data, "250+5");
    EXPECT_EQ(items[5].selected, 0);
    EXPECT_EQ(items[6].selected, 1);
    EXPECT_EQ(items[7].selected, 0);
    EXPECT_EQ(items[8].selected, 0);
}

TEST_F(DialogViewTest, CalculatorIsCentredWithItsButtonsCentredOnTheirLine) {
    auto items = CalculatorItems();
    terminal.Press(key::kTab);  // leave the field so the last frame is the whole dialog
    Run(items, 43, 12);
    const Grid& g = terminal.seen;
    const int left = (80 - 43) / 2, top = (25 - 12) / 2;
    EXPECT_EQ(g.At(left, top).ch, U'╔');
    EXPECT_EQ(g.At(left + 42, top + 11).ch, U'╝');
    EXPECT_NE(g.RowText(top).find(" Calculator "), std::string::npos);
    EXPECT_EQ(g.At(left + 9, top + 3).ch, U'┌');
    // "{ Run }" (7) + "[ Evaluate ]" (12) + "[ Close ]" (9) with single gaps: 30 cells, centred in 43.
    EXPECT_NE(g.RowText(top + 10).find("{ Run } [ Evaluate ] [ Close ]"), std::string::npos);
    EXPECT_EQ(g.At(left + 6, top + 10).ch, U'{');
    EXPECT_NE(g.RowText(top + 6).find("( ) HEX│FF"), std::string::npos);
    EXPECT_NE(g.RowText(top + 5).find("(•) DEC│255"), std::string::npos);
}

TEST_F(DialogViewTest, ClosingItemsAndEsc) {
    struct Case {
        std::vector<int> keys;
        int result;
    } const cases[] = {
        {{'e' | key::kAlt}, 14},                             // a button's hot key presses it
        {{key::kEsc}, -1},                                    // Esc cancels
        {{key::kBackTab, key::kEnter}, 15},                   // Shift+Tab wraps to the last button
        {{key::kTab, key::kTab, key::kTab, key::kTab, key::kTab, key::kTab, key::kTab, key::kEnter}, 15},
        {{key::kTab, 'b', key::kTab, key::kTab, ' '}, 14},   // plain hot keys away from the field
    };
    for (const Case& c : cases) {
        auto items = CalculatorItems();
        for (int k : c.keys) terminal.Press(k);
        EXPECT_EQ(Run(items, 43, 12), c.result);
        EXPECT_EQ(terminal.drained, 0);
    }
}

TEST_F(DialogViewTest, EditFieldCursorEditing) {
    std::vector<host::DialogItem> items = {
        Item(host::kDiEdit, 2, 1, 20, 1, "abcdef", 0, 0, 1),
        Item(host::kDiButton, 2, 3, 0, 0, "OK", 0, 0, 0, 1),
    };
    terminal.Press(key::kHome);  // ends the marking without changing the text
    terminal.Press(key::kDelete);
    terminal.Press(key::kRight);
    terminal.Type("XY");
    terminal.Press(key::kEnd);
    terminal.Press(key::kBackspace);
    terminal.Press(key::kLeft);
    terminal.Type("-");
    terminal.Press(key::kEnter);
    EXPECT_EQ(Run(items, 30, 5), 1);
    EXPECT_STREQ(items[0].data, "bXYcd-e");
}

TEST_F(DialogViewTest, BackspaceOnAFreshFieldClearsIt) {
    std::vector<host::DialogItem> items = {Item(host::kDiEdit, 2, 1, 20, 1, "old text", 0, 0, 1)};
    terminal.Press(key::kBackspace);
    terminal.Type("n");
    terminal.Press(key::kEnter);
    EXPECT_EQ(Run(items, 30, 5), 0);
    EXPECT_STREQ(items[0].data, "n");
}

TEST_F(DialogViewTest, HistoryNameOfAnEditIsLeftAlone) {
    static const char kHistory[] = "";
    std::vector<host::DialogItem> items = {Item(host::kDiEdit, 2, 1, 20, 1, "target", host::kDifHistory, 0, 1)};
    items[0].history = kHistory;
    terminal.Type("x");
    terminal.Press(key::kEnter);
    Run(items, 30, 5);
    EXPECT_EQ(items[0].history, kHistory);
    EXPECT_STREQ(items[0].data, "x");
}

// The encoding options dialog: check boxes, two columns split by a vertical
// rule, a radio group started by 0x400, separators across the double box.
std::vector<host::DialogItem> EncodingOptionItems() {
    using namespace host;
    return {
        Item(kDiButton, 0, 11, 0, 0, "&Ok", 0x4000, 0, 0, 1),
        Item(kDiButton, 0, 11, 0, 0, "&Cancel", 0x4000),
        Item(kDiDoubleBox, 3, 1, 65, 12, "Encoding"),
        Item(kDiCheckBox, 5, 2, 0, 0, "&Single storage", 0, 1, 1),
        Item(kDiCheckBox, 5, 3, 0, 0, "S&plit output", 0, 0),
        Item(kDiText, 35, 3, 0, 0, "Lines per section"),
        Item(kDiEdit, 55, 3, 63, 3, "100"),
        Item(kDiText, 2, 4, 0, 0, "", kDifSeparator),
        Item(kDiCheckBox, 5, 5, 0, 0, "Write the character &table", 0, 1),
        Item(kDiCheckBox, 5, 6, 0, 0, "C&hecksums", 0, 1),
        Item(kDiCheckBox, 5, 7, 0, 0, "C&RC", 0, 1),
        Item(kDiText, 35, 5, 0, 0, "Type"),
        Item(kDiRadioButton, 37, 6, 0, 0, "&UU", kDifGroup, 1),
        Item(kDiRadioButton, 37, 7, 0, 0, "&XX", 0, 0),
        Item(kDiRadioButton, 50, 6, 0, 0, "&Base64", 0, 0),
        Item(kDiText, 2, 8, 0, 0, "", kDifSeparator),
        Item(kDiCheckBox, 5, 9, 0, 0, "&Auto apply", 0, 1),
        Item(kDiText, 2, 10, 0, 0, "", kDifSeparator),
        Item(kDiVText, 32, 4, 32, 7, "\xC2\xB3\xB3\xB3\xC1"),
    };
}

TEST_F(DialogViewTest, EncodingOptionsStatesAreWrittenBack) {
    auto items = EncodingOptionItems();
    terminal.Press(' ');                // focus starts on the first check box: clears it
    terminal.Press('p' | key::kAlt);    // split output on
    terminal.Press('x' | key::kAlt);    // XX radio
    terminal.Press(key::kTab);          // on to the Base64 radio ...
    terminal.Press(key::kTab);          // ... and Auto apply
    terminal.Press(' ');
    terminal.Press(key::kEnter);        // default button
    EXPECT_EQ(Run(items, 69, 14), 0);
    EXPECT_EQ(items[3].selected, 0);
    EXPECT_EQ(items[4].selected, 1);
    EXPECT_EQ(items[12].selected, 0);
    EXPECT_EQ(items[13].selected, 1);
    EXPECT_EQ(items[14].selected, 0);
    EXPECT_EQ(items[16].selected, 0);
    EXPECT_EQ(items[16].focus, 1);
    EXPECT_EQ(items[3].focus, 0);
}

TEST_F(DialogViewTest, EncodingOptionsSeparatorsJoinTheBoxAndTheVerticalRule) {
    auto items = EncodingOptionItems();
    terminal.Press(key::kTab);
    Run(items, 69, 14);
    const Grid& g = terminal.seen;
    const int left = (80 - 69) / 2, top = (25 - 14) / 2;
    EXPECT_EQ(g.At(left + 3, top + 4).ch, U'╟');
    EXPECT_EQ(g.At(left + 65, top + 4).ch, U'╢');
    EXPECT_EQ(g.At(left + 20, top + 4).ch, U'─');
    EXPECT_EQ(g.At(left + 32, top + 4).ch, U'┬');
    EXPECT_EQ(g.At(left + 32, top + 5).ch, U'│');
    EXPECT_EQ(g.At(left + 32, top + 8).ch, U'┴');
    EXPECT_EQ(g.At(left + 3, top + 10).ch, U'╟');
    // Labels left of the vertical rule stop a blank short of it.
    EXPECT_NE(g.RowText(top + 6).find("[x] C"), std::string::npos);
    EXPECT_EQ(g.At(left + 31, top + 5).ch, U' ');
    // Both buttons centred together on row 11: "{ Ok }" + gap + "[ Cancel ]" = 17 cells.
    EXPECT_NE(g.RowText(top + 11).find("{ Ok } [ Cancel ]"), std::string::npos);
    EXPECT_EQ(g.At(left + (69 - 17) / 2, top + 11).ch, U'{');
}

TEST_F(DialogViewTest, LabelsStopAtTheSideOfTheirBox) {
    // The general options: a label longer than the box leaves its frame whole.
    std::vector<host::DialogItem> items = {
        Item(host::kDiButton, 10, 5, 0, 0, "OK", 0, 0, 0, 1),
        Item(host::kDiDoubleBox, 3, 1, 35, 6, "General options"),
        Item(host::kDiCheckBox, 5, 2, 0, 0, "&Suppress progress and wait notices", 0, 1, 1),
        Item(host::kDiText, 5, 3, 0, 0, "A text much longer than the box is wide"),
    };
    terminal.Press(key::kTab);
    Run(items, 39, 8);
    const Grid& g = terminal.seen;
    const int left = (80 - 39) / 2, top = (25 - 8) / 2;
    EXPECT_EQ(g.At(left + 35, top + 2).ch, U'║');
    EXPECT_EQ(g.At(left + 35, top + 3).ch, U'║');
    EXPECT_EQ(g.At(left + 34, top + 2).ch, U't');  // "[x] Suppress progress and wait" fills the box
    EXPECT_EQ(g.At(left + 36, top + 2).ch, U' ');
}

TEST_F(DialogViewTest, LabelsStopBeforeTheNextItemOnTheirRow) {
    // The detailed encoding dialog's row 6: a check box, a label at 32 and a field at 52.
    std::vector<host::DialogItem> items = {
        Item(host::kDiButton, 23, 8, 0, 0, "OK", 0, 0, 0, 1),
        Item(host::kDiDoubleBox, 3, 1, 63, 9, "Encode files"),
        Item(host::kDiCheckBox, 5, 6, 30, 6, "S&plit output into sections", 0, 0, 1),
        Item(host::kDiText, 32, 6, 50, 6, "Lines per section:"),
        Item(host::kDiEdit, 52, 6, 60, 6, "100"),
        Item(host::kDiCheckBox, 5, 5, 30, 5, "Encode all files into a single storage"),
    };
    terminal.Press(key::kTab);
    Run(items, 67, 11);
    const std::string row6 = terminal.seen.RowText((25 - 11) / 2 + 6);
    EXPECT_NE(row6.find("[ ] Split output into sect Lines per section:"), std::string::npos) << row6;
    const std::string row5 = terminal.seen.RowText((25 - 11) / 2 + 5);
    EXPECT_NE(row5.find("[ ] Encode all files into a single storage"), std::string::npos) << row5;
}

TEST_F(DialogViewTest, F1ShowsTheHelpTopicAndReturnsToTheDialog) {
    std::vector<host::DialogItem> items = {Item(host::kDiButton, 2, 1, 0, 0, "OK", 0, 0, 1, 1)};
    std::string asked;
    std::string helpScreen;
    terminal.Press(key::F(1));
    DialogContent content;
    content.helpTopic = "GeneralOptions";
    content.width = 20;
    content.height = 4;
    content.items = items.data();
    content.count = 1;
    // Esc closes the help window, Enter then presses OK.
    terminal.Press(key::kEsc);
    terminal.Press(key::kEnter);
    struct Spy : Terminal {
        FakeTerminal& inner;
        std::string& seen;
        Spy(FakeTerminal& i, std::string& s) : inner(i), seen(s) {}
        void Size(int* w, int* h) override { inner.Size(w, h); }
        void Present(const Grid& g, int x, int y) override {
            inner.Present(g, x, y);
            if (inner.Shows("It has one button.")) seen = inner.Text();
        }
        int ReadKey(int t) override { return inner.ReadKey(t); }
    } spy(terminal, helpScreen);
    Screen spyScreen(spy);
    spyScreen.SetHelpSource([&](const std::string& topic, HelpTopic* out) {
        asked = topic;
        out->title = "About this dialog";
        out->lines = {"It has one button."};
        return true;
    });
    EXPECT_EQ(RunDialog(spyScreen, content), 0);
    EXPECT_EQ(asked, "GeneralOptions");
    EXPECT_NE(helpScreen.find("About this dialog"), std::string::npos);
    EXPECT_FALSE(terminal.Shows("It has one button."));  // gone after the help window closed
}

TEST_F(DialogViewTest, ScreenIsRestoredWhenTheDialogCloses) {
    Screen screen(terminal);
    screen.GetGrid().Text(0, 12, U"underneath", Style::kPanel);
    screen.Present();
    std::vector<host::DialogItem> items = {Item(host::kDiButton, 2, 1, 0, 0, "OK", 0, 0, 1, 1)};
    DialogContent content;
    content.width = 78;
    content.height = 5;
    content.items = items.data();
    content.count = 1;
    terminal.Press(key::kEnter);
    EXPECT_EQ(RunDialog(screen, content), 0);
    EXPECT_TRUE(terminal.Shows("underneath"));
}

TEST_F(DialogViewTest, ResizeRecentresTheDialog) {
    std::vector<host::DialogItem> items = {Item(host::kDiDoubleBox, 0, 0, 19, 3, "Box"),
                                           Item(host::kDiButton, 2, 1, 0, 0, "OK", 0, 0, 1, 1)};
    terminal.resizeWidth = 40;
    terminal.resizeHeight = 10;
    terminal.Press(key::kResize);
    terminal.Press(key::kTab);
    Run(items, 20, 4);
    EXPECT_EQ(terminal.shown.Width(), 40);
    EXPECT_EQ(terminal.seen.At(10, 3).ch, U'╔');
}

TEST_F(DialogViewTest, EditFieldsEditCharactersAndHandBackUtf8) {
    struct Case {
        const char* start;
        std::vector<int> keys;
        const char* want;
    } const cases[] = {
        {"", {U'é', U'€', U'ß'}, "\xC3\xA9\xE2\x82\xAC\xC3\x9F"},
        {"na\xC3\xAFve", {key::kEnd, key::kLeft, key::kLeft, key::kBackspace, key::kBackspace}, "nve"},
        {"caf\xC3\xA9", {key::kEnd, key::kBackspace, U'e'}, "cafe"},            // never a lone 0xC3
        {"\xC4\xC4 ab", {key::kEnd, key::kBackspace, U'!'}, "\xC4\xC4 a!"},  // OEM bytes kept
    };
    for (const Case& c : cases) {
        std::vector<host::DialogItem> items = {
            Item(host::kDiEdit, 2, 1, 20, 1, c.start, 0, 0, 1),
            Item(host::kDiButton, 2, 3, 0, 0, "OK", 0, 0, 0, 1),
        };
        for (int code : c.keys) terminal.Press(code);
        terminal.Press(key::kEnter);
        EXPECT_EQ(Run(items, 30, 5), 1);
        EXPECT_STREQ(items[0].data, c.want) << c.start;
    }
}

TEST_F(DialogViewTest, WideCharactersInAFieldKeepTheCursorOnTheirColumns) {
    std::vector<host::DialogItem> items = {
        Item(host::kDiEdit, 2, 1, 7, 1, "", 0, 0, 1),   // six columns
        Item(host::kDiButton, 2, 3, 0, 0, "OK", 0, 0, 0, 1),
    };
    for (char32_t ch : std::u32string(U"漢字漢字")) terminal.Press(static_cast<int>(ch));
    terminal.Press(key::kEnter);
    EXPECT_EQ(Run(items, 30, 5), 1);
    EXPECT_STREQ(items[0].data, "漢字漢字");
    // The field shows the last two characters with the cursor after them, inside the field.
    EXPECT_TRUE(terminal.Showed("漢字")) << terminal.Text();
    EXPECT_FALSE(terminal.Showed("字漢字"));
}

TEST_F(DialogViewTest, HelpWithoutATopicShowsContentsAndPagesWithAnIndicator) {
    std::vector<host::DialogItem> items = {Item(host::kDiButton, 2, 1, 0, 0, "OK", 0, 0, 1, 1)};
    DialogContent content;  // no help topic of its own
    content.width = 20;
    content.height = 4;
    content.items = items.data();
    content.count = 1;
    std::string asked;
    terminal.Press(key::F(1));
    terminal.Press(key::kPageDown);     // seen: the first page
    terminal.Press(key::kEsc);          // seen: the second page
    terminal.Press(key::kEnter);
    std::vector<std::string> pages;
    struct Spy : Terminal {
        FakeTerminal& inner;
        std::vector<std::string>& pages;
        Spy(FakeTerminal& i, std::vector<std::string>& p) : inner(i), pages(p) {}
        void Size(int* w, int* h) override { inner.Size(w, h); }
        void Present(const Grid& g, int x, int y) override { inner.Present(g, x, y); }
        int ReadKey(int t) override {
            if (inner.Shows("line 1 .") || inner.Shows("line 20 .")) pages.push_back(inner.Text());
            return inner.ReadKey(t);
        }
    } spy(terminal, pages);
    Screen spyScreen(spy);  // 80 x 25: the help window lists 19 lines
    spyScreen.SetHelpSource([&](const std::string& topic, HelpTopic* out) {
        asked = topic;
        out->title = "Contents";
        for (int i = 1; i <= 40; ++i) out->lines.push_back("line " + std::to_string(i) + " .");
        return true;
    });
    EXPECT_EQ(RunDialog(spyScreen, content), 0);
    EXPECT_EQ(asked, "Contents");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages[0].find("line 19 ."), std::string::npos);
    EXPECT_EQ(pages[0].find("line 20 ."), std::string::npos);
    EXPECT_EQ(pages[0].find("▲"), std::string::npos);      // at the top: no arrow up
    EXPECT_NE(pages[0].find("▼"), std::string::npos);
    EXPECT_NE(pages[0].find("PgUp PgDn"), std::string::npos);
    // PgDn keeps the page's last line in sight.
    EXPECT_NE(pages[1].find("line 19 ."), std::string::npos);
    EXPECT_EQ(pages[1].find("line 18 ."), std::string::npos);
    EXPECT_NE(pages[1].find("▲"), std::string::npos);
}

}  // namespace
}  // namespace plughost::tui
