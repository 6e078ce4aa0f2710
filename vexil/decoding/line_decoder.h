// Turning the data lines of a section back into bytes.
//
// A line (leading blanks skipped, as the scanner does) is read with the
// alphabet its length character and length fit (storage/data_line.h);
// every other line of a file's data is damaged. Trailing blanks are dropped
// first, and a space counts as the zero value in UU.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vexil/frame/alphabets.h"
#include "vexil/storage/data_line.h"

namespace vexil {

enum class LineKind {
    kData,     // decoded; its bytes were written
    kSkip,     // an empty line
    kEnd,      // the "end" line: the file's data is over
    kDamaged,  // a character outside the alphabet, or a length the line cannot carry
};

// Longest byte count of one line (length character 63).
constexpr size_t kMaxLineBytes = 63;

// Reverse tables of the two alphabets: value 0..63, or -1 outside it; the
// UU table takes the space as 0.
struct DecodeTables {
    int8_t uu[256];
    int8_t xx[256];
    // The common full line, a length character and 60 characters: by its
    // length character, the bytes it carries when exactly one alphabet fits
    // it (0: not a full line, read it the long way) and whether that is XX.
    uint8_t fullBytes[256];
    bool fullXx[256];
};
DecodeTables MakeDecodeTables(const Alphabets& alphabets);

// Decodes one line (without its line end) into `out` (room for
// kMaxLineBytes); `*bytes` receives the number of bytes written.
LineKind DecodeLine(const Alphabets& alphabets, const DecodeTables& tables, const unsigned char* line,
                    size_t length, unsigned char* out, size_t* bytes);

// Characters after the length character of a full line.
constexpr size_t kFullLineChars = 60;

// Decodes a full line: `line` holds the length character and
// kFullLineChars characters, the last of them not blank. Returns the bytes
// written to `out` (room for 45), or -1 when the line must be read by
// DecodeLine (not a full line, or a character outside the alphabet).
// Where it returns bytes, DecodeLine gives the same ones.
inline int DecodeFullLine(const DecodeTables& tables, const unsigned char* line, unsigned char* out) {
    const int n = tables.fullBytes[line[0]];
    if (n == 0) return -1;
    const int8_t* table = tables.fullXx[line[0]] ? tables.xx : tables.uu;
    const unsigned char* p = line + 1;
    int bad = 0;
    for (size_t i = 0; i < kFullLineChars; i += 4, p += 4, out += 3) {
        const int a = table[p[0]], b = table[p[1]], c = table[p[2]], d = table[p[3]];
        bad |= a | b | c | d;
        out[0] = static_cast<unsigned char>((a << 2) | (b >> 4));
        out[1] = static_cast<unsigned char>((b << 4) | (c >> 2));
        out[2] = static_cast<unsigned char>((c << 6) | d);
    }
    return bad < 0 ? -1 : n;
}

// The lines of a base64 block ("begin-base64"): groups run across lines,
// '=' pads the last group, "====" ends the data.
class Base64Lines {
public:
    // Decodes one line into `out` (room for 3/4 of its length); `*bytes`
    // receives the number of bytes written.
    LineKind Decode(const unsigned char* line, size_t length, unsigned char* out, size_t* bytes);

private:
    uint32_t acc_ = 0;
    int bits_ = 0;
    bool padded_ = false;
};

}  // namespace vexil
