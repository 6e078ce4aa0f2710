// The reading of one data line shared by the scanner (exact sizes) and the
// decoder: which alphabet a line is written in and how many bytes it holds.
//
// The length character gives the byte count n; a line of c characters after
// it carries n bytes when ceil(4n/3) <= c <= 4 * ceil(n/3) + 1: at least the
// characters the bytes need, at most the padding of a whole group and one
// character more (our encoder's filler after a short line, or the checksum
// character some encoders add). Lines cut short of their padding are thus
// read; longer or shorter ones fit no alphabet. In UU a space stands for the zero value, as older encoders wrote
// it. When the length character fits both alphabets (short lines only), the
// one that holds every character of the line wins, UU on a tie.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vexil/frame/alphabets.h"

namespace vexil {

enum class LineCode : uint8_t { kNone, kUu, kXx };

struct LineFit {
    LineCode code = LineCode::kNone;
    int32_t bytes = 0;
};

// Value (0..63) of `c` in the alphabet, or -1 when it is not in it.
inline int CodeValue(const Alphabets& a, LineCode code, unsigned char c) {
    if (code == LineCode::kUu) return c == ' ' ? 0 : a.uuReverse[c] - 1;
    return a.xxReverse[c] - 1;
}

inline bool LengthFits(int n, size_t chars) {
    if (n < 0) return false;
    const size_t least = (4 * static_cast<size_t>(n) + 2) / 3;
    const size_t most = 4 * ((static_cast<size_t>(n) + 2) / 3) + 1;
    return chars >= least && chars <= most;
}

inline bool AllInAlphabet(const Alphabets& a, LineCode code, const unsigned char* line, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (CodeValue(a, code, line[i]) < 0) return false;
    }
    return true;
}

// The alphabet and byte count of a line of `length` characters (length
// character included, trailing blanks and the line end excluded).
inline LineFit FitDataLine(const Alphabets& a, const unsigned char* line, size_t length) {
    if (length == 0) return {};
    const int nU = CodeValue(a, LineCode::kUu, line[0]);
    const int nX = CodeValue(a, LineCode::kXx, line[0]);
    bool uu = LengthFits(nU, length - 1);
    bool xx = LengthFits(nX, length - 1);
    if (uu && xx) {
        if (!AllInAlphabet(a, LineCode::kUu, line, length) && AllInAlphabet(a, LineCode::kXx, line, length)) {
            uu = false;
        } else {
            xx = false;
        }
    }
    if (uu) return {LineCode::kUu, nU};
    if (xx) return {LineCode::kXx, nX};
    return {};
}

// The line "end" (any case) that closes the data of a file.
inline bool IsEndLine(const unsigned char* line, size_t length) {
    return length == 3 && (line[0] | 0x20) == 'e' && (line[1] | 0x20) == 'n' && (line[2] | 0x20) == 'd';
}

// The exact byte count of a block, added up over every line the data scan
// takes, counted by its length test or not (the test drops short XX lines
// that hold data): nothing after the "end" line, which also marks where the
// block's data ends for the decoder.
struct ByteTally {
    int64_t bytes = 0;
    uint64_t dataEnd = 0;  // end of the last line before "end"
    uint64_t endLineEnd = 0;  // end of the "end" line itself, once ended
    bool ended = false;

    void Add(const Alphabets& a, const unsigned char* line, size_t length, uint64_t lineEnd) {
        if (ended) return;
        if (IsEndLine(line, length)) {
            ended = true;
            endLineEnd = lineEnd;
            return;
        }
        bytes += FitDataLine(a, line, length).bytes;
        dataEnd = lineEnd;
    }
};

}  // namespace vexil
