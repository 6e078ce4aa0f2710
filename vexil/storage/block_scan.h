// BlockScan: the judgement of one section block as a resumable state machine.
// Run() consumes the text window by window; it only moves forward, and while
// it waits for more text it needs the bytes from NeedFrom() on.
//
// Shared walks. The header rules read tokens to the end of a line and beyond
// (the number, the total, "file", the rest of the header), and a data scan
// reads every line of its block. Several "section" words on one long line
// would each walk the same text again, which makes the scan quadratic in the
// line length. But the walk of one stretch (the number search, the total
// search, the "file" search, the rest of the header, or a data scan) depends
// only on the token boundary it starts from, on whether the last token ended
// at a line end, and on the line ends already counted; every token boundary
// that one walk passes is one any other walk through that text passes too.
// So a block that begins a stretch at a boundary another block's walk of the
// same kind has passed, in the same state, takes that walk's outcome instead
// of walking (it waits while the other walk is under way). The walks are kept
// in a ScanMemo shared by the blocks of one whole-text scan.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vexil/storage/data_line.h"
#include "vexil/storage/scan_types.h"

namespace vexil {

struct Stretch;
class ScanMemo;

class BlockScan {
public:
    enum Status { kOpen, kAccepted, kRejected };

    explicit BlockScan(uint64_t start) : start_(start), pos_(start) {}

    // Advances over `w` (which holds the byte at NeedFrom() unless the scan
    // has just started). kOpen: the window ended before the judgement, or
    // the block waits for another block's walk. With a `memo`, walks are
    // shared with the other blocks using it.
    Status Run(const TextWindow& w, ScanMemo* memo = nullptr);
    uint64_t NeedFrom() const;
    // The accepted block (valid after kAccepted).
    SectionBlock Result() const;
    // Waiting for a walk that has ended since: Run() goes on at once.
    bool Ready() const;
    // True when this block, waiting, will end exactly as `other` does.
    bool SameFuture(const BlockScan& other) const;
    // True when this block still looks for its section number and that search
    // has passed the token boundary `at`: a "section" ending just before `at`
    // then ends exactly as this block does.
    bool NumberSearchPassed(const TextWindow& w, uint64_t at) const;
    // The boundaries [lo, hi] of which NumberSearchPassed holds for every one
    // right after a delimiter (a blank there needs a token character before
    // it); false when this block does not look for its number.
    bool NumberSearchSpan(uint64_t& lo, uint64_t& hi) const;

    // One token being read; long tokens are streamed, keeping their first
    // 259 characters, their length, a hash and their value as a number.
    struct Token {
        bool active = false;
        bool none = false;     // the text ended before the token
        bool lineEnd = false;  // ended by CR or LF
        bool digits = true;
        uint64_t length = 0;
        uint64_t value = 0;    // saturates above 2147483647
        uint64_t hash = 0;     // of the characters after the first 259
        char text[260];        // the first min(length, 259) characters are valid

        bool IsNumber() const { return !none && length > 0 && digits && value <= 2147483647u; }
        bool Is(const char* keyword) const;
        bool SameName(const Token& other) const;
    };

    // The data scan that counts data lines from `start`.
    struct DataScan {
        uint64_t pos = 0;
        uint64_t lastEnd = 0;
        uint64_t blankTo = 0;  // bytes [pos, blankTo) are known blanks
        int phase = 0;         // 0 line-end check and keyword peek, 1 skipping blanks, 2 at a line
        int32_t lines = 0;
        int64_t chars = 0;
        ByteTally tally;      // exact bytes and the end of the data for the decoder
        uint64_t from = 0;    // where the data scan started
        bool done = false;
        // For blocks of fewer than 4 counted lines (kept only up to the 4th):
        // the last line examined was a zero-length line ("`" or "+"), and the
        // count when the line "end" followed one (the block's trailer).
        bool zeroBefore = false;
        int32_t trailerAt = -1;
        // Every line examined so far is a whole line (45 bytes) that fits its
        // alphabet, as every line of a middle section is.
        bool wholeLinesOnly = true;

