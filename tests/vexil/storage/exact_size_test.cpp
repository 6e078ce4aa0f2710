// The data places and exact sizes the scanner records: the same whether the
// text is scanned in one piece or in small windows and reads (so the vector
// line loop and the general one agree), for both alphabets and every kernel.
#include <gtest/gtest.h>

#include "support/uu_writer.h"
#include "tests/vexil/storage/scan_helpers.h"
#include "vexil/storage/block_scan.h"
#include "vexil/storage/scan_kernels.h"

namespace {

struct Place {
    int number;
    long long bytes;
    unsigned long long begin, end;
    bool ended;
    bool operator==(const Place&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Place& p) {
    return o << p.number << ": " << p.bytes << " bytes [" << p.begin << ", " << p.end << ")" << (p.ended ? " end" : "");
}

class PlaceSink : public vexil::BlockSink {
public:
    void Accept(const vexil::SectionBlock& b) override {
        found.push_back({b.number, b.dataBytes, b.dataBegin, b.dataEnd, b.ended});
    }
    std::vector<Place> found;
};

std::vector<Place> Windowed(const std::string& text, size_t buffer, size_t piece) {
    scantest::PieceSource source(text, piece);
    vexil::TextScan scan(source, buffer);
    PlaceSink sink;
    if (scan.Detect()) scan.ScanAll(sink);
    return sink.found;
}

TEST(ExactSize, SameInAnyWindowAndFromEveryKernel) {
    vexil::BuildAlphabets();
    for (int type : {0, 1}) {
        testenc::UuOptions options;
        options.type = type;
        options.linesPerSection = 700;
        const std::string data = testenc::RandomBytes(70000, 3);
        const std::string text = "intro\r\n" + testenc::UuEncode("f.bin", data, options);
        const std::vector<Place> whole = Windowed(text, vexil::TextScan::kWindow + vexil::TextScan::kMaxCarry, ~size_t{0});
        ASSERT_EQ(whole.size(), 3u) << type;
        long long bytes = 0;
        for (const Place& p : whole) bytes += p.bytes;
        EXPECT_EQ(bytes, 70000) << type;
        EXPECT_FALSE(whole[0].ended);
        EXPECT_TRUE(whole[2].ended);
        for (const vexil::ScanKernels* k : {&vexil::BaselineKernels(), vexil::Avx2Kernels()}) {
            if (k == nullptr) continue;
            vexil::UseKernels(k);
            EXPECT_EQ(Windowed(text, vexil::TextScan::kWindow + vexil::TextScan::kMaxCarry, ~size_t{0}), whole);
            EXPECT_EQ(Windowed(text, 1024, 100), whole) << type;
            EXPECT_EQ(Windowed(text, 3000, 7), whole) << type;
        }
        vexil::UseKernels(nullptr);
    }
}

}  // namespace
