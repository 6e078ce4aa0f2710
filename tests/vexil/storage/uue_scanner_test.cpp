#include "vexil/storage/uue_scanner.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/vexil/storage/scan_helpers.h"
#include "support/uu_writer.h"

namespace {

using scantest::Bytes;

class UueScanner : public ::testing::Test {
protected:
    void SetUp() override { vexil::BuildAlphabets(); }
};

std::string Body(int lines, const std::string& eol = "\r\n") {
    std::string s;
    for (int i = 0; i < lines; ++i) s += testenc::DataLine(45) + eol;
    return s;
}

std::optional<vexil::SectionBlock> Scan(const std::string& text, size_t at = 0) {
    return vexil::ScanBlock(Bytes(text), text.size(), at);
}

struct HeaderCase {
    const char* header;
    bool accepted;
    int number, total;
    const char* name;
};

TEST_F(UueScanner, ReadsHeaderVariants) {
    const HeaderCase cases[] = {
        {"section 2 of 3 of file x", true, 2, 3, "x"},
        {"Section 2 file x", true, 2, 2, "x"},
        {"SECTION 2/2 FILE x", true, 2, 2, "x"},
        {"section 2 of file x", true, 2, 2, "x"},
        {"section 2 of 3", false, 0, 0, ""},
        {"section 2 of 3 of\r\nfile x", true, 2, 3, "x"},
        {"section 2 file\r\nx", false, 0, 0, ""},
        {"section 2 of 0 of file x", true, 2, 2, "of"},
        {"section 2 of 2 of file my file.bin", true, 2, 2, "my"},
        {"section 2 of 2 of file C:\\dir\\x.bin", true, 2, 2, "C"},
        {"section 0 of 2 of file x", false, 0, 0, ""},
        {"section of file x", false, 0, 0, ""},
        {"section 2 of\r\n\r\n\r\n\r\n3 of file x", true, 2, 3, "x"},
        {"section 2 of\r\na\r\nb\r\nc\r\nd\r\ne\r\n3 of file x", false, 0, 0, ""},
        {"section:2 of 2 of file x", true, 2, 2, "x"},
        {"section 2 of 2147483647 of file x", true, 2, 2147483647, "x"},
        // Numbers above 2147483647 are no numbers, whatever 32 bits would wrap them to.
        {"section 4294967298 file x", false, 0, 0, ""},
        {"section 2 of 4294967299 of file x", true, 2, 2, "x"},
        {"section 00000000000000000002 of 2 of file x", true, 2, 2, "x"},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.header);
        const auto block = Scan(std::string(c.header) + "\r\n" + Body(4));
        ASSERT_EQ(block.has_value(), c.accepted);
        if (!c.accepted) continue;
        EXPECT_EQ(block->number, c.number);
        EXPECT_EQ(block->total, c.total);
        EXPECT_EQ(block->name, c.name);
        EXPECT_EQ(block->dataChars, 4 * 60);
    }
}

struct BodyCase {
    const char* what;
    std::string body;
    long long dataChars;  // -1: rejected
};

TEST_F(UueScanner, CountsDataLines) {
    const std::string line = testenc::DataLine(45);
    const BodyCase cases[] = {
        {"three lines", Body(3), -1},
        {"four lines", Body(4), 240},
        {"256 code characters", Body(3) + "M" + std::string(255, 'A') + "\r\n", 180 + 255},
        {"257 code characters end the block", Body(3) + "M" + std::string(256, 'A') + "\r\n" + Body(2), -1},
        {"a blank before the line end", Body(3) + line + " \r\n" + Body(2), -1},
        {"sum line ends the block", Body(3) + "sum -r/size 123/456\r\n" + Body(3), -1},
        {"end is a data line", Body(3) + "`\r\nend\r\n", 180 + 0 + 2},
        {"short line fails the length test but goes on", Body(2) + "Hello\r\n" + Body(2), 240},
        {"XX zero-length line is not counted", Body(3) + "+\r\n", -1},
        {"a NUL ends the text", Body(3) + std::string(1, '\0') + Body(2), -1},
        {"blank lines between data lines", Body(2) + "\r\n   \r\n\r\n" + Body(2), 240},
        {"more than 1024 blanks after a line", Body(2) + std::string(1100, ' ') + "\r\n" + Body(2), -1},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto block = Scan("section 2 of 2 of file x\r\n" + c.body);
        if (c.dataChars < 0) {
            EXPECT_FALSE(block.has_value());
        } else {
            ASSERT_TRUE(block.has_value());
            EXPECT_EQ(block->dataChars, c.dataChars);
        }
    }
}

