// End to end: plughost delete and extract --move through the built vexil
// plugin: GNU uuencode blocks leave the text exactly, the rest still lists
// and extracts byte-exact, and a write over the file-size limit leaves the
// storage as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "run_plughost.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

bool HaveUuencode() { return std::system("command -v uuencode >/dev/null 2>&1") == 0; }

class DeleteCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveUuencode()) GTEST_SKIP() << "uuencode missing (package sharutils)";
        fs::create_directory(dir.File("out"));
        previous = platform::os().GetCurrentDir();
        // Three files, each block between lines of mail text: blocks[i] is GNU uuencode's output.
        text = "From: someone\n\n";
        for (int i = 0; i < 3; ++i) {
            const std::string name = "f" + std::to_string(i) + ".bin";
            std::string bytes;
            for (int k = 0; k < 500 * (i + 1); ++k) bytes += static_cast<char>((k * 7 + i) & 0xFF);
            dir.Write(name, bytes);
            const std::string command = "cd '" + dir.Path() + "' && uuencode " + name + " " + name + " > block.txt";
            EXPECT_EQ(std::system(command.c_str()), 0);
            blocks.push_back(test::ReadWholeFile(dir.File("block.txt")));
            fs::remove(dir.File("block.txt"));
            around.push_back("-- text after " + name + " --\n\n");
            text += blocks.back() + around.back();
        }
        storage = dir.Write("mail.txt", text);
    }
    void TearDown() override {
        if (!previous.empty()) platform::os().SetCurrentDir(previous);
    }
    int Run(const std::vector<std::string>& words) {
        stdoutText.str("");
        stderrText.str("");
        const int code = RunPlughost(words, stdoutText, stderrText);
        platform::os().SetCurrentDir(previous);
        return code;
    }

    test::TempDir dir;
    std::string previous, text, storage;
    std::vector<std::string> blocks, around;
    std::ostringstream stdoutText, stderrText;
};

TEST_F(DeleteCommandTest, DeletesExactlyTheBlocksAndTheRestExtracts) {
    ASSERT_EQ(Run({"--answer", "0", "delete", storage, "f1.bin", "nothing.bin"}), 1);
    EXPECT_EQ(stdoutText.str(), "deleted f1.bin\nnot deleted nothing.bin\n");
    EXPECT_TRUE(test::ReadWholeFile(storage) ==
                "From: someone\n\n" + blocks[0] + around[0] + around[1] + blocks[2] + around[2]);
    ASSERT_EQ(Run({"extract", storage, "--to", dir.File("out")}), 0) << stderrText.str();
    EXPECT_EQ(stdoutText.str(), "extracted f0.bin\nextracted f2.bin\n");
    for (const char* name : {"f0.bin", "f2.bin"})
        EXPECT_TRUE(test::ReadWholeFile(dir.File(std::string("out/") + name)) == test::ReadWholeFile(dir.File(name)));

    // Cancelled at the question: nothing changes.
    const std::string before = test::ReadWholeFile(storage);
    EXPECT_EQ(Run({"--answer", "1", "delete", storage, "f0.bin"}), 1);
    EXPECT_EQ(stdoutText.str(), "not deleted f0.bin\n");
    EXPECT_TRUE(test::ReadWholeFile(storage) == before);
}

TEST_F(DeleteCommandTest, ExtractMoveTakesTheItemsOut) {
    ASSERT_EQ(Run({"extract", storage, "--move", "--to", dir.File("out"), "f0.bin", "f2.bin"}), 0) << stderrText.str();
    EXPECT_EQ(stdoutText.str(), "moved f0.bin\nmoved f2.bin\n");
    EXPECT_TRUE(test::ReadWholeFile(storage) == "From: someone\n\n" + around[0] + blocks[1] + around[1] + around[2]);
    EXPECT_TRUE(test::ReadWholeFile(dir.File("out/f2.bin")) == test::ReadWholeFile(dir.File("f2.bin")));
}

TEST_F(DeleteCommandTest, AWriteOverTheFileSizeLimitLeavesTheStorage) {
#if defined(_WIN32)
    GTEST_SKIP() << "no file-size limit there";
#endif
    // A child shell with a limit below the text's size; the command fails and
    // removes its temporary file.
    const std::string command = "cd '" + dir.Path() + "' && ulimit -f 1 && '" PLUGHOST_TEST_BINARY "' --plugins '" +
                                std::string(PLUGHOST_TEST_PLUGINS_DIR) + "' --answer 0 --answer 0 delete mail.txt f0.bin > result.txt 2>&1";
    std::system(command.c_str());
    EXPECT_NE(test::ReadWholeFile(dir.File("result.txt")).find("not deleted f0.bin"), std::string::npos)
        << test::ReadWholeFile(dir.File("result.txt"));
    EXPECT_TRUE(test::ReadWholeFile(storage) == text);
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

}  // namespace
