#include "text_codec.h"

#include <algorithm>

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

namespace {

struct Range {
    char32_t first, last;
};

// Zero-width characters: combining marks, joiners, variation selectors.
constexpr Range kZeroWidth[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x0610, 0x061A}, {0x064B, 0x065F},
    {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200F},
    {0x202A, 0x202E}, {0x2060, 0x2064}, {0x20D0, 0x20FF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F},
    {0xFEFF, 0xFEFF}, {0xE0100, 0xE01EF},
};

// East Asian wide and full-width characters, and emoji.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
    {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440},
    {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A},
    {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC},
    {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB},
    {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x3FFFD},
};

template <size_t N>
bool InRanges(const Range (&ranges)[N], char32_t ch) {
    size_t lo = 0, hi = N;
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (ch < ranges[mid].first) hi = mid;
        else if (ch > ranges[mid].last) lo = mid + 1;
        else return true;
    }
    return false;
}

int (*g_widthSource)(char32_t) = nullptr;

// Stand-ins for bytes of a field that is not UTF-8 (a private-use block).
constexpr char32_t kRawByteBase = 0xF700;

}  // namespace

int TableCharWidth(char32_t ch) {
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0)) return -1;
    if (ch < 0x300) return 1;
    if (InRanges(kZeroWidth, ch)) return 0;
    return InRanges(kWide, ch) ? 2 : 1;
}

void SetCharWidthSource(int (*source)(char32_t)) { g_widthSource = source; }

int CharWidth(char32_t ch) {
    if (ch < 0x7F) return ch < 0x20 ? -1 : 1;
    return g_widthSource != nullptr ? g_widthSource(ch) : TableCharWidth(ch);
}

int TextWidth(std::u32string_view text) {
    int width = 0;
    for (char32_t ch : text) width += std::max(0, CharWidth(ch));
    return width;
}

std::u32string CutToWidth(std::u32string_view text, int width) {
    int used = 0;
    size_t n = 0;
    for (; n < text.size(); ++n) {
        const int w = std::max(0, CharWidth(text[n]));
        if (used + w > width) break;
        used += w;
    }
    return std::u32string(text.substr(0, n));
}

std::u32string EditChars(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    // Decided for the whole field, as Decode does: UTF-8 throughout, or bytes.
    const bool utf8 = IsMultiByteUtf8(bytes);
    for (size_t i = 0; i < bytes.size();) {
        char32_t ch = 0;
        const size_t n = utf8 ? Utf8Length(bytes, i, &ch) : 0;
        if (n == 0) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            out.push_back(byte < 0x80 ? char32_t{byte} : kRawByteBase + byte);
            ++i;
        } else {
            out.push_back(ch);
            i += n;
        }
    }
    return out;
}

std::string EditBytes(std::u32string_view chars) {
    std::string out;
    for (char32_t ch : chars) {
        if (ch >= kRawByteBase + 0x80 && ch <= kRawByteBase + 0xFF) out.push_back(static_cast<char>(ch - kRawByteBase));
        else out += EncodeUtf8(ch);
    }
    return out;
}

char32_t ShownEditChar(char32_t ch) {
    if (ch >= kRawByteBase + 0x80 && ch <= kRawByteBase + 0xFF) return OemToUnicode(static_cast<unsigned char>(ch - kRawByteBase));
    return ch;
}

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
