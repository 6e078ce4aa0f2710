#include "vexil/storage/uue_scanner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/vexil/storage/scan_helpers.h"
#include "vexil/storage/scan_kernels.h"
#include "support/uu_writer.h"

namespace {

using scantest::WholeTextScan;
using scantest::WindowedScan;

class TextScan : public ::testing::Test {
protected:
    void SetUp() override { vexil::BuildAlphabets(); }
};

// A storage of several encodings with text between them, in both alphabets
// and both line ends, with split files and a few oddities.
std::string MixedStorage(const std::string& eol) {
    std::string s = "Some mail text before the encodings." + eol + "Subject: section 1 of nothing" + eol;
    for (int i = 0; i < 6; ++i) {
        testenc::UuOptions o;
        o.type = i % 2;
        o.eol = eol;
        o.table = i != 3;
        o.linesPerSection = i % 3 == 0 ? 0 : 5 + i;
        s += testenc::UuEncode("file" + std::to_string(i) + ".bin", testenc::RandomBytes(300 + 700 * i, i + 10), o);
        s += "sum -r/size 1/2" + eol + "-- " + eol;
    }
    s += "section:2 of 2 of file colon" + eol;
    for (int i = 0; i < 5; ++i) s += testenc::DataLine(45) + eol;
    s += std::string(3, '\0') + "subsection 3 of 4 of file after.nul" + eol;
    for (int i = 0; i < 5; ++i) s += testenc::DataLine(45, 1) + eol;
    return s;
}

TEST_F(TextScan, WindowsOfAnySizeFindWhatTheWholeTextHolds) {
    for (const vexil::ScanKernels* kernels : {&vexil::BaselineKernels(), vexil::Avx2Kernels()}) {
    if (kernels == nullptr) continue;
    vexil::UseKernels(kernels);
    for (const std::string& eol : {std::string("\r\n"), std::string("\n")}) {
        const std::string text = MixedStorage(eol);
        const auto whole = WholeTextScan(text);
        ASSERT_GE(whole.size(), 10u);
        for (size_t buffer : {1024, 1500, 4096, 1 << 20}) {
            for (size_t piece : {size_t{1}, size_t{61}, size_t{777}, ~size_t{0}}) {
                if (piece == 1 && buffer > 1500) continue;
                SCOPED_TRACE(testing::Message() << "buffer " << buffer << " piece " << piece);
                const auto windowed = WindowedScan(text, buffer, piece);
                EXPECT_TRUE(windowed.detected);
                EXPECT_EQ(windowed.found, whole);
            }
        }
    }
    }
    vexil::UseKernels(nullptr);
}

TEST_F(TextScan, BlocksAcrossThe131072BoundaryCountWhole) {
    // Sections of about 6 KB, the first one shifted so that a block straddles 131072.
    std::string text(131072 - 3000, '.');
    text += "\r\n";
    testenc::UuOptions o;
    o.linesPerSection = 100;
    text += testenc::UuEncode("straddle.bin", testenc::RandomBytes(40000, 5), o);
    const auto whole = WholeTextScan(text);
    const auto windowed = WindowedScan(text);
    ASSERT_EQ(windowed.found, whole);
    ASSERT_EQ(whole.size(), 9u);  // 889 data lines and 4 header lines, 100 a section
    for (const auto& f : whole) EXPECT_GT(f.dataChars, 90 * 60) << f.number;
}

TEST_F(TextScan, OneMegabyteSingleSectionCountsAllItsLines) {
    const std::string text = testenc::UuEncode("big.bin", testenc::RandomBytes(1 << 20, 6));
    const auto windowed = WindowedScan(text);
    ASSERT_EQ(windowed.found.size(), 1u);
    // 16 chunks of 1456 full lines and a 16-byte line (22 characters and filler), then "`" and "end".
    EXPECT_EQ(windowed.found[0].dataChars, 16 * (1456 * 60 + 23) + 2);
    EXPECT_EQ(windowed.found, WholeTextScan(text));
}

TEST_F(TextScan, ManyOverlappingBlocksReReadTheText) {
    // Header lines made only of code characters do not end a block, so every
    // block runs to the end of the text: more open blocks than the scan keeps.
    std::string text = "section 1 of 1 of file first\r\n";
    for (int i = 0; i < 300; ++i) {
        text += "SECTION:2/2/FILE/N" + std::to_string(i) + "\r\n";
        text += testenc::DataLine(45) + "\r\n";
    }
    const auto whole = WholeTextScan(text);
    ASSERT_EQ(whole.size(), 298u);  // the last three headers have fewer than 4 lines after them
    const auto windowed = WindowedScan(text, 1024);
    EXPECT_GT(windowed.restarts, 0);
    EXPECT_EQ(windowed.found, whole);
}

// Lines that hold "section" many times, in the states where the header rules
// walk far: no number, a number and no total or "file", a total and no
// "file", whole headers; with blocks after them and split lines between.
std::vector<std::string> LongLinePieces() {
    return {"section ", "section 7 ", "of ", "section 1 of 3 of ", "file ", "name.bin ", "SECTION:2/2/FILE/x ",
            "x ", "12 ", "\r\n", ":", "begin 644 name.bin ", "sectionsection ", "\t"};
}

std::string LongLineText(uint32_t seed, size_t length) {
    const auto pieces = LongLinePieces();
    std::string text;
    uint32_t x = seed * 2654435761u + 1;
    while (text.size() < length) {
        x = x * 1103515245u + 12345u;
        const uint32_t r = (x >> 8) % 1000;
        if (r < 3) {
            text += "\r\n";
            for (int i = 0; i < 5; ++i) text += testenc::DataLine(45) + "\r\n";
        } else {
            // Mostly the same few pieces, so that lines repeat themselves.
            text += pieces[r % (r < 900 ? 3 : pieces.size())];
        }
    }
    return text;
}

TEST_F(TextScan, LongLinesOfSectionWordsFindWhatTheWholeTextHolds) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const std::string text = LongLineText(seed, 6000 + 1000 * seed) + "\r\n" +
                                 "section 3 of 3 of file tail\r\n" + testenc::UuEncode("t", testenc::RandomBytes(600, seed)).substr(0, 0);
        std::string withBlock = text;
        for (int i = 0; i < 5; ++i) withBlock += testenc::DataLine(45) + "\r\n";
        const auto whole = WholeTextScan(withBlock);
        ASSERT_FALSE(whole.empty());
        for (size_t buffer : {1024, 3000, 1 << 20}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " buffer " << buffer);
            const auto windowed = WindowedScan(withBlock, buffer, buffer == 3000 ? 97 : ~size_t{0});
            EXPECT_EQ(windowed.found, whole);
        }
    }
}

