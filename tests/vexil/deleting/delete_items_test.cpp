// Deleting items from a storage: the text loses exactly the items' blocks and
// keeps every other byte; what is left lists and extracts as before; a
// failure at any step or a change by another program leaves the text as it was.
#include "vexil/deleting/delete_items.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "support/faulty_os.h"
#include "support/temp_dir.h"
#include "tests/vexil/encoding/encode_test_util.h"
#include "vexil/decoding/extract.h"
#include "vexil/encoding/encoder.h"
#include "vexil/storage/scan_source_file.h"
#include "vexil/storage/storage_panel.h"

namespace vexil {
namespace {

namespace fs = std::filesystem;
using encode_test::EncodeHost;
using encode_test::RandomBytes;
using encode_test::ReadFile;
using encode_test::WriteFile;
using testing_support::FaultyOs;

std::string ToLf(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

class DeleteTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(dir.File("work"));
        fs::create_directory(dir.File("out"));
    }
    // The section blocks the encoder writes for `bytes` as `name` in
    // `sections` sections: each from its "section" line through its last line
    // and the blank line after it.
    std::vector<std::string> SectionBlocks(const std::string& name, const std::string& bytes, int sections) {
        originals[name] = bytes;
        WriteFile(dir.File("work/" + name), bytes);
        EncodeSettings settings;
        settings.SplitOutput = sections > 1 ? 1 : 0;
        settings.EnableSingleStorage = 1;
        settings.LinesPerSection = 10;
        EncodeJobState job;
        const std::string target = dir.File("work/" + name + ".uue");
        EXPECT_TRUE(EncodeFileInto(dir.File("work/" + name), target, settings, job));
        const std::string text = ReadFile(target);
        std::vector<std::string> blocks;
        for (size_t at = text.find("section "); at != std::string::npos;) {
            const size_t next = text.find("\r\nsection ", at);
            // The encoder's separator: a blank line, then the next header after one more line end.
            std::string block = text.substr(at, next == std::string::npos ? std::string::npos : next - at);
            if (next != std::string::npos) block.resize(block.size() - 2);
            if (block.size() < 4 || block.compare(block.size() - 4, 4, "\r\n\r\n") != 0) block += "\r\n";
            blocks.push_back(block);
            at = next == std::string::npos ? next : next + 2;
        }
        EXPECT_EQ(blocks.size(), static_cast<size_t>(sections)) << name;
        return blocks;
    }
    std::string PlainBlock(const std::string& name, const std::string& bytes) {
        // One section with the encoder, its header lines dropped: a plain begin ... end block.
        std::string block = SectionBlocks(name, bytes, 1)[0];
        block = block.substr(block.find("begin 644"));
        return block.substr(0, block.size() - 2);  // no separator after a plain block
    }

