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
