#include "calculator/calculator_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace calc {
namespace {

// One answer of the fake host's dialog: what the user does to the items
// before pressing the button.
struct UserStep {
    std::string expression;  // empty: leave the field as shown
    int radio = -1;          // 0..3 selects DEC..BIN; -1 leaves it
    int button = kRunButton;
};

struct Showing {
    int x1, y1, x2, y2, count;
    const char* helpTopic;
    std::vector<host::DialogItem> items;
};

std::deque<UserStep> g_steps;
std::vector<Showing> g_showings;

int HOST_CALL FakeDialog(int /*module*/, int x1, int y1, int x2, int y2, const char* helpTopic,
                         host::DialogItem* items, int count) {
    g_showings.push_back({x1, y1, x2, y2, count, helpTopic, std::vector<host::DialogItem>(items, items + count)});
    if (g_steps.empty()) return -1;
    UserStep step = g_steps.front();
    g_steps.pop_front();
    if (!step.expression.empty()) std::strcpy(items[kExpressionItem].data, step.expression.c_str());
    if (step.radio >= 0) {
        for (int r = 0; r < 4; ++r) items[kFirstRadioItem + r].selected = r == step.radio;
    }
    return step.button;
}

class CalculatorDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_steps.clear();
        g_showings.clear();
        info_.dialog = FakeDialog;
    }

    void Run(std::vector<UserStep> steps, char separator = '.') {
        g_steps.assign(steps.begin(), steps.end());
        CalculatorDialog(info_, separator);
    }

    // The texts of the last showing: expression, then the four results.
    std::vector<std::string> LastShown() const {
        const std::vector<host::DialogItem>& items = g_showings.back().items;
        std::vector<std::string> texts = {items[kExpressionItem].data};
        for (int r = 0; r < 4; ++r) texts.push_back(items[kFirstResultItem + r].data);
        return texts;
    }

    int LastSelectedRadio() const {
        const std::vector<host::DialogItem>& items = g_showings.back().items;
        int selected = -1;
        for (int r = 0; r < 4; ++r) {
            if (items[kFirstRadioItem + r].selected) {
                EXPECT_EQ(selected, -1) << "two radio buttons selected";
                selected = r;
            }
        }
        return selected;
    }

    host::HostStartupInfo info_{};
};

using Texts = std::vector<std::string>;

TEST_F(CalculatorDialogTest, OpensWithZeroAndDecAndTheTabledItems) {
    Run({});
    ASSERT_EQ(g_showings.size(), 1u);
    const Showing& s = g_showings[0];
    EXPECT_EQ(s.x1, -1);
    EXPECT_EQ(s.y1, -1);
    EXPECT_EQ(s.x2, 43);
    EXPECT_EQ(s.y2, 12);
    EXPECT_EQ(s.helpTopic, nullptr);
    ASSERT_EQ(s.count, 16);
    EXPECT_EQ(LastShown(), (Texts{"0", "0", "0", "0", "0"}));
    EXPECT_EQ(LastSelectedRadio(), 0);

    struct Expected {
        int type, x1, y1, x2, y2, focus, selected;
        uint32_t flags;
        int defaultButton;
        const char* text;
    };
    const Expected table[16] = {
        {4, 2, 2, 40, 0, -1, 1, 0x200, 0, "0"},
        {3, 0, 0, 42, 11, 0, 0, 0, 0, "Calculator"},
        {0, 2, 1, 0, 0, 0, 0, 0x200, 0, "Expression"},
        {2, 9, 3, 40, 9, 0, 0, 0xa00, 0, ""},
        {0, 2, 4, 0, 0, 0, 0, 0x200, 0, "Eval As"},
        {9, 2, 5, 0, 0, 0, 1, 0x200, 0, "&DEC"},
        {9, 2, 6, 0, 0, 0, 0, 0x200, 0, "&HEX"},
        {9, 2, 7, 0, 0, 0, 0, 0x200, 0, "&OCT"},
        {9, 2, 8, 0, 0, 0, 0, 0x200, 0, "&BIN"},
        {0, 10, 5, 0, 0, 0, 0, 0x200, 0, "0"},
        {0, 10, 6, 0, 0, 0, 0, 0x200, 0, "0"},
        {0, 10, 7, 0, 0, 0, 0, 0x200, 0, "0"},
        {0, 10, 8, 0, 0, 0, 0, 0x200, 0, "0"},
        {7, 2, 10, 0, 0, 0, 0, 0x4000, 1, "&Run"},
        {7, 10, 10, 0, 0, 0, 0, 0x4000, 0, "&Evaluate"},
        {7, 32, 10, 0, 0, 0, 0, 0x4000, 0, "Close"},
    };
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        const host::DialogItem& item = s.items[i];
        const Expected& e = table[i];
        EXPECT_EQ(item.type, e.type);
        EXPECT_EQ(item.x1, e.x1);
        EXPECT_EQ(item.y1, e.y1);
        EXPECT_EQ(item.x2, e.x2);
        EXPECT_EQ(item.y2, e.y2);
        EXPECT_EQ(item.focus, e.focus);
        EXPECT_EQ(item.selected, e.selected);
        EXPECT_EQ(item.flags, e.flags);
        EXPECT_EQ(item.defaultButton, e.defaultButton);
        EXPECT_STREQ(item.data, e.text);
    }
}