    void Scan(const std::string& path) {
        storage = std::make_unique<Storage>();
        ScanSourceFile(*storage, path);
    }
    std::vector<std::string> Names() {
        host::PanelItem* items = nullptr;
        int n = 0;
        ListStorage(*storage, &items, &n);
        listed.assign(items, items + n);
        std::vector<std::string> names;
        for (const host::PanelItem& item : listed) names.emplace_back(item.findData.fileName);
        std::sort(names.begin(), names.end());
        return names;
    }
    int Delete(const std::vector<std::string>& names, int opMode = kOpSilent) {
        Names();
        std::vector<host::PanelItem> items;
        for (const host::PanelItem& item : listed) {
            if (std::find(names.begin(), names.end(), item.findData.fileName) == names.end()) continue;
            items.push_back(item);
            items.back().flags |= host::kItemSelected;
        }
        EXPECT_EQ(items.size(), names.size());
        return DeleteItems(*storage, items.data(), static_cast<int>(items.size()), opMode);
    }
    // Every complete file left extracts byte-exact.
    void ExpectRestExtracts() {
        Names();
        std::vector<host::PanelItem> items = listed;
        for (host::PanelItem& item : items) item.flags |= host::kItemSelected;
        char dest[host::kMaxPath] = {};
        std::snprintf(dest, sizeof dest, "%s", dir.File("out").c_str());
        EXPECT_EQ(ExtractItems(*storage, items.data(), static_cast<int>(items.size()), false, dest, kOpSilent), 1);
        for (const host::PanelItem& item : items) {
            const std::string name = item.findData.fileName;
            EXPECT_TRUE(ReadFile(dir.File("out/" + name)) == originals[name]) << name;
            fs::remove(dir.File("out/" + name));
        }
    }
    std::vector<std::string> FolderEntries() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    EncodeHost host;
    test::TempDir dir;
    std::unique_ptr<Storage> storage;
    std::vector<host::PanelItem> listed;
    std::map<std::string, std::string> originals;
};

TEST_F(DeleteTest, EveryPositionKeepsTheTextAroundExactlyInBothLineEnds) {
    const auto a = SectionBlocks("a.bin", RandomBytes(300, 1), 1);
    const auto b = SectionBlocks("b.bin", RandomBytes(1000, 2), 3);  // spread between the others
    const auto c = SectionBlocks("c.bin", RandomBytes(50, 3), 1);
    const std::string p = PlainBlock("p.bin", RandomBytes(200, 4));
    // Text pieces around the blocks, with blank lines and odd spacing of their own.
    const std::vector<std::string> around = {"Intro \r\n\r\n", "between 1\r\n", "  \r\nbetween 2\r\n\r\n\r\n",
                                             "between 3\r\n", "  between 4\r\n", "", "tail, no line end"};
    // around[i] comes before block i, around[6] ends the text. The plain block
    // is first: a begin line shortly after a "section" line belongs to that section.
    const std::vector<std::pair<std::string, std::string>> blocks = {
        {"p.bin", p}, {"b.bin", b[0]}, {"a.bin", a[0]}, {"b.bin", b[1]}, {"c.bin", c[0]}, {"b.bin", b[2]}};
    struct Case {
        std::vector<std::string> deleted;
    };
    const Case cases[] = {{{"a.bin"}}, {{"c.bin"}}, {{"p.bin"}}, {{"b.bin"}}, {{"a.bin", "p.bin"}},
                          {{"a.bin", "b.bin", "c.bin", "p.bin"}}};
    for (bool lf : {false, true}) {
        for (const Case& test : cases) {
            std::string text, expected;
            for (size_t i = 0; i < blocks.size(); ++i) {
                text += around[i] + blocks[i].second;
                expected += around[i];
                if (std::find(test.deleted.begin(), test.deleted.end(), blocks[i].first) == test.deleted.end())
                    expected += blocks[i].second;
            }
            text += around.back();
            expected += around.back();
            if (lf) {
                text = ToLf(text);
                expected = ToLf(expected);
            }
            const std::string path = dir.Write("s.uue", text);
            Scan(path);
            ASSERT_EQ(Names(), (std::vector<std::string>{"a.bin", "b.bin", "c.bin", "p.bin"}));
            const std::string label = (lf ? "LF " : "CRLF ") + ::testing::PrintToString(test.deleted);
            EXPECT_EQ(Delete(test.deleted), 1) << label;
            EXPECT_TRUE(ReadFile(path) == expected) << label;
            const std::vector<std::string> names = Names();
            for (const std::string& name : test.deleted)
                EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << label;
            EXPECT_EQ(Names().size(), 4 - test.deleted.size()) << label;
            if (Names().size() > 0) ExpectRestExtracts();
            EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"out", "s.uue", "work"})) << label;
        }
    }
}

TEST_F(DeleteTest, TheOnlyBlockAndOneSectionOfAnIncompleteFile) {
    const auto b = SectionBlocks("b.bin", RandomBytes(1000, 2), 3);
    // The only block: the text around it stays.
    std::string path = dir.Write("one.uue", "head\r\n" + b[0].substr(0, 0) + SectionBlocks("o.bin", "xyz", 1)[0] + "foot\r\n");
    Scan(path);
    EXPECT_EQ(Delete({"o.bin"}), 1);
    EXPECT_EQ(ReadFile(path), "head\r\nfoot\r\n");
    EXPECT_TRUE(Names().empty());

    // Sections 1 and 3 of 3: deleting one section item removes just that block.
    path = dir.Write("part.uue", "x\r\n" + b[0] + "y\r\n" + b[2] + "z\r\n");
    Scan(path);
    const std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 2u) << ::testing::PrintToString(names);
    EXPECT_EQ(Delete({names[1]}), 1);
    EXPECT_TRUE(ReadFile(path) == "x\r\n" + b[0] + "y\r\nz\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{names[0]});
}

TEST_F(DeleteTest, AFailureAtAnyStepLeavesTheTextAndNoTemporaryFile) {
    const std::string a = SectionBlocks("a.bin", RandomBytes(400000, 1), 1)[0];  // several copy chunks
    const std::string c = SectionBlocks("c.bin", RandomBytes(100, 2), 1)[0];
    const std::string text = "one\r\n" + a + "two\r\n" + c + "three\r\n";
    const std::string path = dir.Write("s.uue", text);
    // Count the calls of a clean deletion, then fail each one in turn.
    int calls[FaultyOs::kCallKinds] = {};
    {
        Scan(path);
        FaultyOs counting;
        EXPECT_EQ(Delete({"c.bin"}), 1);
        for (int k = 0; k < FaultyOs::kCallKinds; ++k) calls[k] = counting.Calls(static_cast<FaultyOs::Call>(k));
        ASSERT_GE(calls[FaultyOs::kWrite], 2);
        ASSERT_EQ(calls[FaultyOs::kRename], 1);
    }
    for (FaultyOs::Call call : {FaultyOs::kOpen, FaultyOs::kRead, FaultyOs::kWrite, FaultyOs::kFlush, FaultyOs::kRename}) {
        for (int n = 1; n <= calls[call]; ++n) {
            WriteFile(path, text);
            Scan(path);
            FaultyOs faults;
            faults.Fail(call, n, -1);
            const int result = Delete({"c.bin"});
            const std::string label = std::to_string(call) + " at " + std::to_string(n);
            if (result == 1) {
                // Only a failure after the rename (the rescan's own reads) may let it succeed.
                EXPECT_TRUE(ReadFile(path) == "one\r\n" + a + "two\r\nthree\r\n") << label;
            } else {
                EXPECT_TRUE(ReadFile(path) == text) << label;
            }
            EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"out", "s.uue", "work"})) << label;
        }
    }
}

