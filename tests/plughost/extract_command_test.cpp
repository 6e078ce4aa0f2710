// End to end: plughost extract copies items out of a storage through the
// built vexil plugin's GetFiles: GNU uuencode text (plain and base64) comes
// back byte-exact, hostile names stay inside --to, damaged files are asked
// about and never left under their name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/platform.h"
#include "run_plughost.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

bool HaveUuencode() { return std::system("command -v uuencode >/dev/null 2>&1") == 0; }

class ExtractCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(dir.File("out"));
        previous = platform::os().GetCurrentDir();
    }
    void TearDown() override { platform::os().SetCurrentDir(previous); }
    int Run(const std::vector<std::string>& words) {
        stdoutText.str("");
        stderrText.str("");
        const int code = RunPlughost(words, stdoutText, stderrText);
        platform::os().SetCurrentDir(previous);  // closing a panel goes to the root
        return code;
    }
    // GNU uuencode of src/<name> under `remote`, appended to `text`.
    void Uuencode(const std::string& name, const std::string& remote, const std::string& text, bool base64) {
        const std::string command = std::string("cd '") + dir.Path() + "' && uuencode " + (base64 ? "-m " : "") +
                                    "'" + name + "' '" + remote + "' >> '" + text + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::vector<std::string> Files(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
    std::string previous;
    std::ostringstream stdoutText, stderrText;
};

TEST_F(ExtractCommandTest, GnuUuencodeOutputListsAndExtractsByteExact) {
    if (!HaveUuencode()) GTEST_SKIP() << "uuencode missing (package sharutils)";
    const size_t sizes[] = {0, 1, 2, 3, 44, 45, 46, 1000, 100000};
    const std::string text = dir.File("mail.txt");
    std::ofstream(text) << "From: someone\n\nHere are the files.\n\n";
    std::string expectedListing;
    for (size_t size : sizes) {
        for (bool base64 : {false, true}) {
            const std::string name = std::string(base64 ? "m" : "u") + std::to_string(size) + ".bin";
            dir.Write(name, RandomBytes(size, static_cast<unsigned>(size * 2 + base64)));
            Uuencode(name, name, text, base64);
            std::ofstream(text, std::ios::app) << "\n-- between the blocks --\n";
            expectedListing += "item\t" + name + "\t" + std::to_string(size) + "\n";
        }
    }
    ASSERT_EQ(Run({"list", text}), 0) << stderrText.str();
    EXPECT_EQ(stdoutText.str(), "title\t VEXIL: mail.txt \n" + expectedListing);
    ASSERT_EQ(Run({"extract", text, "--to", dir.File("out")}), 0) << stderrText.str();
    for (size_t size : sizes) {
        for (bool base64 : {false, true}) {
            const std::string name = std::string(base64 ? "m" : "u") + std::to_string(size) + ".bin";
            EXPECT_NE(stdoutText.str().find("extracted " + name + "\n"), std::string::npos) << name;
            EXPECT_TRUE(test::ReadWholeFile(dir.File("out/" + name)) == test::ReadWholeFile(dir.File(name))) << name;
        }
    }
}

TEST_F(ExtractCommandTest, HostileNamesStayInsideTheFolder) {
    if (!HaveUuencode()) GTEST_SKIP() << "uuencode missing (package sharutils)";
    dir.Write("x.bin", "payload");
    const std::string text = dir.File("evil.txt");
    for (const char* remote : {"../../escaped.bin", "/tmp/absolute.bin", "..", "sub/dir/inner.bin"})
        Uuencode("x.bin", remote, text, false);
    ASSERT_EQ(Run({"list", text}), 0);
    EXPECT_EQ(stdoutText.str(),
              "title\t VEXIL: evil.txt \nitem\tescaped.bin\t7\nitem\tabsolute.bin\t7\nitem\t_\t7\nitem\tinner.bin\t7\n");
    const std::vector<std::string> before = Files(dir.Path());
    ASSERT_EQ(Run({"extract", text, "--to", dir.File("out")}), 0) << stderrText.str();
    EXPECT_EQ(Files(dir.File("out")), (std::vector<std::string>{"_", "absolute.bin", "escaped.bin", "inner.bin"}));
    EXPECT_EQ(Files(dir.Path()), before);
    EXPECT_FALSE(fs::exists("/tmp/absolute.bin") && test::ReadWholeFile("/tmp/absolute.bin") == "payload");
}

TEST_F(ExtractCommandTest, DamagedFilesAndNamedItems) {
    // A plain block whose third data line lost a character.
    std::string text = "begin 644 d.bin\n";
    const std::string full = "M" + std::string(60, '!') + "\n";
    text += full + full + "M" + std::string(59, '!') + "\n" + full + "`\nend\n";
    text += "begin 644 good.bin\n#86)C\n`\nend\n";
    const std::string path = dir.Write("d.txt", text);

    EXPECT_EQ(Run({"--answer", "0", "extract", path, "--to", dir.File("out"), "d.bin"}), 1);
    EXPECT_EQ(stdoutText.str(), "not extracted d.bin\n");
    EXPECT_TRUE(Files(dir.File("out")).empty());

    EXPECT_EQ(Run({"--answer", "1", "extract", path, "--to", dir.File("out"), "d.bin", "nothing.bin"}), 1);
    EXPECT_EQ(stdoutText.str(), "not extracted d.bin\nnot extracted nothing.bin\n");
    EXPECT_EQ(Files(dir.File("out")), std::vector<std::string>{"d.bin.partial"});
    EXPECT_EQ(test::ReadWholeFile(dir.File("out/d.bin.partial")).size(), 90u);

    EXPECT_EQ(Run({"extract", path, "--to", dir.File("out"), "good.bin"}), 0);
    EXPECT_EQ(stdoutText.str(), "extracted good.bin\n");
    EXPECT_EQ(test::ReadWholeFile(dir.File("out/good.bin")), "abc");
}

TEST_F(ExtractCommandTest, PlainBlocksTellWritabilityLikeSectionBlocks) {
    const std::string block = "begin 644 c.txt\n#0V%T\n`\nend\n";
    EXPECT_EQ(Run({"list", dir.Write("plain.txt", "note\n" + block)}), 0);
    EXPECT_EQ(stdoutText.str(), "title\t VEXIL: plain.txt \nitem\tc.txt\t3\n");
    EXPECT_EQ(Run({"list", dir.Write("tab.txt", "a\tnote\n" + block)}), 0);
    EXPECT_EQ(stdoutText.str(), "title\t VEXIL: tab.txt (r/o) \nitem\tc.txt\t3\n");
}

TEST_F(ExtractCommandTest, AFolderThatDoesNotExistIsMade) {
    const std::string path = dir.Write("c.txt", "begin 644 c.txt\n#0V%T\n`\nend\n");
    EXPECT_EQ(Run({"extract", path, "--to", dir.File("new/sub")}), 0);
    EXPECT_EQ(stdoutText.str(), "extracted c.txt\n");
    EXPECT_EQ(test::ReadWholeFile(dir.File("new/sub/c.txt")), "Cat");
}

TEST_F(ExtractCommandTest, AStorageThatIsNoRegularFileIsNeitherOfferedNorMade) {
    fs::create_directory(dir.File("folder"));
    const struct {
        std::vector<std::string> words;
        std::string message;
    } cases[] = {
        {{"list", dir.File("missing.uue")}, "plughost: no such file: "},
        {{"extract", dir.File("missing.uue"), "--to", dir.File("new")}, "plughost: no such file: "},
        {{"delete", dir.File("missing.uue"), "x"}, "plughost: no such file: "},
        {{"put", dir.File("missing.uue"), dir.Write("a.bin", "a")}, "plughost: no such file: "},
        {{"list", dir.File("folder")}, "plughost: not a regular file: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words[0] + " " + c.words[1]);
        EXPECT_EQ(Run(c.words), 3);
        EXPECT_EQ(stdoutText.str(), "declined\n");
        EXPECT_NE(stderrText.str().find(c.message + c.words[1] + "\n"), std::string::npos) << stderrText.str();
    }
    // Nothing was made: not the storage, not the --to folder.
    EXPECT_FALSE(fs::exists(dir.File("missing.uue")));
    EXPECT_FALSE(fs::exists(dir.File("new")));
}

TEST_F(ExtractCommandTest, MentionsOfBeginAreDeclined) {
    const std::string path =
        dir.Write("note.txt", "To send it, type: begin 644 x\nbegin 644 x\nthis is no data\nend\n");
    EXPECT_EQ(Run({"list", path}), 3);
    EXPECT_EQ(stdoutText.str(), "declined\n");
    EXPECT_EQ(Run({"extract"}), 2);
}

}  // namespace
