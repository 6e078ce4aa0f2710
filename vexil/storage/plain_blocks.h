// Plain blocks: the uuencoded text most tools write, with no "section"
// header. A "begin MODE NAME" line, data lines that are consistent (each
// fits its length character in one alphabet; the first must, later ones of
// code characters only are kept as damaged lines for extraction to report),
// and an "end" line make a complete one-section file; so does a
// "begin-base64 MODE NAME" line with base64 lines up to a "====" line. Text
// that merely mentions "begin 644 x" is not a block: the data lines must be
// consistent and the terminator there.
//
// The scan is one pass over the text, line by line, fed with the bytes as the
// section scan reads them, so that the file is still read once. A begin line
// within a few lines after a line that starts with "section" belongs to a
// section block and is left to the section scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vexil/storage/scan_types.h"

namespace vexil {

class PlainBlockScan {
public:
    // Lines a block that the text's end cuts must have for DetectHead.
    static constexpr int32_t kHeadLines = 16;

    // The next bytes of the text, in order and without gaps.
    void Feed(const unsigned char* bytes, size_t n);
    // The end of the text: the last line ends here.
    void Finish();
    // The accepted blocks, in text order (number 1 of 1).
    const std::vector<SectionBlock>& Blocks() const { return blocks_; }
    // True when a byte fed so far is a control character other than CR and
    // LF (the text is no plain text).
    bool SawControlByte() const { return controlSeen_; }
    // The bytes fed from now on are not tested (their caller tests them).
    void StopControlTest() { testControls_ = false; }
    // True when a block is still open with at least kHeadLines consistent
    // data lines: the text ended inside a block that looks sound.
    bool OpenBlockLooksSound() const { return state_ != kIdle && lines_ >= kHeadLines; }

private:
    enum State { kIdle, kLines, kBase64 };
    void Line(const unsigned char* p, size_t n, uint64_t start, uint64_t end);
    void Begin(const unsigned char* p, size_t n, uint64_t start, uint64_t end);
    void Accept(uint64_t lineEnd);

    State state_ = kIdle;
    uint64_t pos_ = 0;             // absolute position of the next byte fed
    std::string carry_;            // the line begun in an earlier feed (at most kMaxLine bytes kept)
    uint64_t carryStart_ = 0;
    bool carryLong_ = false;
    bool afterCr_ = false;         // the last byte fed was a CR (an LF right after it ends nothing)
    bool controlSeen_ = false;
    bool testControls_ = true;
    uint64_t lastSection_ = ~0ull; // start of the last line that began with "section"
    SectionBlock block_;
    int32_t lines_ = 0;
    int64_t base64Chars_ = 0;
    bool base64Padded_ = false;
    std::vector<SectionBlock> blocks_;
};

// True when `text` holds a plain block, or ends inside one that looks sound
// (the host hands over only the first bytes of a file).
bool DetectPlainBlock(const unsigned char* text, size_t length);

}  // namespace vexil