TEST_F(DeleteTest, AChangeByAnotherProgramStopsTheDeleteAndTheStorageIsReadAgain) {
    const std::string a = SectionBlocks("a.bin", RandomBytes(300, 1), 1)[0];
    const std::string c = SectionBlocks("c.bin", RandomBytes(100, 2), 1)[0];
    const std::string path = dir.Write("s.uue", a + c);
    Scan(path);
    // Another block appended after the scan: a different size.
    const std::string d = SectionBlocks("d.bin", RandomBytes(70, 3), 1)[0];
    WriteFile(path, a + c + d);
    host.messageAnswers = {0, 0};  // Delete; OK to the message
    EXPECT_EQ(Delete({"a.bin"}, 0), 0);
    EXPECT_TRUE(ReadFile(path) == a + c + d);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.bin", "c.bin", "d.bin"}));  // read again
    ASSERT_FALSE(host.messages.empty());

    // The same size, a different last-write time.
    Scan(path);
    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
    EXPECT_EQ(Delete({"a.bin"}), 0);
    EXPECT_TRUE(ReadFile(path) == a + c + d);
}

TEST_F(DeleteTest, RefusedSourcesAndTheConfirmation) {
    const std::string a = SectionBlocks("a.bin", RandomBytes(300, 1), 1)[0];
    const std::string c = SectionBlocks("c.bin", RandomBytes(100, 2), 1)[0];
    const std::string path = dir.Write("s.uue", a + c);

    // Esc at the confirmation: nothing changes. The question names the item.
    Scan(path);
    host.messageAnswers = {-1};
    EXPECT_EQ(Delete({"a.bin"}, 0), 0);
    EXPECT_TRUE(ReadFile(path) == a + c);
    ASSERT_FALSE(host.Questions().empty());
    const std::vector<std::string> lines = host.Questions().back().lines;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "a.bin"), lines.end());

    // A source that is not plain text.
    Scan(path);
    storage->sources.At(0)->plainText = 0;
    EXPECT_EQ(Delete({"a.bin"}), 0);
    EXPECT_TRUE(ReadFile(path) == a + c);

    // Blocks that overlap.
    Scan(path);
    storage->files.ForEach([](EncodedFile* f) {
        f->sections.ForEach([](Section* s) { s->blockBegin = s->blockBegin > 10 ? s->blockBegin - 10 : 0; });
    });
    EXPECT_EQ(Delete({"c.bin"}), 0);
    EXPECT_TRUE(ReadFile(path) == a + c);
}

TEST_F(DeleteTest, ModeAndSymbolicLinkTargetAreKept) {
#ifdef _WIN32
    // POSIX modes and symbolic links; Wine cannot make links at all.
    GTEST_SKIP() << "POSIX modes and links";
#endif
    const std::string a = SectionBlocks("a.bin", RandomBytes(300, 1), 1)[0];
    const std::string c = SectionBlocks("c.bin", RandomBytes(100, 2), 1)[0];
    const std::string path = dir.Write("s.uue", a + c);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(path, dir.File("link.uue"));
    Scan(dir.File("link.uue"));
    EXPECT_EQ(Delete({"a.bin"}), 1);
    EXPECT_TRUE(fs::is_symlink(dir.File("link.uue")));
    EXPECT_TRUE(ReadFile(path) == c);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(DeleteTest, MoveDeletesExactlyWhatWasExtractedWhole) {
    const std::string a = SectionBlocks("a.bin", RandomBytes(300, 1), 1)[0];
    const std::string c = SectionBlocks("c.bin", RandomBytes(100, 2), 1)[0];
    const std::string path = dir.Write("s.uue", a + c);
    fs::create_directory(dir.File("out/c.bin"));  // c.bin cannot be written there
    Scan(path);
    Names();
    std::vector<host::PanelItem> items = listed;
    char dest[host::kMaxPath] = {};
    std::snprintf(dest, sizeof dest, "%s", dir.File("out").c_str());
    host.messageAnswers = {1};  // the existing "file": Skip
    EXPECT_EQ(MoveItems(*storage, items.data(), static_cast<int>(items.size()), dest, 0), 0);
    EXPECT_TRUE(ReadFile(path) == c);
    EXPECT_TRUE(ReadFile(dir.File("out/a.bin")) == originals["a.bin"]);
    EXPECT_EQ(Names(), std::vector<std::string>{"c.bin"});
}

}  // namespace
}  // namespace vexil
