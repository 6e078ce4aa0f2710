// Plain "begin ... end" and "begin-base64 ... ====" blocks found in text, fed
// whole or a byte at a time.
#include "vexil/storage/plain_blocks.h"

#include <gtest/gtest.h>

#include <string>

#include "vexil/frame/alphabets.h"

namespace vexil {
namespace {

struct Found {
    std::string name;
    int64_t bytes;
    int32_t mode;
    bool base64;
    bool operator==(const Found&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Found& f) {
    return o << f.name << " " << f.bytes << " " << f.mode << (f.base64 ? " b64" : "");
}

std::vector<Found> Scan(const std::string& text, size_t piece) {
    PlainBlockScan scan;
    for (size_t i = 0; i < text.size(); i += piece)
        scan.Feed(reinterpret_cast<const unsigned char*>(text.data()) + i, std::min(piece, text.size() - i));
    scan.Finish();
    std::vector<Found> found;
    for (const SectionBlock& b : scan.Blocks()) {
        EXPECT_EQ(b.number, 1);
        EXPECT_EQ(b.total, 1);
        EXPECT_TRUE(b.ended);
        EXPECT_LE(b.dataBegin, b.dataEnd);
        EXPECT_LE(b.dataEnd, text.size());
        found.push_back({b.name, b.dataBytes, b.mode, b.base64});
    }
    return found;
}

TEST(PlainBlocks, FoundOnlyWhenConsistentAndTerminated) {
    BuildAlphabets();
    const std::string cat = "#0V%T\n`\nend\n";
    struct Case {
        const char* what;
        std::string text;
        std::vector<Found> found;
    };
    const Case cases[] = {
        {"GNU plain", "begin 644 cat.txt\n" + cat, {{"cat.txt", 3, 0644, false}}},
        {"CR LF and a name with blanks", "begin 0600 my file.txt \r\n#0V%T\r\n`\r\nEND\r\n", {{"my file.txt", 3, 0600, false}}},
        {"space as zero and trailing blanks", "begin 644 z\n#    \n    \nend\n", {{"z", 3, 0644, false}}},
        {"XX lines", "begin 644 x.xx\n1Eq3o\n+\nend\n", {{"x.xx", 3, 0644, false}}},
        {"empty file", "begin 644 e\n`\nend\n", {{"e", 0, 0644, false}}},
        {"base64", "begin-base64 644 h\nSGVsbG8=\n====\n", {{"h", 5, 0644, true}}},
        {"base64 over lines", "begin-base64 755 h2\nSGVs\nbG8h\n====\n", {{"h2", 6, 0755, true}}},
        {"two blocks and text around", "hi\nbegin 644 a\n" + cat + "bye\nbegin 644 b\n" + cat,
         {{"a", 3, 0644, false}, {"b", 3, 0644, false}}},
        {"no end", "begin 644 cat.txt\n#0V%T\n`\n", {}},
        {"no base64 terminator", "begin-base64 644 h\nSGVsbG8=\n", {}},
        {"a mention", "type begin 644 x to start\nbegin 644 x\nplain words here\nend\n", {}},
        {"a first line of the wrong length", "begin 644 w\n#0V%T00\n`\nend\n", {}},
        {"a character outside both alphabets", "begin 644 w\n#0V%T\n#0V\x7fT\n`\nend\n", {}},
        {"a damaged line after a sound one is kept", "begin 644 d\n#0V%T\n#0V%T00\n`\nend\n", {{"d", 3, 0644, false}}},
        {"mode not octal", "begin 689 m\n" + cat, {}},
        {"no name", "begin 644 \n" + cat, {}},
        {"data after base64 padding", "begin-base64 644 p\nSGVsbG8=\nSGVs\n====\n", {}},
        {"inside a section block",
         "section 1 of 1 of file s (encoded by VEXIL 0.2b for FAR)\nVEXILAttr 0000000000000000\nbegin 644 s\n" + cat, {}},
        {"a broken block, then a sound one", "begin 644 a\nnot data\nbegin 644 b\n" + cat, {{"b", 3, 0644, false}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Scan(c.text, c.text.size() + 1), c.found) << c.what;
        EXPECT_EQ(Scan(c.text, 1), c.found) << c.what << " (a byte at a time)";
        EXPECT_EQ(Scan(c.text, 3), c.found) << c.what << " (three bytes at a time)";
    }
}

TEST(PlainBlocks, WholeLinesCountAlikeHoweverTheTextIsFed) {
    // Whole lines take a short road when a feed holds them and their line
    // end; the counts must not depend on where the feeds break.
    BuildAlphabets();
    const std::string whole = "M" + std::string(59, '0') + "!";
    const std::string blankLast = "M" + std::string(59, '0') + " ";
    const std::string tail = "#0V%T\n`\nend\n";
    struct Case {
        const char* what;
        std::string body;
        int64_t bytes;
    };
    const Case cases[] = {
        {"LF", whole + "\n" + whole + "\n", 93},
        {"CR LF", whole + "\r\n" + whole + "\r\n", 93},
        {"CR alone", whole + "\r" + whole + "\r", 93},
        {"a last blank", blankLast + "\n" + whole + "\n", 93},
        {"trailing blanks after the line", whole + "   \n" + whole + "\n", 93},
        {"a character outside the alphabet", whole + "\n" + "M" + std::string(58, '0') + "a!" + "\n", 48},
        {"a line one character short", whole + "\n" + "M" + std::string(59, '0') + "\n", 48},
        {"a line one character long", whole + "\n" + whole + "0\n", 93},
    };
    for (const Case& c : cases) {
        const std::string text = "begin 644 w\n" + c.body + tail;
        const std::vector<Found> all = Scan(text, text.size() + 1);
        for (size_t piece : {size_t{1}, size_t{7}, size_t{61}, size_t{64}, size_t{65}, size_t{100}})
            EXPECT_EQ(Scan(text, piece), all) << c.what << " (pieces of " << piece << ")";
        ASSERT_EQ(all.size(), 1u) << c.what;
        EXPECT_EQ(all[0].bytes, c.bytes) << c.what;
    }
}

TEST(PlainBlocks, EveryControlCharacterIsSeenWhereverItStands) {
    // The scan tests what it feeds on for control characters (CR and LF are
    // none); whole data lines take a short road and must not hide one.
    BuildAlphabets();
    const std::string whole = "M" + std::string(59, '0') + "!";
    const std::string block = "begin 644 w\n" + whole + "\r\n" + whole + "\n#0V%T\n`\nend\n";
    struct Case {
        const char* what;
        std::string text;
        bool control;
    };
    const Case cases[] = {
        {"a block and text, CR LF, CR, LF", "text\r\n" + block + "more\rtext\n", false},
        {"high bytes", block + "\xe4\xf6\xfc\n", false},
        {"a tab before the block", "a\tb\n" + block, true},
        {"a NUL after it", block + std::string(1, '\0'), true},
        {"in place of a data character", "begin 644 w\nM" + std::string(30, '0') + "\x01" + std::string(28, '0') + "!\nend\n",
         true},
        {"right after a whole line's length character", "begin 644 w\nM\x1b" + std::string(58, '0') + "!\nend\n", true},
        {"as the line end of a whole line", "begin 644 w\n" + whole + "\x0c\n" + whole + "\nend\n", true},
        {"at the very end of a long line", std::string(5000, 'x') + "\x7f\x02", true},
        {"DEL is no control character", block + "\x7f\n", false},
    };
    for (const Case& c : cases) {
        for (size_t piece : {c.text.size() + 1, size_t{1}, size_t{7}, size_t{61}, size_t{64}, size_t{65}, size_t{4096}}) {
            PlainBlockScan scan;
            for (size_t i = 0; i < c.text.size(); i += piece)
                scan.Feed(reinterpret_cast<const unsigned char*>(c.text.data()) + i, std::min(piece, c.text.size() - i));
            scan.Finish();
            EXPECT_EQ(scan.SawControlByte(), c.control) << c.what << " (pieces of " << piece << ")";
        }
    }
}

TEST(PlainBlocks, DetectAcceptsABlockCutByTheEndOfTheGivenBytes) {
    BuildAlphabets();
    std::string head = "begin 644 big.bin\n";
    const std::string line = "M" + std::string(60, '!') + "\n";
    for (int i = 0; i < PlainBlockScan::kHeadLines - 1; ++i) head += line;
    const auto* p = reinterpret_cast<const unsigned char*>(head.data());
    EXPECT_FALSE(DetectPlainBlock(p, head.size()));  // too few lines to tell
    head += line + line.substr(0, 20);
    p = reinterpret_cast<const unsigned char*>(head.data());
    EXPECT_TRUE(DetectPlainBlock(p, head.size()));
}

}  // namespace
}  // namespace vexil
