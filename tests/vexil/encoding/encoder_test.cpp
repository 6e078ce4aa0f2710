#include "vexil/encoding/encoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "tests/vexil/encoding/encode_test_util.h"
#include "support/temp_dir.h"
#include "platform/platform.h"
#include "support/faulty_os.h"
#include "vexil/encoding/existing_output_question.h"
#include "vexil/frame/module_state.h"

namespace vexil {
namespace {

using encode_test::EncodeHost;
using encode_test::RandomBytes;
using encode_test::ReadFile;
using test::TempDir;
using encode_test::WriteFile;

const char kUuTable[] =
    "table\r\n`!\"#$%&'()*+,-./0123456789:;<=>?\r\n@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_\r\n";
const char kXxTable[] = "table\r\n+-0123456789ABCDEFGHIJKLMNOPQRST\r\nUVWXYZabcdefghijklmnopqrstuvwxyz\r\n";

std::string SectionLine(int s, int n, const std::string& name) {
    return "\r\nsection " + std::to_string(s) + " of " + std::to_string(n) + " of file " + name +
           " (encoded by VEXIL 0.2b for FAR)\r\n";
}

std::string Header(const std::string& name, const char* table = kUuTable) {
    return SectionLine(1, 1, name) + table + "VEXILAttr 0000000000000000\r\nbegin 644 " + name + "\r\n";
}

class EncoderTest : public ::testing::Test {
protected:
    // Writes `bytes` as `name` in the temporary directory and encodes it
    // into that directory (or `target`); returns EncodeFile's result.
    bool Encode(const std::string& name, const std::string& bytes, const std::string& target = "") {
        WriteFile(dir.File(name), bytes);
        return EncodeFile(dir.File(name), target.empty() ? dir.Path() : target, settings, job);
    }
    std::string Output(const std::string& name) { return ReadFile(dir.File(name)); }

    EncodeHost host;
    TempDir dir;
    EncodeSettings settings;
    EncodeJobState job;
};

// One section of an output, split into its parts.
struct ParsedSection {
    std::string sectionLine;
    bool hasTable = false, hasBegin = false;
    std::vector<std::string> data;
};

// Cuts an encoded text at its section lines and sorts each section's lines.
std::vector<ParsedSection> Parse(const std::string& text) {
    std::vector<ParsedSection> sections;
    std::istringstream in(text);
    std::string line;
    bool inData = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("section ", 0) == 0) {
            sections.push_back(ParsedSection{line, false, false, {}});
            inData = true;
        } else if (sections.empty() || line.empty() || line == "`" || line == "+" || line == "end") {
            inData = false;
        } else if (line == "table") {
            sections.back().hasTable = true;
            std::getline(in, line);
            std::getline(in, line);
        } else if (line.rfind("begin 644 ", 0) == 0) {
            sections.back().hasBegin = true;
        } else if (inData && line.rfind("VEXILAttr", 0) != 0) {
            sections.back().data.push_back(line);
        }
    }
    return sections;
}

TEST_F(EncoderTest, OneByteSourceGivesTheWholeText) {
    ASSERT_TRUE(Encode("a.bin", "A"));
    EXPECT_EQ(Output("a.uue"), Header("a.bin") + "!00`\r\n" + "`\r\nend\r\n\r\n");
    EXPECT_EQ(job.completed, 1);
    EXPECT_EQ(job.appending, 0);
}

TEST_F(EncoderTest, EmptySourceGivesHeaderAndTrailer) {
    ASSERT_TRUE(Encode("empty", ""));
    EXPECT_EQ(Output("empty.uue"), Header("empty") + "`\r\nend\r\n\r\n");
}

TEST_F(EncoderTest, LinesOfFortyFiveAndFortySixBytes) {
    ASSERT_TRUE(Encode("a45", std::string(45, 'x')));
    auto parsed = Parse(Output("a45.uue"));
    ASSERT_EQ(parsed.size(), 1u);
    ASSERT_EQ(parsed[0].data.size(), 1u);
    EXPECT_EQ(parsed[0].data[0].size(), 61u);
    EXPECT_EQ(parsed[0].data[0][0], 'M');

    ASSERT_TRUE(Encode("a46", std::string(46, 'x')));
    parsed = Parse(Output("a46.uue"));
    ASSERT_EQ(parsed[0].data.size(), 2u);
    EXPECT_EQ(parsed[0].data[1], "!>``");  // 'x' = 0x78: values 30, 0; then the filler
}

