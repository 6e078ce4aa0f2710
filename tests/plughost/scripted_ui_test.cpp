#include "plughost/scripted_ui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

plughost::MessageRequest ErrorBox() {
    plughost::MessageRequest r;
    r.title = "VEXIL";
    r.lines = {"Cannot open the file", "/tmp/x"};
    r.buttons = {"Retry", "Skip", "Cancel"};
    return r;
}

TEST(ScriptedUi, AnswersFromTheQueueThenEscWithoutKeyboard) {
    std::ostringstream log;
    plughost::ScriptedUi ui(log);
    ui.QueueAnswer(2);
    ui.QueueAnswer(-1);
    EXPECT_EQ(ui.Message(ErrorBox()), 2);
    EXPECT_EQ(ui.Message(ErrorBox()), -1);
    EXPECT_EQ(ui.Message(ErrorBox()), -1);
    EXPECT_EQ(ui.PendingAnswers(), 0u);
}

TEST(ScriptedUi, MessagePrintsTitleLinesButtonsAndAnswer) {
    std::ostringstream log;
    plughost::ScriptedUi ui(log);
    ui.QueueAnswer(1);
    ui.Message(ErrorBox());
    EXPECT_EQ(log.str(),
              "message: VEXIL\n"
              "  | Cannot open the file\n"
              "  | /tmp/x\n"
              "  buttons: [0] Retry [1] Skip [2] Cancel\n"
              "  answer: 1\n");
}

TEST(ScriptedUi, ButtonlessMessageConsumesNoAnswer) {
    std::ostringstream log;
    plughost::ScriptedUi ui(log);
    ui.QueueAnswer(0);
    plughost::MessageRequest notice;
    notice.title = "VEXIL";
    notice.lines = {"Reading"};
    EXPECT_EQ(ui.Message(notice), -1);
    EXPECT_EQ(ui.PendingAnswers(), 1u);
    EXPECT_NE(log.str().find("(no buttons)"), std::string::npos);
}

TEST(ScriptedUi, OutOfRangeAnswerBecomesEsc) {
    std::ostringstream log;
    plughost::ScriptedUi ui(log);
    ui.QueueAnswer(3);
    EXPECT_EQ(ui.Message(ErrorBox()), -1);
}

TEST(ScriptedUi, KeyboardAnswersOnceTheQueueIsEmpty) {
    std::ostringstream log;
    std::istringstream keys("x\n1\n\n-1\n");
    plughost::ScriptedUi ui(log, &keys);
    ui.QueueAnswer(0);
    plughost::MenuRequest menu;
    menu.title = "VEXIL";
    menu.items = {{"Encode", false, false, false}, {"", false, false, true}, {"reserved", true, false, false}};
    EXPECT_EQ(ui.Menu(menu), 0);   // queue
    EXPECT_EQ(ui.Menu(menu), 1);   // "x" is asked again, then 1
    EXPECT_EQ(ui.Menu(menu), -1);  // blank asked again, then -1
    EXPECT_EQ(ui.Menu(menu), -1);  // end of input
    EXPECT_NE(log.str().find("[1] --------"), std::string::npos);
    EXPECT_NE(log.str().find("[2] reserved (selected)"), std::string::npos);
}

TEST(ScriptedUi, DialogListsItemsAndClosesWithTheAnswer) {
    host::DialogItem items[3] = {};
    items[0].type = host::kDiButton;
    items[0].defaultButton = 1;
    std::strcpy(items[0].data, "OK");
    items[1].type = host::kDiCheckBox;
    items[1].selected = 1;
    std::strcpy(items[1].data, "Split");
    items[2].type = host::kDiEdit;
    std::strcpy(items[2].data, "100");
    std::ostringstream log;
    plughost::ScriptedUi ui(log);
    ui.QueueAnswer(0);
    plughost::DialogRequest request{"GeneralOptions", -1, -1, 39, 8, items, 3};
    EXPECT_EQ(ui.Dialog(request), 0);
    EXPECT_EQ(log.str(),
              "dialog: GeneralOptions (39x8)\n"
              "  [0] button \"OK\" (default)\n"
              "  [1] check [x] \"Split\"\n"
              "  [2] edit \"100\"\n"
              "  answer: 0\n");
}

}  // namespace

namespace {

host::DialogItem Item(int type, unsigned flags = 0) {
    host::DialogItem item{};
    item.type = type;
    item.flags = flags;
    return item;
}

TEST(ScriptedUi, DialogEditsAreAppliedBeforeTheAnswer) {
    std::ostringstream log;
    plughost::ScriptedUi ui(log);
    host::DialogItem items[] = {Item(host::kDiButton), Item(host::kDiCheckBox), Item(host::kDiEdit),
                                Item(host::kDiRadioButton, host::kDifGroup), Item(host::kDiRadioButton)};
    items[3].selected = 1;
    ui.QueueDialogEdit(1, "x");
    ui.QueueDialogEdit(2, "12ab");
    ui.QueueDialogEdit(4, "on");
    ui.QueueAnswer(0);
    plughost::DialogRequest request;
    request.items = items;
    request.count = 5;
    EXPECT_EQ(ui.Dialog(request), 0);
    EXPECT_EQ(items[1].selected, 1);
    EXPECT_STREQ(items[2].data, "12ab");
    EXPECT_EQ(items[3].selected, 0);  // the other radio button of the group
    EXPECT_EQ(items[4].selected, 1);
    EXPECT_NE(log.str().find("  set [2] edit \"12ab\"\n"), std::string::npos);
}

TEST(ScriptedUi, KeyboardLinesSetItemsUntilAnAnswer) {
    std::ostringstream log;
    std::istringstream keyboard("0=x\n1=hello\n1\n");
    plughost::ScriptedUi ui(log, &keyboard);
    host::DialogItem items[] = {Item(host::kDiCheckBox), Item(host::kDiEdit)};
    plughost::DialogRequest request;
    request.items = items;
    request.count = 2;
    EXPECT_EQ(ui.Dialog(request), 1);
    EXPECT_EQ(items[0].selected, 1);
    EXPECT_STREQ(items[1].data, "hello");
}

TEST(ScriptedUi, BoxDrawingBytesShowAsUnicode) {
    std::ostringstream log;
    plughost::ScriptedUi ui(log);
    plughost::MessageRequest r;
    r.title = "T";
    r.lines = {"\xDB\xDB\xB0", "\xC4\xC4", "\xC2\xB3\xC1"};
    ui.Message(r);
    EXPECT_NE(log.str().find("  | \u2588\u2588\u2591\n  | \u2500\u2500\n  | \u252C\u2502\u2534\n"), std::string::npos)
        << log.str();
}

}  // namespace
