// End to end: plughost's encode and config commands drive the built vexil
// plugin through its real exports, its dialogs and the settings store (the
// Wine registry on Windows).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "plughost/cli.h"
#include "run_plughost.h"
#include "support/temp_dir.h"

namespace {

std::string Read(const std::string& path) { return test::ReadWholeFile(path); }

class EncodeCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousDir = platform::os().GetCurrentDir();
        // The passive panel shows the current directory: the outputs go there.
        ASSERT_TRUE(platform::os().SetCurrentDir(out.Path()));
        a = src.Write("a.bin", std::string(1000, 'a'));
        b = src.Write("b.bin", std::string(200, 'b'));
    }
    void TearDown() override { platform::os().SetCurrentDir(previousDir); }

    int Run(const std::vector<std::string>& words) {
        stdoutText.str("");
        stderrText.str("");
        return RunPlughost(words, stdoutText, stderrText);
    }

    test::TempDir src, out;
    std::string a, b, previousDir;
    std::ostringstream stdoutText, stderrText;
};

TEST_F(EncodeCommandsTest, BriefDialogEncodesTheFilesInTheOrderGiven) {
    EXPECT_EQ(Run({"encode", b, a}), 0) << stderrText.str();
    EXPECT_EQ(stdoutText.str(), "encoded b.bin\nencoded a.bin\n");
    const std::string text = Read(out.File("a.uue"));
    EXPECT_EQ(text.rfind("\r\nsection 1 of 1 of file a.bin (encoded by VEXIL 0.2b for FAR)\r\ntable\r\n", 0), 0u);
    EXPECT_NE(text.find("begin 644 a.bin\r\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(out.File("b.uue")));
    const std::string log = stderrText.str();
    EXPECT_NE(log.find("dialog: BriefEncodingDlg"), std::string::npos);
    EXPECT_NE(log.find("[4] edit \"" + out.Path()), std::string::npos);
    EXPECT_LT(log.find("  | b.bin"), log.find("  | a.bin"));
    EXPECT_NE(log.find("\u2588\u2588\u2588\u2588\u2588"), std::string::npos);  // the full progress bar
}

TEST_F(EncodeCommandsTest, TargetAndAppendAnswerJoinAnExistingFile) {
    const std::string all = out.Write("all.uue", "OLD\r\n");
    EXPECT_EQ(Run({"--answer", "2", "encode", "--target", all, a}), 0) << stderrText.str();
    const std::string text = Read(all);
    EXPECT_EQ(text.rfind("OLD\r\n\r\n\r\nsection 1 of 1 of file a.bin", 0), 0u);
    EXPECT_NE(stderrText.str().find("buttons: [0] Skip [1] Replace [2] Append [3] Cancel"), std::string::npos);
}

TEST_F(EncodeCommandsTest, SkippedFileIsReportedAndLeftAlone) {
    out.Write("a.uue", "keep");
    EXPECT_EQ(Run({"--answer", "0", "encode", a, b}), 1);
    EXPECT_EQ(stdoutText.str(), "not encoded a.bin\nencoded b.bin\n");
    EXPECT_EQ(Read(out.File("a.uue")), "keep");
}

TEST_F(EncodeCommandsTest, DetailedFlagBringsUpTheDetailedDialog) {
    EXPECT_EQ(Run({"encode", "--detailed", a}), 0) << stderrText.str();
    const std::string log = stderrText.str();
    EXPECT_NE(log.find("dialog: EncodingOptions"), std::string::npos);
    EXPECT_NE(log.find("dialog: DetailedEncodingDlg"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(out.File("a.uue")));
}

TEST_F(EncodeCommandsTest, FileEncodedOntoItselfIsRefused) {
    // "notes.uue" with the target "." would be its own output.
    const std::string notes = out.Write("notes.uue", "the only copy\r\n");
    for (const char* answer : {"1", "2"}) {  // Replace, Append, were they asked
        EXPECT_EQ(Run({"--answer", answer, "--answer", answer, "encode", "--target", ".", notes}), 1);
        EXPECT_EQ(stdoutText.str(), "not encoded notes.uue\n");
        EXPECT_EQ(Read(notes), "the only copy\r\n");
        EXPECT_NE(stderrText.str().find("The output file is the file being encoded"), std::string::npos)
            << stderrText.str();
    }
}

TEST_F(EncodeCommandsTest, EmptyTargetMeansTheOfferedOne) {
    EXPECT_EQ(Run({"encode", "--target", "", a}), 0) << stderrText.str();
    EXPECT_TRUE(std::filesystem::exists(out.File("a.uue")));
    EXPECT_FALSE(std::filesystem::exists(out.File(".uue")));
    EXPECT_FALSE(std::filesystem::exists(src.File(".uue")));
}

TEST_F(EncodeCommandsTest, ProgressNumbersTheFirstFileOne) {
    EXPECT_EQ(Run({"encode", a, b}), 0) << stderrText.str();
    const std::string log = stderrText.str();
    EXPECT_NE(log.find("File number 1"), std::string::npos) << log;
    EXPECT_NE(log.find("File number 2"), std::string::npos) << log;
    EXPECT_EQ(log.find("File number 0"), std::string::npos) << log;
}

TEST_F(EncodeCommandsTest, UsageErrors) {
    EXPECT_EQ(Run({"encode"}), 2);
    EXPECT_EQ(Run({"encode", src.File("missing.bin")}), 2);
    EXPECT_EQ(Run({"config", "extra"}), 2);
}

// Reads one value the plugin saved under the host's settings root.
uint32_t StoredEncodeValue(const std::string& name) {
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.OpenSettingsKey("Software\\plughost\\Plugins\\VEXIL\\Encode");
    uint32_t value = 0, size = sizeof value;
    const bool found = key != nullptr && os.QueryValue(key, name, &value, &size);
    if (key != nullptr) os.CloseSettingsKey(key);
    return found ? value : 0xFFFFFFFFu;
}

TEST_F(EncodeCommandsTest, ConfigEditsAndSavesTheSettings) {
    // Only the section length changes: harmless to tests that encode meanwhile.
    EXPECT_EQ(Run({"--answer", "1", "--edit", "6=77x", "--answer", "0", "--answer", "4", "config"}), 0)
        << stderrText.str();
    EXPECT_EQ(StoredEncodeValue("LinesPerSection"), 77u);
    const std::string log = stderrText.str();
    EXPECT_NE(log.find("[1] &Encoding options (selected)"), std::string::npos);  // the menu reopened on it
    EXPECT_NE(log.find("vtext \"\u252C\u2502\u2502\u2502\u2534\""), std::string::npos);

    // Leaving without the save item keeps the store as it was.
    EXPECT_EQ(Run({"--answer", "1", "--edit", "6=5", "--answer", "0", "--answer", "-1", "config"}), 0);
    EXPECT_EQ(StoredEncodeValue("LinesPerSection"), 77u);

    EXPECT_EQ(Run({"--answer", "1", "--edit", "6=100", "--answer", "0", "--answer", "4", "config"}), 0);
    EXPECT_EQ(StoredEncodeValue("LinesPerSection"), 100u);
}

}  // namespace
