// Character classes of UUE text and word-at-a-time helpers for the hot loops.
// Everything here has internal linkage: the header is also compiled into the
// AVX2 kernels, whose code must never stand in for the baseline's.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define VEXIL_SSE2 1
#else
#define VEXIL_SSE2 0
#endif

namespace vexil::text {
namespace {

static_assert(std::endian::native == std::endian::little, "word scans assume little-endian");

constexpr unsigned char kCR = 13;
constexpr unsigned char kLF = 10;

// Blanks (1..32) and : [ \ ] * ? / < > end a token; NUL is the end of the text.
struct DelimiterTable {
    bool is[256] = {};
    constexpr DelimiterTable() {
        for (int c = 1; c <= 32; ++c) is[c] = true;
        for (unsigned char c : {':', '[', '\\', ']', '*', '?', '/', '<', '>'}) is[c] = true;
    }
};
constexpr DelimiterTable kDelimiters{};

inline bool IsDelimiter(unsigned char c) { return kDelimiters.is[c]; }
inline bool IsBlank(unsigned char c) { return c >= 1 && c <= 32; }
inline bool IsLineEnd(unsigned char c) { return c == kCR || c == kLF; }
// A character of at least one code alphabet: UU is 33..96, XX adds a..z.
inline bool IsCode(unsigned char c) { return c >= 33 && c <= 122; }

inline unsigned char Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHigh = 0x8080808080808080ull;
constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;

inline uint64_t Load(const unsigned char* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// High bit set in exactly the bytes of v that are zero.
inline uint64_t ZeroBytes(uint64_t v) { return ~(((v & kLow7) + kLow7) | v) & kHigh; }

// High bit set in the bytes that are not code characters.
inline uint64_t NonCodeBytes(uint64_t v) {
    const uint64_t low = v & kLow7;
    const uint64_t atLeast33 = (low + 95 * kOnes) & kHigh;
    const uint64_t above122 = (low + 5 * kOnes) & kHigh;
    return (~atLeast33 & kHigh) | above122 | (v & kHigh);
}

// High bit set in the bytes below 32 other than CR and LF.
inline uint64_t ControlBytes(uint64_t v) {
    const uint64_t below32 = ~(((v & kLow7) + 0x60 * kOnes) | v) & kHigh;
    return below32 & ~ZeroBytes(v ^ (kLF * kOnes)) & ~ZeroBytes(v ^ (kCR * kOnes));
}

// Length of the run of code characters at p, looking at no more than n bytes.
inline size_t CodeRun(const unsigned char* p, size_t n) {
    size_t i = 0;
#if VEXIL_SSE2
    const __m128i k33 = _mm_set1_epi8(33), k89 = _mm_set1_epi8(89);
    for (; i + 16 <= n; i += 16) {
        const __m128i t = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), k33);
        const unsigned bad = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(t, k89), t))) & 0xffffu;
        if (bad != 0) return i + static_cast<size_t>(std::countr_zero(bad));
    }
#endif
    for (; i + 8 <= n; i += 8) {
        const uint64_t bad = NonCodeBytes(Load(p + i));
        if (bad != 0) return i + static_cast<size_t>(std::countr_zero(bad) >> 3);
    }
    while (i < n && IsCode(p[i])) ++i;
    return i;
}

// True when some byte of p[0..n) is below 32 and neither CR nor LF.
inline bool HasControlByte(const unsigned char* p, size_t n) {
    size_t i = 0;
#if VEXIL_SSE2
    const __m128i k31 = _mm_set1_epi8(31), kLf = _mm_set1_epi8(10), kCr = _mm_set1_epi8(13);
    auto bad = [&](size_t at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
        const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(v, k31), v);
        return _mm_andnot_si128(_mm_or_si128(_mm_cmpeq_epi8(v, kLf), _mm_cmpeq_epi8(v, kCr)), low);
    };
    for (; i + 64 <= n; i += 64) {
        const __m128i any = _mm_or_si128(_mm_or_si128(bad(i), bad(i + 16)), _mm_or_si128(bad(i + 32), bad(i + 48)));
        if (_mm_movemask_epi8(any) != 0) return true;
    }
#else
    for (; i + 32 <= n; i += 32) {
        if ((ControlBytes(Load(p + i)) | ControlBytes(Load(p + i + 8)) | ControlBytes(Load(p + i + 16)) |
             ControlBytes(Load(p + i + 24))) != 0) {
            return true;
        }
    }
#endif
    for (; i < n; ++i) {
        if (p[i] < 32 && !IsLineEnd(p[i])) return true;
    }
    return false;
}

// True when p[0..7) is "section" in any letter case.
inline bool IsSectionWord(const unsigned char* p) {
    static const char kWord[] = "section";
    for (int i = 0; i < 7; ++i) {
        if ((p[i] | 0x20) != kWord[i]) return false;
    }
    return true;
}

}  // namespace
}  // namespace vexil::text
