// Turning source bytes into the data lines of the encoded text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vexil {

constexpr size_t kChunkSize = 65536;     // source bytes read and encoded at a time
constexpr size_t kLineBytes = 45;        // source bytes on a full data line
constexpr size_t kLineChars = 60;        // encoded characters on a full data line
constexpr size_t kLineStride = 63;       // a full line with its length character and CR LF

// Number of data lines that `n` source bytes (one chunk) make.
constexpr size_t ChunkLineCount(size_t n) { return (n + kLineBytes - 1) / kLineBytes; }

// The data lines of one chunk, kept back to back as they are written to the
// output: every line ends with CR LF and every line but the last is a full
// line of kLineStride characters, so line i starts at kLineStride * i.
class EncodedLines {
public:
    size_t Count() const { return count_; }
    // Text of line i without its CR LF.
    std::string_view Line(size_t i) const;
    // Lines first..last-1 with their CR LFs, as one run of text.
    std::string_view Run(size_t first, size_t last) const;
    std::string_view All() const { return {text_.data(), size_}; }

private:
    friend void EncodeChunk(const unsigned char*, size_t, int, EncodedLines&);
    std::vector<char> text_;
    size_t size_ = 0;
    size_t count_ = 0;
};

// Encodes the bytes in groups of three (missing bytes at the end count as
// zero) into four alphabet characters each: 4 * ceil(n / 3) characters.
void EncodeGroups(const unsigned char* data, size_t n, int encodingType, char* out);

// Empties `lines` and fills it with the data lines of an n-byte chunk
// (n at most kChunkSize): 45 bytes a line, the final group cut to the
// characters it needs, and one T(0) filler after a last line of fewer than
// 60 characters.
void EncodeChunk(const unsigned char* data, size_t n, int encodingType, EncodedLines& lines);

}  // namespace vexil
