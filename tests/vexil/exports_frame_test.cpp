// The frame entry points against the fake host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/host_interface.h"
#include "platform/platform.h"
#include "support/fake_host.h"
#include "support/forwarding_os.h"
#include "support/temp_dir.h"
#include "vexil/frame/alphabets.h"
#include "vexil/frame/module_state.h"
#include "vexil/settings/settings_store.h"

HOST_EXPORT void HOST_CALL SetStartupInfo(const host::HostStartupInfo* info);
HOST_EXPORT void HOST_CALL GetPluginInfo(host::PluginMenuInfo* info);
HOST_EXPORT host::PanelHandle HOST_CALL OpenPlugin(int openFrom, intptr_t item);
HOST_EXPORT void HOST_CALL ClosePlugin(host::PanelHandle panel);
HOST_EXPORT int HOST_CALL Configure(int itemNumber);

namespace {

// Watches the order of SetStartupInfo's effects: settings reads come last.
class StartupOs : public test::ForwardingOs {
public:
    platform::SettingsKey* OpenSettingsKey(const std::string& path) override {
        if (firstOpenPath.empty()) {
            firstOpenPath = path;
            dialogsPreparedBeforeLoad = vexil::Module().detailedEncoding.count == 11;
            alphabetsBuiltBeforeLoad = vexil::CodeAlphabets().uu[1] == '!';
        }
        ++opens;
        return ForwardingOs::OpenSettingsKey(path);
    }
    std::string firstOpenPath;
    bool dialogsPreparedBeforeLoad = false;
    bool alphabetsBuiltBeforeLoad = false;
    int opens = 0;
};

class ExportsFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        rootKey = "Software\\plughost-tests\\" + test::UniqueName("frame");
        fake.SetRootKey(rootKey);
    }
    void Start() { SetStartupInfo(&fake.StartupInfo()); }

    test::FakeHost fake;
    std::string rootKey;
};

TEST_F(ExportsFrameTest, StartupCopiesTheRecordFormsTheKeyPreparesAndLoadsInOrder) {
    vexil::WriteSetting((rootKey + "\\VEXIL").c_str(), "Encode", "LinesPerSection", 64);
    vexil::Module() = vexil::ModuleState{};
    StartupOs os;
    {
        test::ScopedOs scope(os);
        Start();
    }
    const vexil::ModuleState& m = vexil::Module();
    EXPECT_EQ(m.host.moduleNumber, test::FakeHost::kModuleNumber);
    EXPECT_EQ(m.host.getMsg, fake.StartupInfo().getMsg);
    EXPECT_EQ(m.host.matchName, fake.StartupInfo().matchName);
    EXPECT_EQ(std::string(m.settingsKeyPath), rootKey + "\\VEXIL");
    EXPECT_EQ(m.generalOptions.count, 6);
    EXPECT_EQ(m.encodingOptions.count, 19);
    EXPECT_EQ(m.briefEncoding.count, 11);
    EXPECT_EQ(m.detailedEncoding.count, 11);
    EXPECT_EQ(os.firstOpenPath, rootKey + "\\VEXIL\\General");
    EXPECT_TRUE(os.dialogsPreparedBeforeLoad);
    EXPECT_TRUE(os.alphabetsBuiltBeforeLoad);
    EXPECT_EQ(os.opens, 11);
    EXPECT_EQ(m.settings.LinesPerSection, 64);
    EXPECT_TRUE(fake.getMsgCalls.empty());  // texts are filled per dialog run, not at start
}

