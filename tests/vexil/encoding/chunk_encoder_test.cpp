#include "vexil/encoding/chunk_encoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/vexil/encoding/encode_test_util.h"
#include "support/temp_dir.h"
#include "vexil/frame/alphabets.h"

namespace vexil {
namespace {

using encode_test::RandomBytes;

std::string Lines(const std::string& bytes, int type) {
    EncodedLines lines;
    EncodeChunk(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), type, lines);
    return std::string(lines.All());
}

// The data lines written out the slow way, bit by bit.
std::string ReferenceLines(const std::string& bytes, int type) {
    std::string text;
    for (size_t start = 0; start < bytes.size(); start += 45) {
        const size_t n = std::min<size_t>(45, bytes.size() - start);
        text += static_cast<char>(AlphabetChar(static_cast<unsigned>(n), type));
        const size_t chars = (8 * n + 5) / 6;
        for (size_t c = 0; c < chars; ++c) {
            unsigned value = 0;
            for (size_t bit = 6 * c; bit < 6 * c + 6; ++bit) {
                const size_t byte = start + bit / 8;
                const unsigned b = byte < start + n ? static_cast<unsigned char>(bytes[byte]) : 0;
                value = (value << 1) | ((b >> (7 - bit % 8)) & 1);
            }
            text += static_cast<char>(AlphabetChar(value, type));
        }
        if (chars < 60) text += static_cast<char>(AlphabetChar(0, type));
        text += "\r\n";
    }
    return text;
}

TEST(ChunkEncoder, OneByteGivesLengthTwoCharactersAndFiller) {
    BuildAlphabets();
    EXPECT_EQ(Lines("A", 0), "\x21\x30\x30\x60\r\n");
}

TEST(ChunkEncoder, MatchesBitwiseReferenceForEverySizeClass) {
    BuildAlphabets();
    for (int type : {0, 1}) {
        for (size_t n : {0, 1, 2, 3, 4, 44, 45, 46, 47, 89, 90, 91, 135, 1000, 4095, 65490, 65535, 65536}) {
            const std::string bytes = RandomBytes(n, static_cast<unsigned>(n + 17 * type));
            EXPECT_EQ(Lines(bytes, type), ReferenceLines(bytes, type)) << "type " << type << ", " << n << " bytes";
        }
    }
}

TEST(ChunkEncoder, ExtremeByteValuesUseWholeAlphabetRange) {
    BuildAlphabets();
    EXPECT_EQ(Lines(std::string(3, '\xFF'), 0), "#____`\r\n");
    EXPECT_EQ(Lines(std::string(3, '\0'), 0), "#`````\r\n");
    EXPECT_EQ(Lines(std::string(3, '\xFF'), 1), "1zzzz+\r\n");
}

TEST(ChunkEncoder, FullChunkEndsWithSixteenByteLine) {
    BuildAlphabets();
    EncodedLines lines;
    const std::string bytes = RandomBytes(65536);
    EncodeChunk(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, lines);
    ASSERT_EQ(lines.Count(), 1457u);
    EXPECT_EQ(lines.Line(0).size(), 61u);
    EXPECT_EQ(lines.Line(0)[0], 'M');
    const std::string_view last = lines.Line(1456);
    EXPECT_EQ(last.size(), 1u + 22 + 1);
    EXPECT_EQ(last.front(), static_cast<char>(32 + 16));
    EXPECT_EQ(last.back(), '`');
}

TEST(ChunkEncoder, MultipleOfFortyFiveEndsWithFullLineWithoutFiller) {
    BuildAlphabets();
    EncodedLines lines;
    const std::string bytes = RandomBytes(90);
    EncodeChunk(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, lines);
    ASSERT_EQ(lines.Count(), 2u);
    EXPECT_EQ(lines.Line(1).size(), 61u);
    EXPECT_EQ(lines.Run(0, 2), lines.All());
    EXPECT_EQ(lines.Run(1, 2).size(), 63u);
}

TEST(ChunkEncoder, EncodeGroupsPadsTheLastGroupWithZeroBytes) {
    BuildAlphabets();
    const unsigned char bytes[] = {0x41, 0x42};
    char out[4];
    EncodeGroups(bytes, 2, 0, out);
    // 0x41 0x42 0x00 -> 16, 20, 8, 0
    EXPECT_EQ(std::string(out, 4), "04(`");
}

TEST(ChunkEncoder, LastGroupNeverReadsPastTheData) {
    // The data sits at the very end of an allocation of its own size (a read
    // past it is caught by the sanitizer build), and again followed by 0xFF
    // bytes, which would show in the last characters if they were read.
    BuildAlphabets();
    std::vector<size_t> sizes;
    for (size_t n = 1; n <= 140; ++n) sizes.push_back(n);
    for (size_t n : {1000, 4094, 4095, 65489, 65490, 65491, 65534, 65535, 65536}) sizes.push_back(n);
    for (size_t n : sizes) {
        SCOPED_TRACE(n);
        const std::string bytes = RandomBytes(n, static_cast<unsigned>(n) + 7);
        const std::string expected = ReferenceLines(bytes, 0);
        std::unique_ptr<unsigned char[]> exact(new unsigned char[n]);
        std::memcpy(exact.get(), bytes.data(), n);
        std::vector<unsigned char> padded(n + 64, 0xFF);
        std::memcpy(padded.data(), bytes.data(), n);
        for (const unsigned char* data : {static_cast<const unsigned char*>(exact.get()),
                                          static_cast<const unsigned char*>(padded.data())}) {
            EncodedLines lines;
            EncodeChunk(data, n, 0, lines);
            ASSERT_EQ(std::string(lines.All()), expected);
            // The groups alone: the missing bytes of the last group count as zero.
            std::string groups(4 * ((n + 2) / 3), '?');
            EncodeGroups(data, n, 0, groups.data());
            const std::string tail = bytes.substr(n - (n % 3 ? n % 3 : 3)) + std::string(n % 3 ? 3 - n % 3 : 0, '\0');
            char last[4];
            EncodeGroups(reinterpret_cast<const unsigned char*>(tail.data()), 3, 0, last);
            ASSERT_EQ(groups.substr(groups.size() - 4), std::string(last, 4));
        }
    }
}

TEST(ChunkEncoder, UnknownEncodingTypeWritesCharacter255) {
    BuildAlphabets();
    EXPECT_EQ(Lines("A", 2), "\xFF\xFF\xFF\xFF\r\n");
}

}  // namespace
}  // namespace vexil
