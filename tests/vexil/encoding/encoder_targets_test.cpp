// Where EncodeFile may write: never onto the source itself, never under a
// cut-off name, never over an existing section file without asking, and
// into an existing file whatever the letter case of its name.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/vexil/encoding/encode_test_util.h"
#include "platform/platform.h"
#include "support/temp_dir.h"
#include "vexil/encoding/encoder.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace vexil {
namespace {

using encode_test::DecodeUu;
using encode_test::EncodeHost;
using encode_test::RandomBytes;
using encode_test::ReadFile;
using encode_test::WriteFile;
using test::TempDir;

namespace fs = std::filesystem;

const std::string kSep(1, platform::kPathSeparator);
constexpr int kSkip = 0, kReplace = 1, kAppend = 2, kCancel = 3;  // existing-output question

class EncoderTargetsTest : public ::testing::Test {
protected:
    EncodeHost host;
    TempDir dir;
    EncodeSettings settings;
    EncodeJobState job;
};

TEST_F(EncoderTargetsTest, OutputThatIsTheSourceItselfIsRefused) {
    const std::string text = "\r\nsection 1 of 1 of file x.bin\r\nthe user's only copy\r\n";
    const std::string source = dir.Write("notes.uue", text);
    struct Case {
        const char* what;
        std::string target;
        bool appendToTarget;
    };
    std::vector<Case> cases = {
        {"directory target", dir.Path(), false},
        {"other spelling", dir.Path() + kSep + "." + kSep + "notes.uue", false},
        {"appending to itself", source, true},
#if defined(_WIN32)
        {"letter case", dir.Path() + kSep + "NOTES.UUE", false},
#endif
    };
#if !defined(_WIN32)
    ASSERT_EQ(symlink(source.c_str(), dir.File("link.uue").c_str()), 0);
    cases.push_back({"link", dir.File("link.uue"), false});
#endif
    for (const Case& c : cases) {
        for (int answer : {kReplace, kAppend}) {
            SCOPED_TRACE(std::string(c.what) + ", answer " + std::to_string(answer));
            job = {};
            job.appendToTarget = c.appendToTarget;
            host.messages.clear();
            host.messageAnswers = {answer, answer};
            EXPECT_FALSE(EncodeFile(source, c.target, settings, job));
            EXPECT_EQ(ReadFile(source), text);
            const auto questions = host.Questions();
            ASSERT_EQ(questions.size(), 1u) << "only the refusal, no existing-output question";
            EXPECT_EQ(questions[0].lines[1], "msg48");
            EXPECT_EQ(questions[0].buttons, 1);
            EXPECT_EQ(job.cancelled, 0);
            EXPECT_EQ(job.completed, 0);
        }
    }
}

TEST_F(EncoderTargetsTest, ExistingSectionFilesAreAskedAbout) {
    // 10000 bytes: 223 lines, with the table 3 sections of 100 lines.
    const std::string bytes = RandomBytes(10000, 4);
    const std::string source = dir.Write("src.bin", bytes);
    settings.SplitOutput = 1;
    const std::string first = dir.File("src_1.uue"), second = dir.File("src_2.uue"), third = dir.File("src_3.uue");
    for (int answer : {kSkip, kCancel, -1, kReplace, kAppend}) {
        SCOPED_TRACE(answer);
        fs::remove(first);
        fs::remove(third);
        WriteFile(second, "MINE\r\n");
        job = {};
        host.messages.clear();
        host.messageAnswers = {answer};
        const bool encoded = EncodeFile(source, dir.Path(), settings, job);
        const auto questions = host.Questions();
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_EQ(questions[0].lines[1], "msg37");
        EXPECT_EQ(questions[0].lines[2], second);
        if (answer == kReplace || answer == kAppend) {
            EXPECT_TRUE(encoded);
            const std::string text = ReadFile(second);
            EXPECT_EQ(text.rfind(answer == kAppend ? "MINE\r\n\r\nsection 2 of 3 " : "\r\nsection 2 of 3 ", 0), 0u);
            EXPECT_TRUE(DecodeUu(ReadFile(first) + text.substr(text.find("\r\nsection")) + ReadFile(third)) == bytes);
        } else {
            // As an abort: the file in hand goes, the user's file stays.
            EXPECT_FALSE(encoded);
            EXPECT_EQ(ReadFile(second), "MINE\r\n");
            EXPECT_FALSE(fs::exists(first));
            EXPECT_FALSE(fs::exists(third));
            EXPECT_EQ(job.cancelled, answer == kSkip ? 0 : 1);
        }
    }
}

TEST_F(EncoderTargetsTest, OutputNamedInAnotherLetterCaseIsThatFile) {
    const std::string bytes = RandomBytes(1000, 5);
    const std::string source = dir.Write("a.bin", bytes);
    const std::string existing = dir.Write("Out.UUE", "OLD\r\n");
    host.messageAnswers = {kAppend};
    EXPECT_TRUE(EncodeFile(source, dir.File("out.uue"), settings, job));
    const std::string text = ReadFile(existing);
    EXPECT_EQ(text.rfind("OLD\r\n\r\n\r\nsection 1 of 1 of file a.bin ", 0), 0u);
    EXPECT_TRUE(DecodeUu(text) == bytes);
    ASSERT_EQ(host.Questions().size(), 1u);
#if !defined(_WIN32)
    EXPECT_EQ(host.Questions()[0].lines[2], existing) << "the question names the file in its own spelling";
    EXPECT_FALSE(fs::exists(dir.File("out.uue")));
#endif
}

#if !defined(_WIN32)
TEST_F(EncoderTargetsTest, OutputPathOverTheLimitFailsWithoutWritingAnything) {
    // Deep enough that the path cut at the limit would still name a file
    // that can be created.
    std::string deep = dir.Path();
    for (char c : {'a', 'b', 'c', 'd'}) {
        deep += kSep + std::string(200, c);
        ASSERT_TRUE(fs::create_directory(deep));
    }
    const std::string source = dir.Write("a.bin", "data");
    const std::string target = deep + kSep + std::string(250, 'n') + ".uue";
    ASSERT_GT(target.size(), 1023u);
    for (int answer : {1, 2, -1}) {  // file error box: skip, cancel, Esc
        SCOPED_TRACE(answer);
        job = {};
        host.messages.clear();
        host.messageAnswers = {answer};
        EXPECT_FALSE(EncodeFile(source, target, settings, job));
        ASSERT_EQ(host.Questions().size(), 1u);
        EXPECT_EQ(host.Questions()[0].lines[1], "msg36");
        EXPECT_EQ(host.Questions()[0].lines[2], target);
        EXPECT_TRUE(fs::is_empty(deep));
        EXPECT_EQ(job.cancelled, answer == 2 ? 1 : 0);
    }
}
#endif

}  // namespace
}  // namespace vexil
