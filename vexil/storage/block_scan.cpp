#include "vexil/storage/block_scan.h"

#include <algorithm>
#include <cstring>

#include "vexil/frame/alphabets.h"
#include "vexil/storage/scan_kernels.h"
#include "vexil/storage/text_classes.h"

namespace vexil {

using namespace text;

namespace {

constexpr uint64_t kReach = 1024;      // distance limits of the begin search and the data scan
constexpr int kMaxLineEnds = 5;        // line ends the total or "file" search may pass
constexpr size_t kMaxDataLine = 256;   // code characters of a data line
constexpr int32_t kMinDataLines = 4;   // counted lines for a block to be accepted
constexpr size_t kPeek = 8;            // bytes a keyword peek looks at

inline unsigned char At(const TextWindow& w, uint64_t p) { return w.data[p - w.base]; }
// The text ends at p: the window is the last one and ends there, or p holds a NUL.
inline bool EndOfText(const TextWindow& w, uint64_t p) {
    return p >= w.end ? w.last : At(w, p) == 0;
}
inline bool Starved(const TextWindow& w, uint64_t p) { return p >= w.end && !w.last; }

// The token at p equals `keyword` (all letters): needs p + length + 1 bytes or the text's end.
bool PeekKeyword(const TextWindow& w, uint64_t p, const char* keyword) {
    const size_t n = std::strlen(keyword);
    for (size_t i = 0; i < n; ++i) {
        if (p + i >= w.end || (At(w, p + i) | 0x20) != keyword[i]) return false;
    }
    const uint64_t after = p + n;
    return after >= w.end || At(w, after) == 0 || IsDelimiter(At(w, after));
}

// The mode token of a begin line read as octal digits; -1 when it is not octal.
int32_t OctalMode(const BlockScan::Token& t) {
    if (t.length == 0 || t.length > 7) return -1;
    int32_t mode = 0;
    for (uint64_t i = 0; i < t.length; ++i) {
        if (t.text[i] < '0' || t.text[i] > '7') return -1;
        mode = mode * 8 + (t.text[i] - '0');
    }
    return mode;
}

}  // namespace

bool BlockScan::Token::Is(const char* keyword) const {
    const size_t n = std::strlen(keyword);
    if (none || length != n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (Lower(static_cast<unsigned char>(text[i])) != keyword[i]) return false;
    }
    return true;
}

bool BlockScan::Token::SameName(const Token& other) const {
    if (length != other.length || hash != other.hash) return false;
    const size_t n = std::min<uint64_t>(length, 259);
    for (size_t i = 0; i < n; ++i) {
        if (Lower(static_cast<unsigned char>(text[i])) != Lower(static_cast<unsigned char>(other.text[i]))) return false;
    }
    return true;
}

bool BlockScan::ReadToken(const TextWindow& w, uint64_t& pos, Token& t) {
    if (!t.active) {
        if (Starved(w, pos)) return false;
        t = Token{};
        if (EndOfText(w, pos)) {
            t.none = true;
            return true;
        }
        t.active = true;
        t.hash = 1469598103934665603ull;
    }
    while (pos < w.end) {
        const unsigned char c = At(w, pos);
        if (c == 0) break;
        if (IsDelimiter(c)) {
            ++pos;
            t.lineEnd = IsLineEnd(c);
            t.active = false;
            return true;
        }
        if (t.length < 259) t.text[t.length] = static_cast<char>(c);
        ++t.length;
        t.hash = (t.hash ^ Lower(c)) * 1099511628211ull;
        if (c >= '0' && c <= '9') {
            if (t.value <= 2147483647u) t.value = t.value * 10 + (c - '0');
        } else {
            t.digits = false;
        }
        ++pos;
    }
    if (pos < w.end || w.last) {  // ended by the end of the text
        t.active = false;
        return true;
    }
    return false;
}

bool BlockScan::SkipBlanks(const TextWindow& w, uint64_t& pos) {
    while (pos < w.end) {
        const unsigned char c = At(w, pos);
        if (c == 0 || c > 32) return true;
        ++pos;
    }
    return w.last;
}

// The rest of the line is blank: only blanks other than CR and LF up to the
// next line end or the end of the text. Right after a token that a line end
// ended, the rest is blank (so LF text reads like CR LF text).
BlockScan::Rest BlockScan::RestOfLine(const TextWindow& w) {
    if (!testing_) {
        testing_ = true;
        scan_ = pos_;
        if (lastLineEnd_) {
            testing_ = false;
            return kRestBlank;
        }
    }
    while (scan_ < w.end) {
        const unsigned char c = At(w, scan_);
        if (c == 0 || IsLineEnd(c)) {
            testing_ = false;
            return kRestBlank;
        }
        if (c > 32) {
            testing_ = false;
            return kRestNotBlank;
        }
        ++scan_;
    }
    if (w.last) {
        testing_ = false;
        return kRestBlank;
    }
    return kRestPending;
}

void BlockScan::DataScan::Start(uint64_t from, uint64_t knownBlankTo) {
    *this = DataScan{};
    pos = lastEnd = from;
    blankTo = knownBlankTo;
    this->from = from;
    tally.dataEnd = from;
}

bool BlockScan::DataScan::Run(const TextWindow& w, uint64_t headerEnd) {
    const Alphabets& alpha = CodeAlphabets();
    // The hot loop works on locals and stores them back on every way out.
    uint64_t p = pos, last = lastEnd;
    int32_t count = lines;
    int64_t sum = chars;
    int ph = phase;
    bool finished = false;
    const unsigned char* const d = w.data - w.base;  // d[x] is the byte at absolute position x
    const ScanKernels& kernels = Kernels();
    for (;;) {
        if (ph == 0 && blankTo <= p && w.end - p > 1024 && IsLineEnd(d[p])) {
            // Runs of ordinary data lines go through the vectorised loop.
            DataLineState s{p, last, count, sum, &tally};
            const bool stop = kernels.dataLines(w, headerEnd, s);
            p = s.pos;
            last = s.lastEnd;
            count = s.lines;
            sum = s.chars;
            if (stop) {
                finished = true;
                break;
            }
        }
        if (ph == 0) {
            if (blankTo > p) {
                // A known blank: not the end of the text, and no keyword.
                p = blankTo;
                ph = 1;
            } else {
                if (Starved(w, p)) break;
                if (EndOfText(w, p)) {
                    finished = true;
                    break;
                }
                if (!IsDelimiter(d[p])) {
                    if (p + kPeek > w.end && !w.last) break;
                    if (PeekKeyword(w, p, "section") || PeekKeyword(w, p, "sum") || PeekKeyword(w, p, "end")) {
                        finished = true;
                        break;
                    }
                }
                ph = 1;
            }
        }
        if (ph == 1) {
            // Past either distance limit the scan stops whatever follows.
            const uint64_t limit = std::min<uint64_t>(last + kReach, count == 0 ? headerEnd + kReach : ~0ull);
            while (p < w.end && d[p] != 0 && d[p] <= 32 && p <= limit) ++p;
            if (p > limit) {
                finished = true;
                break;
            }
            if (Starved(w, p)) break;
            ph = 2;
        }
        // ph 2: a candidate data line at p.
        const size_t look = static_cast<size_t>(std::min<uint64_t>(w.end - p, kMaxDataLine + 1));
        const unsigned char* line = d + p;
        const size_t run = CodeRun(line, look);
        if (run == look) {
            if (look <= kMaxDataLine && !w.last) break;  // the line goes on in the next window
            finished = true;  // 257 code characters, or the text ends inside the run
            break;
        }
        if (!IsLineEnd(line[run])) {
            finished = true;
            break;
        }
        const size_t eU = (8 * alpha.uuReverse[line[0]] + 5) / 6;
        const size_t eX = (8 * alpha.xxReverse[line[0]] + 5) / 6;
        p += run;
        tally.Add(alpha, line, run, p);  // exact size, for the listing and the decoder
        if (eU < run || eX < run) {
            ++count;
            sum += static_cast<int64_t>(run) - 1;
            last = p;
        }
        ph = 0;
    }
    pos = p;
    lastEnd = last;
    lines = count;
    chars = sum;
    phase = ph;
    if (finished) done = true;
    return finished;
}

BlockScan::BeginResult BlockScan::RunBegin(const TextWindow& w) {
    for (;;) {
        switch (beginStep_) {
            case 0:  // loop top: within reach of the header end?
                if (beginPos_ - headerEnd_ > kReach) return kBeginGiveUp;
                if (headerBlankTo_ > beginPos_) beginPos_ = headerBlankTo_;
                beginStep_ = 1;
                [[fallthrough]];
            case 1:
                if (!SkipBlanks(w, beginPos_)) return kBeginPending;
                if (EndOfText(w, beginPos_)) return kBeginGiveUp;
                beginStep_ = 2;
                [[fallthrough]];
            case 2:
                if (!ReadToken(w, beginPos_, beginToken_)) return kBeginPending;
                if (!beginToken_.Is("begin")) {
                    beginStep_ = 0;
                    break;
                }
                beginStep_ = 3;
                [[fallthrough]];
            case 3:
                if (!SkipBlanks(w, beginPos_)) return kBeginPending;
                if (EndOfText(w, beginPos_)) return kBeginGiveUp;
                beginStep_ = 4;
                [[fallthrough]];
            case 4:
                if (!ReadToken(w, beginPos_, beginToken_)) return kBeginPending;
                if (!beginToken_.IsNumber()) {
                    beginStep_ = 0;
                    break;
                }
                beginMode_ = OctalMode(beginToken_);
                beginStep_ = 5;
                [[fallthrough]];
            case 5:
                if (!SkipBlanks(w, beginPos_)) return kBeginPending;
                if (EndOfText(w, beginPos_)) return kBeginReject;
                beginStep_ = 6;
                [[fallthrough]];
            case 6:
                if (!ReadToken(w, beginPos_, beginToken_)) return kBeginPending;
                return beginToken_.SameName(name_) ? kBeginFound : kBeginGiveUp;
        }
    }
}

BlockScan::Status BlockScan::Finish(bool accepted) { return accepted ? kAccepted : kRejected; }

BlockScan::Status BlockScan::Run(const TextWindow& w) {
    for (;;) {
        switch (phase_) {
            case kStart: {
                // The token at the start must be "section".
                if (start_ + kPeek > w.end && !w.last) return kOpen;
                if (start_ + 7 > w.end || !IsSectionWord(w.data + (start_ - w.base))) return Finish(false);
                pos_ = start_ + 7;
                if (!EndOfText(w, pos_)) {
                    const unsigned char c = At(w, pos_);
                    if (!IsDelimiter(c)) return Finish(false);
                    ++pos_;
                    lastLineEnd_ = IsLineEnd(c);
                }
                phase_ = kNumberTest;
                break;
            }
            case kNumberTest: {
                const Rest r = RestOfLine(w);
                if (r == kRestPending) return kOpen;
                if (r == kRestBlank) return Finish(false);  // the line ends without a number
                pos_ = scan_;
                phase_ = kNumberSkip;
                break;
            }
            case kNumberSkip:
                if (!SkipBlanks(w, pos_)) return kOpen;
                phase_ = kNumberToken;
                break;
            case kNumberToken:
                if (!ReadToken(w, pos_, token_)) return kOpen;
                if (token_.none) return Finish(false);
                lastLineEnd_ = token_.lineEnd;
                if (!token_.IsNumber()) {
                    phase_ = kNumberTest;
                    break;
                }
                number_ = static_cast<int32_t>(token_.value);
                if (number_ == 0) return Finish(false);
                lineEnds_ = 0;
                phase_ = kTotalTest;
                break;
            case kTotalTest: {
                const Rest r = RestOfLine(w);
                if (r == kRestPending) return kOpen;
                if (r == kRestBlank) ++lineEnds_;
                pos_ = scan_;
                phase_ = kTotalSkip;
                break;
            }
            case kTotalSkip:
                if (!SkipBlanks(w, pos_)) return kOpen;
                phase_ = kTotalToken;
                break;
            case kTotalToken:
                if (!ReadToken(w, pos_, token_)) return kOpen;
                if (token_.none) return Finish(false);
                lastLineEnd_ = token_.lineEnd;
                if (token_.Is("file")) {
                    total_ = 0;
                } else if (token_.IsNumber()) {
                    total_ = static_cast<int32_t>(token_.value);
                } else {
                    if (lineEnds_ >= kMaxLineEnds) return Finish(false);
                    phase_ = kTotalTest;
                    break;
                }
                phase_ = kAfterTotalTest;
                break;
            case kAfterTotalTest: {
                const Rest r = RestOfLine(w);
                if (r == kRestPending) return kOpen;
                if (r == kRestBlank) return Finish(false);
                pos_ = scan_;
                if (total_ != 0) {
                    lineEnds_ = 0;
                    phase_ = kFileTest;
                } else {
                    total_ = number_;
                    phase_ = kNameSkip;
                }
                break;
            }
            case kFileTest: {
                const Rest r = RestOfLine(w);
                if (r == kRestPending) return kOpen;
                if (r == kRestBlank) ++lineEnds_;
                pos_ = scan_;
                phase_ = kFileSkip;
                break;
            }
            case kFileSkip:
                if (!SkipBlanks(w, pos_)) return kOpen;
                phase_ = kFileToken;
                break;
            case kFileToken:
                if (!ReadToken(w, pos_, token_)) return kOpen;
                if (token_.none) return Finish(false);
                lastLineEnd_ = token_.lineEnd;
                if (token_.Is("file")) {
                    phase_ = kNameSkip;
                } else {
                    if (lineEnds_ >= kMaxLineEnds) return Finish(false);
                    phase_ = kFileTest;
                }
                break;
            case kNameSkip:
                if (!SkipBlanks(w, pos_)) return kOpen;
                phase_ = kNameToken;
                break;
            case kNameToken:
                if (!ReadToken(w, pos_, name_)) return kOpen;
                if (name_.none) return Finish(false);
                lastLineEnd_ = name_.lineEnd;
                phase_ = kRestTest;
                break;
            case kRestTest: {
                const Rest r = RestOfLine(w);
                if (r == kRestPending) return kOpen;
                if (r == kRestNotBlank) {
                    pos_ = scan_;
                    phase_ = kRestSkip;
                    break;
                }
                headerEnd_ = pos_;
                headerBlankTo_ = scan_;
                if (number_ == 1) {
                    beginPos_ = headerEnd_;
                    beginStep_ = 0;
                    phase_ = kBegin;
                } else {
                    data_.Start(headerEnd_, headerBlankTo_);
                    phase_ = kData;
                }
                break;
            }
            case kRestSkip:
                if (!SkipBlanks(w, pos_)) return kOpen;
                phase_ = kRestToken;
                break;
            case kRestToken:
                if (!ReadToken(w, pos_, token_)) return kOpen;
                if (!token_.none) lastLineEnd_ = token_.lineEnd;
                phase_ = kRestTest;
                break;
            case kBegin: {
                const BeginResult r = RunBegin(w);
                if (r == kBeginReject) return Finish(false);
                if (r == kBeginFound) {
                    data_.Start(beginPos_, 0);
                    phase_ = kData;
                    break;
                }
                if (r == kBeginGiveUp) {
                    if (fallbackStarted_) {
                        data_ = fallback_;
                    } else {
                        data_.Start(headerEnd_, headerBlankTo_);
                    }
                    phase_ = kData;
                    break;
                }
                // Waiting for more text: the bytes from the header end would be
                // gone by then, so the data scan from there runs alongside.
                if (!fallbackStarted_) {
                    fallbackStarted_ = true;
                    fallback_.Start(headerEnd_, headerBlankTo_);
                }
                if (!fallback_.done) fallback_.Run(w, headerEnd_);
                return kOpen;
            }
            case kData:
                if (!data_.done && !data_.Run(w, headerEnd_)) return kOpen;
                return Finish(data_.lines >= kMinDataLines);
        }
    }
}

uint64_t BlockScan::NeedFrom() const {
    switch (phase_) {
        case kStart:
            return start_;
        case kNumberTest:
        case kTotalTest:
        case kAfterTotalTest:
        case kFileTest:
        case kRestTest:
            return testing_ ? scan_ : pos_;
        case kBegin: {
            uint64_t need = std::max(beginPos_, headerBlankTo_);
            if (fallbackStarted_ && !fallback_.done) need = std::min(need, fallback_.NeedFrom());
            return need;
        }
        case kData:
            return data_.NeedFrom();
        default:
            return pos_;
    }
}

SectionBlock BlockScan::Result() const {
    SectionBlock b;
    b.number = number_;
    b.total = total_;
    b.name.assign(name_.text, static_cast<size_t>(std::min<uint64_t>(name_.length, 259)));
    b.dataChars = data_.chars;
    b.dataBegin = data_.from;
    b.dataEnd = data_.tally.dataEnd;
    b.dataBytes = data_.tally.bytes;
    b.ended = data_.tally.ended;
    b.mode = phase_ == kData && data_.from != headerEnd_ ? beginMode_ : -1;
    return b;
}

}  // namespace vexil