TEST_F(CalculatorDialogTest, RunShowsFourRadixesAndKeepsTheExpression) {
    const std::vector<std::pair<std::string, Texts>> cases = {
        {"10/4", {"10/4", "2.5", "02", "02", "10"}},
        {"2000000000", {"2000000000", "2000000000", "Owerflow", "Owerflow", "Owerflow"}},
        {"1073741823", {"1073741823", "1073741823", "3FFFFFFF", "7777777777", std::string(30, '1')}},
        {"2+", {"2+", "Error", "Error", "Error", "Error"}},
        {"-255", {"-255", "-255", "-FF", "-377", "-11111111"}},
    };
    for (const auto& [expression, shown] : cases) {
        SCOPED_TRACE(expression);
        Run({{expression}});
        ASSERT_EQ(g_showings.size(), 2u);
        EXPECT_EQ(LastShown(), shown);
        g_showings.clear();
    }
}

TEST_F(CalculatorDialogTest, EvaluatePutsTheResultInTheSelectedRadixBack) {
    Run({{"1/3", -1, kEvaluateButton}});
    EXPECT_EQ(LastShown()[0], "0.333333333333333");

    g_showings.clear();
    Run({{"8", 2, kEvaluateButton}});
    EXPECT_EQ(LastShown()[0], "10o");
    EXPECT_EQ(LastSelectedRadio(), 2);

    g_showings.clear();
    Run({{"250+5", 1, kEvaluateButton}, {"", -1, kRunButton}});
    ASSERT_EQ(g_showings.size(), 3u);
    EXPECT_EQ(g_showings[1].items[kExpressionItem].data, std::string("FFh"));
    EXPECT_EQ(LastShown(), (Texts{"FFh", "255", "FF", "377", "11111111"}));

    g_showings.clear();
    Run({{"0-5", 1, kEvaluateButton}, {"", -1, kRunButton}});
    EXPECT_EQ(LastShown(), (Texts{"-05h", "-5", "-05", "-05", "-101"}));
}

TEST_F(CalculatorDialogTest, EvaluatedBinaryZeroAndOneReadBack) {
    const std::pair<const char*, Texts> cases[] = {
        {"1", {"1b", "1", "01", "01", "01"}},
        {"0", {"0b", "0", "00", "00", "00"}},
        {"0-1", {"-1b", "-1", "-01", "-01", "-01"}},
        {"2", {"10b", "2", "02", "02", "10"}},
    };
    for (const auto& [expression, shown] : cases) {
        SCOPED_TRACE(expression);
        g_showings.clear();
        Run({{expression, 3, kEvaluateButton}, {"", -1, kRunButton}});
        EXPECT_EQ(LastShown(), shown);
    }
}

TEST_F(CalculatorDialogTest, EvaluateKeepsTheExpressionOnErrorAndOverflow) {
    Run({{"1/0", -1, kEvaluateButton}});
    EXPECT_EQ(LastShown(), (Texts{"1/0", "Error", "Error", "Error", "Error"}));

    g_showings.clear();
    Run({{"2000000000", 1, kEvaluateButton}});
    EXPECT_EQ(LastShown(), (Texts{"2000000000", "2000000000", "Owerflow", "Owerflow", "Owerflow"}));

    g_showings.clear();
    Run({{"2000000000", 0, kEvaluateButton}});  // the decimal result has no limit
    EXPECT_EQ(LastShown()[0], "2000000000");
}

TEST_F(CalculatorDialogTest, StateCarriesFromShowingToShowing) {
    Run({{"2*3", 3, kRunButton}, {"", -1, kRunButton}, {"", -1, kEvaluateButton}});
    ASSERT_EQ(g_showings.size(), 4u);
    EXPECT_EQ(g_showings[1].items[kExpressionItem].data, std::string("2*3"));
    EXPECT_EQ(g_showings[2].items[kFirstResultItem + 3].data, std::string("110"));
    EXPECT_EQ(LastShown(), (Texts{"110b", "6", "06", "06", "110"}));
    EXPECT_EQ(LastSelectedRadio(), 3);
    for (const Showing& s : g_showings) EXPECT_EQ(s.items[kExpressionItem].focus, -1);
}

TEST_F(CalculatorDialogTest, EscAndCloseEndWithoutEvaluating) {
    Run({{"1+1", -1, kCloseButton}});
    EXPECT_EQ(g_showings.size(), 1u);
    g_showings.clear();
    Run({{"1+1", -1, -1}});
    EXPECT_EQ(g_showings.size(), 1u);
}

TEST_F(CalculatorDialogTest, ExpressionsLongerThan255CharactersShowError) {
    std::string longText = "1";
    while (longText.size() < 300) longText += "+1";
    Run({{longText}});
    EXPECT_EQ(LastShown(), (Texts{longText, "Error", "Error", "Error", "Error"}));
}

TEST_F(CalculatorDialogTest, CommaSeparator) {
    Run({{"1/4", -1, kEvaluateButton}, {"", -1, kRunButton}}, ',');
    EXPECT_EQ(LastShown(), (Texts{"0,25", "0,25", "00", "00", "00"}));
}

TEST(CalculatorDialog, SelectedRadixFallsBackWhenNoneIsSelected) {
    host::DialogItem items[kDialogItemCount]{};
    EXPECT_EQ(SelectedRadix(items, Radix::Oct), Radix::Oct);
    items[kFirstRadioItem + 3].selected = 1;
    EXPECT_EQ(SelectedRadix(items, Radix::Oct), Radix::Bin);
}

}  // namespace
}  // namespace calc
