#include "vexil/storage/scan_source_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vexil/storage/scan_helpers.h"
#include "support/fake_host.h"
#include "support/faulty_os.h"
#include "support/temp_dir.h"
#include "support/uu_writer.h"
#include "vexil/frame/alphabets.h"
#include "vexil/frame/module_state.h"

namespace {

class ScanSourceFile : public ::testing::Test {
protected:
    void SetUp() override {
        vexil::BuildAlphabets();
        vexil::Module().host = fake.StartupInfo();
    }

    static std::vector<std::string> Names(const vexil::Storage& s) {
        std::vector<std::string> names;
        s.files.ForEach([&](vexil::EncodedFile* f) {
            f->sections.ForEach([&](vexil::Section* sec) { names.push_back(sec->name + "#" + std::to_string(sec->number)); });
        });
        return names;
    }

    test::FakeHost fake;
    test::TempDir dir;
};

// Sections of about 6 KB each, 24 of them: four windows of the scan.
std::string SplitStorage() {
    testenc::UuOptions o;
    o.linesPerSection = 100;
    std::string text;
    for (int i = 0; i < 4; ++i) {
        text += testenc::UuEncode("f" + std::to_string(i) + ".bin", testenc::RandomBytes(20000 * (i + 1), i), o);
    }
    return text;
}

// A first section, then `blocks` headers of code characters only, each with
// `lines` data lines: every block runs on over the ones after it.
std::string OverlappingBlocks(int blocks, int lines) {
    std::string text = "section 1 of 1 of file first\r\n";
    for (int i = 0; i < blocks; ++i) {
        text += "SECTION:2/2/FILE/N" + std::to_string(i) + "\r\n";
        for (int j = 0; j < lines; ++j) text += testenc::DataLine(45) + "\r\n";
    }
    return text;
}

TEST_F(ScanSourceFile, RegistersEveryBlockInOrderAndRecordsTheFile) {
    const std::string text = SplitStorage();
    const std::string path = dir.Write("s.uue", text);
    vexil::Storage s;
    vexil::ScanSourceFile(s, path);
    const auto whole = scantest::WholeTextScan(text);
    std::vector<std::string> expected;
    for (const auto& f : whole) expected.push_back(f.name + "#" + std::to_string(f.number));
    EXPECT_EQ(Names(s), expected);
    ASSERT_EQ(s.sources.Count(), 1);
    EXPECT_EQ(s.sources.At(0)->path, path);
    EXPECT_TRUE(s.sources.At(0)->plainText);
    platform::FileInfo info;
    ASSERT_TRUE(platform::os().FindFile(path, &info));
    EXPECT_EQ(s.sources.At(0)->lastWriteTime, info.lastWriteTime);
    EXPECT_STREQ(s.files.At(3)->sourcePath, path.c_str());
}

TEST_F(ScanSourceFile, AReadGivenUpOnKeepsTheBlocksSoFarWithoutASource) {
    const std::string path = dir.Write("s.uue", SplitStorage());
    testing_support::FaultyOs os;
    os.Fail(testing_support::FaultyOs::kRead, 2);
    fake.messageAnswers = {2};  // cancel
    vexil::Storage s;
    vexil::ScanSourceFile(s, path);
    EXPECT_GT(s.files.Count(), 0);
    EXPECT_EQ(s.sources.Count(), 0);
    s.files.ForEach([](vexil::EncodedFile* f) { EXPECT_EQ(f->sourcePath, nullptr); });
    EXPECT_EQ(s.jobState.cancelled, 1);
    // The next recorded source file gives them its path.
    s.AddSourceFile(path, true);
    EXPECT_STREQ(s.files.At(0)->sourcePath, path.c_str());
}

TEST_F(ScanSourceFile, ALongTextReadAheadFallsBackToTheCheckedFile) {
    // Over a megabyte is read ahead on a second stream. When that stream
    // fails, the checked file reads on from the same place: a failure that
    // passes costs nothing, one that stays asks as before.
    testenc::UuOptions o;
    o.linesPerSection = 100;
    std::string text;
    for (int i = 0; i < 16; ++i) text += testenc::UuEncode("g" + std::to_string(i) + ".bin", testenc::RandomBytes(100000, i), o);
    ASSERT_GT(text.size(), 2000000u);
    const std::string path = dir.Write("long.uue", text);
    vexil::Storage clean;
    vexil::ScanSourceFile(clean, path);
    const std::vector<std::string> expected = Names(clean);
    ASSERT_EQ(expected.size(), 16u * 23);
    struct Case {
        int failingRead, times;
        int answer;     // to the checked file's question: 0 retry, 2 cancel
        bool asks, complete;
    };
    // Reads ahead may be cut short when the scan starts over, so only the
    // first read of all is sure to be a given stream's: the cases count from it.
    const Case cases[] = {
        {1, 1, 2, false, true},   // the first read ahead
        {2, 1, 2, false, true},   // a later one (of whichever read-ahead)
        {1, 2, 0, true, true},    // and the checked file's first read: retried
        {1, -1, 2, true, false},  // every read: cancelled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "read " << c.failingRead << " failing " << c.times << " times");
        testing_support::FaultyOs os;
        os.Fail(testing_support::FaultyOs::kRead, c.failingRead, c.times);
        fake.messages.clear();
        fake.messageAnswers = {c.answer};
        vexil::Storage s;
        vexil::ScanSourceFile(s, path);
        EXPECT_EQ(fake.messages.size(), c.asks ? 1u : 0u);
        if (c.complete) {
            EXPECT_EQ(Names(s), expected);
            EXPECT_EQ(s.sources.Count(), 1);
        } else {
            EXPECT_LT(s.files.Count(), clean.files.Count());
            EXPECT_EQ(s.sources.Count(), 0);
        }
    }
}

TEST_F(ScanSourceFile, PausesDoNotReadFarAhead) {
    // Many overlapping blocks early in a long text make the scan pause and
    // go on again several times; every time it reads what the blocks need,
    // not the megabytes of mail after them.
    std::string text = OverlappingBlocks(2500, 4);
    const size_t region = text.size();
    while (text.size() < 8000000) text += "Plain mail text, nothing encoded in it at all.\r\n";
    const std::string path = dir.Write("q.uue", text);
    const auto windowed = scantest::WindowedScan(text);
    ASSERT_GE(windowed.restarts, 3);
    testing_support::FaultyOs os;  // fails nothing; counts the bytes read
    vexil::Storage s;
    vexil::ScanSourceFile(s, path);
    EXPECT_EQ(s.files.Count(), static_cast<int>(windowed.found.size()));
    // The detection and the scan read the text once each (and a few windows
    // ahead); each pause reads the region of blocks again at most.
    const uint64_t bound = 2 * text.size() + 4 * (1 << 20) + windowed.restarts * (region + (1 << 18));
    EXPECT_LE(os.BytesRead(), bound) << windowed.restarts << " pauses";
}

TEST_F(ScanSourceFile, AMissingFileIsSearchedForAgainOnRequest) {
    vexil::Storage s;
    fake.messageAnswers = {0, 1};  // search again, then go on; Esc on the failing open
    vexil::ScanSourceFile(s, dir.File("missing.uue"));
    ASSERT_EQ(fake.messages.size(), 3u);
    for (int i : {0, 1}) {
        // The file's name, and the host adds the OS's reason (error type).
        EXPECT_EQ(fake.messages[i].lines,
                  (std::vector<std::string>{"msg24", "msg36", dir.File("missing.uue"), "msg4", "msg2", "msg1"}));
        EXPECT_EQ(fake.messages[i].buttons, 3);
        EXPECT_EQ(fake.messages[i].flags, host::kMsgErrorType);
    }
    EXPECT_EQ(fake.messages[2].lines.size(), 6u);  // the checked file's own question
    EXPECT_EQ(s.files.Count(), 0);
    EXPECT_EQ(s.sources.Count(), 0);
}

TEST_F(ScanSourceFile, ManyOverlappingBlocksAreReadAgainFromTheFile) {
    // Header lines of code characters only do not end a block: every block
    // runs to the end, more than the scan keeps open, over several windows.
    const std::string text = OverlappingBlocks(300, 16);
    const std::string path = dir.Write("o.uue", text);
    vexil::Storage s;
    vexil::ScanSourceFile(s, path);
    const auto whole = scantest::WholeTextScan(text);
    ASSERT_EQ(whole.size(), 301u);
    std::vector<std::string> expected;
    for (const auto& f : whole) expected.push_back(f.name + "#" + std::to_string(f.number));
    EXPECT_EQ(Names(s), expected);
    EXPECT_EQ(s.files.At(300)->sections.At(0)->dataChars, whole[300].dataChars);
    EXPECT_EQ(s.sources.Count(), 1);
}

TEST_F(ScanSourceFile, APausedScanGoesOnFromItsPausePoint) {
    // 3 MB of mail before more overlapping blocks than the scan keeps open:
    // going on after the pause must not read those 3 MB again.
    std::string text;
    while (text.size() < 3000000) text += "Plain mail text, nothing encoded in it at all.\r\n";
    text += OverlappingBlocks(300, 4);
    const std::string path = dir.Write("p.uue", text);
    testing_support::FaultyOs os;  // fails nothing; counts the stream reads
    vexil::Storage s;
    vexil::ScanSourceFile(s, path);
    const auto windowed = scantest::WindowedScan(text);
    ASSERT_GT(windowed.restarts, 0);
    EXPECT_EQ(s.files.Count(), static_cast<int>(windowed.found.size()));
    // Two passes (the detection and the scan) of about 12 reads each, and a
    // few reads after each pause; reading from the start again would take
    // about 12 more for every pause.
    EXPECT_LE(os.Calls(testing_support::FaultyOs::kRead), 26 + 3 * windowed.restarts);
}

}  // namespace
