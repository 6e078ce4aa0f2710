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
