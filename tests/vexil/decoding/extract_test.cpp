// Extraction through the storage: everything the encoder writes comes back
// byte-exact under the listed name and size; failures, damaged lines,
// existing files and Esc never leave a file under the item's name.
#include "vexil/decoding/extract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "support/faulty_os.h"
#include "support/forwarding_os.h"
#include "support/temp_dir.h"
#include "tests/vexil/encoding/encode_test_util.h"
#include "vexil/encoding/encoder.h"
#include "vexil/frame/messages.h"
#include "vexil/storage/scan_source_file.h"
#include "vexil/storage/storage_panel.h"

namespace vexil {
namespace {

namespace fs = std::filesystem;
using encode_test::EncodeHost;
using encode_test::RandomBytes;
using encode_test::ReadFile;
using encode_test::WriteFile;

class ExtractTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(dir.File("src"));
        fs::create_directory(dir.File("out"));
    }
    std::string Src(const std::string& name) const { return dir.File("src") + "/" + name; }
    std::string Out(const std::string& name) const { return dir.File("out") + "/" + name; }

    // Writes `bytes` as src/name and encodes it into `target` (a folder or a file).
    void Encode(const std::string& name, const std::string& bytes, const std::string& target) {
        WriteFile(Src(name), bytes);
        EncodeJobState job;
        ASSERT_TRUE(EncodeFile(Src(name), target, settings, job)) << name;
    }
    void Scan(const std::vector<std::string>& texts) {
        storage = std::make_unique<Storage>();
        for (const std::string& text : texts) ScanSourceFile(*storage, text);
    }
    // The listing: name and size of every item.
    std::vector<std::pair<std::string, uint64_t>> Listing() {
        host::PanelItem* items = nullptr;
        int n = 0;
        ListStorage(*storage, &items, &n);
        listed.assign(items, items + n);
        std::vector<std::pair<std::string, uint64_t>> result;
        for (const host::PanelItem& item : listed)
            result.emplace_back(item.findData.fileName,
                                (static_cast<uint64_t>(item.findData.sizeHigh) << 32) | item.findData.sizeLow);
        return result;
    }
    // Extracts the named items (all listed when empty) into out/; `extracted`
    // receives the names the plugin unselected.
    int Extract(std::vector<std::string> names = {}, int opMode = 0, bool move = false) {
        Listing();
        std::vector<host::PanelItem> items;
        for (const host::PanelItem& item : listed) {
            if (names.empty() || std::find(names.begin(), names.end(), item.findData.fileName) != names.end()) {
                items.push_back(item);
                items.back().flags |= host::kItemSelected;
            }
        }
        char dest[host::kMaxPath] = {};
        std::snprintf(dest, sizeof dest, "%s", dir.File("out").c_str());
        const int result = ExtractItems(*storage, items.data(), static_cast<int>(items.size()), move, dest, opMode);
        extracted.clear();
        for (const host::PanelItem& item : items)
            if ((item.flags & host::kItemSelected) == 0) extracted.push_back(item.findData.fileName);
        return result;
    }
    std::vector<std::string> OutFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.File("out"))) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The storage text with data line `index` (0 first after the begin line)
    // replaced; with `cut`, the text ends after that line instead.
    void DamageDataLine(const std::string& text, size_t index, const std::string& replacement, bool cut = false) {
        std::string content = ReadFile(text);
        size_t at = content.find("\r\n", content.find("begin 644")) + 2;
        for (size_t i = 0; i < index; ++i) at = content.find("\r\n", at) + 2;
        const size_t end = content.find("\r\n", at);
        if (cut) {
            content.resize(end + 2);
        } else {
            content.replace(at, end - at, replacement);
        }
        WriteFile(text, content);
    }

    EncodeHost host;
    test::TempDir dir;
    EncodeSettings settings;
    std::unique_ptr<Storage> storage;
    std::vector<host::PanelItem> listed;
    std::vector<std::string> extracted;
};

