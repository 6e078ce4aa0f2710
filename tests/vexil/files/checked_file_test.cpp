// CheckedFile: the failure question and its answers, with failures injected
// through the platform layer.
#include "vexil/files/checked_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/faulty_os.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"

using testing_support::FaultyOs;
using vexil::CheckedFile;
using vexil::EncodeJobState;

// This test links the checked file alone: a minimal module state stands in
// for the plugin's, with a host whose message box answers from a queue.
namespace {
std::deque<int> g_answers;
std::vector<std::vector<std::string>> g_questions;
uint32_t g_lastFlags = 0;

int HOST_CALL RecordMessage(int, uint32_t flags, const char*, const char* const* items, int count, int buttons) {
    // A warning; with the error type (3) when an OS call failed.
    EXPECT_TRUE(flags == 3u || flags == 1u) << flags;
    g_lastFlags = flags;
    EXPECT_EQ(buttons, 3);
    g_questions.emplace_back(items, items + count);
    if (g_answers.empty()) return -1;
    int answer = g_answers.front();
    g_answers.pop_front();
    return answer;
}
}  // namespace

namespace vexil {
ModuleState& Module() {
    static ModuleState state;
    state.host.message = RecordMessage;
    return state;
}
const char* GetMsgText(int number) {
    static std::string texts[256];
    if (number == NoMessage) return "";
    texts[number] = "msg" + std::to_string(number);
    return texts[number].c_str();
}
}  // namespace vexil

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

class CheckedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_answers.clear();
        g_questions.clear();
        path = ::testing::TempDir() + "checked_file_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::remove(path.c_str());
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string path;
    EncodeJobState job;
    FaultyOs faults;
};

TEST_F(CheckedFileTest, QuestionShowsTitleTextPathAndThreeButtons) {
    struct Case {
        const char* operation;
        int message;
    };
    for (Case c : {Case{"open", vexil::MCannotOpen}, Case{"read", vexil::MCannotRead},
                   Case{"write", vexil::MCannotWrite}, Case{"delete", vexil::MCannotDelete}}) {
        SCOPED_TRACE(c.operation);
        g_questions.clear();
        WriteFile(path, "data");
        CheckedFile file(job);
        std::string op = c.operation;
        if (op == "open") {
            faults.Fail(FaultyOs::kOpen, 1);
            file.Open(path, "rb");
        } else if (op == "read") {
            file.Open(path, "rb");
            faults.Fail(FaultyOs::kRead, 1);
            char buffer[4];
            uint64_t got;
            file.Read(buffer, 4, &got);
        } else if (op == "write") {
            file.Open(path, "wb");
            file.WriteText("x");
            faults.Fail(FaultyOs::kWrite, 1);
            file.Close();
        } else {
            file.Open(path, "rb");
            faults.Fail(FaultyOs::kRemove, 1);
            file.Delete();
        }
        ASSERT_EQ(g_questions.size(), 1u);
        std::vector<std::string> expected = {"msg24", "msg" + std::to_string(c.message), path, "msg4", "msg2", "msg1"};
        EXPECT_EQ(g_questions[0], expected);
    }
}

TEST_F(CheckedFileTest, OpenAnswersRetrySkipCancelEsc) {
    WriteFile(path, "abc");
    {  // retry opens on the second attempt
        g_answers = {0};
        faults.Fail(FaultyOs::kOpen, 1);
        CheckedFile file(job);
        file.Open(path, "rb");
        EXPECT_TRUE(file.IsOpen());
    }
    {  // skip throws 1 and leaves the job alone
        g_answers = {1};
        faults.Fail(FaultyOs::kOpen, 1);
        CheckedFile file(job);
        EXPECT_THROW(
            try { file.Open(path, "rb"); } catch (vexil::FileFailure f) {
                EXPECT_EQ(f, vexil::kFailSkip);
                throw;
            },
            vexil::FileFailure);
        EXPECT_EQ(job.cancelled, 0);
    }
    {  // cancel sets `cancelled` and throws 2
        g_answers = {2};
        faults.Fail(FaultyOs::kOpen, 1);
        CheckedFile file(job);
        try {
            file.Open(path, "rb");
            ADD_FAILURE() << "no throw";
        } catch (vexil::FileFailure f) {
            EXPECT_EQ(f, vexil::kFailCancel);
        }
        EXPECT_EQ(job.cancelled, 1);
    }
}

TEST_F(CheckedFileTest, EscOnOpenLeavesPathWithoutStreamAndLaterOperationsThrowMinusOne) {
    g_answers = {-1};
    faults.Fail(FaultyOs::kOpen, 1);
    CheckedFile file(job);
    file.Open(path, "wb");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(file.HasPath());
    char buffer[4];
    uint64_t n;
    auto expectNoStream = [](auto&& operation) {
        try {
            operation();
            ADD_FAILURE() << "no throw";
        } catch (vexil::FileFailure f) {
            EXPECT_EQ(f, vexil::kFailNoStream);
        }
    };
    expectNoStream([&] { file.Read(buffer, 4, &n); });
    expectNoStream([&] { file.Write("x", 1, &n); });
    expectNoStream([&] { file.WriteText("x"); });
    expectNoStream([&] { file.Length(); });
    expectNoStream([&] { file.Delete(); });
    EXPECT_EQ(job.cancelled, 0);
}

