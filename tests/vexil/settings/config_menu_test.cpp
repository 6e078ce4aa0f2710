#include "vexil/settings/config_menu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "vexil/frame/dialog_templates.h"
#include "vexil/frame/module_state.h"
#include "vexil/settings/settings_store.h"

namespace vexil {
namespace {

class ConfigMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.SetRootKey("Software\\" + test::UniqueName("vexil-config"));
        ModuleState& m = Module();
        m.host = fake.StartupInfo();
        m.settings = EncodeSettings{};
        std::snprintf(m.settingsKeyPath, sizeof m.settingsKeyPath, "%s\\VEXIL", fake.StartupInfo().rootKey);
        m.generalOptions = PrepareDialogItems(kGeneralOptionsTemplate, kGeneralOptionsItems);
        m.encodingOptions = PrepareDialogItems(kEncodingOptionsTemplate, kEncodingOptionsItems);
    }
    // Accepts the encoding options after `edit` changed the dialog.
    void AcceptEncoding(std::function<void(host::DialogItem*)> edit) {
        fake.dialogAnswers = {0};
        fake.dialogEdits.push_back([edit](host::DialogItem* items, int) { edit(items); });
        ShowEncodingOptions();
    }

    test::FakeHost fake;
};

TEST_F(ConfigMenuTest, MenuReopensOnTheEntryJustUsed) {
    fake.menuAnswers = {3, 0, -1};
    fake.dialogAnswers = {-1};
    fake.messageAnswers = {0};
    EXPECT_EQ(RunConfigureMenu(), 1);
    ASSERT_EQ(fake.menus.size(), 3u);
    const auto& first = fake.menus[0];
    EXPECT_EQ(first.title, "msg24");
    EXPECT_EQ(first.flags, host::kMenuWrapMode);
    ASSERT_EQ(first.items.size(), 5u);
    EXPECT_STREQ(first.items[0].text, "msg20");
    EXPECT_STREQ(first.items[1].text, "msg21");
    EXPECT_EQ(first.items[2].separator, 1);
    EXPECT_STREQ(first.items[3].text, "msg23");
    EXPECT_STREQ(first.items[4].text, "msg41");
    for (const auto& item : first.items) EXPECT_EQ(item.selected, 0);
    EXPECT_EQ(fake.menus[1].items[3].selected, 1);
    EXPECT_EQ(fake.menus[2].items[3].selected, 0);
    EXPECT_EQ(fake.menus[2].items[0].selected, 1);
}

TEST_F(ConfigMenuTest, SaveWritesTheLiveSettingsAndCloses) {
    fake.menuAnswers = {1, 4};
    fake.dialogAnswers = {0};
    fake.dialogEdits.push_back([](host::DialogItem* items, int) {
        items[4].selected = 1;
        std::strcpy(items[6].data, "42");
    });
    EXPECT_EQ(RunConfigureMenu(), 1);
    EXPECT_EQ(fake.menus.size(), 2u);
    const EncodeSettings stored = ReadSettings(Module().settingsKeyPath);
    EXPECT_EQ(stored.SplitOutput, 1);
    EXPECT_EQ(stored.LinesPerSection, 42);
    EXPECT_EQ(stored.AssociateWithFiles, 1);
}

TEST_F(ConfigMenuTest, LeavingWithoutSaveKeepsChangesInMemoryOnly) {
    fake.menuAnswers = {0, -1};
    fake.dialogAnswers = {0};
    fake.dialogEdits.push_back([](host::DialogItem* items, int) { items[3].selected = 1; });
    RunConfigureMenu();
    EXPECT_EQ(Module().settings.SuppressOutput, 1);
    EXPECT_EQ(ReadSettings(Module().settingsKeyPath).SuppressOutput, 0);
}

TEST_F(ConfigMenuTest, GeneralOptionsShowAndTakeTheirStates) {
    Module().settings.OnlyShortFilenames = 1;
    fake.dialogAnswers = {0};
    fake.dialogEdits.push_back([](host::DialogItem* items, int) {
        items[3].selected = 1;
        items[4].selected = 0;
    });
    ShowGeneralOptions();
    const auto& d = fake.dialogs.at(0);
    EXPECT_EQ(d.helpTopic, "GeneralOptions");
    EXPECT_EQ((std::vector<int>{d.x1, d.y1, d.x2, d.y2}), (std::vector<int>{-1, -1, 39, 8}));
    EXPECT_EQ(d.items.size(), 6u);
    EXPECT_EQ(d.items[4].selected, 1);
    EXPECT_STREQ(d.items[3].data, "msg13");
    EXPECT_EQ(Module().settings.SuppressOutput, 1);
    EXPECT_EQ(Module().settings.OnlyShortFilenames, 0);
}

TEST_F(ConfigMenuTest, EncodingOptionsShowSettingsAndTheVerticalRule) {
    Module().settings.SplitOutput = 1;
    Module().settings.LinesPerSection = 77;
    Module().settings.EncodingType = 1;
    fake.dialogAnswers = {-1};
    ShowEncodingOptions();
    const auto& d = fake.dialogs.at(0);
    EXPECT_EQ(d.helpTopic, "EncodingOptions");
    EXPECT_EQ((std::vector<int>{d.x1, d.y1, d.x2, d.y2}), (std::vector<int>{-1, -1, 69, 14}));
    ASSERT_EQ(d.items.size(), 19u);
    EXPECT_STREQ(d.items[18].data, "\xC2\xB3\xB3\xB3\xC1");
    EXPECT_STREQ(d.items[6].data, "77");
    EXPECT_EQ(d.items[4].selected, 1);
    EXPECT_EQ(d.items[3].selected, 0);
    EXPECT_EQ((std::vector<int>{d.items[12].selected, d.items[13].selected, d.items[14].selected}),
              (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(Module().settings.LinesPerSection, 77);  // Esc changes nothing
}

TEST_F(ConfigMenuTest, LinesFieldIsReadAsDecimalOfAtLeastOne) {
    const struct {
        const char* typed;
        int32_t stored;
    } cases[] = {{"letters", 1}, {"0", 1}, {"-4", 1}, {"12ab", 12}, {"  +250", 250}};
    for (const auto& c : cases) {
        AcceptEncoding([&c](host::DialogItem* items) { std::strcpy(items[6].data, c.typed); });
        EXPECT_EQ(Module().settings.LinesPerSection, c.stored) << c.typed;
    }
}

TEST_F(ConfigMenuTest, ThirdEncodingTypeIsNeverKept) {
    AcceptEncoding([](host::DialogItem* items) {
        items[12].selected = 0;
        items[14].selected = 1;
    });
    EXPECT_EQ(Module().settings.EncodingType, 0);
    AcceptEncoding([](host::DialogItem* items) {
        items[12].selected = 0;
        items[13].selected = 1;
    });
    EXPECT_EQ(Module().settings.EncodingType, 1);
}

TEST_F(ConfigMenuTest, CancelledDialogsChangeNothing) {
    for (int answer : {1, -1}) {
        fake.dialogAnswers = {answer, answer};
        fake.dialogEdits.push_back([](host::DialogItem* items, int) { items[3].selected = 1; });
        fake.dialogEdits.push_back([](host::DialogItem* items, int) { items[3].selected = 1; });
        ShowGeneralOptions();
        ShowEncodingOptions();
        EXPECT_EQ(Module().settings.SuppressOutput, 0);
        EXPECT_EQ(Module().settings.EnableSingleStorage, 0);
    }
}

}  // namespace
}  // namespace vexil
