// EncodeFile when reading or writing fails, the source changes under it, or
// the user aborts with Esc: appended text is cut off again, an output this
// call created is deleted on abort and after Esc on a failure question.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/vexil/encoding/encode_test_util.h"
#include "support/temp_dir.h"
#include "support/faulty_os.h"
#include "vexil/encoding/encoder.h"

namespace vexil {
namespace {

using encode_test::DecodeUu;
using encode_test::EncodeHost;
using encode_test::RandomBytes;
using encode_test::ReadFile;
using test::TempDir;
using encode_test::WriteFile;
using testing_support::FaultyOs;

constexpr int kEscape = 27;
constexpr int kAnswerRetry = 0, kAnswerSkip = 1, kAnswerCancel = 2;  // file error box
constexpr int kAnswerReplace = 1;                                     // existing-output question
constexpr int kAnswerGoOn = 0, kAnswerStop = 1;    // abort question

// Console input that stays empty for the first `quietChecks` looks; every
// look (once per chunk) first runs `onCheck`.
class LateKeysOs : public FaultyOs {
public:
    int quietChecks = 0;
    std::function<void()> onCheck;
    int PendingConsoleEvents() override {
        if (onCheck) onCheck();
        return quietChecks-- > 0 ? 0 : FaultyOs::PendingConsoleEvents();
    }
};

class EncoderFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = dir.File("source.bin");
        store = dir.File("store.uue");
        WriteFile(source, RandomBytes(300000));
        WriteFile(store, kOldText);
    }
    bool AppendToStore() {
        job.appendToTarget = 1;
        job.appending = 1;
        return EncodeFile(source, store, settings, job);
    }

    const std::string kOldText = "\r\nsection 1 of 1 of file old.bin\r\nearlier content\r\n";
    LateKeysOs os;
    EncodeHost host;
    TempDir dir;
    EncodeSettings settings;
    EncodeJobState job;
    std::string source, store;
};

TEST_F(EncoderFaultsTest, WriteFailureWhileAppendingLeavesTheStorageAsItWas) {
    for (int answer : {kAnswerSkip, kAnswerCancel}) {
        job = {};
        os.Fail(FaultyOs::kWrite, 2);
        host.messageAnswers = {answer};
        EXPECT_FALSE(AppendToStore());
        EXPECT_EQ(ReadFile(store), kOldText);
        EXPECT_EQ(job.cancelled, answer == kAnswerCancel ? 1 : 0);
        EXPECT_EQ(job.completed, 0);
        EXPECT_EQ(job.appending, 0);
    }
}

TEST_F(EncoderFaultsTest, WriteFailureOnNewOutputLeavesNoPartOfIt) {
    for (int answer : {kAnswerSkip, kAnswerCancel}) {
        job = {};
        os.Fail(FaultyOs::kWrite, 2);
        host.messageAnswers = {answer};
        EXPECT_FALSE(EncodeFile(source, dir.Path(), settings, job));
        EXPECT_FALSE(std::filesystem::exists(dir.File("source.uue")));
        EXPECT_EQ(job.completed, 0);
    }
}

TEST_F(EncoderFaultsTest, EscConfirmedDeletesTheCreatedOutput) {
    os.keys = {kEscape};
    host.messageAnswers = {kAnswerStop};
    EXPECT_FALSE(EncodeFile(source, dir.Path(), settings, job));
    EXPECT_FALSE(std::filesystem::exists(dir.File("source.uue")));
    EXPECT_EQ(job.cancelled, 1);  // the question stops the job, not only this file
    EXPECT_EQ(job.completed, 0);
}

TEST_F(EncoderFaultsTest, EscConfirmedWhileAppendingCutsTheNewText) {
    os.quietChecks = 2;  // past the first chunk, which is written already
    os.keys = {kEscape};
    host.messageAnswers = {kAnswerStop};
    EXPECT_FALSE(AppendToStore());
    EXPECT_EQ(ReadFile(store), kOldText);
}

