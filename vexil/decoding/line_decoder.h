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
};
DecodeTables MakeDecodeTables(const Alphabets& alphabets);

// Decodes one line (without its line end) into `out` (room for
// kMaxLineBytes); `*bytes` receives the number of bytes written.
LineKind DecodeLine(const Alphabets& alphabets, const DecodeTables& tables, const unsigned char* line,
                    size_t length, unsigned char* out, size_t* bytes);

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
