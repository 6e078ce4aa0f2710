#include "vexil/storage/uue_scanner.h"

#include <algorithm>
#include <cstring>

#include "vexil/storage/block_scan.h"
#include "vexil/storage/plain_blocks.h"
#include "vexil/storage/scan_kernels.h"
#include "vexil/storage/text_classes.h"

namespace vexil {

using namespace text;

namespace {

class MemorySource : public TextSource {
public:
    MemorySource(const unsigned char* text, size_t length) : text_(text), length_(length) {}
    size_t Read(unsigned char* buffer, size_t wanted) override {
        const size_t n = std::min(wanted, length_ - pos_);
        std::memcpy(buffer, text_ + pos_, n);
        pos_ += n;
        return n;
    }
    void Restart(uint64_t position) override { pos_ = static_cast<size_t>(std::min<uint64_t>(position, length_)); }

private:
    const unsigned char* text_;
    size_t length_;
    size_t pos_ = 0;
};

}  // namespace

struct TextScan::Entry {
    explicit Entry(const BlockScan& s) : scan(s) {}
    BlockScan scan;
    bool done = false;
    bool accepted = false;
    uint64_t repeats = 0;  // later occurrences that end exactly as this one: reported as often again
};

bool DetectUue(const unsigned char* text, size_t length) {
    if (text == nullptr || length == 0) return false;
    MemorySource source(text, length);
    TextScan scan(source);
    // Plain "begin ... end" blocks (no section header) are detected apart: plain_blocks.h.
    return scan.Detect() || DetectPlainBlock(text, length);
}

std::optional<SectionBlock> ScanBlock(const unsigned char* text, size_t length, size_t position) {
    if (text == nullptr || position >= length) return std::nullopt;
    BlockScan scan(position);
    const TextWindow w{text, 0, length, true};
    if (scan.Run(w) != BlockScan::kAccepted) return std::nullopt;
    return scan.Result();
}

TextScan::TextScan(TextSource& source, size_t bufferSize)
    : source_(source), buffer_(std::max<size_t>(bufferSize, 1024)), memo_(std::make_unique<ScanMemo>()) {}

TextScan::~TextScan() {
    for (Entry* e : open_) delete e;
}

bool TextScan::Detect() { return Run(true, nullptr); }

void TextScan::ScanAll(BlockSink& sink) {
    plainText_ = true;
    Run(false, &sink);
}

// Keeps the bytes from keepFrom on and reads once more from the source.
void TextScan::Fill(uint64_t keepFrom) {
    const uint64_t end = base_ + size_;
    keepFrom = std::clamp(keepFrom, base_, end);
    const size_t carryCap = std::min(kMaxCarry, buffer_.size() / 2);
    if (end - keepFrom > carryCap) keepFrom = end - carryCap;  // cannot happen: look-aheads are bounded
    const size_t keep = static_cast<size_t>(end - keepFrom);
    std::memmove(buffer_.data(), buffer_.data() + (keepFrom - base_), keep);
    base_ = keepFrom;
    size_ = keep;
    if (atEnd_) return;
    const size_t got = source_.Read(buffer_.data() + size_, buffer_.size() - size_);
    if (got == 0) atEnd_ = true;
    size_ += got;
}

// Hands over the finished blocks at the front of the queue; in detect mode
// true as soon as any block was accepted.
bool TextScan::Flush(bool detect, BlockSink* sink) {
    for (auto it = open_.begin(); it != open_.end();) {
        if ((*it)->done && !(*it)->accepted) {
            delete *it;
            it = open_.erase(it);
        } else {
            if (detect && (*it)->accepted) return true;
            ++it;
        }
    }
    while (!open_.empty() && open_.front()->done) {
        Entry* e = open_.front();
        open_.pop_front();
        if (sink != nullptr) {
            const SectionBlock block = e->scan.Result();
            for (uint64_t n = 0; n <= e->repeats; ++n) sink->Accept(block);
        }
        delete e;
    }
    return false;
}

// Runs the open blocks over the window. A block that waits for another's walk
// is run again as soon as that walk has ended, while its bytes are still held.
void TextScan::RunOpen(const TextWindow& w) {
    for (bool again = true; again;) {
        again = false;
        for (Entry* e : open_) {
            if (e->done) continue;
            const BlockScan::Status st = e->scan.Run(w, memo_.get());
            if (st != BlockScan::kOpen) {
                e->done = true;
                e->accepted = st == BlockScan::kAccepted;
                again = true;  // its walks have ended: blocks before it may go on
            }
        }
        if (again) {
            again = false;
            for (Entry* e : open_) again = again || (!e->done && e->scan.Ready());
        }
    }
}

bool TextScan::Run(bool detect, BlockSink* sink) {
    for (Entry* e : open_) delete e;
    open_.clear();
    memo_->Clear();
    if (base_ != 0) {  // the start of the text is no longer held: read it again
        source_.Restart(0);
        base_ = 0;
        size_ = 0;
        atEnd_ = false;
    }
    if (size_ == 0 && !atEnd_) Fill(0);

    const ScanKernels& kernels = Kernels();
    uint64_t searchPos = 0;
    bool paused = false;
    uint64_t pausedAt = 0;
    for (;;) {
        const TextWindow w{buffer_.data(), base_, base_ + size_, atEnd_};

        RunOpen(w);
        if (Flush(detect, sink)) return true;

        if (!paused) {
            const uint64_t limit = w.last ? w.end : (w.end >= 7 ? w.end - 7 : 0);
            uint64_t p = std::max(searchPos, w.base);
            while (p < limit) {
                bool control = false;
                // The block before still looks for its number well past p: every
                // "section" up to where that search stands ends as it does.
                uint64_t lo = 0, hi = 0;
                if (!open_.empty() && !open_.back()->done && open_.back()->scan.NumberSearchSpan(lo, hi) &&
                    p + 8 >= lo && hi > p + 64) {
                    const uint64_t to = std::min({hi - 7, limit, w.end - 7});
                    open_.back()->repeats += kernels.countSections(w, p, to, detect, !detect, control);
                    if (control) plainText_ = false;
                    p = to;
                    continue;
                }
                p = detect ? kernels.findSection(w, p, limit) : kernels.findSectionPlain(w, p, limit, control);
                if (control) plainText_ = false;
                if (p == kNoPosition) {
                    p = limit;
                    break;
                }
                const uint64_t after = p + 7;
                const bool inside = after < w.end;
                const unsigned char c = inside ? w.data[after - w.base] : 0;
                // Only "section" as a whole token can start a block; DetectUue
                // also passes over an occurrence followed by a character above 32.
                if ((inside && c != 0 && !IsDelimiter(c)) || (detect && inside && c > 32)) {
                    ++p;
                    continue;
                }
                // On a line of "section" words the block before is usually
                // still looking for its number past this one: this occurrence
                // ends exactly as that block does.
                if (inside && c != 0 && !open_.empty() && !open_.back()->done &&
                    open_.back()->scan.NumberSearchPassed(w, after + 1)) {
                    ++open_.back()->repeats;
                    ++p;
                    continue;
                }
                if (open_.size() >= kMaxOpenBlocks) {
                    paused = true;
                    pausedAt = p;
                    break;
                }
                BlockScan scan(p);
                const BlockScan::Status st = scan.Run(w, memo_.get());
                if (st == BlockScan::kOpen) {
                    // Many occurrences on one line wait for the same walk in the
                    // same state: one entry stands for all of them.
                    if (!open_.empty() && !open_.back()->done && scan.SameFuture(open_.back()->scan)) {
                        ++open_.back()->repeats;
                    } else {
                        open_.push_back(new Entry(scan));
                    }
                } else if (st == BlockScan::kAccepted) {
                    if (detect) return true;
                    if (open_.empty()) {
                        sink->Accept(scan.Result());
                    } else {
                        auto* e = new Entry(scan);
                        e->done = e->accepted = true;
                        open_.push_back(e);
                    }
                }
                ++p;
            }
            if (!paused) searchPos = std::max(p, limit);
            // New blocks may have ended walks that older ones wait for.
            RunOpen(w);
            if (Flush(detect, sink)) return true;
        }

        if (paused && open_.empty()) {
            // Every block begun before the pause is registered: read the text
            // again from the paused occurrence on.
            ++restarts_;
            memo_->Clear();
            source_.Restart(pausedAt);
            base_ = pausedAt;
            size_ = 0;
            atEnd_ = false;
            paused = false;
            searchPos = pausedAt;
            Fill(pausedAt);
            continue;
        }
        if (w.last) return false;

        uint64_t keepFrom = paused ? w.end : searchPos;
        for (Entry* e : open_) {
            if (!e->done) keepFrom = std::min(keepFrom, e->scan.NeedFrom());
        }
        Fill(keepFrom);
    }
}

}  // namespace vexil