TEST_F(EncoderFaultsTest, EscNotConfirmedLetsTheEncodingFinish) {
    TempDir reference;
    EncodeJobState referenceJob;
    ASSERT_TRUE(EncodeFile(source, reference.Path(), settings, referenceJob));

    // Go on; then Esc on the question itself, which keeps reading the input.
    os.keys = {'A', kEscape, kEscape, kEscape};
    host.messageAnswers = {kAnswerGoOn, -1, kAnswerGoOn};
    EXPECT_TRUE(EncodeFile(source, dir.Path(), settings, job));
    EXPECT_EQ(ReadFile(dir.File("source.uue")), ReadFile(reference.File("source.uue")));
    EXPECT_TRUE(os.keys.empty());
    EXPECT_TRUE(host.messageAnswers.empty());
}

TEST_F(EncoderFaultsTest, AbortKeepsEarlierSectionFiles) {
    settings.SplitOutput = 1;
    settings.LinesPerSection = 500;  // the first chunk's 1457 lines reach into section 3
    os.quietChecks = 2;
    os.keys = {kEscape};
    host.messageAnswers = {kAnswerStop};
    EXPECT_FALSE(EncodeFile(source, dir.Path(), settings, job));
    EXPECT_TRUE(std::filesystem::exists(dir.File("source_1.uue")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("source_2.uue")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("source_3.uue")));
}

TEST_F(EncoderFaultsTest, AbortQuestionIsAWarningWithTwoButtons) {
    os.keys = {kEscape};
    host.messageAnswers = {kAnswerStop};
    EncodeFile(source, dir.Path(), settings, job);
    const auto questions = host.Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].flags, host::kMsgWarning);
    EXPECT_EQ(questions[0].buttons, 2);
    EXPECT_EQ(questions[0].lines, (std::vector<std::string>{"msg24", "msg45", "msg8", "msg1"}));
}

TEST_F(EncoderFaultsTest, EscOnReadOrWriteQuestionFailsTheFile) {
    // Esc used to end the failed operation quietly: a short read became the
    // end of the source, a failed block was dropped, and both were reported
    // as encoded.
    struct Case {
        FaultyOs::Call call;
        bool append;
    };
    for (Case c : {Case{FaultyOs::kRead, false}, Case{FaultyOs::kRead, true}, Case{FaultyOs::kWrite, false},
                   Case{FaultyOs::kWrite, true}}) {
        SCOPED_TRACE(std::string(c.call == FaultyOs::kRead ? "read" : "write") + (c.append ? ", append" : ", new"));
        job = {};
        host.messages.clear();
        std::filesystem::remove(dir.File("source.uue"));
        WriteFile(store, kOldText);
        os.Fail(c.call, 2);
        host.messageAnswers = {-1};
        EXPECT_FALSE(c.append ? AppendToStore() : EncodeFile(source, dir.Path(), settings, job));
        ASSERT_EQ(host.Questions().size(), 1u);
        EXPECT_EQ(host.Questions()[0].lines[1], c.call == FaultyOs::kRead ? "msg39" : "msg38");
        EXPECT_EQ(job.completed, 0);
        EXPECT_EQ(job.cancelled, 0);
        if (c.append) EXPECT_EQ(ReadFile(store), kOldText);
        else EXPECT_FALSE(std::filesystem::exists(dir.File("source.uue")));
    }
}

TEST_F(EncoderFaultsTest, RetryAfterAWriteFailureMidBlockDecodesByteExact) {
    // The output goes out in blocks gathered from many small writes (short
    // sections make short runs of lines); the failing transfer leaves half a
    // block on disk before Retry.
    settings.SplitOutput = 1;
    settings.EnableSingleStorage = 1;
    settings.LinesPerSection = 10;
    TempDir reference;
    EncodeJobState referenceJob;
    ASSERT_TRUE(EncodeFile(source, reference.Path(), settings, referenceJob));
    const std::string fresh = ReadFile(reference.File("source.uue"));
    for (bool append : {false, true}) {
        SCOPED_TRACE(append ? "append" : "new output");
        job = {};
        host.messages.clear();
        os.Fail(FaultyOs::kWrite, 3);
        host.messageAnswers = {kAnswerRetry};
        EXPECT_TRUE(append ? AppendToStore() : EncodeFile(source, dir.Path(), settings, job));
        EXPECT_EQ(host.Questions().size(), 1u);
        const std::string text = ReadFile(append ? store : dir.File("source.uue"));
        // One file for all sections: the fresh text starts with the separator too.
        const std::string expected = append ? kOldText + fresh : fresh;
        EXPECT_TRUE(text == expected) << "the text differs from an encoding without the failure";
        EXPECT_TRUE(DecodeUu(text) == ReadFile(source));
    }
}