        void Start(uint64_t from, uint64_t knownBlankTo);
        // True when finished (done), false when the window ended first.
        bool Run(const TextWindow& w, uint64_t headerEnd);
        uint64_t NeedFrom() const { return blankTo > pos ? blankTo : pos; }
    };

private:
    enum Phase {
        kStart,
        kNumberTest, kNumberSkip, kNumberToken,
        kTotalTest, kTotalSkip, kTotalToken,
        kAfterTotalTest,
        kFileTest, kFileSkip, kFileToken,
        kNameSkip, kNameToken,
        kRestTest, kRestSkip, kRestToken,
        kBegin,
        kData,
    };
    enum Rest { kRestPending, kRestBlank, kRestNotBlank };
    enum BeginResult { kBeginPending, kBeginFound, kBeginGiveUp, kBeginReject };

    Rest RestOfLine(const TextWindow& w);
    bool SkipBlanks(const TextWindow& w, uint64_t& pos);
    bool ReadToken(const TextWindow& w, uint64_t& pos, Token& token);
    enum Words { kNumberWords, kTotalWords, kFileWords };
    bool SkipWords(const TextWindow& w, Words words);
    BeginResult RunBegin(const TextWindow& w);
    Status Finish(bool accepted);
    Status Step(const TextWindow& w);
    // Shared walks: at the start of a stretch of kind `kind` at checkpoint
    // `at`, either joins a walk that has passed it (true: now waiting) or
    // starts a walk of its own that others may join.
    bool BeginStretch(const TextWindow& w, int kind, uint64_t at);
    bool BeginDataStretch(uint64_t from, uint64_t knownBlankTo);
    // The walk of the current stretch ends here; its outcome is this state.
    void EndStretch(bool rejected);
    void Share();
    void NoteBlankRest();
    // Takes the outcome of the walk waited for; false when that rejected the block.
    bool Adopt();
    void StartData(uint64_t from, uint64_t knownBlankTo);

    ScanMemo* memo_ = nullptr;
    std::shared_ptr<Stretch> walking_;  // the walk this block is making for others
    int walkKind_ = -1;                 // the stretch being walked (-1: none)
    uint64_t walkStart_ = 0;
    uint64_t walkBlankTo_ = 0;          // data scans: the blanks known at the start
    std::vector<uint64_t> walkRests_;   // line ends counted before the walk was shared
    std::shared_ptr<Stretch> waiting_;  // the walk this block waits for
    bool dataFromBegin_ = false;        // the data scan starts right after the begin line
    uint64_t fileEntry_ = 0;            // checkpoint of the "file" search (after the total)
    bool adoptedRest_ = false;          // the header end was taken from another walk

    uint64_t start_;
    uint64_t pos_;
    Phase phase_ = kStart;
    bool lastLineEnd_ = false;  // the token just read was ended by CR or LF
    bool testing_ = false;
    uint64_t scan_ = 0;         // how far the rest-of-line test has looked
    int lineEnds_ = 0;
    int32_t number_ = 0;
    int32_t total_ = 0;
    uint64_t headerEnd_ = 0;
    uint64_t headerBlankTo_ = 0;
    Token token_;
    Token name_;
    // Begin-line search (section 1): its position and step, and the data scan
    // from the header end that is used when the search fails.
    uint64_t beginPos_ = 0;
    int beginStep_ = 0;
    Token beginToken_;
    int32_t beginMode_ = -1;  // the begin line's mode, read as octal
    bool fallbackStarted_ = false;
    DataScan fallback_;
    DataScan data_;
};

// One walk of a stretch: where it began and has got to, in what state, and
// once it has ended, its outcome.
struct Stretch {
    enum Kind { kNumber, kTotal, kFile, kRest, kData, kKinds };
    int kind = kNumber;
    uint64_t start = 0;       // the checkpoint it began at
    uint64_t pos = 0;         // how far it has read (its position when it ended)
    uint64_t need = 0;        // while under way: the first byte its walker still needs
    std::vector<uint64_t> blankRests;  // total and "file" searches: checkpoints where a line end was counted
    bool done = false;
    bool rejected = false;
    // Outcome.
    bool lastLineEnd = false;
    int32_t value = 0;        // the number, or the total as read (0 for "file")
    uint64_t headerEnd = 0, headerBlankTo = 0;
    // Data scans: the start state, which must match exactly, and the result.
    uint64_t dataBlankTo = 0;
    BlockScan::DataScan data;
};

// The walks of one whole-text scan that later blocks may join: those under
// way and the last few that ended, per kind.
class ScanMemo {
public:
    static constexpr size_t kKeptEnded = 8;
    std::vector<std::shared_ptr<Stretch>> walks[Stretch::kKinds];
    void Add(const std::shared_ptr<Stretch>& s);
    void Clear();
};

}  // namespace vexil
