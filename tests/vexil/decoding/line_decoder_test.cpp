// One data line at a time: the alphabet chosen per line, the byte count from
// the length character, the tolerated writer variants, and damaged lines.
#include "vexil/decoding/line_decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "vexil/frame/alphabets.h"

namespace vexil {
namespace {

class LineDecoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildAlphabets();
        tables = MakeDecodeTables(CodeAlphabets());
    }
    LineKind Decode(const std::string& line, std::string* bytes = nullptr) {
        unsigned char out[kMaxLineBytes];
        size_t n = 0;
        const LineKind kind = DecodeLine(CodeAlphabets(), tables,
                                         reinterpret_cast<const unsigned char*>(line.data()), line.size(), out, &n);
        if (bytes) bytes->assign(reinterpret_cast<const char*>(out), n);
        return kind;
    }
    DecodeTables tables;
};

TEST_F(LineDecoderTest, DecodesBothAlphabetsAndWriterVariants) {
    struct Case {
        const char* line;
        std::string bytes;
    };
    const Case cases[] = {
        {"#0V%T", "Cat"},                    // UU, 3 bytes
        {"%2&5L;&\\`", "Hello"},              // UU, short group with its filler
        {"%2&5L;&\\", "Hello"},               // UU cut short of its padding
        {"%2&5L;&\\`   ", "Hello"},           // trailing blanks
        {"  %2&5L;&\\`", "Hello"},            // leading blanks, skipped as the scanner does
        {"%2&5L;&\\ ", "Hello"},             // a space as the filler (older encoders)
        {"#86)C", "abc"},                     // UU of "abc"
        {"1Eq3o", "Cat"},                     // XX, 3 bytes (length character '1')
        {"3G4JgP4w+", "Hello"},               // XX, short group with its filler
        {"3G4JgP4w", "Hello"},                // XX cut short of its padding
        {"`", ""},                            // UU zero-length line
        {"+", ""},                            // XX zero-length line
    };
    for (const Case& c : cases) {
        std::string bytes;
        EXPECT_EQ(Decode(c.line, &bytes), LineKind::kData) << c.line;
        EXPECT_EQ(bytes, c.bytes) << c.line;
    }
}

TEST_F(LineDecoderTest, SpaceStandsForZeroInUu) {
    std::string bytes;
    // "!" is 1 byte; the group "  " (two zeros) gives the byte 0.
    ASSERT_EQ(Decode("!  ``", &bytes), LineKind::kData);
    EXPECT_EQ(bytes, std::string(1, '\0'));
    ASSERT_EQ(Decode("#    ", &bytes), LineKind::kData);  // three zero bytes: the trailing spaces count
    EXPECT_EQ(bytes, std::string(3, '\0'));
}

TEST_F(LineDecoderTest, EndSkipAndDamagedLines) {
    struct Case {
        const char* line;
        LineKind kind;
    };
    const Case cases[] = {
        {"end", LineKind::kEnd},
        {"END", LineKind::kEnd},
        {"", LineKind::kSkip},
        {"   ", LineKind::kSkip},
        {"Hello", LineKind::kDamaged},       // too short for what 'H' announces in either alphabet
        {"#0V%T!", LineKind::kData},         // one character more (a filler or a checksum) is passed over
        {"#0V%T!!", LineKind::kDamaged},    // longer than 3 bytes can be
        {"%2&5", LineKind::kDamaged},        // too short for 5 bytes
        {"#0V{T", LineKind::kDamaged},       // '{' is in neither alphabet
        {"1Eq`o", LineKind::kDamaged},       // '`' is not XX, and the length fits no UU count
        {"M" "0123456789012345678901234567890123456789012345678901234567", LineKind::kDamaged},  // 58 of 60
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(c.line), c.kind) << c.line;
}

TEST_F(LineDecoderTest, FullLinesOfBothAlphabetsRoundTrip) {
    // 45 bytes 0..44 in UU (length 'M') and in XX (length 'h').
    std::string expected;
    for (int i = 0; i < 45; ++i) expected += static_cast<char>(i * 5);
    for (int type : {0, 1}) {
        std::string line(1, static_cast<char>(AlphabetChar(45, type)));
        for (int i = 0; i < 45; i += 3) {
            const unsigned b0 = static_cast<unsigned char>(expected[i]), b1 = static_cast<unsigned char>(expected[i + 1]),
                           b2 = static_cast<unsigned char>(expected[i + 2]);
            const unsigned v[4] = {b0 >> 2u, ((b0 & 3u) << 4) | (b1 >> 4u), ((b1 & 15u) << 2) | (b2 >> 6u), b2 & 63u};
            for (unsigned x : v) line += static_cast<char>(AlphabetChar(x, type));
        }
        std::string bytes;
        ASSERT_EQ(Decode(line, &bytes), LineKind::kData) << type;
        EXPECT_EQ(bytes, expected) << type;
    }
}

TEST_F(LineDecoderTest, FullLineShortcutAgreesWithTheLongWay) {
    // Every 61-character line the shortcut takes must decode to what
    // DecodeLine gives; the rest it hands back (-1).
    std::string body;
    for (int i = 0; i < 60; ++i) body += static_cast<char>(AlphabetChar(static_cast<unsigned>(i * 7 % 64), 0));
    std::string xxBody;
    for (int i = 0; i < 60; ++i) xxBody += static_cast<char>(AlphabetChar(static_cast<unsigned>(i * 11 % 64), 1));
    struct Case {
        std::string line;
        bool taken;
    };
    const Case cases[] = {
        {"M" + body, true},                          // UU, 45 bytes
        {"L" + body, true},                          // UU, 44 bytes: the last group carries two
        {"K" + body, true},                          // UU, 43 bytes
        {"h" + xxBody, true},                        // XX, 45 bytes
        {"M" + body.substr(0, 30) + " " + body.substr(31), true},  // a space inside is UU zero
        {"M" + body.substr(0, 59) + "a", false},     // a character outside UU
        {"M" + body.substr(0, 10) + "\t" + body.substr(11), false},
        {"J" + body, false},                         // 42 bytes need at most 57 characters
        {" " + body, false},                         // a blank length character
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.line.size(), kFullLineChars + 1);
        unsigned char fast[kMaxLineBytes];
        const int n = DecodeFullLine(tables, reinterpret_cast<const unsigned char*>(c.line.data()), fast);
        std::string slow;
        const LineKind kind = Decode(c.line, &slow);
        EXPECT_EQ(n >= 0, c.taken) << c.line;
        if (n >= 0) {
            ASSERT_EQ(kind, LineKind::kData) << c.line;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(fast), static_cast<size_t>(n)), slow) << c.line;
        }
    }
}

TEST(DataLineTest, LengthCharacterFitsTheLine) {
    BuildAlphabets();
    const Alphabets& a = CodeAlphabets();
    struct Case {
        const char* line;
        LineCode code;
        int bytes;
    };
    const Case cases[] = {
        {"`", LineCode::kUu, 0},
        {"#0V%T", LineCode::kUu, 3},
        {"1Eq3o", LineCode::kXx, 3},
        {"end", LineCode::kNone, 0},
        {"table", LineCode::kNone, 0},
        {"%2&5L;&\\`", LineCode::kUu, 5},
    };
    for (const Case& c : cases) {
        const auto* p = reinterpret_cast<const unsigned char*>(c.line);
        const LineFit fit = FitDataLine(a, p, std::char_traits<char>::length(c.line));
        EXPECT_EQ(fit.code, c.code) << c.line;
        EXPECT_EQ(fit.bytes, c.bytes) << c.line;
    }
}

}  // namespace
}  // namespace vexil
