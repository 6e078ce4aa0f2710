// EncodeFile when writing fails or the user aborts with Esc: appended text
// is cut off again, an output this call created is deleted on abort.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/vexil/encoding/encode_test_util.h"
#include "support/temp_dir.h"
#include "support/faulty_os.h"
#include "vexil/encoding/encoder.h"

namespace vexil {
namespace {

using encode_test::EncodeHost;
using encode_test::RandomBytes;
using encode_test::ReadFile;
using test::TempDir;
using encode_test::WriteFile;
using testing_support::FaultyOs;

constexpr int kEscape = 27;
constexpr int kAnswerSkip = 1, kAnswerCancel = 2;  // file error box
constexpr int kAnswerGoOn = 0, kAnswerStop = 1;    // abort question

// Console input that stays empty for the first `quietChecks` looks.
class LateKeysOs : public FaultyOs {
public:
    int quietChecks = 0;
    int PendingConsoleEvents() override { return quietChecks-- > 0 ? 0 : FaultyOs::PendingConsoleEvents(); }
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

TEST_F(EncoderFaultsTest, WriteFailureOnNewOutputKeepsWhatWasWritten) {
    os.Fail(FaultyOs::kWrite, 2);
    host.messageAnswers = {kAnswerSkip};
    EXPECT_FALSE(EncodeFile(source, dir.Path(), settings, job));
    EXPECT_TRUE(std::filesystem::exists(dir.File("source.uue")));
}

TEST_F(EncoderFaultsTest, EscConfirmedDeletesTheCreatedOutput) {
    os.keys = {kEscape};
    host.messageAnswers = {kAnswerStop};
    EXPECT_FALSE(EncodeFile(source, dir.Path(), settings, job));
    EXPECT_FALSE(std::filesystem::exists(dir.File("source.uue")));
    EXPECT_EQ(job.cancelled, 0);
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

}  // namespace
}  // namespace vexil