TEST_F(ExtractTest, EncoderOutputsOfAnySizeRoundTripInBothAlphabets) {
    // Sizes around line and group boundaries and around the encoder's 64 KiB chunks.
    const uint64_t sizes[] = {91, 92, 94, 134, 135, 136, 1027, 65535, 65536, 65537, 200000};
    for (int type : {0, 1}) {
        settings.EncodingType = type;
        std::vector<std::string> texts;
        fs::create_directory(dir.File("text" + std::to_string(type)));
        for (uint64_t size : sizes) {
            const std::string name = "f" + std::to_string(type) + "_" + std::to_string(size) + ".bin";
            Encode(name, RandomBytes(size, static_cast<unsigned>(size + type)), dir.File("text" + std::to_string(type)));
        }
        for (const auto& entry : fs::directory_iterator(dir.File("text" + std::to_string(type))))
            texts.push_back(entry.path().string());
        Scan(texts);
        const auto listing = Listing();
        ASSERT_EQ(listing.size(), std::size(sizes)) << type << ::testing::PrintToString(listing);
        for (const auto& [name, size] : listing) EXPECT_EQ(size, fs::file_size(Src(name))) << name;  // exact sizes
        EXPECT_EQ(Extract(), 1) << type;
        for (uint64_t size : sizes) {
            const std::string name = "f" + std::to_string(type) + "_" + std::to_string(size) + ".bin";
            EXPECT_TRUE(ReadFile(Out(name)) == ReadFile(Src(name))) << name;
        }
        for (const auto& entry : fs::directory_iterator(dir.File("out"))) fs::remove(entry.path());
    }
}

TEST_F(ExtractTest, SplitAndAppendedEncodingsRoundTrip) {
    const std::string one = RandomBytes(45 * 200 + 7, 3), two = RandomBytes(45 * 250, 4), three = RandomBytes(5000, 5);
    // Sections in one storage.
    settings.SplitOutput = 1;
    settings.EnableSingleStorage = 1;
    settings.LinesPerSection = 40;
    Encode("one.bin", one, dir.Path());
    // Sections in files of their own.
    settings.EnableSingleStorage = 0;
    Encode("two.bin", two, dir.Path());
    // Appended to an existing storage (the existing-output question answered "Append").
    settings.SplitOutput = 0;
    host.messageAnswers = {2};
    Encode("three.bin", three, dir.File("one.uue"));
    std::vector<std::string> texts = {dir.File("one.uue")};
    for (int n = 1; n <= 7; ++n) texts.push_back(dir.File("two_" + std::to_string(n) + ".uue"));
    Scan(texts);
    const auto listing = Listing();
    ASSERT_EQ(listing.size(), 3u) << ::testing::PrintToString(listing);
    EXPECT_EQ(Extract(), 1);
    EXPECT_TRUE(ReadFile(Out("one.bin")) == one);
    EXPECT_TRUE(ReadFile(Out("two.bin")) == two);
    EXPECT_TRUE(ReadFile(Out("three.bin")) == three);
    EXPECT_EQ(extracted.size(), 3u);
}

TEST_F(ExtractTest, SplitsIntoSectionsOfOneToThreeLinesListAndRoundTrip) {
    // Middle sections of 1 to 3 lines carry neither the begin line nor the
    // trailer; the file still lists as complete with its size.
    settings.SplitOutput = 1;
    for (int type : {0, 1}) {
        for (int single : {1, 0}) {
            // Seven lines and a short one, and six whole lines (the trailer on its own).
            for (const auto& [lines, size] : {std::pair{1, 45 * 7 + 11}, {2, 45 * 7 + 11}, {3, 45 * 7 + 11},
                                               {1, 45 * 6}, {2, 45 * 6}, {3, 45 * 6}}) {
                SCOPED_TRACE(testing::Message() << "type " << type << " one storage " << single << " lines " << lines
                                                << " size " << size);
                settings.EncodingType = type;
                settings.EnableSingleStorage = single;
                settings.LinesPerSection = lines;
                const std::string name =
                    "s" + std::to_string(type) + std::to_string(single) + std::to_string(lines) + "_" + std::to_string(size);
                const std::string text = dir.File(name);
                fs::create_directory(text);
                const std::string bytes = RandomBytes(static_cast<size_t>(size), static_cast<unsigned>(size + lines + 10 * single + 100 * type));
                Encode(name + ".bin", bytes, text);
                std::vector<std::string> texts;
                for (const auto& entry : fs::directory_iterator(text)) texts.push_back(entry.path().string());
                if (single) {
                    ASSERT_EQ(texts.size(), 1u);
                } else {
                    ASSERT_GE(texts.size(), 3u);  // middle sections in files of their own
                }
                Scan(texts);
                ASSERT_EQ(Listing(), (std::vector<std::pair<std::string, uint64_t>>{{name + ".bin", uint64_t(size)}}));
                EXPECT_EQ(Extract(), 1);
                EXPECT_TRUE(ReadFile(Out(name + ".bin")) == bytes);
                fs::remove(Out(name + ".bin"));
            }
        }
    }
}

