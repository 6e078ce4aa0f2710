#include "vexil/storage/plain_blocks.h"

#include <cstring>

#include "vexil/frame/alphabets.h"
#include "vexil/storage/data_line.h"
#include "vexil/storage/text_classes.h"
#include "vexil/storage/whole_lines.h"

namespace vexil {

namespace {

constexpr size_t kMaxLine = 1024;        // longer lines are never data lines
constexpr uint64_t kSectionReach = 2048; // a begin line this close after "section" belongs to its block

bool StartsWithWord(const unsigned char* p, size_t n, const char* word) {
    const size_t k = std::strlen(word);
    if (n < k) return false;
    for (size_t i = 0; i < k; ++i) {
        if ((p[i] | 0x20) != static_cast<unsigned char>(word[i])) return false;
    }
    return true;
}

bool IsBase64Char(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// Code characters and blanks only: what a data line with a damage still looks like.
bool LooksLikeData(const unsigned char* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < 32 || p[i] > 122) return false;
    }
    return true;
}

// Every character in the line's alphabet; UU lines (codes 32-96 only) are
// tested with the vector range test.
bool InAlphabet(const Alphabets& a, LineCode code, const unsigned char* p, size_t n) {
    if (code != LineCode::kUu) return AllInAlphabet(a, code, p, n);
    size_t i = 0;
#if VEXIL_SSE2
    const __m128i k32 = _mm_set1_epi8(32), k64 = _mm_set1_epi8(64);
    for (; i + 16 <= n; i += 16) {
        const __m128i t = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), k32);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(t, k64), t)) != 0xffff) return false;
    }
#endif
    for (; i < n; ++i) {
        if (p[i] < 32 || p[i] > 96) return false;
    }
    return true;
}

size_t TrimmedLength(const unsigned char* p, size_t n) {
    while (n > 0 && p[n - 1] >= 1 && p[n - 1] <= 32) --n;
    return n;
}

}  // namespace

void PlainBlockScan::Feed(const unsigned char* bytes, size_t n) {
    size_t i = 0;
    if (afterCr_ && n > 0 && bytes[0] == '\n') i = 1;  // the LF of a CR LF
    afterCr_ = false;
    const WholeLineKernels& whole = WholeLines();
    // The bytes from `untested` on are tested for control characters in
    // runs; whole lines hold none and are passed over.
    size_t untested = 0;
    auto testUpTo = [&](size_t to) {
        if (testControls_ && !controlSeen_ && to > untested && text::HasControlByte(bytes + untested, to - untested))
            controlSeen_ = true;
    };
    while (i < n) {
        // Inside a block, the whole UU line ending in LF or CR LF is taken
        // on a short road; Line would judge it the same.
        if (state_ == kLines && carry_.empty() && !carryLong_ && bytes[i] == 'M' && n - i >= kWholeLineReach && bytes[i + kWholeLineChars] > 32) {
            const unsigned char after = bytes[i + kWholeLineChars + 1];
            const size_t ending = after == '\n' ? 1 : after == '\r' && bytes[i + kWholeLineChars + 2] == '\n' ? 2 : 0;
            if (ending > 0 && whole.check(bytes + i)) {
                block_.dataBytes += 45;
                block_.dataChars += static_cast<int64_t>(kWholeLineChars);
                block_.dataEnd = pos_ + i + kWholeLineChars + 2;
                ++lines_;
                testUpTo(i);
                i += kWholeLineChars + 1 + ending;
                untested = i;
                continue;
            }
        }
        // The next line end: LF, or CR (lines end in CR LF, LF or CR).
        const auto* lf = static_cast<const unsigned char*>(std::memchr(bytes + i, '\n', n - i));
        const size_t stop = lf != nullptr ? static_cast<size_t>(lf - bytes) : n;
        const auto* cr = static_cast<const unsigned char*>(std::memchr(bytes + i, '\r', stop - i));
        const size_t end = cr != nullptr ? static_cast<size_t>(cr - bytes) : stop;
        if (end == n) {  // the line goes on in the next feed
            if (carry_.empty() && !carryLong_) carryStart_ = pos_ + i;
            const size_t room = kMaxLine + 1 - std::min(carry_.size(), kMaxLine + 1);
            carry_.append(reinterpret_cast<const char*>(bytes + i), std::min(room, n - i));
            if (carry_.size() > kMaxLine) carryLong_ = true;
            break;
        }
        const uint64_t lineEnd = pos_ + end + 1;
        if (!carry_.empty() || carryLong_) {
            const size_t room = kMaxLine + 1 - std::min(carry_.size(), kMaxLine + 1);
            carry_.append(reinterpret_cast<const char*>(bytes + i), std::min(room, end - i));
            Line(reinterpret_cast<const unsigned char*>(carry_.data()), carryLong_ ? kMaxLine + 1 : carry_.size(),
                 carryStart_, lineEnd);
            carry_.clear();
            carryLong_ = false;
        } else {
            Line(bytes + i, end - i, pos_ + i, lineEnd);
        }
        i = end + 1;
        if (bytes[end] == '\r') {
            if (i < n && bytes[i] == '\n') {
                ++i;
            } else if (i == n) {
                afterCr_ = true;
            }
        }
    }
    testUpTo(n);
    pos_ += n;
}

