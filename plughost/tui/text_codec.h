// Turning the host's 8-bit texts into characters for the screen.
//
// Plugin texts are in the console's OEM code page, whose box-drawing bytes
// (0xC4, 0xB3, 0xDB, ...) must show as line characters; file names on this
// system are UTF-8. A text that is valid UTF-8 and holds a multi-byte
// sequence is read as UTF-8, every other text byte by byte in code page 437.
#pragma once

#include <string>
#include <string_view>

namespace plughost::tui {

// The character that an OEM (code page 437) byte stands for.
char32_t OemToUnicode(unsigned char byte);

bool IsMultiByteUtf8(std::string_view text);

std::u32string Decode(std::string_view text);

// Encodes one character as UTF-8 (for typed text and file names).
std::string EncodeUtf8(char32_t ch);

// Columns a character takes on the terminal: 2 for East Asian wide
// characters and emoji, 0 for combining marks and other zero-width
// characters, 1 otherwise. The real terminal installs the C library's
// wcwidth (what ncurses lays out with) through SetCharWidthSource; the
// built-in table serves tests and terminals without it.
int CharWidth(char32_t ch);
int TableCharWidth(char32_t ch);
void SetCharWidthSource(int (*source)(char32_t));
int TextWidth(std::u32string_view text);
// The longest start of `text` that fits in `width` columns.
std::u32string CutToWidth(std::u32string_view text, int width);

// Edit fields work on characters: a field's bytes as characters (UTF-8 when
// the bytes are UTF-8; otherwise each byte above 0x7F becomes a stand-in
// that EditBytes turns back into that byte), and back to bytes.
std::u32string EditChars(std::string_view bytes);
std::string EditBytes(std::u32string_view chars);
// How an edit character shows on the screen.
char32_t ShownEditChar(char32_t ch);

// A label with an '&' marker: the marker is dropped and its character is the
// hot key; "&&" stands for a plain '&'.
struct Label {
    std::u32string text;
    int hotIndex = -1;   // position of the hot key in `text`, -1 when none
    char32_t hot = 0;    // the hot key, lower-cased; 0 when none
};
Label ParseLabel(std::string_view text);

// Lower case for ASCII letters, anything else unchanged.
char32_t FoldCase(char32_t ch);

}  // namespace plughost::tui