TEST_F(UueScanner, FirstDataLineMustFollowTheHeaderWithin1024) {
    EXPECT_TRUE(Scan("section 2 of 2 of file x\r\n" + std::string(1000, '\n') + Body(4)).has_value());
    EXPECT_FALSE(Scan("section 2 of 2 of file x\r\n" + std::string(1030, '\n') + Body(4)).has_value());
}

TEST_F(UueScanner, BeginLineOfSectionOne) {
    const std::string header = "section 1 of 1 of file x\r\nVEXILAttr 0000000000000000\r\n";
    EXPECT_EQ(Scan(header + "begin 644 X\r\n" + Body(4))->dataChars, 240);
    // Another name: the data scan starts at the header end, where the attribute line ends it.
    EXPECT_FALSE(Scan(header + "begin 644 y\r\n" + Body(4)).has_value());
    EXPECT_EQ(Scan("section 1 of 1 of file x\r\n" + Body(4) + "begin 644 y\r\n")->dataChars, 240);
    // A mode that is no number: the search goes on to the next begin.
    EXPECT_EQ(Scan(header + "begin rw y begin 644 x\r\n" + Body(4))->dataChars, 240);
    // The begin line must start within 1024 characters of the header end.
    EXPECT_FALSE(Scan(header + std::string(1100, ' ') + "begin 644 x\r\n" + Body(4)).has_value());
    // The text ends after the mode: the block is rejected.
    EXPECT_FALSE(Scan(Body(0) + "section 1 of 1 of file x\r\n" + Body(4) + "begin 644 ").has_value());
}

TEST_F(UueScanner, EncodingsOf1027And90BytesCountAsTheirFiles) {
    const std::string big = testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1));
    const std::string small = testenc::UuEncode("b.bin", testenc::RandomBytes(90, 2));
    EXPECT_EQ(Scan(big, big.find("section"))->dataChars, 1373);
    EXPECT_EQ(Scan(small, small.find("section"))->dataChars, 122);
}

TEST_F(UueScanner, TinyEncodingsAreFound) {
    // One data line (or none) after the begin line, then the trailer.
    for (int type : {0, 1}) {
        testenc::UuOptions o;
        o.type = type;
        // Data characters: 60 a full line, 2 for "end", none for the zero-length line.
        for (const auto& [size, chars] : {std::pair<size_t, long long>{0, 2}, {45, 62}, {90, 122}, {1, -1}}) {
            const std::string text = testenc::UuEncode("a", std::string(size, 'a'), o);
            SCOPED_TRACE(testing::Message() << "type " << type << " size " << size);
            EXPECT_TRUE(vexil::DetectUue(Bytes(text), text.size()));
            const auto block = Scan(text, text.find("section"));
            ASSERT_TRUE(block.has_value());
            if (chars >= 0) {
                EXPECT_EQ(block->dataChars, chars);
            }
        }
    }
}