TEST_F(ExtractTest, TheStorageTextItselfIsNeverReplaced) {
    // A storage text named like its second item, extracted into its own folder.
    const std::string x = RandomBytes(3000, 21), y = RandomBytes(2000, 22);
    Encode("y.bin", y, dir.Path());
    host.messageAnswers = {2};  // Append
    Encode("x.bin", x, dir.File("y.uue"));
    const std::string text = ReadFile(dir.File("y.uue"));
    fs::rename(dir.File("y.uue"), Out("x.bin"));
    Scan({Out("x.bin")});
    ASSERT_EQ(Listing().size(), 2u);

    const struct {
        const char* what;
        bool yExists;  // y.bin is in out/ before, so that its question comes first
        std::vector<int> answers;
        int opMode, result;
        std::vector<std::string> files;  // in out/ afterwards
    } cases[] = {
        {"keep both", false, {0}, 0, 1, {"x (2).bin", "x.bin", "y.bin"}},
        {"skip", false, {1}, 0, 0, {"x.bin", "y.bin"}},
        {"cancel", false, {2}, 0, -1, {"x.bin", "y.bin"}},
        {"esc", false, {-1}, 0, -1, {"x.bin", "y.bin"}},
        {"overwrite all does not reach it", true, {4, 1}, 0, 0, {"x.bin", "y.bin"}},
        {"silent", false, {}, kOpSilent, 0, {"x.bin", "y.bin"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.yExists) WriteFile(Out("y.bin"), "old");
        host.messageAnswers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(Extract({}, c.opMode), c.result);
        EXPECT_EQ(OutFiles(), c.files);
        EXPECT_TRUE(ReadFile(Out("x.bin")) == text);  // the storage text as it was
        EXPECT_TRUE(ReadFile(Out("y.bin")) == y);
        if (c.result == 1) {
            EXPECT_TRUE(ReadFile(Out("x (2).bin")) == x);
        }
        for (const std::string& name : OutFiles())
            if (name != "x.bin") fs::remove(Out(name));
    }
}

TEST_F(ExtractTest, DamagedLineAsksAndNeverLeavesTheName) {
    Encode("d.bin", RandomBytes(4500, 9), dir.Path());
    DamageDataLine(dir.File("d.uue"), 2, "M" + std::string(50, 'A'));  // a length the line cannot carry
    Scan({dir.File("d.uue")});
    ASSERT_EQ(Listing().size(), 1u);

    host.messageAnswers = {0};  // Skip
    EXPECT_EQ(Extract(), 0);
    EXPECT_TRUE(OutFiles().empty());
    ASSERT_FALSE(host.Questions().empty());
    const std::vector<std::string> question = host.Questions().back().lines;
    EXPECT_NE(std::find(question.begin(), question.end(), "d.bin"), question.end());

    host.messageAnswers = {1};  // Keep partial: the lines before the damage
    EXPECT_EQ(Extract(), 0);
    EXPECT_EQ(OutFiles(), std::vector<std::string>{"d.bin.partial"});
    EXPECT_TRUE(ReadFile(Out("d.bin.partial")) == RandomBytes(4500, 9).substr(0, 90));

    fs::remove(Out("d.bin.partial"));
    EXPECT_EQ(Extract({}, kOpSilent), 0);  // silent: skipped without a question
    EXPECT_TRUE(OutFiles().empty());
}

TEST_F(ExtractTest, DamageTheScannerCannotSeeIsStillFound) {
    struct Case {
        const char* what;
        std::string replacement;
        bool cut;
        size_t partial;  // bytes kept with "Keep partial"
    };
    const Case cases[] = {
        {"a letter outside UU", "M" + std::string(59, 'A') + "a", false, 45 * 5},
        {"a character outside both alphabets ends the block early", "M" + std::string(59, 'A') + "~", false, 45 * 5},
        {"the text cut after a data line", "", true, 45 * 11},
    };
    for (const Case& c : cases) {
        for (const auto& entry : fs::directory_iterator(dir.File("out"))) fs::remove(entry.path());
        fs::remove(dir.File("c.uue"));
        Encode("c.bin", RandomBytes(4500, 10), dir.Path());
        DamageDataLine(dir.File("c.uue"), c.cut ? 10 : 5, c.replacement, c.cut);
        Scan({dir.File("c.uue")});
        ASSERT_EQ(Listing().size(), 1u) << c.what;
        host.messageAnswers = {1};  // keep partial
        EXPECT_EQ(Extract(), 0) << c.what;
        EXPECT_EQ(OutFiles(), std::vector<std::string>{"c.bin.partial"}) << c.what;
        EXPECT_TRUE(ReadFile(Out("c.bin.partial")) == RandomBytes(4500, 10).substr(0, c.partial)) << c.what;
    }
}

TEST_F(ExtractTest, ExistingFilesQuestion) {
    const std::string bytes = RandomBytes(3000, 11);
    Encode("e.bin", bytes, dir.Path());
    Scan({dir.File("e.uue")});
    struct Case {
        int answer;
        int result;
        std::vector<std::string> files;
        std::string content;  // of out/e.bin afterwards
    };
    const Case cases[] = {
        {0, 1, {"e.bin"}, bytes},                  // overwrite
        {1, 0, {"e.bin"}, "old"},                  // skip
        {2, 1, {"e (2).bin", "e.bin"}, "old"},     // keep both
        {3, -1, {"e.bin"}, "old"},                 // cancel
        {-1, -1, {"e.bin"}, "old"},                // Esc cancels
        {4, 1, {"e.bin"}, bytes},                  // overwrite all
    };
    for (const Case& c : cases) {
        for (const auto& entry : fs::directory_iterator(dir.File("out"))) fs::remove(entry.path());
        WriteFile(Out("e.bin"), "old");
        host.messageAnswers = {c.answer};
        EXPECT_EQ(Extract(), c.result) << c.answer;
        EXPECT_EQ(OutFiles(), c.files) << c.answer;
        EXPECT_TRUE(ReadFile(Out("e.bin")) == c.content) << c.answer;
    }
    // Silent mode skips; viewing overwrites in the host's folder without asking.
    const size_t asked = host.Questions().size();
    WriteFile(Out("e.bin"), "old");
    EXPECT_EQ(Extract({}, kOpSilent), 0);
    EXPECT_TRUE(ReadFile(Out("e.bin")) == "old");
    EXPECT_EQ(Extract({}, kOpView), 1);
    EXPECT_TRUE(ReadFile(Out("e.bin")) == bytes);
    EXPECT_EQ(host.Questions().size(), asked);
}

TEST_F(ExtractTest, AllAnswersApplyToTheRestOfTheJob) {
    Encode("a.bin", RandomBytes(3000, 1), dir.Path());
    Encode("b.bin", RandomBytes(3000, 2), dir.Path());
    Scan({dir.File("a.uue"), dir.File("b.uue")});
    WriteFile(Out("a.bin"), "old");
    WriteFile(Out("b.bin"), "old");
    host.messageAnswers = {5};  // skip all
    EXPECT_EQ(Extract(), 0);
    EXPECT_EQ(host.Questions().size(), 1u);
    EXPECT_EQ(ReadFile(Out("b.bin")), "old");
    host.messageAnswers = {6};  // keep both for all
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"a (2).bin", "a.bin", "b (2).bin", "b.bin"}));
}

