// The vectorised inner loops of the scanner: the "section" search (with the
// plain-text test riding along) and the data-line loop. They are built twice,
// for the baseline instruction set and for AVX2, and picked at run time.
#pragma once

#include <cstdint>

#include "vexil/storage/data_line.h"
#include "vexil/storage/scan_types.h"

namespace vexil {

constexpr uint64_t kNoPosition = ~0ull;

// The counting state of a data scan, as the line loop advances it.
struct DataLineState {
    uint64_t pos;      // stands on the line end of the previous line
    uint64_t lastEnd;
    int32_t lines;
    int64_t chars;
    ByteTally* tally;  // exact bytes of the counted lines
};

struct ScanKernels {
    // First "section" (any case) at a position in [from, limit); limit + 7 <= w.end.
    uint64_t (*findSection)(const TextWindow& w, uint64_t from, uint64_t limit);
    // The same, also testing every byte of [from, limit) passed over for a
    // control character (below 32, not CR or LF); `control` is set on one.
    uint64_t (*findSectionPlain)(const TextWindow& w, uint64_t from, uint64_t limit, bool& control);
    // Counts whole data lines from s.pos (a CR or LF) while they lie well inside
    // the window. True when the data scan stops; false when the general loop
    // must go on from s.pos (a line end, or a character it has to judge).
    bool (*dataLines)(const TextWindow& w, uint64_t headerEnd, DataLineState& s);
    // The "section" words at positions in [from, to) that a delimiter follows
    // (a blank, with blanksOnly); to + 7 <= w.end. With `plain`, also the
    // control character test of findSectionPlain over [from, to).
    uint64_t (*countSections)(const TextWindow& w, uint64_t from, uint64_t to, bool blanksOnly, bool plain,
                              bool& control);
};

// The kernels in use: those for this processor unless a test chose others.
const ScanKernels& Kernels();
// Makes `kernels` the ones in use (null: back to this processor's); for tests.
void UseKernels(const ScanKernels* kernels);
const ScanKernels& BaselineKernels();
// Null when the AVX2 kernels are not built in.
const ScanKernels* Avx2Kernels();

}  // namespace vexil
