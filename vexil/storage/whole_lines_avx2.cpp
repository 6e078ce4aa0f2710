// Built with AVX2 enabled (x86-64 only); used when the processor has it. The
// 128-bit instructions below need only SSSE3.
#if defined(VEXIL_AVX2_KERNELS)

#include <immintrin.h>

#include "vexil/storage/whole_lines.h"

namespace vexil {

namespace {

// The four 16-character blocks of line[1] to line[64]; the last holds 12
// characters of the line.
struct Blocks {
    __m128i b[4];
    explicit Blocks(const unsigned char* line) {
        for (int k = 0; k < 4; ++k) b[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 1 + 16 * k));
    }
};

// Each character less 0x20; UU characters give 0 to 0x40.
inline __m128i Offset(__m128i chars) { return _mm_sub_epi8(chars, _mm_set1_epi8(0x20)); }

bool Check(const unsigned char* line) {
    const Blocks blocks(line);
    const __m128i top = _mm_set1_epi8(0x40);
    unsigned ok = 0xFFFFFFFFu;
    for (int k = 0; k < 4; ++k) {
        const __m128i x = Offset(blocks.b[k]);
        const unsigned fits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(x, top), top)));
        ok &= k < 3 ? fits | 0xFFFF0000u : fits | 0xFFFFF000u;  // the last block: 12 characters
    }
    return ok == 0xFFFFFFFFu;
}

void Decode(const unsigned char* line, unsigned char* out) {
    const Blocks blocks(line);
    // Four 6-bit values a b c d give a << 18 | b << 12 | c << 6 | d, whose
    // three bytes go out high first.
    const __m128i pairs = _mm_set1_epi32(0x01400140);
    const __m128i quads = _mm_set1_epi32(0x00011000);
    const __m128i order = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    for (int k = 0; k < 4; ++k) {
        const __m128i values = _mm_and_si128(Offset(blocks.b[k]), _mm_set1_epi8(0x3F));
        const __m128i words = _mm_madd_epi16(_mm_maddubs_epi16(values, pairs), quads);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12 * k), _mm_shuffle_epi8(words, order));
    }
}

constexpr WholeLineKernels kVector{Check, Decode};

}  // namespace

const WholeLineKernels* VectorWholeLines() { return &kVector; }

}  // namespace vexil

#endif
