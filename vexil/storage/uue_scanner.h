// Reading UUE/XXE text: recognising section blocks and counting their data.
//
// ScanBlock judges the block whose header starts at a position; DetectUue
// tells whether a text holds at least one acceptable block; TextScan runs the
// whole-text scan (ScanBlock at every "section") over a text that arrives in
// windows, so that a file of any size is scanned with a few fixed buffers.
//
// Design of the windowed scan. One block judgement is a resumable state
// machine (BlockScan): every step of the header, begin-line and data rules
// only moves forward, and the few look-aheads are bounded (a keyword peek of
// 8 bytes, a data line of 257). A machine that runs out of window is
// suspended and resumed on the next window; the window keeps only the bytes
// from the earliest position any machine or the search still needs (a few
// hundred bytes), so blocks of any length cross window boundaries freely.
// The one step that would look back, the data scan restarting at the header
// end when the begin line of section 1 is not found, is run as a second
// data scan alongside the begin-line search whenever that search has to wait
// for more text. Blocks are registered strictly in the order of their
// "section" occurrences, exactly as a scan of the whole text in one piece.
// Blocks whose header searches or data scans run over the same text share
// one walk of it (see block_scan.h), and an occurrence that will end exactly
// as the open block before it is counted on that block's entry, so that a
// long line full of "section" words is read a bounded number of times and
// the scan stays linear in the text's length whatever its line lengths.
// Overlapping blocks are rare; when more than kMaxOpenBlocks are open at
// once, the search pauses, the open blocks run to their end, and the source
// is re-read from the paused position (slower, but memory stays bounded).
// A file is first scanned in detect mode (DetectUue over the whole text,
// which usually ends in the first window) and, when that finds a block,
// scanned again from its start, reusing the first window when it is still
// held. The byte loops (the "section" search with the plain-text test, and
// runs of data lines) are the vector kernels of scan_kernels.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexil/storage/scan_types.h"

namespace vexil {

// True when at least one block of the text is accepted. Occurrences of
// "section" directly followed by a character above code 32 are passed over.
// A plain block (plain_blocks.h) counts too.
bool DetectUue(const unsigned char* text, size_t length);

// Judges the block whose header begins at `position`; the text ends at
// `length` or at its first NUL byte after `position`.
std::optional<SectionBlock> ScanBlock(const unsigned char* text, size_t length, size_t position);

// Where the bytes of the text come from, front to back.
class TextSource {
public:
    virtual ~TextSource() = default;
    // Reads up to `wanted` bytes; 0 at the end of the text.
    virtual size_t Read(unsigned char* buffer, size_t wanted) = 0;
    // Starts over so that the next Read delivers the byte at `position`.
    virtual void Restart(uint64_t position) = 0;
};

// Receives the accepted blocks in the order of their occurrences.
class BlockSink {
public:
    virtual ~BlockSink() = default;
    virtual void Accept(const SectionBlock& block) = 0;
};

class BlockScan;
class ScanMemo;

// The whole-text scan over a TextSource, in windows of a fixed buffer.
class TextScan {
public:
    static constexpr size_t kWindow = 1 << 18;      // bytes read at a time
    static constexpr size_t kMaxCarry = 1 << 12;    // bytes kept across windows
    static constexpr size_t kMaxOpenBlocks = 256;   // open or waiting blocks

    // `bufferSize` (at least 1024) bounds the window; tests use small ones.
    explicit TextScan(TextSource& source, size_t bufferSize = kWindow + kMaxCarry);
    ~TextScan();
    TextScan(const TextScan&) = delete;
    TextScan& operator=(const TextScan&) = delete;

    // DetectUue over the whole text (stops at the first accepted block).
    bool Detect();
    // ScanBlock at every "section" of the whole text; accepted blocks go to
    // `sink` in order. Also decides PlainText().
    void ScanAll(BlockSink& sink);
    // True when no byte below 32 other than CR and LF was met by ScanAll.
    bool PlainText() const { return plainText_; }
    // Number of times the source had to be re-read (for tests).
    int Restarts() const { return restarts_; }

private:
    struct Entry;
    bool Run(bool detect, BlockSink* sink);
    void Fill(uint64_t keepFrom);
    bool Flush(bool detect, BlockSink* sink);
    void RunOpen(const TextWindow& w);

    TextSource& source_;
    std::vector<unsigned char> buffer_;
    uint64_t base_ = 0;    // absolute position of buffer_[0]
    size_t size_ = 0;      // bytes held
    bool atEnd_ = false;   // the source has delivered its last byte
    bool plainText_ = true;
    int restarts_ = 0;
    std::deque<Entry*> open_;
    std::unique_ptr<ScanMemo> memo_;  // walks the open blocks share
};

}  // namespace vexil