TEST_F(TextScan, ScanTimeGrowsLinearlyWithTheLineLength) {
    // One line of 2 MB full of "section" words in each shape, with a block
    // after it: walking each occurrence to the end of the line would read
    // about 10^11 bytes.
    for (const std::string& word : {std::string("section "), std::string("section 5 of "),
                                    std::string("section 5 of 6 of "), std::string("section 1 of 1 of file x ")}) {
        std::string text;
        while (text.size() < (2u << 20)) text += word;
        text += "\r\nsection 2 of 2 of file after\r\n";
        for (int i = 0; i < 5; ++i) text += testenc::DataLine(45) + "\r\n";
        const auto start = std::chrono::steady_clock::now();
        const auto windowed = WindowedScan(text);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        SCOPED_TRACE(word);
        // Not a speed target (bench/ has those): a walk to the end of the line
        // from every word would take many minutes even unsanitized, where a
        // linear scan takes well under a second; the bound leaves room for a
        // sanitizer build on a busy machine.
        EXPECT_LT(seconds, 60.0);
        ASSERT_FALSE(windowed.found.empty());
        EXPECT_EQ(windowed.found.back(), (scantest::Found{2, 2, "after", 5 * 60}));
    }
}

// "section" words with a delimiter after them in many shapes: the vector
// count must agree with a byte-by-byte count, for any range and alignment.
TEST_F(TextScan, SectionCountsAgreeWithAByteByByteCount) {
    const std::vector<std::string> pieces = {"section ", "SeCtIoN:", "section", "sectio ", "section\t", "x",
                                             "section\x01", "section/", "sectionA", std::string("section\0", 8),
                                             "section\r\n", "section>", "ssection ", "section\x7f"};
    std::string text;
    uint32_t x = 7;
    while (text.size() < 5000) {
        x = x * 1103515245u + 12345u;
        text += pieces[(x >> 8) % pieces.size()];
    }
    const auto* d = reinterpret_cast<const unsigned char*>(text.data());
    const vexil::TextWindow w{d, 1000, 1000 + text.size(), false};
    auto reference = [&](uint64_t from, uint64_t to, bool blanksOnly, bool& control) {
        uint64_t n = 0;
        for (uint64_t q = from; q < to; ++q) {
            const unsigned char c = d[q - w.base];
            if (c < 32 && c != 10 && c != 13) control = true;
            if (text.compare(q - w.base, 7, "section") != 0 && text.compare(q - w.base, 7, "SeCtIoN") != 0) continue;
            const unsigned char after = d[q - w.base + 7];
            if (after != 0 && (blanksOnly ? after <= 32 : std::string(" \t\r\n\x01:/>").find(static_cast<char>(after)) != std::string::npos)) ++n;
        }
        return n;
    };
    for (const vexil::ScanKernels* kernels : {&vexil::BaselineKernels(), vexil::Avx2Kernels()}) {
        if (kernels == nullptr) continue;
        for (uint64_t from : {0, 1, 5, 31, 100}) {
            for (uint64_t length : {0, 7, 16, 33, 64, 1000, 4900}) {
                for (bool blanksOnly : {false, true}) {
                    SCOPED_TRACE(testing::Message() << "from " << from << " length " << length << " blanks " << blanksOnly);
                    bool control = false, expectedControl = false;
                    const uint64_t a = w.base + from, b = std::min<uint64_t>(a + length, w.end - 7);
                    EXPECT_EQ(kernels->countSections(w, a, b, blanksOnly, true, control),
                              reference(a, b, blanksOnly, expectedControl));
                    EXPECT_EQ(control, expectedControl);
                }
            }
        }
    }
}

