#include "text_codec.h"

namespace plughost::tui {

namespace {

// Code page 437, bytes 0x80 to 0xFF.
constexpr char16_t kOemHigh[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Length of the UTF-8 sequence starting at text[i], 0 when it is not valid.
size_t Utf8Length(std::string_view text, size_t i, char32_t* out) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    size_t n;
    char32_t ch;
    if (b0 < 0x80) {
        *out = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
        ch = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        ch = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        ch = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + n > text.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        ch = (ch << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((n == 3 && ch < 0x800) || (n == 4 && (ch < 0x10000 || ch > 0x10FFFF)) ||
        (ch >= 0xD800 && ch <= 0xDFFF))
        return 0;
    *out = ch;
    return n;
}

}  // namespace

char32_t OemToUnicode(unsigned char byte) {
    if (byte >= 0x80) return kOemHigh[byte - 0x80];
    if (byte < 0x20 || byte == 0x7F) return U' ';  // control bytes would upset the terminal
    return byte;
}

bool IsMultiByteUtf8(std::string_view text) {
    bool multi = false;
    for (size_t i = 0; i < text.size();) {
        char32_t ch;
        const size_t n = Utf8Length(text, i, &ch);
        if (n == 0) return false;
        multi = multi || n > 1;
        i += n;
    }
    return multi;
}

std::u32string Decode(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    if (IsMultiByteUtf8(text)) {
        for (size_t i = 0; i < text.size();) {
            char32_t ch = 0;
            i += Utf8Length(text, i, &ch);
            out.push_back(ch < 0x20 || ch == 0x7F ? U' ' : ch);
        }
    } else {
        for (char c : text) out.push_back(OemToUnicode(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string EncodeUtf8(char32_t ch) {
    std::string out;
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
    return out;
}

char32_t FoldCase(char32_t ch) { return ch >= U'A' && ch <= U'Z' ? ch - U'A' + U'a' : ch; }

Label ParseLabel(std::string_view text) {
    Label label;
    const std::u32string chars = Decode(text);
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] == U'&' && i + 1 < chars.size()) {
            ++i;
            if (chars[i] != U'&' && label.hotIndex < 0) {
                label.hotIndex = static_cast<int>(label.text.size());
                label.hot = FoldCase(chars[i]);
            }
        }
        label.text.push_back(chars[i]);
    }
    return label;
}

}  // namespace plughost::tui