TEST_F(UueScanner, ShortBlocksNeedTheBeginLineTheTrailerOrAMiddlePlace) {
    const std::string line = testenc::DataLine(45);
    const BodyCase cases[] = {
        // Accepted: the last section of a split encoding, in both alphabets.
        {"one line and the UU trailer", line + "\r\n`\r\nend\r\n", 60 + 0 + 2},
        {"one line and the XX trailer", line + "\r\n+\r\nend\r\n", 60 + 2},
        {"the trailer alone", "`\r\nend\r\n\r\nsum -r/size 1/2\r\n", 2},
        // Declined: text that is not UUE.
        {"two lines, no trailer", line + "\r\n" + line + "\r\n", -1},
        {"end without the zero-length line", "hello\r\nend\r\n", -1},
        {"a line between the zero-length line and end", "`\r\nhello\r\nend\r\n", -1},
        {"a counted line after the trailer", "`\r\nend\r\nhello\r\n", -1},
        {"zero-length lines only", "`\r\n`\r\n`\r\n", -1},
        {"end alone", "end\r\n", -1},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto block = Scan("section 2 of 2 of file x\r\n" + c.body);
        if (c.dataChars < 0) {
            EXPECT_FALSE(block.has_value());
        } else {
            ASSERT_TRUE(block.has_value());
            EXPECT_EQ(block->dataChars, c.dataChars);
        }
    }
    // A middle section of whole lines needs neither; a last section, a
    // first one without its begin line, or a line that is not whole does.
    const std::string three = line + "\r\n" + line + "\r\n" + line + "\r\n";
    EXPECT_EQ(Scan("section 2 of 3 of file x\r\n" + line + "\r\n")->dataChars, 60);
    EXPECT_EQ(Scan("section 5 of 9 of file x\r\n" + three + "\r\nsection 6 of 9 of file x\r\n")->dataChars, 180);
    EXPECT_EQ(Scan("section 2 of 3 of file x\r\n" + testenc::DataLine(45, 1) + "\n")->dataChars, 60);  // XX
    EXPECT_FALSE(Scan("section 3 of 3 of file x\r\n" + three).has_value());
    EXPECT_FALSE(Scan("section 1 of 3 of file x\r\n" + three).has_value());
    EXPECT_FALSE(Scan("section 2 of file x\r\n" + three).has_value());
    EXPECT_FALSE(Scan("section 2 of 3 of file x\r\n" + line + "\r\n" + testenc::DataLine(44) + "\r\n").has_value());
    EXPECT_FALSE(Scan("section 2 of 3 of file x\r\nsome_single_long_word_of_text\r\n").has_value());
    EXPECT_FALSE(Scan("section 2 of 3 of file x\r\n" + line.substr(0, 60) + "\r\n").has_value());
    // After the begin line of section 1, one counted line is enough; without
    // that begin line (or with another name) it is not.
    EXPECT_EQ(Scan("section 1 of 1 of file x\r\nbegin 644 x\r\n" + line + "\r\n")->dataChars, 60);
    EXPECT_FALSE(Scan("section 1 of 1 of file x\r\n" + line + "\r\n").has_value());
    EXPECT_FALSE(Scan("section 1 of 1 of file x\r\nbegin 644 y\r\n" + line + "\r\n").has_value());
    EXPECT_FALSE(Scan("section 1 of 1 of file x\r\nbegin 644 x\r\n\r\nplain words\r\n").has_value());
    // Ordinary prose that names sections is still declined.
    const std::string prose =
        "See section 2 of the manual for the file format.\r\nsection 3 of 4 of file notes\r\nend\r\n"
        "The end.\r\nsection 1 of 1 of file x\r\nbegin here\r\n";
    EXPECT_FALSE(vexil::DetectUue(Bytes(prose), prose.size()));
}

TEST_F(UueScanner, LfTextReadsLikeCrLfText) {
    for (int type : {0, 1}) {
        testenc::UuOptions crlf, lf;
        crlf.type = lf.type = type;
        crlf.linesPerSection = lf.linesPerSection = 7;
        lf.eol = "\n";
        const std::string data = testenc::RandomBytes(2000, 3);
        const auto a = scantest::WholeTextScan(testenc::UuEncode("f.bin", data, crlf));
        const auto b = scantest::WholeTextScan(testenc::UuEncode("f.bin", data, lf));
        EXPECT_FALSE(a.empty());
        EXPECT_EQ(a, b);
    }
    // A header line that ends in LF after its name ends there.
    EXPECT_EQ(Scan("section 2 of 2 of file x\n" + Body(4, "\n"))->dataChars, 240);
}

TEST_F(UueScanner, DetectPassesOverSectionFollowedByAPrintableCharacter) {
    const std::string colon = "section:2 of 2 of file x\r\n" + Body(4);
    EXPECT_FALSE(vexil::DetectUue(Bytes(colon), colon.size()));
    const std::string sub = "subsection 2 of 2 of file x\r\n" + Body(4);
    EXPECT_TRUE(vexil::DetectUue(Bytes(sub), sub.size()));
    EXPECT_EQ(scantest::WholeTextScan(sub).size(), 1u);
    // Once another block is accepted, the colon header is found too.
    const auto both = scantest::WholeTextScan(colon + "\r\n" + sub);
    ASSERT_EQ(both.size(), 2u);
}

TEST_F(UueScanner, DetectWithNoTextIsFalse) {
    EXPECT_FALSE(vexil::DetectUue(nullptr, 0));
    EXPECT_FALSE(vexil::DetectUue(Bytes("section"), 7));
}

}  // namespace
