// Built with AVX2 enabled (x86-64 only); used when the processor has it.
#if defined(VEXIL_AVX2_KERNELS)

#include <immintrin.h>

#include "vexil/storage/whole_lines.h"

namespace vexil {

namespace {

inline __m256i Load(const unsigned char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

// Each character less 0x20; UU characters give 0 to 0x40.
inline __m256i Offset(__m256i chars) { return _mm256_sub_epi8(chars, _mm256_set1_epi8(0x20)); }

// line[1] to line[32] and line[29] to line[60]: the 60 characters in two overlapping loads.
bool Check(const unsigned char* line) {
    const __m256i top = _mm256_set1_epi8(0x40);
    const __m256i a = Offset(Load(line + 1)), b = Offset(Load(line + 29));
    const __m256i fits = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(a, top), top),
                                          _mm256_cmpeq_epi8(_mm256_max_epu8(b, top), top));
    return _mm256_movemask_epi8(fits) == -1;
}

// 32 characters give 24 bytes, in the low 24 bytes of the result.
inline __m256i DecodeBlock(__m256i chars) {
    // Four 6-bit values a b c d give a << 18 | b << 12 | c << 6 | d, whose
    // three bytes go out high first; each 128-bit half packs its 12 bytes
    // low, and the halves are then joined.
    const __m256i values = _mm256_and_si256(Offset(chars), _mm256_set1_epi8(0x3F));
    const __m256i words = _mm256_madd_epi16(_mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140)),
                                            _mm256_set1_epi32(0x00011000));
    const __m256i order = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1,  //
                                           2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    return _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(words, order), _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
}

inline void Store24(unsigned char* out, __m256i bytes) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(bytes, 1));
}

// line[1] to line[32], then line[33] to line[64] of which the first 28 are
// the line's: out[0] to out[47] are written, the last three of them spare.
void Decode(const unsigned char* line, unsigned char* out) {
    Store24(out, DecodeBlock(Load(line + 1)));
    Store24(out + 24, DecodeBlock(Load(line + 33)));
}

constexpr WholeLineKernels kVector{Check, Decode};

}  // namespace

const WholeLineKernels* VectorWholeLines() { return &kVector; }

}  // namespace vexil

#endif