TEST_F(CheckedFileTest, ReadYieldsWhatIsLeftAndNothingAtTheEnd) {
    WriteFile(path, "0123456789");
    CheckedFile file(job);
    file.Open(path, "rb");
    char buffer[32] = {};
    uint64_t got = 99;
    file.Read(buffer, 4, &got);
    EXPECT_EQ(got, 4u);
    file.Read(buffer, 32, &got);
    EXPECT_EQ(got, 6u);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    file.Read(buffer, 32, &got);
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(g_questions.empty());
}

TEST_F(CheckedFileTest, RepeatedReadStartsAgainWhereTheOperationBegan) {
    WriteFile(path, "0123456789");
    CheckedFile file(job);
    file.Open(path, "rb");
    char buffer[8] = {};
    uint64_t got;
    file.Read(buffer, 4, &got);
    g_answers = {0};
    faults.Fail(FaultyOs::kRead, 1);
    file.Read(buffer, 4, &got);
    EXPECT_EQ(g_questions.size(), 1u);
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(std::string(buffer, 4), "4567");
}

TEST_F(CheckedFileTest, ReadFailureSkipAndCancel) {
    WriteFile(path, "0123456789");
    for (int answer : {1, 2}) {
        SCOPED_TRACE(answer);
        job = EncodeJobState{};
        CheckedFile file(job);
        file.Open(path, "rb");
        g_answers = {answer};
        faults.Fail(FaultyOs::kRead, 1);
        char buffer[4];
        uint64_t got;
        try {
            file.Read(buffer, 4, &got);
            ADD_FAILURE() << "no throw";
        } catch (vexil::FileFailure f) {
            EXPECT_EQ(f, answer);
        }
        EXPECT_EQ(job.cancelled, answer == 2 ? 1 : 0);
        EXPECT_TRUE(file.IsOpen()) << "the catcher closes the file";
    }
}

TEST_F(CheckedFileTest, SmallWritesReachTheStreamABufferAtATime) {
    CheckedFile file(job);
    file.Open(path, "wb");
    const int before = faults.Calls(FaultyOs::kWrite);
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        file.WriteText("line of text\r\n");
        expected += "line of text\r\n";
    }
    EXPECT_EQ(faults.Calls(FaultyOs::kWrite) - before, 0);
    file.Close();
    EXPECT_EQ(faults.Calls(FaultyOs::kWrite) - before, 1);
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(CheckedFileTest, RetriedWriteLeavesTheSameBytesOnDisk) {
    for (const char* mode : {"wb", "ab"}) {
        SCOPED_TRACE(mode);
        WriteFile(path, "old;");
        std::string data;
        for (int i = 0; i < 100000; ++i) data += static_cast<char>('a' + i % 26);
        CheckedFile file(job);
        file.Open(path, mode);
        g_answers = {0};
        faults.Fail(FaultyOs::kWrite, 1);
        uint64_t written;
        file.Write(data.data(), data.size(), &written);
        file.Close();
        EXPECT_EQ(g_questions.size(), 1u);
        g_questions.clear();
        EXPECT_EQ(ReadFile(path), std::string(mode[0] == 'a' ? "old;" : "") + data);
    }
}

TEST_F(CheckedFileTest, WriteFailureSkipCancelAndEsc) {
    for (int answer : {1, 2, -1}) {
        SCOPED_TRACE(answer);
        job = EncodeJobState{};
        CheckedFile file(job);
        file.Open(path, "wb");
        file.WriteText("abc");
        g_answers = {answer};
        faults.Fail(FaultyOs::kWrite, 1);
        bool threw = false;
        try {
            file.Close();
        } catch (vexil::FileFailure f) {
            threw = true;
            EXPECT_EQ(f, answer);
        }
        EXPECT_EQ(threw, answer != -1);
        EXPECT_EQ(job.cancelled, answer == 2 ? 1 : 0);
    }
}