TEST_F(EncoderTest, ChunkBoundariesStartNewLines) {
    ASSERT_TRUE(Encode("c", RandomBytes(65537)));
    const auto parsed = Parse(Output("c.uue"));
    ASSERT_EQ(parsed[0].data.size(), 1458u);
    EXPECT_EQ(parsed[0].data[1456].size(), 24u);
    EXPECT_EQ(parsed[0].data[1456][0], static_cast<char>(32 + 16));
    EXPECT_EQ(parsed[0].data[1457].size(), 4u);
    EXPECT_EQ(parsed[0].data[1457][0], '!');
}

TEST_F(EncoderTest, MultipleOfFortyFiveEndsWithFullLine) {
    ASSERT_TRUE(Encode("m", RandomBytes(45 * 20)));
    const auto parsed = Parse(Output("m.uue"));
    ASSERT_EQ(parsed[0].data.size(), 20u);
    EXPECT_EQ(parsed[0].data.back().size(), 61u);
    EXPECT_NE(Output("m.uue").find("\r\n`\r\nend\r\n\r\n"), std::string::npos);
}

TEST_F(EncoderTest, SplitSectionsWithAndWithoutTable) {
    settings.SplitOutput = 1;
    settings.EnableSingleStorage = 1;  // all sections in one file, for counting
    for (int table : {1, 0}) {
        settings.CharacterTable = table;
        const std::string name = "split" + std::to_string(table);
        ASSERT_TRUE(Encode(name, RandomBytes(45 * 250)));
        const auto parsed = Parse(Output(name + ".uue"));
        ASSERT_EQ(parsed.size(), 3u);
        EXPECT_EQ(parsed[0].data.size(), table ? 96u : 98u);
        EXPECT_EQ(parsed[1].data.size(), 100u);
        EXPECT_EQ(parsed[2].data.size(), table ? 54u : 52u);
        EXPECT_EQ(parsed[0].sectionLine, "section 1 of 3 of file " + name + " (encoded by VEXIL 0.2b for FAR)");
        EXPECT_EQ(parsed[2].sectionLine, "section 3 of 3 of file " + name + " (encoded by VEXIL 0.2b for FAR)");
        EXPECT_EQ(parsed[0].hasTable, table == 1);
        EXPECT_FALSE(parsed[1].hasTable || parsed[1].hasBegin || parsed[2].hasBegin);
    }
}

TEST_F(EncoderTest, UnsplitOutputIsOneSectionHoweverLong) {
    ASSERT_TRUE(Encode("long", RandomBytes(200000)));
    const auto parsed = Parse(Output("long.uue"));
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0].sectionLine.substr(0, 20), "section 1 of 1 of fi");
}

TEST_F(EncoderTest, SectionFilesAreNumberedFromOne) {
    settings.SplitOutput = 1;
    // 96 + 9 * 100 lines fill ten sections; four more make an eleventh.
    ASSERT_TRUE(Encode("report.txt", RandomBytes(45 * 1000)));
    EXPECT_FALSE(std::filesystem::exists(dir.File("report.uue")));
    for (int s = 1; s <= 11; ++s) {
        const std::string text = Output("report_" + std::to_string(s) + ".uue");
        ASSERT_EQ(text.rfind(SectionLine(s, 11, "report.txt"), 0), 0u) << s;
        const auto parsed = Parse(text);
        ASSERT_EQ(parsed.size(), 1u);
        EXPECT_EQ(parsed[0].data.size(), s == 1 ? 96u : s == 11 ? 4u : 100u);
        EXPECT_EQ(parsed[0].hasBegin, s == 1);
        // Every section file but the last ends with the separator line.
        const std::string end = text.substr(text.size() - 10);
        if (s < 11) EXPECT_EQ(end.substr(end.size() - 4), "\r\n\r\n");
        else EXPECT_EQ(end, "`\r\nend\r\n\r\n");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("report_12.uue")));
}

TEST_F(EncoderTest, NamedTargetCountsOnWithoutUnderscore) {
    settings.SplitOutput = 1;
    settings.LinesPerSection = 10;
    ASSERT_TRUE(Encode("data.bin", RandomBytes(45 * 12), dir.File("all.uue")));
    EXPECT_EQ(Parse(Output("all.uue"))[0].data.size(), 6u);
    EXPECT_EQ(Parse(Output("all1.uue"))[0].data.size(), 6u);
    EXPECT_FALSE(std::filesystem::exists(dir.File("all2.uue")));
}