TEST_F(ExtractTest, EscStopsAndRemovesTheTemporaryFile) {
    testing_support::FaultyOs os;
    test::ScopedOs scoped(os);
    Encode("big.bin", RandomBytes(1 << 20, 6), dir.Path());
    Scan({dir.File("big.uue")});
    os.keys = {27};
    host.messageAnswers = {1};  // stop
    EXPECT_EQ(Extract(), -1);
    EXPECT_TRUE(OutFiles().empty());
    os.keys = {27};
    host.messageAnswers = {0};  // go on
    EXPECT_EQ(Extract(), 1);
    EXPECT_EQ(OutFiles(), std::vector<std::string>{"big.bin"});
}

TEST_F(ExtractTest, WriteFailureLeavesNothing) {
    // Small enough to be written at the end, and large enough to be written
    // behind the decoding, failing at the first write and at a later one.
    struct Case {
        size_t bytes;
        int failingWrite;
    };
    for (const Case c : {Case{200000, 1}, Case{5 << 20, 1}, Case{5 << 20, 3}}) {
        SCOPED_TRACE(testing::Message() << c.bytes << " bytes, write " << c.failingWrite);
        Encode("w.bin", RandomBytes(c.bytes, 8), dir.Path());
        Scan({dir.File("w.uue")});
        testing_support::FaultyOs os;
        test::ScopedOs scoped(os);
        os.Fail(testing_support::FaultyOs::kWrite, c.failingWrite, 1000);
        EXPECT_EQ(Extract(), 0);
        EXPECT_TRUE(OutFiles().empty());
        fs::remove(dir.File("w.uue"));
    }
}