void PlainBlockScan::Finish() {
    if (!carry_.empty() || carryLong_) {
        Line(reinterpret_cast<const unsigned char*>(carry_.data()), carryLong_ ? kMaxLine + 1 : carry_.size(),
             carryStart_, pos_);
        carry_.clear();
        carryLong_ = false;
    }
}

void PlainBlockScan::Accept(uint64_t lineEnd) {
    block_.number = block_.total = 1;
    block_.ended = true;
    block_.plain = true;
    block_.blockEnd = lineEnd;
    blocks_.push_back(block_);
    state_ = kIdle;
}

// "begin MODE NAME" or "begin-base64 MODE NAME"; MODE octal, NAME the rest of the line.
void PlainBlockScan::Begin(const unsigned char* p, size_t n, uint64_t start, uint64_t end) {
    const bool base64 = StartsWithWord(p, n, "begin-base64 ");
    size_t i = base64 ? 13 : 6;
    int32_t mode = 0;
    size_t digits = 0;
    for (; i < n && p[i] >= '0' && p[i] <= '7' && digits < 7; ++i, ++digits) mode = mode * 8 + (p[i] - '0');
    if (digits == 0 || i >= n || p[i] != ' ') return;
    while (i < n && p[i] == ' ') ++i;
    const size_t nameEnd = TrimmedLength(p, n);
    if (i >= nameEnd) return;
    block_ = SectionBlock{};
    block_.name.assign(reinterpret_cast<const char*>(p + i), std::min<size_t>(nameEnd - i, 259));
    block_.mode = mode;
    block_.base64 = base64;
    block_.dataBegin = block_.dataEnd = end;
    block_.blockBegin = start;
    lines_ = 0;
    base64Chars_ = 0;
    base64Padded_ = false;
    state_ = base64 ? kBase64 : kLines;
}

void PlainBlockScan::Line(const unsigned char* p, size_t n, uint64_t start, uint64_t end) {
    if (state_ == kLines) {
        const size_t t = TrimmedLength(p, n);
        if (n > kMaxLine) {
            state_ = kIdle;
        } else if (IsEndLine(p, t)) {
            if (lines_ > 0) {
                Accept(start + n);
                return;
            }
            state_ = kIdle;
        } else if (t == 0) {
            ++lines_;  // the zero-length line written as a space, its blank dropped
            return;
        } else {
            // As the decoder reads it: trailing spaces count when the line needs them.
            const Alphabets& a = CodeAlphabets();
            size_t length = t;
            LineFit fit = FitDataLine(a, p, length);
            while (fit.code == LineCode::kNone && length < n && p[length] == ' ') fit = FitDataLine(a, p, ++length);
            if (fit.code != LineCode::kNone && InAlphabet(a, fit.code, p, length)) {
                block_.dataBytes += fit.bytes;
                block_.dataChars += static_cast<int64_t>(length) - 1;
                block_.dataEnd = end;
                ++lines_;
                return;
            }
            // Once the block has shown a sound line, a line of code characters
            // that fits no length is a damaged line: it stays in the block, and
            // extraction reports it.
            if (lines_ > 0 && LooksLikeData(p, t)) {
                block_.dataEnd = end;
                return;
            }
            state_ = kIdle;
        }
    } else if (state_ == kBase64) {
        const size_t t = TrimmedLength(p, n);
        if (t == 4 && std::memcmp(p, "====", 4) == 0) {
            if (base64Chars_ % 4 != 1) {
                block_.dataBytes = base64Chars_ * 6 / 8;
                Accept(start + n);
                return;
            }
            state_ = kIdle;
        } else if (n <= kMaxLine && t > 0 && !base64Padded_) {
            size_t i = 0;
            while (i < t && IsBase64Char(p[i])) ++i;
            const size_t chars = i;
            while (i < t && p[i] == '=') ++i;
            if (i == t && (chars > 0 || i > chars)) {
                base64Chars_ += static_cast<int64_t>(chars);
                block_.dataChars += static_cast<int64_t>(chars);
                base64Padded_ = i > chars;
                block_.dataEnd = end;
                ++lines_;
                return;
            }
            state_ = kIdle;
        } else {
            state_ = kIdle;
        }
    }
    // Outside a block: note "section" lines, look for a begin line.
    if (StartsWithWord(p, n, "section")) {
        lastSection_ = start;
        return;
    }
    if (StartsWithWord(p, n, "begin") && n > 5 && (p[5] == ' ' || p[5] == '-')) {
        if (lastSection_ != ~0ull && start - lastSection_ <= kSectionReach) return;
        Begin(p, n, start, end);
    }
}

bool DetectPlainBlock(const unsigned char* text, size_t length) {
    if (text == nullptr || length == 0) return false;
    PlainBlockScan scan;
    // The text ends at its first NUL, as for the section scan.
    const void* nul = std::memchr(text, 0, length);
    if (nul != nullptr) length = static_cast<size_t>(static_cast<const unsigned char*>(nul) - text);
    scan.Feed(text, length);
    const bool open = scan.OpenBlockLooksSound();
    scan.Finish();
    return !scan.Blocks().empty() || open;
}

}  // namespace vexil