TEST_F(CheckedFileTest, EscEndsTheFileWhenAskedTo) {
    // Without EndFileOnEscape, Esc yields a short read, drops a written block
    // or leaves no stream, and the caller cannot tell.
    WriteFile(path, "0123456789");
    for (const char* op : {"open", "read", "write", "remove"}) {
        SCOPED_TRACE(op);
        g_questions.clear();
        g_answers = {-1};
        CheckedFile file(job);
        file.EndFileOnEscape();
        const std::string o = op;
        try {
            char buffer[4];
            uint64_t n;
            if (o == "open") {
                faults.Fail(FaultyOs::kOpen, 1);
                file.Open(path, "rb");
            } else if (o == "read") {
                file.Open(path, "rb");
                faults.Fail(FaultyOs::kRead, 1);
                file.Read(buffer, 4, &n);
            } else if (o == "write") {
                file.Open(path + ".out", "wb");
                file.WriteText("abc");
                faults.Fail(FaultyOs::kWrite, 1);
                file.Close();
            } else {
                faults.Fail(FaultyOs::kRemove, 1);
                file.RemoveFile(path);
            }
            ADD_FAILURE() << "no throw";
        } catch (vexil::FileFailure f) {
            EXPECT_EQ(f, vexil::kFailEscape);
        }
        EXPECT_EQ(g_questions.size(), 1u);
        EXPECT_EQ(job.cancelled, 0);
    }
    std::remove((path + ".out").c_str());
}

TEST_F(CheckedFileTest, RemoveFileAsksWithItsPathAndAppliesTheAnswers) {
    const std::string other = path + ".old";
    for (int answer : {0, 1, 2, -1}) {
        SCOPED_TRACE(answer);
        WriteFile(other, "x");
        job = EncodeJobState{};
        g_questions.clear();
        g_answers = {answer};
        CheckedFile file(job);
        file.Open(path, "wb");  // the open file is left alone and keeps its path
        faults.Fail(FaultyOs::kRemove, 1);
        int thrown = 0;
        try {
            file.RemoveFile(other);
        } catch (vexil::FileFailure f) {
            thrown = f;
        }
        EXPECT_EQ(thrown, answer > 0 ? answer : 0);
        ASSERT_EQ(g_questions.size(), 1u);
        EXPECT_EQ(g_questions[0][1], "msg" + std::to_string(vexil::MCannotDelete));
        EXPECT_EQ(g_questions[0][2], other);
        EXPECT_EQ(std::ifstream(other).good(), answer != 0);
        EXPECT_EQ(job.cancelled, answer == 2 ? 1 : 0);
        EXPECT_TRUE(file.IsOpen());
        EXPECT_EQ(file.Path(), path);
    }
    std::remove(other.c_str());
}

TEST_F(CheckedFileTest, RefuseOpenAsksUntilTheUserGivesUp) {
    const std::string refused = path + std::string(40, 'n');
    g_answers = {0, 0, 1};  // retry twice, then skip
    CheckedFile file(job);
    file.Open(path, "wb");
    EXPECT_THROW(file.RefuseOpen(refused), vexil::FileFailure);
    ASSERT_EQ(g_questions.size(), 3u);
    EXPECT_EQ(g_questions[2][1], "msg" + std::to_string(vexil::MCannotOpen));
    EXPECT_EQ(g_questions[2][2], refused);
    EXPECT_EQ(g_lastFlags, 1u);  // refused here, not by the OS: no OS reason to show
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Path(), path);
    EXPECT_FALSE(std::ifstream(refused).good());
}

TEST_F(CheckedFileTest, DeleteRetriesTheSamePathAndGivesUpSilently) {
    for (int answer : {0, 1, 2, -1}) {
        SCOPED_TRACE(answer);
        WriteFile(path, "x");
        job = EncodeJobState{};
        g_questions.clear();
        CheckedFile file(job);
        file.Open(path, "rb");
        g_answers = {answer};
        faults.Fail(FaultyOs::kRemove, 1);
        EXPECT_NO_THROW(file.Delete());
        ASSERT_EQ(g_questions.size(), 1u);
        EXPECT_EQ(g_questions[0][2], path);
        EXPECT_EQ(std::ifstream(path).good(), answer != 0);
        EXPECT_EQ(job.cancelled, 0);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_FALSE(file.HasPath());
    }
}

TEST_F(CheckedFileTest, TruncateUndoesAnAppend) {
    WriteFile(path, "storage text\r\n");
    CheckedFile file(job);
    file.Open(path, "ab");
    const uint64_t before = file.Length();
    file.WriteText(std::string(70000, 'x').c_str());
    file.WriteText("tail");
    EXPECT_TRUE(file.Truncate(before));
    file.Close();
    EXPECT_EQ(ReadFile(path), "storage text\r\n");
}

TEST_F(CheckedFileTest, LargeFilesUseSixtyFourBitPositions) {
    // A sparse file just over 4 GiB: its length and a read near the end.
#ifdef _WIN32
    GTEST_SKIP() << "extending a file here writes every byte";
#endif
    const uint64_t size = (uint64_t{1} << 32) + 10;
    {
        CheckedFile file(job);
        file.Open(path, "wb");
        ASSERT_TRUE(file.IsOpen());
        if (!file.Truncate(size)) GTEST_SKIP() << "no large sparse files here";
        file.Close();
    }
    CheckedFile file(job);
    file.Open(path, "rb");
    EXPECT_EQ(file.Length(), size);
}

}  // namespace