TEST_F(EncoderTest, XxAlphabetAlsoInTheTable) {
    settings.EncodingType = 1;
    ASSERT_TRUE(Encode("a.bin", "A"));
    EXPECT_EQ(Output("a.uue"), Header("a.bin", kXxTable) + "-EE+\r\n" + "+\r\nend\r\n\r\n");
}

TEST_F(EncoderTest, ChecksumsAndCrcChangeNothing) {
    const std::string bytes = RandomBytes(5000);
    std::string first;
    for (int checksums : {0, 1}) {
        for (int crc : {0, 1}) {
            settings.Checksums = checksums;
            settings.CRC = crc;
            ASSERT_TRUE(Encode("s.bin", bytes));
            if (first.empty()) first = Output("s.uue");
            EXPECT_EQ(Output("s.uue"), first);
            std::filesystem::remove(dir.File("s.uue"));
        }
    }
}

TEST_F(EncoderTest, AppendingToTargetAddsSeparatorAndNeverAsks) {
    WriteFile(dir.File("store.uue"), "OLD\r\n");
    job.appendToTarget = 1;
    settings.SplitOutput = 1;
    settings.LinesPerSection = 10;
    ASSERT_TRUE(Encode("x.bin", RandomBytes(45 * 12), dir.File("store.uue")));
    const std::string text = Output("store.uue");
    EXPECT_EQ(text.rfind("OLD\r\n\r\n" + SectionLine(1, 2, "x.bin"), 0), 0u);
    EXPECT_NE(text.find("\r\n\r\n" + SectionLine(2, 2, "x.bin")), std::string::npos);
    EXPECT_TRUE(host.Questions().empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("store1.uue")));
}

TEST_F(EncoderTest, ProgressEndsWithFullBarUnlessSuppressed) {
    ASSERT_TRUE(Encode("p", RandomBytes(100)));
    ASSERT_FALSE(host.messages.empty());
    const auto& last = host.messages.back();
    EXPECT_EQ(last.flags, host::kMsgLeftAlign | host::kMsgKeepBackground);
    ASSERT_EQ(last.lines.size(), 7u);
    EXPECT_EQ(last.lines[4], std::string(25, '\xDB'));

    host.messages.clear();
    settings.SuppressOutput = 1;
    Module().settings.SuppressOutput = 1;
    const bool encoded = Encode("q", RandomBytes(100));
    Module().settings.SuppressOutput = 0;
    ASSERT_TRUE(encoded);
    EXPECT_TRUE(host.messages.empty());
}

// A source of 5 GiB of zero bytes that fails to read after its first chunk.
class HugeSourceOs : public testing_support::FaultyOs {
public:
    static constexpr uint64_t kLength = 5ull << 32;
    class ZeroStream : public platform::Stream {
    public:
        size_t Read(void* buffer, size_t n) override {
            if (++reads_ > 1) {
                error_ = true;
                return 0;
            }
            std::memset(buffer, 0, n);
            position_ += n;
            return n;
        }
        size_t Write(const void*, size_t) override { return 0; }
        bool Seek(uint64_t position) override {
            position_ = position;
            return true;
        }
        uint64_t Tell() override { return position_; }
        uint64_t Length() override { return kLength; }
        bool Error() override { return error_; }
        void ClearError() override { error_ = false; }
        bool Flush() override { return true; }
        bool Truncate(uint64_t) override { return false; }
        bool Reserve(uint64_t) override { return false; }

    private:
        uint64_t position_ = 0;
        int reads_ = 0;
        bool error_ = false;
    };
    std::string hugePath;
    platform::Stream* Open(const std::string& path, const char* mode) override {
        return path == hugePath ? new ZeroStream : FaultyOs::Open(path, mode);
    }
    bool Close(platform::Stream* stream) override {
        if (auto* zero = dynamic_cast<ZeroStream*>(stream)) {
            delete zero;
            return true;
        }
        return FaultyOs::Close(stream);
    }
};

