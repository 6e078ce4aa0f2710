// End to end: plughost loads the built vexil plugin (vexil.so / vexil.dll)
// and drives it through its real exports.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "platform/platform.h"
#include "plughost/commands.h"
#include "plughost/host.h"
#include "plughost/scripted_ui.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace {

class VexilPluginTest : public ::testing::Test {
protected:
    VexilPluginTest() : ui(log), host(ui, log) {}
    void SetUp() override {
        ASSERT_GE(host.LoadPlugins(PLUGHOST_TEST_PLUGINS_DIR), 1) << log.str();  // the calculator loads too
        vexil = host.FindPlugin("vexil");
        ASSERT_NE(vexil, nullptr);
    }

    std::ostringstream log;
    plughost::ScriptedUi ui;
    plughost::Host host;
    plughost::Plugin* vexil = nullptr;
};

TEST_F(VexilPluginTest, ExportsEveryEntryPoint) {
    const plughost::PluginExports& e = vexil->Exports();
    EXPECT_NE(e.setStartupInfo, nullptr);
    EXPECT_NE(e.getPluginInfo, nullptr);
    EXPECT_NE(e.openPlugin, nullptr);
    EXPECT_NE(e.closePlugin, nullptr);
    EXPECT_NE(e.openFilePlugin, nullptr);
    EXPECT_NE(e.getOpenPluginInfo, nullptr);
    EXPECT_NE(e.getFindData, nullptr);
    EXPECT_NE(e.processEvent, nullptr);
    EXPECT_NE(e.putFiles, nullptr);
    EXPECT_NE(e.configure, nullptr);
}

TEST_F(VexilPluginTest, InfoShowsMessage24InBothMenus) {
    std::ostringstream out;
    EXPECT_EQ(plughost::RunInfo(host, {}, out), 0);
    EXPECT_NE(out.str().find(vexil->FileName() +
                             "\n"
                             "  plugins menu: VEXIL\n"
                             "  config menu: VEXIL\n"),
              std::string::npos)
        << out.str();
    EXPECT_STREQ(vexil->Message(24), "VEXIL");
}

TEST_F(VexilPluginTest, PluginInfoAsksForMessage24AnewOnEveryCall) {
    test::FakeHost fake;  // serves the plugin in place of the Host from here on
    vexil->Exports().setStartupInfo(&fake.StartupInfo());
    fake.getMsgCalls.clear();
    fake.SetMessage(24, "One");
    host::PluginMenuInfo info{};
    vexil->Exports().getPluginInfo(&info);
    ASSERT_EQ(info.pluginMenuStringsNumber, 1);
    ASSERT_EQ(info.pluginConfigStringsNumber, 1);
    EXPECT_STREQ(info.pluginMenuStrings[0], "One");
    EXPECT_STREQ(info.pluginConfigStrings[0], "One");
    fake.SetMessage(24, "Two");
    vexil->Exports().getPluginInfo(&info);
    EXPECT_STREQ(info.pluginMenuStrings[0], "Two");
    EXPECT_STREQ(info.pluginConfigStrings[0], "Two");
    EXPECT_EQ(fake.getMsgCalls, (std::vector<int>{24, 24}));
}

TEST_F(VexilPluginTest, OpenPluginReturnsNoPanelWhateverTheMenuAnswer) {
    for (int answer : {0, 1, -1}) {
        ui.QueueAnswer(answer);
        log.str("");
        EXPECT_EQ(vexil->Exports().openPlugin(0, 0), host::kInvalidHandle) << "answer " << answer;
        EXPECT_EQ(ui.PendingAnswers(), 0u);
        EXPECT_NE(log.str().find("menu: VEXIL\n"
                                 "  [0] &Encode files\n"
                                 "  [1] reserved (not used)\n"),
                  std::string::npos)
            << log.str();
    }
}

TEST_F(VexilPluginTest, ClosePluginLeavesTheCurrentDirectoryAtTheRoot) {
    test::TempDir dir;
    platform::Os& os = platform::os();
    const std::string before = os.GetCurrentDir();
    ASSERT_TRUE(os.SetCurrentDir(dir.Path()));
    vexil->Exports().closePlugin(nullptr);
    const std::string now = os.GetCurrentDir();
    os.SetCurrentDir(before);
    ASSERT_FALSE(now.empty());
    if (platform::kPathSeparator == '/')
        EXPECT_EQ(now, "/");
    else
        EXPECT_EQ(now.size(), 3u) << now;  // "X:\"
    EXPECT_EQ(now.back(), platform::kPathSeparator);
}

TEST_F(VexilPluginTest, ConfigureReturnsOne) { EXPECT_EQ(vexil->Exports().configure(0), 1); }

// The language file shipped beside the plugin: a text for every number in use,
// formats taking exactly the value their users pass.
TEST_F(VexilPluginTest, LanguageFileHasATextForEveryMessageInUse) {
    const int used[] = {0,  1,  2,  4,  5,  7,  8,  10, 11, 13, 15, 16, 17, 18, 19, 20, 21, 23, 24, 25, 26, 28,
                        29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 49, 50, 51,
                        52, 53, 54, 55, 56};
    for (int number : used) EXPECT_STRNE(vexil->Message(number), "") << "message " << number;
    struct Format {
        int number;
        const char* conversion;
    };
    const Format formats[] = {{28, "%s"}, {30, "%s"}, {31, "%s"}, {34, "%s"}, {35, "%d"}, {44, "%d"}};
    for (const Format& f : formats) {
        const std::string text = vexil->Message(f.number);
        size_t percents = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '%') {
                if (i + 1 < text.size() && text[i + 1] == '%') {
                    ++i;
                    continue;
                }
                ++percents;
                EXPECT_EQ(text.compare(i, 2, f.conversion), 0) << "message " << f.number << ": " << text;
            }
        EXPECT_EQ(percents, 1u) << "message " << f.number << ": " << text;
    }
    // Texts copied over the start of the encoder's figure lines fit in their 11 blanks.
    EXPECT_LE(std::strlen(vexil->Message(46)), 11u);
    EXPECT_LE(std::strlen(vexil->Message(47)), 11u);
}

}  // namespace
