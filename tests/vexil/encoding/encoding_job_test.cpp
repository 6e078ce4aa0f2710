#include "vexil/encoding/encoding_job.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "support/fake_host.h"
#include "support/faulty_os.h"
#include "support/temp_dir.h"
#include "vexil/frame/alphabets.h"
#include "vexil/frame/dialog_templates.h"
#include "vexil/frame/module_state.h"

namespace vexil {
namespace {

const std::string kSep(1, platform::kPathSeparator);

std::string Read(const std::string& path) { return test::ReadWholeFile(path); }

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class EncodingJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildAlphabets();
        ModuleState& m = Module();
        m.host = fake.StartupInfo();
        m.settings = EncodeSettings{};
        m.briefEncoding = PrepareDialogItems(kBriefEncodingTemplate, kEncodingDialogItems);
        m.detailedEncoding = PrepareDialogItems(kDetailedEncodingTemplate, kEncodingDialogItems);
        fake.SetMessage(28, "Encode %s");
        fake.SetMessage(29, "files");
        fake.SetMessage(30, "Type %s");
        fake.SetMessage(31, "Single %s");
        fake.SetMessage(34, "Split %s");
        fake.SetMessage(35, "Lines %d");
        fake.SetMessage(44, "File %d");
        fake.activePanel.currentDir = src.Path();
        fake.passivePanel.currentDir = out.Path();
    }
    void AddSource(const std::string& name, size_t size, bool selected = true) {
        src.Write(name, std::string(size, 'v'));
        fake.activePanel.Add(name, static_cast<uint32_t>(size), selected);
    }
    bool Selected(size_t index) const { return (fake.activePanel.items[index].flags & host::kItemSelected) != 0; }
    std::vector<int> ControlCommands() const {
        std::vector<int> commands;
        for (const auto& c : fake.controls) commands.push_back(c.command);
        return commands;
    }
    std::string DialogText(int item) const { return fake.dialogs.at(0).items.at(static_cast<size_t>(item)).data; }

    test::FakeHost fake;
    test::TempDir src, out;
};

TEST_F(EncodingJobTest, BriefDialogShowsSubjectTargetAndSettings) {
    AddSource("a_rather_long_file_name_for_the_subject.txt", 10);
    fake.dialogAnswers = {-1};
    StartEncoding();
    ASSERT_EQ(fake.dialogs.size(), 1u);
    const auto& d = fake.dialogs[0];
    EXPECT_EQ(d.helpTopic, "BriefEncodingDlg");
    EXPECT_EQ((std::vector<int>{d.x1, d.y1, d.x2, d.y2}), (std::vector<int>{-1, -1, 67, 11}));
    ASSERT_EQ(d.items.size(), 11u);
    EXPECT_EQ(DialogText(2), "msg25");
    EXPECT_EQ(DialogText(3), "Encode \"...le_name_for_the_subject.txt\"");  // the last 27
    EXPECT_EQ(DialogText(4), out.Path());
    EXPECT_EQ(DialogText(6), "Type msg53");
    EXPECT_EQ(DialogText(7), "Single msg33");
    EXPECT_EQ(DialogText(8), "Split msg32");
    EXPECT_EQ(DialogText(9), "Lines 100");
    // Esc: no job, and the panels are left alone.
    EXPECT_EQ(ControlCommands(), (std::vector<int>{host::kCtlGetPassivePanelState, host::kCtlGetPanelState}));
    EXPECT_TRUE(Selected(0));
}

TEST_F(EncodingJobTest, SeveralFilesAndSingleStorageTarget) {
    Module().settings.EnableSingleStorage = 1;
    Module().settings.SplitOutput = 1;
    Module().settings.EncodingType = 1;
    AddSource("report.txt", 10);
    AddSource("b.txt", 10);
    fake.dialogAnswers = {-1};
    StartEncoding();
    EXPECT_EQ(DialogText(3), "Encode 2 files");
    EXPECT_EQ(DialogText(4), out.File("report.uue"));
    EXPECT_EQ(DialogText(6), "Type msg54");
    EXPECT_EQ(DialogText(7), "Single msg32");
    EXPECT_EQ(DialogText(8), "Split msg33");
}

TEST_F(EncodingJobTest, NothingHappensWithoutPlainFilesSelected) {
    fake.activePanel.Add("dir/", 0, true);
    AddSource("unselected.txt", 10, false);
    StartEncoding();
    EXPECT_TRUE(fake.dialogs.empty());
    EXPECT_EQ(fake.controls.size(), 2u);
}