TEST_F(EncoderTest, SourcesPastFourGibibytesAreCountedIn64Bits) {
    HugeSourceOs os;
    os.hugePath = dir.File("huge.bin");
    settings.SplitOutput = 1;
    host.messageAnswers = {1};  // skip at the read failure after the first chunk
    EXPECT_FALSE(EncodeFile(os.hugePath, dir.Path(), settings, job));
    // 327680 chunks of 1457 lines, 100 lines a section, 4 header lines.
    EXPECT_EQ(ReadFile(dir.File("huge_1.uue")).rfind(SectionLine(1, 4774298, "huge.bin"), 0), 0u);
    EXPECT_EQ(EstimatedEncodedSize(HugeSourceOs::kLength, 8), 24ull + 28633115307ull + 3 * 477218588ull + 77);
}

class ExistingOutputTest : public EncoderTest {
protected:
    void SetUp() override {
        WriteFile(dir.File("a.bin"), RandomBytes(1000));
        WriteFile(dir.File("a.uue"), "OLD\r\n");
        TempDir fresh;
        WriteFile(fresh.File("a.bin"), ReadFile(dir.File("a.bin")));
        EncodeJobState freshJob;
        ASSERT_TRUE(EncodeFile(fresh.File("a.bin"), fresh.Path(), settings, freshJob));
        freshText = ReadFile(fresh.File("a.uue"));
        host.messages.clear();
    }
    bool Answer(int answer) {
        host.messageAnswers.push_back(answer);
        return EncodeFile(dir.File("a.bin"), dir.Path(), settings, job);
    }
    std::string freshText;
};

TEST_F(ExistingOutputTest, QuestionShowsPathRuleAndFigures) {
    EXPECT_FALSE(Answer(0));
    const auto questions = host.Questions();
    ASSERT_EQ(questions.size(), 1u);
    const auto& q = questions[0];
    EXPECT_EQ(q.flags, host::kMsgWarning);
    EXPECT_EQ(q.buttons, 4);
    ASSERT_EQ(q.lines.size(), 11u);
    EXPECT_EQ(q.lines[0], "msg24");
    EXPECT_EQ(q.lines[1], "msg37");
    EXPECT_EQ(q.lines[2], dir.File("a.uue"));
    EXPECT_EQ(q.lines[3], std::string(std::max<size_t>(46, q.lines[2].size()), '\xC4'));
    EXPECT_EQ(q.lines[6], q.lines[3]);
    // 1000 bytes: 1334 characters, 22 lines' worth of extras, 3 * 5 for the name, 77.
    EXPECT_EQ(q.lines[4].substr(0, 24), "New        ~        1492");
    EXPECT_EQ(q.lines[5].substr(0, 24), "Existing               5");
    EXPECT_EQ(q.lines[4].size(), 44u);
    EXPECT_EQ(q.lines[4].substr(27, 1) + q.lines[4].substr(30, 1), "..");
    EXPECT_EQ(q.lines[5].size(), 44u);
    EXPECT_EQ((std::vector<std::string>{q.lines.begin() + 7, q.lines.end()}),
              (std::vector<std::string>{"msg2", "msg5", "msg7", "msg1"}));
}

TEST_F(ExistingOutputTest, SkipLeavesTheFileAlone) {
    EXPECT_FALSE(Answer(0));
    EXPECT_EQ(Output("a.uue"), "OLD\r\n");
    EXPECT_EQ(job.cancelled, 0);
}

TEST_F(ExistingOutputTest, ReplaceWritesAfreshThroughAppending) {
    EXPECT_TRUE(Answer(1));
    EXPECT_EQ(Output("a.uue"), "\r\n" + freshText);
    EXPECT_EQ(job.appending, 0);
}

TEST_F(ExistingOutputTest, AppendFollowsTheOldText) {
    EXPECT_TRUE(Answer(2));
    EXPECT_EQ(Output("a.uue"), "OLD\r\n\r\n" + freshText);
}

TEST_F(ExistingOutputTest, CancelAndEscStopTheJob) {
    for (int answer : {3, -1}) {
        job = {};
        host.messages.clear();
        EXPECT_FALSE(Answer(answer));
        EXPECT_EQ(job.cancelled, 1);
        EXPECT_EQ(Output("a.uue"), "OLD\r\n");
        EXPECT_EQ(host.messages.size(), 1u);  // no closing progress update
    }
}

}  // namespace
}  // namespace vexil