TEST_F(ExtractTest, ATextCutAfterItsScanIsNoCompleteFile) {
    // The text loses its end between the listing and the extraction: what is
    // left decodes without a damaged line, but the file is not all there.
    const std::string bytes = RandomBytes(3 << 20, 12);
    Encode("t.bin", bytes, dir.Path());
    Scan({dir.File("t.uue")});
    ASSERT_EQ(Listing().size(), 1u);
    const std::string text = ReadFile(dir.File("t.uue"));
    const size_t lineEnd = text.find('\n', text.size() / 2) + 1;
    for (size_t keep : {lineEnd, lineEnd + 30, size_t{200}}) {
        SCOPED_TRACE(keep);
        WriteFile(dir.File("t.uue"), text.substr(0, keep));
        EXPECT_EQ(Extract(), 0);
        EXPECT_TRUE(OutFiles().empty());
        ASSERT_FALSE(host.Questions().empty());
        EXPECT_EQ(host.Questions().back().lines.at(1), "msg" + std::to_string(MCannotExtract));
    }
}

TEST_F(ExtractTest, IncompleteSectionsGoUnderAPartName) {
    settings.SplitOutput = 1;
    settings.LinesPerSection = 40;
    const std::string bytes = RandomBytes(45 * 100, 12);
    Encode("p.bin", bytes, dir.Path());
    Scan({dir.File("p_1.uue"), dir.File("p_3.uue")});
    const auto listing = Listing();
    ASSERT_EQ(listing.size(), 2u);
    EXPECT_EQ(Extract({"p.bin 01/03", "p.bin 03/03"}, kOpSilent), 0);  // silent: skipped
    EXPECT_TRUE(OutFiles().empty());
    host.messageAnswers = {0};  // decode
    EXPECT_EQ(Extract({"p.bin 01/03", "p.bin 03/03"}), 1);
    EXPECT_EQ(OutFiles(), std::vector<std::string>{"p.bin.part-1-3-of-3"});
    // Section 1 holds 36 lines after the begin line's section start, section 3 the rest.
    const std::string got = ReadFile(Out("p.bin.part-1-3-of-3"));
    EXPECT_TRUE(got.substr(0, 45 * 36) == bytes.substr(0, 45 * 36));
    EXPECT_TRUE(got.substr(45 * 36) == bytes.substr(45 * 76));
}

TEST_F(ExtractTest, MoveIsRefusedWithAMessage) {
    Encode("m.bin", RandomBytes(3000, 1), dir.Path());
    Scan({dir.File("m.uue")});
    EXPECT_EQ(Extract({}, 0, true), 0);
    EXPECT_TRUE(OutFiles().empty());
    ASSERT_EQ(host.Questions().size(), 1u);
    EXPECT_EQ(host.Questions()[0].lines[1], "msg" + std::to_string(MCannotMove));
}

TEST(FreeNameTest, CountsUpPastTakenNames) {
    test::TempDir dir;
    WriteFile(dir.File("x.tar.gz"), "1");
    WriteFile(dir.File("x.tar (2).gz"), "2");
    WriteFile(dir.File("noext"), "3");
    WriteFile(dir.File(".hidden"), "4");
    EXPECT_EQ(FreeName(dir.Path(), "free.bin"), "free.bin");
    EXPECT_EQ(FreeName(dir.Path(), "x.tar.gz"), "x.tar (3).gz");
    EXPECT_EQ(FreeName(dir.Path(), "noext"), "noext (2)");
    EXPECT_EQ(FreeName(dir.Path(), ".hidden"), ".hidden (2)");
}

}  // namespace
}  // namespace vexil