TEST_F(ExportsFrameTest, PreparedDialogsCarryTheirTemplates) {
    Start();
    const vexil::ModuleState& m = vexil::Module();
    EXPECT_EQ(m.generalOptions.items[2].type, host::kDiDoubleBox);
    EXPECT_EQ(m.generalOptions.messages[2], 10);
    EXPECT_EQ(m.encodingOptions.items[6].type, host::kDiEdit);
    EXPECT_EQ(m.encodingOptions.items[12].flags, host::kDifGroup);
    EXPECT_EQ(m.encodingOptions.items[18].type, host::kDiVText);
    EXPECT_EQ(m.briefEncoding.items[4].flags, host::kDifHistory);
    EXPECT_EQ(m.briefEncoding.items[4].focus, 1);
    EXPECT_EQ(m.detailedEncoding.items[6].type, host::kDiCheckBox);
    EXPECT_EQ(m.detailedEncoding.items[9].type, host::kDiEdit);
    for (const vexil::PreparedDialog* d : {&m.generalOptions, &m.encodingOptions, &m.briefEncoding,
                                           &m.detailedEncoding}) {
        EXPECT_EQ(d->items[0].type, host::kDiButton);
        EXPECT_EQ(d->items[0].defaultButton, 1);
        EXPECT_EQ(d->messages[0], 0);
        EXPECT_EQ(d->messages[1], 1);
    }
}

TEST_F(ExportsFrameTest, PluginInfoShowsMessage24InBothMenusAskedAnewEachCall) {
    Start();
    fake.SetMessage(24, "First");
    host::PluginMenuInfo info{};
    GetPluginInfo(&info);
    EXPECT_EQ(info.structSize, static_cast<int>(sizeof(host::PluginMenuInfo)));
    ASSERT_EQ(info.pluginMenuStringsNumber, 1);
    ASSERT_EQ(info.pluginConfigStringsNumber, 1);
    EXPECT_STREQ(info.pluginMenuStrings[0], "First");
    EXPECT_STREQ(info.pluginConfigStrings[0], "First");
    EXPECT_EQ(info.diskMenuStringsNumber, 0);
    EXPECT_EQ(info.flags, 0u);

    fake.SetMessage(24, "Second");
    GetPluginInfo(&info);
    EXPECT_STREQ(info.pluginMenuStrings[0], "Second");
    EXPECT_STREQ(info.pluginConfigStrings[0], "Second");
    EXPECT_EQ(fake.getMsgCalls, (std::vector<int>{24, 24}));
}

TEST_F(ExportsFrameTest, OpenPluginShowsTheMenuAndReturnsNoPanelForEveryAnswer) {
    Start();
    fake.SetMessage(26, "later");
    for (int answer : {0, 1, -1}) {
        fake.menus.clear();
        fake.menuAnswers = {answer};
        EXPECT_EQ(OpenPlugin(0, 0), host::kInvalidHandle) << "answer " << answer;
        ASSERT_EQ(fake.menus.size(), 1u);
        const test::FakeHost::MenuCall& menu = fake.menus[0];
        EXPECT_EQ(menu.title, "msg24");
        EXPECT_EQ(menu.flags, host::kMenuWrapMode);
        EXPECT_EQ(menu.x, -1);
        EXPECT_EQ(menu.y, -1);
        EXPECT_EQ(menu.maxHeight, 0);
        ASSERT_EQ(menu.items.size(), 2u);
        EXPECT_STREQ(menu.items[0].text, "msg25");
        EXPECT_STREQ(menu.items[1].text, "reserved (later)");
        for (const host::MenuItem& item : menu.items) {
            EXPECT_EQ(item.selected, 0);
            EXPECT_EQ(item.checked, 0);
            EXPECT_EQ(item.separator, 0);
        }
    }
}

TEST_F(ExportsFrameTest, ClosePluginLeavesTheCurrentDirectoryAtTheRoot) {
    Start();
    test::TempDir dir;
    platform::Os& os = platform::os();
    const std::string before = os.GetCurrentDir();
    ASSERT_TRUE(os.SetCurrentDir(dir.Path()));
    ClosePlugin(nullptr);
    const std::string now = os.GetCurrentDir();
    os.SetCurrentDir(before);
    ASSERT_FALSE(now.empty());
    EXPECT_EQ(now.back(), platform::kPathSeparator);
    if (platform::kPathSeparator == '/')
        EXPECT_EQ(now, "/");
    else
        EXPECT_EQ(now.size(), 3u) << now;  // "X:\"
}

TEST_F(ExportsFrameTest, ConfigureReturnsOne) {
    Start();
    EXPECT_EQ(Configure(0), 1);
}

}  // namespace
