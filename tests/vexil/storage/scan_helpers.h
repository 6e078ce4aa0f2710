// Helpers shared by the scanner tests: running the windowed scan over a text
// held in memory, and the plain single-piece scan it must agree with.
#pragma once

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "vexil/frame/alphabets.h"
#include "vexil/storage/uue_scanner.h"

namespace scantest {

inline const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// Delivers the text in pieces of at most `piece` bytes.
class PieceSource : public vexil::TextSource {
public:
    PieceSource(const std::string& text, size_t piece) : text_(text), piece_(piece) {}
    size_t Read(unsigned char* buffer, size_t wanted) override {
        const size_t n = std::min({wanted, piece_, text_.size() - pos_});
        std::memcpy(buffer, text_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    void Restart(uint64_t position) override { pos_ = static_cast<size_t>(position); }

private:
    const std::string& text_;
    size_t piece_;
    size_t pos_ = 0;
};

struct Found {
    int number, total;
    std::string name;
    long long dataChars;
    bool operator==(const Found&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Found& f) {
    return o << "{" << f.number << "/" << f.total << " " << f.name << " " << f.dataChars << "}";
}

class CollectSink : public vexil::BlockSink {
public:
    void Accept(const vexil::SectionBlock& b) override { found.push_back({b.number, b.total, b.name, b.dataChars}); }
    std::vector<Found> found;
};

struct ScanOutcome {
    bool detected = false;
    std::vector<Found> found;
    bool plainText = true;
    int restarts = 0;
};

// The windowed scan as ScanSourceFile runs it.
inline ScanOutcome WindowedScan(const std::string& text, size_t bufferSize = vexil::TextScan::kWindow + vexil::TextScan::kMaxCarry,
                                size_t piece = ~size_t{0}) {
    PieceSource source(text, piece);
    vexil::TextScan scan(source, bufferSize);
    ScanOutcome out;
    out.detected = scan.Detect();
    if (out.detected) {
        CollectSink sink;
        scan.ScanAll(sink);
        out.found = sink.found;
        out.plainText = scan.PlainText();
    }
    out.restarts = scan.Restarts();
    return out;
}

// ScanBlock at 0 and at every "section" after it over the text in one piece.
inline std::vector<Found> WholeTextScan(const std::string& text) {
    std::vector<Found> found;
    if (!vexil::DetectUue(Bytes(text), text.size())) return found;
    for (size_t p = 0; p < text.size(); ++p) {
        if (p > 0) {
            size_t q = p;
            while (q + 7 <= text.size()) {
                bool match = true;
                for (size_t i = 0; i < 7 && match; ++i) match = (text[q + i] | 0x20) == "section"[i];
                if (match) break;
                ++q;
            }
            if (q + 7 > text.size()) break;
            p = q;
        }
        if (auto b = vexil::ScanBlock(Bytes(text), text.size(), p)) found.push_back({b->number, b->total, b->name, b->dataChars});
    }
    return found;
}

}  // namespace scantest
