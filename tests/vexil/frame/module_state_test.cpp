#include "vexil/frame/module_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "support/fake_host.h"
#include "vexil/frame/messages.h"

namespace {

class ModuleStateTest : public ::testing::Test {
protected:
    void SetUp() override { vexil::Module().host = fake.StartupInfo(); }
    void TearDown() override { vexil::Module().host = host::HostStartupInfo{}; }
    test::FakeHost fake;
};

TEST_F(ModuleStateTest, NoMessageIsEmptyWithoutAskingTheHost) {
    EXPECT_STREQ(vexil::GetMsgText(vexil::NoMessage), "");
    EXPECT_TRUE(fake.getMsgCalls.empty());
}

TEST_F(ModuleStateTest, OtherNumbersAskTheHostEveryTime) {
    fake.SetMessage(0, "Accept");
    EXPECT_STREQ(vexil::GetMsgText(0), "Accept");
    EXPECT_STREQ(vexil::GetMsgText(24), "msg24");
    EXPECT_STREQ(vexil::GetMsgText(0), "Accept");
    EXPECT_EQ(fake.getMsgCalls, (std::vector<int>{0, 24, 0}));
}

const vexil::DialogTemplate kTemplates[] = {
    {host::kDiButton, 10, 5, 0, 0, 0, 0, 0, 1, 0},
    {host::kDiCheckBox, 5, 2, 7, 8, 1, 1, host::kDifGroup, 0, 13},
    {host::kDiText, 2, 4, 0, 0, 0, 0, host::kDifSeparator, 0, vexil::NoMessage},
    {host::kDiEdit, 55, 3, 63, 3, 0, 0, 0, 0, 100},
    {host::kDiEdit, 5, 3, 60, 3, 1, 0, host::kDifHistory, 0, vexil::NoMessage},
};

TEST_F(ModuleStateTest, PrepareDialogItemsCopiesEveryFieldAndKeepsTheMessage) {
    const vexil::PreparedDialog d = vexil::PrepareDialogItems(kTemplates, 5);
    ASSERT_EQ(d.count, 5);
    const host::DialogItem& check = d.items[1];
    EXPECT_EQ(check.type, host::kDiCheckBox);
    EXPECT_EQ(check.x1, 5);
    EXPECT_EQ(check.y1, 2);
    EXPECT_EQ(check.x2, 7);
    EXPECT_EQ(check.y2, 8);
    EXPECT_EQ(check.focus, 1);
    EXPECT_EQ(check.selected, 1);
    EXPECT_EQ(check.flags, host::kDifGroup);
    EXPECT_EQ(check.defaultButton, 0);
    EXPECT_EQ(d.items[0].defaultButton, 1);
    EXPECT_EQ(d.messages[1], 13);
    EXPECT_EQ(d.messages[2], vexil::NoMessage);
    for (const host::DialogItem& item : d.items) EXPECT_STREQ(item.data, "");
    EXPECT_TRUE(fake.getMsgCalls.empty());
}

TEST_F(ModuleStateTest, HistoryEditGetsAnEmptyHistoryName) {
    const vexil::PreparedDialog d = vexil::PrepareDialogItems(kTemplates, 5);
    ASSERT_NE(d.items[4].history, nullptr);
    EXPECT_STREQ(d.items[4].history, "");
}

TEST_F(ModuleStateTest, CopyFillsTextsOfNonEditItemsOnly) {
    fake.SetMessage(0, "OK");
    vexil::PreparedDialog d = vexil::PrepareDialogItems(kTemplates, 5);
    std::strcpy(d.items[3].data, "42");  // what the dialog's code writes into its edit
    host::DialogItem* copy = vexil::CopyDialogWithTexts(d);
    EXPECT_STREQ(copy[0].data, "OK");
    EXPECT_STREQ(copy[1].data, "msg13");
    EXPECT_STREQ(copy[2].data, "");    // NoMessage
    EXPECT_STREQ(copy[3].data, "42");  // edit keeps its text, never message 100
    EXPECT_STREQ(copy[4].data, "");
    EXPECT_EQ(copy[1].selected, 1);
    EXPECT_EQ(std::count(fake.getMsgCalls.begin(), fake.getMsgCalls.end(), 100), 0);
    EXPECT_EQ(std::count(fake.getMsgCalls.begin(), fake.getMsgCalls.end(), 255), 0);
    delete[] copy;
    EXPECT_STREQ(d.items[0].data, "");  // the prepared array is left as it was
}

TEST_F(ModuleStateTest, CopyCutsOverlongTextsToTheField) {
    fake.SetMessage(0, std::string(600, 'x'));
    const vexil::PreparedDialog d = vexil::PrepareDialogItems(kTemplates, 1);
    host::DialogItem* copy = vexil::CopyDialogWithTexts(d);
    EXPECT_EQ(std::strlen(copy[0].data), sizeof copy[0].data - 1);
    delete[] copy;
}

TEST_F(ModuleStateTest, AboutBoxIsOneMessageWithOneButton) {
    vexil::ShowAbout();
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].buttons, 1);
    EXPECT_GE(fake.messages[0].lines.size(), 3u);
    EXPECT_EQ(fake.messages[0].moduleNumber, test::FakeHost::kModuleNumber);
}

}  // namespace
