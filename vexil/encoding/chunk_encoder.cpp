#include "vexil/encoding/chunk_encoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VEXIL_SIMD_LINES 1
#else
#define VEXIL_SIMD_LINES 0
#endif

#include "vexil/frame/alphabets.h"

namespace vexil {

namespace {

// For each 12-bit value, the two alphabet characters of its high and low
// six bits, in output order. Encoding looks up two of these per three bytes.
struct PairTable {
    uint16_t pairs[4096];
    char chars[64];
    alignas(16) char quarters[4][16];  // the alphabet in four rows, for vector lookups
};

std::array<PairTable, 3> BuildPairTables() {
    if (CodeAlphabets().uu[0] != '`') BuildAlphabets();
    std::array<PairTable, 3> tables{};
    for (int type = 0; type < 3; ++type) {
        PairTable& t = tables[type];
        for (unsigned v = 0; v < 64; ++v) t.chars[v] = static_cast<char>(AlphabetChar(v, type));
        for (unsigned v = 0; v < 4096; ++v) {
            const char two[2] = {t.chars[v >> 6], t.chars[v & 63]};
            std::memcpy(&t.pairs[v], two, 2);
        }
        for (unsigned v = 0; v < 64; ++v) t.quarters[v / 16][v % 16] = t.chars[v];
    }
    return tables;
}

// Tables for the UU and XX alphabets; any other type writes character 255,
// as AlphabetChar does.
const PairTable& PairsFor(int encodingType) {
    static const std::array<PairTable, 3> tables = BuildPairTables();
    return tables[(encodingType == 0 || encodingType == 1) ? encodingType : 2];
}

inline uint32_t Load24(const unsigned char* s) {
    return (uint32_t{s[0]} << 16) | (uint32_t{s[1]} << 8) | s[2];
}

inline void PutGroup(uint32_t v, const uint16_t* pairs, char* out) {
    std::memcpy(out, &pairs[v >> 12], 2);
    std::memcpy(out + 2, &pairs[v & 0xFFF], 2);
}

// 45 bytes into 60 characters.
inline void EncodeFullLine(const unsigned char* s, const uint16_t* pairs, char* out) {
    for (int g = 0; g < 15; ++g) PutGroup(Load24(s + 3 * g), pairs, out + 4 * g);
}

#if VEXIL_SIMD_LINES
// Vector form of EncodeFullLine: four steps of 12 bytes into 16 characters.
// The last step reads 7 bytes past the line and writes 4 characters past
// its end; the caller guarantees both buffers reach that far and writes the
// CR LF and the next line over the surplus characters afterwards.
__attribute__((target("ssse3"))) void EncodeFullLinesSsse3(const unsigned char* s, size_t lineCount,
                                                           const PairTable& table, char* out) {
    const __m128i spread = _mm_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1);
    const __m128i maskHigh = _mm_set1_epi32(0x0fc0fc00);
    const __m128i shiftHigh = _mm_set1_epi32(0x04000040);
    const __m128i maskLow = _mm_set1_epi32(0x003f03f0);
    const __m128i shiftLow = _mm_set1_epi32(0x01000010);
    const __m128i bias = _mm_set1_epi8(0x70);
    const __m128i sixteen = _mm_set1_epi8(16);
    const __m128i row0 = _mm_load_si128(reinterpret_cast<const __m128i*>(table.quarters[0]));
    const __m128i row1 = _mm_load_si128(reinterpret_cast<const __m128i*>(table.quarters[1]));
    const __m128i row2 = _mm_load_si128(reinterpret_cast<const __m128i*>(table.quarters[2]));
    const __m128i row3 = _mm_load_si128(reinterpret_cast<const __m128i*>(table.quarters[3]));
    const char lengthChar = table.chars[kLineBytes];

