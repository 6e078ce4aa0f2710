// BlockScan: the judgement of one section block as a resumable state machine.
// Run() consumes the text window by window; it only moves forward, and while
// it waits for more text it needs the bytes from NeedFrom() on.
#pragma once

#include <cstdint>

#include "vexil/storage/data_line.h"
#include "vexil/storage/scan_types.h"

namespace vexil {

class BlockScan {
public:
    enum Status { kOpen, kAccepted, kRejected };

    explicit BlockScan(uint64_t start) : start_(start), pos_(start) {}

    // Advances over `w` (which holds the byte at NeedFrom() unless the scan
    // has just started). kOpen: the window ended before the judgement.
    Status Run(const TextWindow& w);
    uint64_t NeedFrom() const;
    // The accepted block (valid after kAccepted).
    SectionBlock Result() const;

    // One token being read; long tokens are streamed, keeping their first
    // 259 characters, their length, a hash and their value as a number.
    struct Token {
        bool active = false;
        bool none = false;     // the text ended before the token
        bool lineEnd = false;  // ended by CR or LF
        bool digits = true;
        uint64_t length = 0;
        uint64_t value = 0;    // saturates above 2147483647
        uint64_t hash = 0;
        char text[260] = {};

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
    BeginResult RunBegin(const TextWindow& w);
    Status Finish(bool accepted);

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

}  // namespace vexil