TEST_F(EncodingJobTest, CloseButtonRefreshesPanelsWithoutEncoding) {
    AddSource("a.txt", 10);
    fake.activePanel.currentItem = 3;
    fake.activePanel.topItem = 1;
    fake.dialogAnswers = {1};
    StartEncoding();
    EXPECT_FALSE(std::filesystem::exists(out.File("a.uue")));
    EXPECT_EQ(ControlCommands(),
              (std::vector<int>{host::kCtlGetPassivePanelState, host::kCtlGetPanelState, host::kCtlSetSelection,
                                host::kCtlRedrawPanel, host::kCtlGetPassivePanelState, host::kCtlUpdatePassivePanel,
                                host::kCtlRedrawPassivePanel}));
    EXPECT_EQ(fake.controls[3].position.currentItem, 3);
    EXPECT_EQ(fake.controls[3].position.topPanelItem, 1);
    EXPECT_TRUE(Selected(0));
}

TEST_F(EncodingJobTest, AcceptEncodesAndUnselectsCompletedFiles) {
    AddSource("a.txt", 100);
    AddSource("b.txt", 200);
    fake.activePanel.Add("subdir/", 0, true);  // opening it fails; skipped at the question
    fake.dialogAnswers = {0};
    fake.messageAnswers = {1};
    StartEncoding();
    EXPECT_TRUE(std::filesystem::exists(out.File("a.uue")));
    EXPECT_TRUE(std::filesystem::exists(out.File("b.uue")));
    EXPECT_FALSE(Selected(0));
    EXPECT_FALSE(Selected(1));
    EXPECT_TRUE(Selected(2));
    // The closing progress call, then the refresh ending with the passive panel re-read.
    const auto commands = ControlCommands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[commands.size() - 2], host::kCtlUpdatePassivePanel);
}

TEST_F(EncodingJobTest, SingleStorageCollectsEveryFileOfTheJob) {
    Module().settings.EnableSingleStorage = 1;
    AddSource("first.txt", 100);
    AddSource("second.txt", 100);
    AddSource("third.txt", 100);
    fake.dialogAnswers = {0};
    StartEncoding();
    const std::string text = Read(out.File("first.uue"));
    EXPECT_EQ(Count(text, "begin 644 "), 3u);
    EXPECT_EQ(text.find("\r\n\r\nsection 1 of 1 of file first.txt"), 0u);
    EXPECT_NE(text.find("\r\n\r\nsection 1 of 1 of file third.txt"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out.File("second.uue")));
    EXPECT_FALSE(Selected(0) || Selected(1) || Selected(2));
}

TEST_F(EncodingJobTest, CancelAtExistingOutputEndsTheJob) {
    AddSource("a.txt", 10);
    AddSource("b.txt", 10);
    out.Write("a.uue", "old");
    fake.dialogAnswers = {0};
    fake.messageAnswers = {3};  // cancel the whole job
    StartEncoding();
    EXPECT_EQ(Read(out.File("a.uue")), "old");
    EXPECT_FALSE(std::filesystem::exists(out.File("b.uue")));
    EXPECT_TRUE(Selected(0) && Selected(1));
}

TEST_F(EncodingJobTest, DetailedDialogChangesHoldForOneJobOnly) {
    Module().settings.AutoApply = 0;
    AddSource("a.txt", 45 * 30);
    fake.dialogAnswers = {0};
    fake.dialogEdits.push_back([](host::DialogItem* items, int) {
        items[7].selected = 1;                       // split output
        std::strcpy(items[9].data, "12ab");          // 12 lines per section
    });
    StartEncoding();
    ASSERT_EQ(fake.dialogs.size(), 1u);
    EXPECT_EQ(fake.dialogs[0].helpTopic, "DetailedEncodingDlg");
    EXPECT_EQ(DialogText(9), "100");
    EXPECT_EQ(DialogText(6), "msg15");
    EXPECT_TRUE(std::filesystem::exists(out.File("a_1.uue")));
    // 30 lines: 8 in the first section (4 header lines), 12, then 10.
    EXPECT_TRUE(std::filesystem::exists(out.File("a_3.uue")));
    EXPECT_FALSE(std::filesystem::exists(out.File("a_4.uue")));
    EXPECT_EQ(Module().settings.SplitOutput, 0);
    EXPECT_EQ(Module().settings.LinesPerSection, 100);
}

