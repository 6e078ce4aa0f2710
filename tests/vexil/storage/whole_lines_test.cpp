// The whole-line kernels agree with the general line decoder on every line,
// sound or damaged at any position, and the vector ones with the portable ones.
#include "vexil/storage/whole_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "vexil/decoding/line_decoder.h"
#include "vexil/frame/alphabets.h"

namespace vexil {
namespace {

// A whole line of random UU characters (space and '`' among them), then a
// line end and slack for the kernels' reach.
std::string RandomWholeLine(std::mt19937& random) {
    std::string line = "M";
    for (size_t i = 0; i < kWholeLineChars; ++i) line += static_cast<char>(0x20 + random() % 65);
    return line;
}

TEST(WholeLines, AgreeWithTheGeneralDecoderOnSoundAndDamagedLines) {
    BuildAlphabets();
    const DecodeTables tables = MakeDecodeTables(CodeAlphabets());
    std::vector<const WholeLineKernels*> kernels = {&PortableWholeLines()};
    if (VectorWholeLines() != nullptr) kernels.push_back(VectorWholeLines());
    std::mt19937 random(7);
    // Characters just outside the alphabet, and far from it.
    const unsigned char damage[] = {0x1F, 0x61, 0x00, 0x7F, 0x80, 0xFF, 'a', '\t'};
    for (int round = 0; round < 200; ++round) {
        std::string line = RandomWholeLine(random);
        if (line.back() == ' ') line.back() = '!';  // a last blank is the general road's case
        std::vector<std::pair<std::string, bool>> lines = {{line, true}};
        for (size_t at = 1; at <= kWholeLineChars; ++at) {
            std::string bad = line;
            bad[at] = static_cast<char>(damage[(round + at) % sizeof damage]);
            lines.emplace_back(bad, false);
        }
        for (const auto& [text, sound] : lines) {
            const std::string padded = text + "\r\n" + std::string(8, 'M');  // what lies beyond the line
            const auto* p = reinterpret_cast<const unsigned char*>(padded.data());
            unsigned char expected[kMaxLineBytes];
            size_t n = 0;
            const LineKind kind = DecodeLine(CodeAlphabets(), tables, p, text.size(), expected, &n);
            ASSERT_EQ(kind == LineKind::kData, sound) << text;
            for (const WholeLineKernels* k : kernels) {
                SCOPED_TRACE(k == &PortableWholeLines() ? "portable" : "vector");
                ASSERT_EQ(k->check(p), sound) << text;
                if (!sound) continue;
                unsigned char got[64] = {};
                k->decode(p, got);
                ASSERT_EQ(n, 45u);
                EXPECT_EQ(std::string(reinterpret_cast<char*>(got), 45), std::string(reinterpret_cast<char*>(expected), 45))
                    << text;
            }
        }
    }
}

}  // namespace
}  // namespace vexil