// N "section" words before one whole header: the block is found once for
// each of them, however many there are and wherever the windows end.
TEST_F(TextScan, EverySectionWordBeforeAHeaderFindsTheBlock) {
    for (const vexil::ScanKernels* kernels : {&vexil::BaselineKernels(), vexil::Avx2Kernels()}) {
        if (kernels == nullptr) continue;
        vexil::UseKernels(kernels);
        for (int words : {1, 9, 70, 300, 2000}) {
            for (const std::string& gap : {std::string(" "), std::string(":"), std::string(" \t ")}) {
                std::string text = "text before\r\n";
                for (int i = 1; i < words; ++i) text += "section" + gap;
                text += "section 2 of 2 of file x\r\n";
                for (int i = 0; i < 5; ++i) text += testenc::DataLine(45) + "\r\n";
                const auto whole = WholeTextScan(text);
                // (Only a blank after the last word makes the text detectable.)
                ASSERT_EQ(whole.size(), static_cast<size_t>(words));
                for (size_t buffer : {1024, 3000, 1 << 20}) {
                    SCOPED_TRACE(testing::Message() << "words " << words << " gap '" << gap << "' buffer " << buffer);
                    EXPECT_EQ(WindowedScan(text, buffer).found, whole);
                }
            }
        }
    }
    vexil::UseKernels(nullptr);
}

// A block of 40 full lines with a line of 256 (or 257) code characters after
// the 10th, after `filler` bytes of text: the long line's place moves byte by
// byte across a window boundary, with enough text after it for the vector loop.
std::string LongDataLineText(size_t filler, size_t longLine) {
    std::string text(filler, 'x');
    text += "\r\nsection 2 of 2 of file x\r\n";
    for (int i = 0; i < 10; ++i) text += testenc::DataLine(45) + "\r\n";
    text += "M" + std::string(longLine - 1, 'A') + "\r\n";
    for (int i = 0; i < 30; ++i) text += testenc::DataLine(45, i) + "\r\n";
    return text;
}

TEST_F(TextScan, DataLinesOf256CharactersAtEveryOffsetAroundTheBufferEnd) {
    const size_t before = LongDataLineText(0, 256).find("MAAA");
    for (const vexil::ScanKernels* kernels : {&vexil::BaselineKernels(), vexil::Avx2Kernels()}) {
        if (kernels == nullptr) continue;
        vexil::UseKernels(kernels);
        for (size_t buffer : {size_t{4096}, vexil::TextScan::kWindow + vexil::TextScan::kMaxCarry}) {
            // The long line starts from 300 bytes before the buffer's end to 40
            // after it (in the scan's own buffer: the offsets where it crosses the end).
            const bool small = buffer == 4096;
            for (size_t at = buffer - (small ? 300 : 260); at <= buffer + (small ? 40 : 2); ++at) {
                SCOPED_TRACE(testing::Message() << "buffer " << buffer << " line at " << at);
                const auto counted = WindowedScan(LongDataLineText(at - before, 256), buffer);
                ASSERT_EQ(counted.found.size(), 1u);
                ASSERT_EQ(counted.found[0].dataChars, 40 * 60 + 255);
                // One character more ends the block after its 10 lines.
                if (!small) continue;
                const auto ended = WindowedScan(LongDataLineText(at - before, 257), buffer, 1000);
                ASSERT_EQ(ended.found.size(), 1u);
                ASSERT_EQ(ended.found[0].dataChars, 10 * 60);
            }
        }
    }
    vexil::UseKernels(nullptr);
}

TEST_F(TextScan, PlainTextLooksAtEveryByte) {
    const std::string storage = testenc::UuEncode("p.bin", testenc::RandomBytes(5000, 7));
    EXPECT_TRUE(WindowedScan(storage + "\xe4\xf6\xfc high bytes are plain\r\n").plainText);
    EXPECT_FALSE(WindowedScan(storage + "tab\tafter the last block\r\n").plainText);
    EXPECT_FALSE(WindowedScan(std::string(400000, 'x') + "\x01" + storage, 4096).plainText);
    EXPECT_FALSE(WindowedScan(storage + '\0').plainText);
}

TEST_F(TextScan, NothingIsRegisteredWithoutADetectableBlock) {
    // Only a colon header: DetectUue over the whole text is false.
    std::string text = "section:2 of 2 of file x\r\n";
    for (int i = 0; i < 5; ++i) text += testenc::DataLine(45) + "\r\n";
    const auto windowed = WindowedScan(text, 1024, 100);
    EXPECT_FALSE(windowed.detected);
    EXPECT_TRUE(windowed.found.empty());
}

}  // namespace