TEST_F(EncodingJobTest, DetailedLinesFieldReadsAsAtLeastOne) {
    Module().settings.AutoApply = 0;
    Module().settings.EnableSingleStorage = 1;  // sections counted in one file
    for (const char* typed : {"letters", "0", "-5"}) {
        fake.activePanel.items.clear();
        AddSource("a.txt", 45 * 3);
        std::filesystem::remove(out.File("a.uue"));
        fake.dialogAnswers = {0};
        fake.dialogEdits.push_back([typed](host::DialogItem* items, int) {
            items[7].selected = 1;
            std::strcpy(items[9].data, typed);
        });
        StartEncoding();
        EXPECT_EQ(Count(Read(out.File("a.uue")), "section "), 3u) << typed;  // one line each
    }
}

TEST_F(EncodingJobTest, DotTargetMeansCurrentDirectory) {
    AddSource("a.txt", 10);
    const std::string before = platform::os().GetCurrentDir();
    ASSERT_TRUE(platform::os().SetCurrentDir(out.Path()));
    fake.dialogAnswers = {0};
    fake.dialogEdits.push_back([](host::DialogItem* items, int) { std::strcpy(items[4].data, "  . "); });
    StartEncoding();
    platform::os().SetCurrentDir(before);
    EXPECT_TRUE(std::filesystem::exists(out.File("a.uue")));
}

TEST_F(EncodingJobTest, EmptiedTargetMeansTheOfferedTarget) {
    for (bool single : {false, true}) {
        SCOPED_TRACE(single ? "single storage" : "directory");
        Module().settings.EnableSingleStorage = single;
        fake.activePanel.items.clear();
        AddSource("a.txt", 10);
        const std::string before = platform::os().GetCurrentDir();
        ASSERT_TRUE(platform::os().SetCurrentDir(src.Path()));
        fake.dialogAnswers = {0};
        fake.dialogEdits.push_back([](host::DialogItem* items, int) { std::strcpy(items[4].data, " "); });
        StartEncoding();
        platform::os().SetCurrentDir(before);
        EXPECT_TRUE(std::filesystem::exists(out.File("a.uue")));
        EXPECT_FALSE(std::filesystem::exists(src.File(".uue")));
        std::filesystem::remove(out.File("a.uue"));
    }
}

TEST_F(EncodingJobTest, ProgressNumbersFilesFromOne) {
    AddSource("a.txt", 10);
    AddSource("b.txt", 10);
    fake.dialogAnswers = {0};
    StartEncoding();
    std::vector<std::string> announced;
    for (const auto& m : fake.messages)
        if (m.lines.size() == 7 && m.flags == host::kMsgLeftAlign) announced.push_back(m.lines[6]);
    EXPECT_EQ(announced, (std::vector<std::string>{"File 1", "File 2"}));
}

TEST_F(EncodingJobTest, ConfirmedAbortStopsTheWholeJob) {
    testing_support::FaultyOs os;
    os.keys = {27};  // Esc during the first file
    AddSource("a.txt", 10);
    AddSource("b.txt", 10);
    fake.dialogAnswers = {0};
    fake.messageAnswers = {1};  // stop
    StartEncoding();
    EXPECT_FALSE(std::filesystem::exists(out.File("a.uue")));
    EXPECT_FALSE(std::filesystem::exists(out.File("b.uue")));
    EXPECT_TRUE(Selected(0) && Selected(1));
}

TEST(EncodingJobStrings, ShortenTailAndStripTrailingBackslash) {
    EXPECT_EQ(ShortenTail("short", 30), "short");
    EXPECT_EQ(ShortenTail(std::string(30, 'x'), 30), std::string(30, 'x'));
    EXPECT_EQ(ShortenTail("abcdefghij", 8), "...fghij");
    char dir[16];
    std::snprintf(dir, sizeof dir, "x%c", platform::kPathSeparator);
    StripTrailingBackslash(dir);
    EXPECT_STREQ(dir, "x");
    StripTrailingBackslash(dir);
    EXPECT_STREQ(dir, "x");
    char empty[1] = "";
    StripTrailingBackslash(empty);
    EXPECT_STREQ(empty, "");
}

}  // namespace
}  // namespace vexil
