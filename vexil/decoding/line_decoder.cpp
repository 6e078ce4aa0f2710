#include "vexil/decoding/line_decoder.h"

namespace vexil {

DecodeTables MakeDecodeTables(const Alphabets& alphabets) {
    DecodeTables t;
    for (int c = 0; c < 256; ++c) {
        t.uu[c] = static_cast<int8_t>(alphabets.uuReverse[c] - 1);
        t.xx[c] = static_cast<int8_t>(alphabets.xxReverse[c] - 1);
    }
    t.uu[' '] = 0;
    // A full line is read in one go only when its alphabet is plain: its
    // length character is no blank, and no line end is a code character.
    const bool uuPlain = t.uu['\r'] < 0 && t.uu['\n'] < 0;
    const bool xxPlain = t.xx['\r'] < 0 && t.xx['\n'] < 0;
    for (int c = 0; c < 256; ++c) {
        const bool uu = LengthFits(t.uu[c], kFullLineChars);
        const bool xx = LengthFits(t.xx[c], kFullLineChars);
        t.fullBytes[c] = 0;
        t.fullXx[c] = false;
        if (c <= 32 || uu == xx) continue;  // a blank, no fit, or a tie that the characters decide
        if (uu && uuPlain) t.fullBytes[c] = static_cast<uint8_t>(t.uu[c]);
        if (xx && xxPlain) {
            t.fullBytes[c] = static_cast<uint8_t>(t.xx[c]);
            t.fullXx[c] = true;
        }
    }
    return t;
}

LineKind DecodeLine(const Alphabets& alphabets, const DecodeTables& tables, const unsigned char* line,
                    size_t length, unsigned char* out, size_t* bytes) {
    *bytes = 0;
    while (length > 0 && line[0] >= 1 && line[0] <= 32) {
        ++line;
        --length;
    }
    const size_t full = length;
    while (length > 0 && line[length - 1] >= 1 && line[length - 1] <= 32) --length;
    if (length == 0) return LineKind::kSkip;
    if (IsEndLine(line, length)) return LineKind::kEnd;

    // Trailing blanks are dropped, unless the line needs some of them: in UU
    // a space is the zero value, and a line may end in spaces that count.
    LineFit fit = FitDataLine(alphabets, line, length);
    while (fit.code == LineCode::kNone && length < full && line[length] == ' ') {
        ++length;
        fit = FitDataLine(alphabets, line, length);
    }
    if (fit.code == LineCode::kNone) return LineKind::kDamaged;
    const int8_t* table = fit.code == LineCode::kUu ? tables.uu : tables.xx;
    const unsigned char* p = line + 1;
    const size_t chars = length - 1;
    int8_t v[4];
    size_t written = 0;
    const size_t n = static_cast<size_t>(fit.bytes);
    // Whole groups of whole bytes: four characters give three bytes.
    size_t i = 0;
    int bad = 0;
    for (; i + 4 <= chars && written + 3 <= n; i += 4) {
        const int a = table[p[i]], b = table[p[i + 1]], c = table[p[i + 2]], d = table[p[i + 3]];
        bad |= a | b | c | d;
        out[written] = static_cast<unsigned char>((a << 2) | (b >> 4));
        out[written + 1] = static_cast<unsigned char>((b << 4) | (c >> 2));
        out[written + 2] = static_cast<unsigned char>((c << 6) | d);
        written += 3;
    }
    if (bad < 0) return LineKind::kDamaged;
    // The last group: cut short, padded, or followed by a filler character.
    for (; i < chars; i += 4) {
        int badGroup = 0;
        for (size_t k = 0; k < 4; ++k) {
            v[k] = i + k < chars ? table[p[i + k]] : 0;  // a group cut short of its padding reads as zeros
            badGroup |= v[k];
        }
        if (badGroup < 0) return LineKind::kDamaged;
        const unsigned char b[3] = {static_cast<unsigned char>((v[0] << 2) | (v[1] >> 4)),
                                    static_cast<unsigned char>((v[1] << 4) | (v[2] >> 2)),
                                    static_cast<unsigned char>((v[2] << 6) | v[3])};
        for (size_t k = 0; k < 3 && written < n; ++k) out[written++] = b[k];
    }
    *bytes = written;
    return LineKind::kData;
}

LineKind Base64Lines::Decode(const unsigned char* line, size_t length, unsigned char* out, size_t* bytes) {
    *bytes = 0;
    while (length > 0 && line[0] >= 1 && line[0] <= 32) {
        ++line;
        --length;
    }
    while (length > 0 && line[length - 1] >= 1 && line[length - 1] <= 32) --length;
    if (length == 0) return LineKind::kSkip;
    if (length == 4 && line[0] == '=' && line[1] == '=' && line[2] == '=' && line[3] == '=') return LineKind::kEnd;
    size_t written = 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = line[i];
        int v;
        if (c >= 'A' && c <= 'Z') {
            v = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            v = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            v = c - '0' + 52;
        } else if (c == '+') {
            v = 62;
        } else if (c == '/') {
            v = 63;
        } else if (c == '=') {
            padded_ = true;
            continue;
        } else {
            return LineKind::kDamaged;
        }
        if (padded_) return LineKind::kDamaged;  // data after the padding
        acc_ = (acc_ << 6) | static_cast<uint32_t>(v);
        bits_ += 6;
        if (bits_ >= 8) {
            bits_ -= 8;
            out[written++] = static_cast<unsigned char>(acc_ >> bits_);
        }
    }
    *bytes = written;
    return LineKind::kData;
}

}  // namespace vexil
