#include "vexil/storage/block_scan.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

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
constexpr int32_t kWholeLineBytes = 45;  // bytes of every line but a file's last
constexpr size_t kPeek = 8;            // bytes a keyword peek looks at
constexpr uint64_t kShareAfter = 64;   // length from which a walk is offered to other blocks

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
    if (none || length == 0 || Lower(static_cast<unsigned char>(text[0])) != keyword[0]) return false;
    const size_t n = std::strlen(keyword);
    if (length != n) return false;
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
        // Field by field: the text buffer needs no clearing.
        t.active = t.none = t.lineEnd = false;
        t.digits = true;
        t.length = t.value = t.hash = 0;
        if (EndOfText(w, pos)) {
            t.none = true;
            return true;
        }
        t.active = true;
        t.hash = 1469598103934665603ull;
        // A token that ends inside the window is taken in one piece.
        const unsigned char* const d = w.data - w.base;
        uint64_t e = pos;
        while (e < w.end && d[e] != 0 && !IsDelimiter(d[e])) ++e;
        if (e < w.end) {
            const uint64_t n = e - pos;
            const size_t kept = static_cast<size_t>(std::min<uint64_t>(n, 259));
            std::memcpy(t.text, d + pos, kept);
            for (uint64_t i = pos + kept; i < e; ++i) t.hash = (t.hash ^ Lower(d[i])) * 1099511628211ull;
            for (uint64_t i = pos; i < e && t.digits; ++i) {
                const unsigned char c = d[i];
                if (c >= '0' && c <= '9') {
                    if (t.value <= 2147483647u) t.value = t.value * 10 + (c - '0');
                } else {
                    t.digits = false;
                }
            }
            t.length = n;
            t.active = false;
            pos = e;
            if (d[e] != 0) {  // consumes the delimiter; a NUL is the end of the text
                t.lineEnd = IsLineEnd(d[e]);
                ++pos;
            }
            return true;
        }
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
        if (t.length < 259) {
            t.text[t.length] = static_cast<char>(c);
        } else {
            t.hash = (t.hash ^ Lower(c)) * 1099511628211ull;  // only what the text does not keep
        }
        ++t.length;
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
        if (ph == 0 && count >= kMinDataLines && blankTo <= p && p < w.end && w.end - p > 1024 && IsLineEnd(d[p])) {
            // Runs of ordinary data lines go through the vectorised loop (from
            // the 4th line on: the first ones are looked at more closely).
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
        const bool counted = eU < run || eX < run;
        if (counted) {
            ++count;
            sum += static_cast<int64_t>(run) - 1;
            last = p;
        }
        if (count <= kMinDataLines) {
            // The trailer: a zero-length line ("`" counts, "+" does not), then "end".
            const bool isEnd = run == 3 && Lower(line[0]) == 'e' && Lower(line[1]) == 'n' && Lower(line[2]) == 'd';
            if (counted && isEnd && zeroBefore) trailerAt = count;
            if (FitDataLine(alpha, line, run).bytes != kWholeLineBytes) wholeLinesOnly = false;
            zeroBefore = run == 1 && (alpha.uuReverse[line[0]] == 1 || alpha.xxReverse[line[0]] == 1);
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

BlockScan::Status BlockScan::Finish(bool accepted) {
    EndStretch(!accepted);
    return accepted ? kAccepted : kRejected;
}

void ScanMemo::Add(const std::shared_ptr<Stretch>& s) {
    std::vector<std::shared_ptr<Stretch>>& list = walks[s->kind];
    // Keep the walks under way and the last kKeptEnded that ended.
    size_t ended = 0;
    for (size_t i = list.size(); i-- > 0;) {
        if (list[i]->done && ++ended > kKeptEnded) list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    }
    list.push_back(s);
}

void ScanMemo::Clear() {
    for (auto& list : walks) list.clear();
}

namespace {

// The walk `s` has read the token boundary `at` (right after a delimiter
// that ended a token) in the state that any walk reaching `at` has there.
inline bool OnPath(const TextWindow& w, uint64_t start, uint64_t pos, bool done, uint64_t at) {
    // An ended walk stood at its checkpoints before its last token; one under
    // way stands at or past them.
    if (at < start || at > pos || (done && at == pos)) return false;
    if (at == start) return true;
    const uint64_t d = at - 1;  // the delimiter
    if (d < start || d < w.base) return false;
    if (At(w, d) > 32) return true;  // colon, slash and the like end a token wherever a walk stands
    // A blank ends a token only right after a token character; else a walk skips it.
    if (d < start + 1 || d - 1 < w.base) return false;
    const unsigned char before = At(w, d - 1);
    return before > 32 && !IsDelimiter(before);
}

inline bool OnPath(const TextWindow& w, const Stretch& s, uint64_t at) { return OnPath(w, s.start, s.pos, s.done, at); }

}  // namespace

bool BlockScan::BeginStretch(const TextWindow& w, int kind, uint64_t at) {
    if (memo_ == nullptr) return false;
    const bool boundary = at > w.base && at - 1 < w.end && IsDelimiter(At(w, at - 1));
    if (boundary) {
        auto& list = memo_->walks[kind];
        for (size_t i = list.size(); i-- > 0;) {
            const Stretch& s = *list[i];
            if (!OnPath(w, s, at)) continue;
            // The total and "file" searches count line ends: the other walk must
            // not have counted one before this point.
            bool counted = false;
            for (uint64_t p : s.blankRests) counted = counted || p < at;
            if (counted) continue;
            waiting_ = list[i];
            return true;
        }
    }
    walkKind_ = kind;
    walkStart_ = at;
    walkRests_.clear();
    return false;
}

bool BlockScan::BeginDataStretch(uint64_t from, uint64_t knownBlankTo) {
    if (memo_ == nullptr) return false;
    // A data scan depends on its start, the blanks known there, and (until its
    // first line) the header end; only a scan begun in that very state is joined.
    for (const auto& s : memo_->walks[Stretch::kData]) {
        if (s->start == from && s->dataBlankTo == knownBlankTo && s->headerEnd == headerEnd_) {
            waiting_ = s;
            return true;
        }
    }
    walkKind_ = Stretch::kData;
    walkStart_ = from;
    walkBlankTo_ = knownBlankTo;
    return false;
}

void BlockScan::NoteBlankRest() {
    if (walking_) {
        walking_->blankRests.push_back(pos_);
    } else if (walkKind_ >= 0) {
        walkRests_.push_back(pos_);
    }
}

// A walk is offered to other blocks once it is longer than a few tokens:
// walking a short stretch again costs less than keeping it.
void BlockScan::Share() {
    if (walking_ || walkKind_ < 0 || memo_ == nullptr) return;
    const uint64_t reached = walkKind_ == Stretch::kData ? data_.pos : pos_;
    if (reached < walkStart_ + kShareAfter) return;
    auto s = std::make_shared<Stretch>();
    s->kind = walkKind_;
    s->start = walkStart_;
    s->pos = s->need = std::max(walkStart_, pos_);
    s->blankRests = walkRests_;
    s->dataBlankTo = walkBlankTo_;
    s->headerEnd = headerEnd_;
    memo_->Add(s);
    walking_ = std::move(s);
}

void BlockScan::EndStretch(bool rejected) {
    if (walkKind_ < 0) return;
    Share();
    walkKind_ = -1;
    if (!walking_) return;
    Stretch& s = *walking_;
    s.done = true;
    s.rejected = rejected;
    s.pos = std::max(s.pos, pos_);
    s.lastLineEnd = lastLineEnd_;
    s.value = s.kind == Stretch::kNumber ? number_ : total_;
    s.headerEnd = s.kind == Stretch::kData ? s.headerEnd : headerEnd_;
    s.headerBlankTo = headerBlankTo_;
    if (s.kind == Stretch::kData) s.data = data_;
    s.need = s.pos;
    walking_.reset();
}

void BlockScan::StartData(uint64_t from, uint64_t knownBlankTo) {
    data_.Start(from, knownBlankTo);
    phase_ = kData;
    BeginDataStretch(from, knownBlankTo);
}

bool BlockScan::NumberSearchPassed(const TextWindow& w, uint64_t at) const {
    if (at <= w.base || at > w.end || !IsDelimiter(At(w, at - 1))) return false;
    if (waiting_) return waiting_->kind == Stretch::kNumber && OnPath(w, *waiting_, at);
    if (walkKind_ != Stretch::kNumber || phase_ < kNumberTest || phase_ > kNumberToken) return false;
    return OnPath(w, walkStart_, pos_, false, at);  // this block's own walk, shared or not
}

bool BlockScan::NumberSearchSpan(uint64_t& lo, uint64_t& hi) const {
    uint64_t start = 0, pos = 0;
    bool done = false;
    if (waiting_) {
        if (waiting_->kind != Stretch::kNumber) return false;
        start = waiting_->start;
        pos = waiting_->pos;
        done = waiting_->done;
    } else {
        if (walkKind_ != Stretch::kNumber || phase_ < kNumberTest || phase_ > kNumberToken) return false;
        start = walkStart_;
        pos = pos_;
    }
    // OnPath: from two past the start (the delimiter and the character before it
    // inside the walk) to where the walk stands, not there once it has ended.
    lo = start + 2;
    hi = done ? pos - 1 : pos;
    return hi >= lo;
}

bool BlockScan::Ready() const { return waiting_ && waiting_->done; }

bool BlockScan::SameFuture(const BlockScan& o) const {
    if (!waiting_ || waiting_ != o.waiting_ || phase_ != o.phase_) return false;
    if (number_ != o.number_ || total_ != o.total_ || headerEnd_ != o.headerEnd_) return false;
    if (name_.length != o.name_.length) return false;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(name_.length, 259));
    return std::memcmp(name_.text, o.name_.text, n) == 0;
}

bool BlockScan::Adopt() {
    const std::shared_ptr<Stretch> s = std::move(waiting_);
    if (s->rejected) return false;
    testing_ = false;
    switch (s->kind) {
        case Stretch::kNumber:  // the number found: on to the total
            number_ = s->value;
            pos_ = s->pos;
            lastLineEnd_ = s->lastLineEnd;
            lineEnds_ = 0;
            phase_ = kTotalTest;
            break;
        case Stretch::kTotal:  // the total (0 for "file") read
            total_ = s->value;
            pos_ = s->pos;
            lastLineEnd_ = s->lastLineEnd;
            phase_ = kAfterTotalTest;
            break;
        case Stretch::kFile:  // "file" read: the name follows
            pos_ = s->pos;
            lastLineEnd_ = s->lastLineEnd;
            phase_ = kNameSkip;
            break;
        case Stretch::kRest:
            headerEnd_ = pos_ = s->headerEnd;
            headerBlankTo_ = s->headerBlankTo;
            phase_ = kRestTest;  // goes on as after its own rest test
            adoptedRest_ = true;
            break;
        case Stretch::kData:
            data_ = s->data;
            phase_ = kData;
            break;
    }
    return true;
}

// The number, total and "file" searches pass over most tokens of a long
// line: this loop takes the tokens that plainly do not end the search (no
// digit first where a number ends it, no "f" first where "file" does) the way
// the steps would, and leaves the others, the line's end and the window's end
// to them. True when the number search ends there without a number (the rest
// of the line is blank); pos_ and lastLineEnd_ then stand as the steps leave
// them. The other searches go on past line ends: the steps count those.
bool BlockScan::SkipWords(const TextWindow& w, Words words) {
    const unsigned char* const d = w.data - w.base;
    const bool digits = words != kFileWords, file = words != kNumberWords;
    uint64_t p = pos_;
    bool lineEnd = lastLineEnd_;
    bool blank = false;
    for (;;) {
        if (lineEnd) {
            blank = true;
            break;
        }
        uint64_t q = p;
        while (q < w.end && d[q] != 0 && d[q] <= 32 && !IsLineEnd(d[q])) ++q;
        if (q >= w.end) break;
        if (d[q] == 0 || IsLineEnd(d[q])) {
            blank = true;
            break;
        }
        const unsigned char c = d[q];
        if ((digits && c >= '0' && c <= '9') || (file && (c | 0x20) == 'f')) break;
        uint64_t e = q;
        while (e < w.end && d[e] != 0 && !IsDelimiter(d[e])) ++e;
        if (e >= w.end) break;
        if (d[e] == 0) {
            p = e;
            lineEnd = false;
        } else {
            lineEnd = IsLineEnd(d[e]);
            p = e + 1;
        }
    }
    pos_ = p;
    lastLineEnd_ = lineEnd;
    return blank && words == kNumberWords;
}

BlockScan::Status BlockScan::Run(const TextWindow& w, ScanMemo* memo) {
    memo_ = memo;
    const Status st = Step(w);
    Share();
    if (walking_) {
        walking_->pos = std::max(walking_->pos, pos_);
        walking_->need = NeedFrom();
    }
    memo_ = nullptr;
    return st;
}

BlockScan::Status BlockScan::Step(const TextWindow& w) {
    for (;;) {
        if (waiting_) {
            if (!waiting_->done) return kOpen;
            if (!Adopt()) return Finish(false);
        }
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
                BeginStretch(w, Stretch::kNumber, pos_);
                break;
            }
            case kNumberTest: {
                if (!testing_ && SkipWords(w, kNumberWords)) return Finish(false);
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
                EndStretch(false);
                lineEnds_ = 0;
                phase_ = kTotalTest;
                BeginStretch(w, Stretch::kTotal, pos_);
                break;
            case kTotalTest: {
                if (!testing_ && lineEnds_ < kMaxLineEnds) SkipWords(w, kTotalWords);
                const Rest r = RestOfLine(w);
                if (r == kRestPending) return kOpen;
                if (r == kRestBlank) {
                    ++lineEnds_;
                    NoteBlankRest();
                }
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
                EndStretch(false);
                phase_ = kAfterTotalTest;
                break;
            case kAfterTotalTest: {
                const Rest r = RestOfLine(w);
                if (r == kRestPending) return kOpen;
                if (r == kRestBlank) return Finish(false);
                fileEntry_ = pos_;
                pos_ = scan_;
                if (total_ != 0) {
                    lineEnds_ = 0;
                    phase_ = kFileTest;
                    // The "file" search is shared from the boundary after the total.
                    BeginStretch(w, Stretch::kFile, fileEntry_);
                } else {
                    total_ = number_;
                    phase_ = kNameSkip;
                }
                break;
            }
            case kFileTest: {
                if (!testing_ && lineEnds_ < kMaxLineEnds) SkipWords(w, kFileWords);
                const Rest r = RestOfLine(w);
                if (r == kRestPending) return kOpen;
                if (r == kRestBlank) {
                    ++lineEnds_;
                    NoteBlankRest();
                }
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
                    EndStretch(false);
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
                BeginStretch(w, Stretch::kRest, pos_);
                break;
            case kRestTest: {
                if (!adoptedRest_) {
                    const Rest r = RestOfLine(w);
                    if (r == kRestPending) return kOpen;
                    if (r == kRestNotBlank) {
                        pos_ = scan_;
                        phase_ = kRestSkip;
                        break;
                    }
                    headerEnd_ = pos_;
                    headerBlankTo_ = scan_;
                    EndStretch(false);
                }
                adoptedRest_ = false;
                if (number_ == 1) {
                    beginPos_ = headerEnd_;
                    beginStep_ = 0;
                    phase_ = kBegin;
                } else {
                    StartData(headerEnd_, headerBlankTo_);
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
                    dataFromBegin_ = true;
                    StartData(beginPos_, 0);
                    break;
                }
                if (r == kBeginGiveUp) {
                    if (fallbackStarted_) {
                        data_ = fallback_;  // already under way: not shared
                        phase_ = kData;
                    } else {
                        StartData(headerEnd_, headerBlankTo_);
                    }
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
                EndStretch(false);
                // At least 4 counted lines; fewer when the block follows its
                // begin line or ends in the trailer, as small encodings and
                // the last section of a split one do, or when it is a middle
                // section (neither the first nor the last) of whole lines only,
                // as a split into sections of 1 to 3 lines gives.
                return Finish(data_.lines >= kMinDataLines ||
                              (data_.lines >= 1 && (dataFromBegin_ || data_.trailerAt == data_.lines ||
                                                    (data_.wholeLinesOnly && number_ > 1 && number_ < total_))));
        }
    }
}

uint64_t BlockScan::NeedFrom() const {
    if (waiting_) {
        // The outcome takes this block to where the other walk ended, or beyond
        // where that walk now stands.
        if (!waiting_->done) return waiting_->need;
        switch (waiting_->kind) {
            case Stretch::kRest:
                return waiting_->headerEnd;
            case Stretch::kData:
                return waiting_->data.NeedFrom();
            default:
                return waiting_->pos;
        }
    }
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
    b.blockBegin = start_;
    b.blockEnd = data_.tally.ended ? data_.tally.endLineEnd : data_.tally.dataEnd;
    b.mode = phase_ == kData && data_.from != headerEnd_ ? beginMode_ : -1;
    return b;
}

}  // namespace vexil
