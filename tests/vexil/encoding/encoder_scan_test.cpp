// Every encoder output read back by the storage scanner: one complete file
// per source, with the data characters the written lines carry and the size
// the panel lists from them.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/vexil/encoding/encode_test_util.h"
#include "support/temp_dir.h"
#include "vexil/encoding/encoder.h"
#include "vexil/storage/scan_source_file.h"
#include "vexil/storage/storage.h"

namespace vexil {
namespace {

using encode_test::EncodeHost;
using encode_test::RandomBytes;
using encode_test::WriteFile;

// Characters after the length character of every data line (the cut final
// group and the filler of a short line included), then "end", which the
// scanner counts as a data line of 2; the zero-length line adds nothing.
int64_t WrittenDataChars(uint64_t size) {
    int64_t chars = 0;
    for (uint64_t done = 0; done < size;) {
        const uint64_t chunk = std::min<uint64_t>(65536, size - done);
        for (uint64_t at = 0; at < chunk; at += 45) {
            const uint64_t b = std::min<uint64_t>(45, chunk - at);
            chars += static_cast<int64_t>((8 * b + 5) / 6 + (b < 45 ? 1 : 0));
        }
        done += chunk;
    }
    return chars + 2;
}

class EncoderScanTest : public ::testing::Test {
protected:
    // Encodes `size` bytes and scans every file the encoder wrote.
    const EncodedFile* EncodeAndScan(const std::string& name, uint64_t size, const std::vector<std::string>& outputs) {
        WriteFile(dir.File(name), RandomBytes(size, static_cast<unsigned>(size)));
        EncodeJobState job;
        EXPECT_TRUE(EncodeFile(dir.File(name), dir.Path(), settings, job));
        for (const std::string& output : outputs) ScanSourceFile(storage, dir.File(output));
        return storage.FindFile(name);
    }
    static int64_t Chars(const EncodedFile& file) {
        int64_t chars = 0;
        for (int32_t i = 0; i < file.sections.Count(); ++i) chars += file.sections.At(i)->dataChars;
        return chars;
    }

    EncodeHost host;
    test::TempDir dir;
    EncodeSettings settings;
    Storage storage;
};

TEST_F(EncoderScanTest, SingleSectionOutputsInBothAlphabets) {
    for (int type : {0, 1}) {
        settings.EncodingType = type;
        for (uint64_t size : {100u, 1027u, 65536u, 65537u, 200000u}) {
            const std::string name = "f" + std::to_string(size) + "_" + std::to_string(type) + ".bin";
            const std::string output = "f" + std::to_string(size) + "_" + std::to_string(type) + ".uue";
            const EncodedFile* file = EncodeAndScan(name, size, {output});
            ASSERT_NE(file, nullptr) << name;
            EXPECT_EQ(file->totalSections, 1);
            EXPECT_EQ(file->sections.Count(), 1);
            EXPECT_EQ(Chars(*file), WrittenDataChars(size)) << name;
            // The panel's size: data characters * 6 / 8 - 2, within a byte per chunk of the source.
            const int64_t listed = Chars(*file) * 6 / 8 - 2;
            EXPECT_LE(std::llabs(listed - static_cast<int64_t>(size)), static_cast<int64_t>(size / 65536 + 1)) << name;
        }
    }
    EXPECT_EQ(Chars(*storage.FindFile("f1027_0.bin")) * 6 / 8 - 2, 1027);
}

TEST_F(EncoderScanTest, SectionFilesMakeOneCompleteFile) {
    settings.SplitOutput = 1;
    const EncodedFile* file = EncodeAndScan("split.bin", 45 * 250, {"split_1.uue", "split_2.uue", "split_3.uue"});
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->totalSections, 3);
    EXPECT_EQ(file->sections.Count(), 3);
    EXPECT_EQ(Chars(*file), WrittenDataChars(45 * 250));
}

TEST_F(EncoderScanTest, SectionsInOneStorageMakeOneCompleteFile) {
    settings.SplitOutput = 1;
    settings.EnableSingleStorage = 1;
    settings.LinesPerSection = 40;
    const EncodedFile* file = EncodeAndScan("one.bin", 45 * 200, {"one.uue"});
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->totalSections, 6);  // 36 + 40 * 4 lines, then 4
    EXPECT_EQ(file->sections.Count(), 6);
    EXPECT_EQ(Chars(*file), WrittenDataChars(45 * 200));
}

TEST_F(EncoderScanTest, SmallFilesReadBackComplete) {
    // One data line or none: the block follows its begin line and ends in the trailer.
    for (int type : {0, 1}) {
        settings.EncodingType = type;
        for (uint64_t size : {0u, 1u, 44u, 45u, 46u, 90u, 91u, 135u}) {
            const std::string name = "s" + std::to_string(size) + "_" + std::to_string(type) + ".bin";
            const EncodedFile* file = EncodeAndScan(name, size, {"s" + std::to_string(size) + "_" + std::to_string(type) + ".uue"});
            ASSERT_NE(file, nullptr) << name;
            EXPECT_EQ(file->totalSections, 1);
            EXPECT_EQ(file->sections.Count(), 1);
            EXPECT_EQ(Chars(*file), WrittenDataChars(size)) << name;
        }
    }
}

TEST_F(EncoderScanTest, ALastSectionOfOneLineCompletesTheFile) {
    // 36 lines in the first section (the table and the begin line count 4),
    // 40 in the second, 1 in the third.
    settings.SplitOutput = 1;
    settings.LinesPerSection = 40;
    for (int single : {1, 0}) {
        settings.EnableSingleStorage = single;
        for (int type : {0, 1}) {
            settings.EncodingType = type;
            const std::string stem = "last" + std::to_string(single) + std::to_string(type);
            const std::vector<std::string> outputs =
                single ? std::vector<std::string>{stem + ".uue"}
                       : std::vector<std::string>{stem + "_1.uue", stem + "_2.uue", stem + "_3.uue"};
            const EncodedFile* file = EncodeAndScan(stem + ".bin", 45 * 77, outputs);
            ASSERT_NE(file, nullptr) << stem;
            EXPECT_EQ(file->totalSections, 3) << stem;
            EXPECT_EQ(file->sections.Count(), 3) << stem;
            EXPECT_EQ(Chars(*file), WrittenDataChars(45 * 77)) << stem;
        }
    }
}

}  // namespace
}  // namespace vexil
