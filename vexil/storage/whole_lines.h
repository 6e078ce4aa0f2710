// The common line of every UU encoder, the whole line: the length character
// 'M' and 60 characters of the UU alphabet (0x20 to 0x60, a space counting as
// zero) carrying 45 bytes. The scanner and the decoder take such lines on a
// short road, 16 characters at a time where the processor allows.
#pragma once

#include <cstddef>

namespace vexil {

// Characters a whole line takes after its length character.
constexpr size_t kWholeLineChars = 60;
// Bytes the kernels may read from the start of a line (the line, its line
// end and a little more): callers take the short road only with this many.
constexpr size_t kWholeLineReach = 65;

struct WholeLineKernels {
    // True when line[1] to line[60] are all UU characters.
    bool (*check)(const unsigned char* line);
    // Decodes line[1] to line[60], which passed check, into out[0] to out[44];
    // may write up to out[51].
    void (*decode)(const unsigned char* line, unsigned char* out);
};

// The kernels for this processor.
const WholeLineKernels& WholeLines();
// The portable kernels, and the vector ones (null when not built in): for tests.
const WholeLineKernels& PortableWholeLines();
const WholeLineKernels* VectorWholeLines();

}  // namespace vexil