TEST_F(EncoderFaultsTest, ReplaceThatCannotRemoveTheOldOutputFailsTheFile) {
    const std::string output = dir.File("source.uue");
    for (int answer : {kAnswerSkip, kAnswerCancel, -1}) {
        SCOPED_TRACE(answer);
        job = {};
        host.messages.clear();
        WriteFile(output, "OLD\r\n");
        os.Fail(FaultyOs::kRemove, 1, -1);
        host.messageAnswers = {kAnswerReplace, answer};
        EXPECT_FALSE(EncodeFile(source, dir.Path(), settings, job));
        EXPECT_EQ(ReadFile(output), "OLD\r\n") << "nothing is appended to the old text";
        const auto questions = host.Questions();
        ASSERT_EQ(questions.size(), 2u);
        EXPECT_EQ(questions[1].lines[1], "msg40");
        EXPECT_EQ(questions[1].lines[2], output);
        EXPECT_EQ(job.cancelled, answer == kAnswerCancel ? 1 : 0);
        EXPECT_EQ(job.completed, 0);
    }
    // Retried once the file can go, the output is written afresh.
    os.Fail(FaultyOs::kRemove, 1, 1);
    job = {};
    host.messageAnswers = {kAnswerReplace, kAnswerRetry};
    EXPECT_TRUE(EncodeFile(source, dir.Path(), settings, job));
    EXPECT_TRUE(DecodeUu(ReadFile(output)) == ReadFile(source));
    EXPECT_EQ(ReadFile(output).rfind("\r\n\r\nsection 1 of 1 ", 0), 0u);
}

TEST_F(EncoderFaultsTest, SourceThatDoesNotOpenLeavesNoOutput) {
    for (int answer : {kAnswerSkip, kAnswerCancel, -1}) {
        SCOPED_TRACE(answer);
        job = {};
        os.Fail(FaultyOs::kOpen, 1);
        host.messageAnswers = {answer};
        EXPECT_FALSE(EncodeFile(source, dir.Path(), settings, job));
        EXPECT_TRUE(host.messageAnswers.empty());
        EXPECT_FALSE(std::filesystem::exists(dir.File("source.uue")));
    }
}

TEST_F(EncoderFaultsTest, SourceGrowingDuringTheEncodingIsEncodedAtItsFirstLength) {
    settings.SplitOutput = 1;
    settings.EnableSingleStorage = 1;  // every section in one file
    settings.LinesPerSection = 3000;   // 6667 lines: 3 sections
    const std::string original = ReadFile(source);
    bool grown = false;
    os.onCheck = [&] {
        if (!grown) std::ofstream(source, std::ios::binary | std::ios::app) << std::string(200000, 'g');
        grown = true;
    };
    EXPECT_TRUE(EncodeFile(source, dir.Path(), settings, job));
    const std::string text = ReadFile(dir.File("source.uue"));
    EXPECT_TRUE(DecodeUu(text) == original);
    EXPECT_NE(text.find("section 3 of 3 "), std::string::npos);
    EXPECT_EQ(text.find("section 4 "), std::string::npos);
}

TEST_F(EncoderFaultsTest, SourceShrinkingDuringTheEncodingFailsTheFile) {
    for (bool append : {false, true}) {
        SCOPED_TRACE(append ? "append" : "new output");
        job = {};
        WriteFile(source, RandomBytes(300000));
        WriteFile(store, kOldText);
        bool cut = false;
        os.onCheck = [&] {
            if (!cut) std::filesystem::resize_file(source, 100000);
            cut = true;
        };
        EXPECT_FALSE(append ? AppendToStore() : EncodeFile(source, dir.Path(), settings, job));
        EXPECT_EQ(job.completed, 0);
        if (append) EXPECT_EQ(ReadFile(store), kOldText);
        else EXPECT_FALSE(std::filesystem::exists(dir.File("source.uue")));
        os.onCheck = nullptr;
    }
}

TEST_F(EncoderFaultsTest, ConfirmedAbortStopsTheWholeJob) {
    os.keys = {kEscape};
    host.messageAnswers = {kAnswerStop};
    EXPECT_FALSE(AppendToStore());
    EXPECT_EQ(job.cancelled, 1);
}

}  // namespace
}  // namespace vexil