    for (size_t line = 0; line < lineCount; ++line, s += kLineBytes, out += kLineStride) {
        out[0] = lengthChar;
#pragma GCC unroll 4
        for (int step = 0; step < 4; ++step) {
            __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 12 * step));
            in = _mm_shuffle_epi8(in, spread);
            const __m128i high = _mm_mulhi_epu16(_mm_and_si128(in, maskHigh), shiftHigh);
            const __m128i low = _mm_mullo_epi16(_mm_and_si128(in, maskLow), shiftLow);
            const __m128i index = _mm_or_si128(high, low);  // one six-bit value per byte
            // Look each value up in the row it belongs to; a shuffle index
            // with its top bit set yields zero, so only one row contributes.
            const __m128i index1 = _mm_sub_epi8(index, sixteen);
            const __m128i index2 = _mm_sub_epi8(index1, sixteen);
            const __m128i index3 = _mm_sub_epi8(index2, sixteen);
            const __m128i chars = _mm_or_si128(
                _mm_or_si128(_mm_shuffle_epi8(row0, _mm_adds_epu8(index, bias)),
                             _mm_shuffle_epi8(row1, _mm_adds_epu8(index1, bias))),
                _mm_or_si128(_mm_shuffle_epi8(row2, _mm_adds_epu8(index2, bias)),
                             _mm_shuffle_epi8(row3, _mm_adds_epu8(index3, bias))));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 1 + 16 * step), chars);
        }
        out[61] = '\r';
        out[62] = '\n';
    }
}

bool HaveSsse3() {
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}
#endif

// Full lines 0..count-1 of a chunk whose bytes run to `end`.
void EncodeFullLines(const unsigned char* data, const unsigned char* end, size_t count,
                     const PairTable& table, char* out) {
    size_t done = 0;
#if VEXIL_SIMD_LINES
    // The vector steps read up to 7 bytes past a line, so the lines close to
    // the end of the chunk are left to the scalar loop.
    if (HaveSsse3() && end - data >= 52) {
        const size_t vectorLines = std::min<size_t>(count, (static_cast<size_t>(end - data) - 7) / kLineBytes);
        EncodeFullLinesSsse3(data, vectorLines, table, out);
        done = vectorLines;
    }
#endif
    const char lengthChar = table.chars[kLineBytes];
    for (size_t i = done; i < count; ++i) {
        char* line = out + i * kLineStride;
        line[0] = lengthChar;
        EncodeFullLine(data + i * kLineBytes, table.pairs, line + 1);
        line[61] = '\r';
        line[62] = '\n';
    }
}

}  // namespace

std::string_view EncodedLines::Line(size_t i) const {
    const size_t start = i * kLineStride;
    const size_t end = (i + 1 == count_) ? size_ : start + kLineStride;
    return {text_.data() + start, end - start - 2};
}

std::string_view EncodedLines::Run(size_t first, size_t last) const {
    const size_t start = first * kLineStride;
    const size_t end = (last >= count_) ? size_ : last * kLineStride;
    return {text_.data() + start, end - start};
}

void EncodeGroups(const unsigned char* data, size_t n, int encodingType, char* out) {
    const uint16_t* pairs = PairsFor(encodingType).pairs;
    size_t i = 0;
    for (; i + 3 <= n; i += 3, out += 4) PutGroup(Load24(data + i), pairs, out);
    if (i < n) {
        const unsigned char last[3] = {data[i], i + 1 < n ? data[i + 1] : uint8_t{0}, 0};
        PutGroup(Load24(last), pairs, out);
    }
}

void EncodeChunk(const unsigned char* data, size_t n, int encodingType, EncodedLines& lines) {
    const PairTable& table = PairsFor(encodingType);
    const size_t count = ChunkLineCount(n);
    const size_t full = n / kLineBytes;
    // Room for the vector steps' surplus characters past the last line.
    if (lines.text_.size() < count * kLineStride + 16) lines.text_.resize(count * kLineStride + 16);
    char* out = lines.text_.data();

    EncodeFullLines(data, data + n, full, table, out);
    data += full * kLineBytes;
    out += full * kLineStride;
    if (const size_t rest = n - full * kLineBytes; rest > 0) {
        // The final group is cut to the characters the bytes need, and a
        // short line gets one T(0) after its characters.
        char groups[kLineChars];
        EncodeGroups(data, rest, encodingType, groups);
        const size_t used = (8 * rest + 5) / 6;
        *out++ = table.chars[rest];
        std::memcpy(out, groups, used);
        out += used;
        *out++ = table.chars[0];
        *out++ = '\r';
        *out++ = '\n';
    }
    lines.size_ = static_cast<size_t>(out - lines.text_.data());
    lines.count_ = count;
}

}  // namespace vexil
