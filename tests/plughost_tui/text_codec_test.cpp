#include "tui/text_codec.h"

#include <gtest/gtest.h>

namespace plughost::tui {
namespace {

TEST(TextCodec, OemBoxDrawingBytesBecomeLineCharacters) {
    struct Case {
        unsigned char byte;
        char32_t ch;
    } const cases[] = {{0xC4, U'─'}, {0xB3, U'│'}, {0xC2, U'┬'}, {0xC1, U'┴'},
                       {0xDB, U'█'}, {0xB0, U'░'}, {'A', U'A'}, {0x09, U' '}};
    for (const Case& c : cases) EXPECT_EQ(OemToUnicode(c.byte), c.ch) << int(c.byte);
}

TEST(TextCodec, DecodesUtf8OnlyWhenTheWholeTextIsUtf8) {
    EXPECT_EQ(Decode("caf\xC3\xA9"), U"café");
    // The vertical rule of the encoding options starts like a UTF-8 pair but is not UTF-8.
    EXPECT_EQ(Decode("\xC2\xB3\xB3\xB3\xC1"), U"┬│││┴");
    EXPECT_EQ(Decode(std::string(3, '\xDB') + std::string(2, '\xB0')), U"███░░");
    EXPECT_EQ(Decode("plain"), U"plain");
}

TEST(TextCodec, ParsesHotKeyMarkers) {
    struct Case {
        const char* text;
        std::u32string shown;
        int hotIndex;
        char32_t hot;
    } const cases[] = {
        {"&Run", U"Run", 0, U'r'},       {"Calculato&r", U"Calculator", 9, U'r'},
        {"Close", U"Close", -1, 0},      {"A && B", U"A & B", -1, 0},
        {"&DEC &x", U"DEC x", 0, U'd'},  {"end&", U"end&", -1, 0},
    };
    for (const Case& c : cases) {
        const Label label = ParseLabel(c.text);
        EXPECT_EQ(label.text, c.shown) << c.text;
        EXPECT_EQ(label.hotIndex, c.hotIndex) << c.text;
        EXPECT_EQ(label.hot, c.hot) << c.text;
    }
}

}  // namespace
}  // namespace plughost::tui
