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

TEST(TextCodec, CharacterWidthsFollowTheTerminalsCells) {
    struct Case {
        char32_t ch;
        int width;
    } const cases[] = {{U'a', 1}, {U'é', 1}, {U'─', 1}, {U'漢', 2}, {U'한', 2}, {U'ｱ', 1}, {U'Ａ', 2},
                       {U'😀', 2}, {U'\u0301', 0}, {U'\u200D', 0}, {U'\x07', -1}, {U'\x9B', -1}};
    for (const Case& c : cases) EXPECT_EQ(TableCharWidth(c.ch), c.width) << std::hex << uint32_t(c.ch);
    EXPECT_EQ(TextWidth(U"a漢😀e\u0301"), 6);
    EXPECT_EQ(CutToWidth(U"漢字漢字", 5), U"漢字");   // never half a character
    EXPECT_EQ(CutToWidth(U"ab漢", 3), U"ab");
    EXPECT_EQ(CutToWidth(U"ab漢", 4), U"ab漢");
}

TEST(TextCodec, EditTextIsCharactersAndGoesBackToTheSameBytes) {
    struct Case {
        std::string bytes;
        std::u32string::size_type characters;
    } const cases[] = {
        {"plain", 5},
        {"caf\xC3\xA9 \xE2\x82\xAC \xC3\x9F", 8},     // UTF-8: é, €, ß are one character each
        {"\xC4\xC4\xB3 box", 7},                       // OEM bytes stay bytes (not read as U+0133)
        {"name\xC3", 5},                                 // a lone lead byte is kept as it is
    };
    for (const Case& c : cases) {
        const std::u32string chars = EditChars(c.bytes);
        EXPECT_EQ(chars.size(), c.characters) << c.bytes;
        EXPECT_EQ(EditBytes(chars), c.bytes);
    }
    EXPECT_EQ(EditBytes(U"é€ß"), "\xC3\xA9\xE2\x82\xAC\xC3\x9F");
    EXPECT_EQ(ShownEditChar(EditChars("\xC4")[0]), U'─');
}

}  // namespace
}  // namespace plughost::tui
