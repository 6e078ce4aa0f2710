// End to end: plughost put copies files onto a storage opened from a text
// file; the built vexil plugin appends them and lists them after the idle event.
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

class PutCommandTest : public ::testing::Test {
protected:
    int Run(const std::vector<std::string>& words) {
        stdoutText.str("");
        stderrText.str("");
        return RunPlughost(words, stdoutText, stderrText);
    }

    test::TempDir dir;
    std::ostringstream stdoutText, stderrText;
};

TEST_F(PutCommandTest, OnlyRegularFilesAreTaken) {
    const std::string storage = dir.Write("st.uue", "");
    std::filesystem::create_directory(dir.File("folder"));
    const struct {
        std::string file, message;
    } cases[] = {
        {dir.File("missing.bin"), "plughost: no such file: "},
        {dir.File("folder"), "plughost: not a regular file: "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run({"put", storage, c.file}), 2);
        EXPECT_EQ(stderrText.str(), c.message + c.file + "\n");
    }
    EXPECT_EQ(Read(storage), "");
}

TEST_F(PutCommandTest, FilesAreAppendedAndListed) {
    const std::string first = dir.Write("first.bin", std::string(1027, 'f'));
    const std::string a = dir.Write("a.bin", std::string(2000, 'a'));
    const std::string b = dir.Write("b.bin", std::string(300, 'b'));
    const std::string before = platform::os().GetCurrentDir();
    ASSERT_TRUE(platform::os().SetCurrentDir(dir.Path()));
    const int encoded = Run({"encode", first});  // writes first.uue, the storage
    platform::os().SetCurrentDir(before);
    ASSERT_EQ(encoded, 0) << stderrText.str();
    const std::string storage = dir.File("first.uue");
    const std::string earlier = Read(storage);

    EXPECT_EQ(Run({"put", storage, a, b}), 0) << stderrText.str();
    platform::os().SetCurrentDir(before);  // closing the panel went to the root
    const std::string text = Read(storage);
    EXPECT_EQ(text.rfind(earlier, 0), 0u);
    EXPECT_NE(text.find("\r\n\r\nsection 1 of 1 of file a.bin"), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\nsection 1 of 1 of file b.bin"), std::string::npos);
    const std::string listing = stdoutText.str();
    EXPECT_NE(listing.find("item\tfirst.bin\t1027\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("item\ta.bin\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("item\tb.bin\t"), std::string::npos) << listing;
}

TEST_F(PutCommandTest, StorageKeepsItsSpellingAndTakesNoCopyOfItself) {
    const std::string first = dir.Write("first.bin", std::string(1027, 'f'));
    const std::string note = dir.Write("note.TXT", std::string(500, 'n'));
    const std::string before = platform::os().GetCurrentDir();
    ASSERT_TRUE(platform::os().SetCurrentDir(dir.Path()));
    const int encoded = Run({"encode", "--target", dir.File("st.txt"), first});
    platform::os().SetCurrentDir(before);
    ASSERT_EQ(encoded, 0) << stderrText.str();
    const std::string storage = dir.File("st.txt");
    const std::string earlier = Read(storage);

    EXPECT_EQ(Run({"put", storage, note}), 0) << stderrText.str();
    platform::os().SetCurrentDir(before);
    EXPECT_NE(Read(storage).find("begin 644 note.TXT"), std::string::npos);
    EXPECT_NE(stdoutText.str().find("item\tnote.TXT\t500\n"), std::string::npos) << stdoutText.str();
#if !defined(_WIN32)
    EXPECT_FALSE(std::filesystem::exists(dir.File("st.TXT")));
#endif

    // The storage put onto itself is refused; its text stays as it was.
    const std::string now = Read(storage);
    EXPECT_EQ(Run({"put", storage, storage}), 0) << stderrText.str();
    platform::os().SetCurrentDir(before);
    EXPECT_EQ(Read(storage), now);
    EXPECT_NE(stderrText.str().find("The output file is the file being encoded"), std::string::npos);
}

TEST_F(PutCommandTest, UsageErrors) {
    EXPECT_EQ(Run({"put"}), 2);
    EXPECT_EQ(Run({"put", dir.File("x.uue")}), 2);
    EXPECT_EQ(Run({"put", dir.File("x.uue"), dir.File("missing.bin")}), 2);
}

}  // namespace
