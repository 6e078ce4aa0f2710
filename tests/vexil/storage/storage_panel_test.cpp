#include "vexil/storage/storage_panel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/fake_host.h"
#include "support/forwarding_os.h"
#include "support/temp_dir.h"
#include "support/uu_writer.h"
#include "vexil/frame/alphabets.h"
#include "vexil/frame/module_state.h"

namespace {

// Counts thread starts and makes sleeps short.
class ThreadOs : public test::ForwardingOs {
public:
    bool StartThread(platform::ThreadBody body, void* argument) override {
        ++threads;
        return ForwardingOs::StartThread(body, argument);
    }
    void Sleep(unsigned) override { ForwardingOs::Sleep(1); }
    std::atomic<int> threads{0};
};

struct Listed {
    std::string name;
    uint64_t size;
    bool operator==(const Listed&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Listed& l) { return o << l.name << " " << l.size; }

std::vector<Listed> List(vexil::Storage& s) {
    host::PanelItem* items = nullptr;
    int count = -1;
    vexil::ListStorage(s, &items, &count);
    std::vector<Listed> out;
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(items[i].findData.attributes, 0u);
        out.push_back({items[i].findData.fileName,
                       (uint64_t{items[i].findData.sizeHigh} << 32) | items[i].findData.sizeLow});
    }
    return out;
}

class StoragePanel : public ::testing::Test {
protected:
    void SetUp() override {
        vexil::BuildAlphabets();
        vexil::Module().host = fake.StartupInfo();
        vexil::Module().settings.SuppressOutput = 1;
    }
    void TearDown() override {
        for (int i = 0; vexil::Scanning().liveNotices.load() > 0 && i < 500; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    vexil::Storage* Open(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        const std::string head((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string first = head.substr(0, 131072);
        return vexil::OpenStorage(path.c_str(), reinterpret_cast<const unsigned char*>(first.data()),
                                  static_cast<int>(first.size()));
    }

    test::FakeHost fake;
    ThreadOs os;
    test::ScopedOs scoped{os};
    test::TempDir dir;
};

// A section as the scanner registers it: its data characters and the exact
// byte count its length characters give.
void AddSection(vexil::Storage& s, const std::string& name, int32_t number, int32_t total, int64_t chars,
                int64_t bytes) {
    vexil::SectionBlock block;
    block.name = name;
    block.number = number;
    block.total = total;
    block.dataChars = chars;
    block.dataBytes = bytes;
    s.AddSection(block);
}

TEST_F(StoragePanel, ListsCompleteFilesByNameAndIncompleteOnesBySection) {
    // Sections of incomplete files show their estimate (characters * 6 / 8);
    // complete files the exact size, the sum of their in-range sections' bytes.
    vexil::Storage s;
    AddSection(s, "x", 1, 3, 80, 59);
    AddSection(s, "X", 3, 3, 41, 29);
    AddSection(s, "big", 1, 1, 8000000000, 6000000001);  // sizes beyond 32 bits
    AddSection(s, "tiny", 1, 1, 1, 0);
    AddSection(s, "over", 5, 2, 1000, 750);               // above the total: not counted
    AddSection(s, "over", 1, 2, 80, 60);
    AddSection(s, "over", 2, 2, 80, 58);
    AddSection(s, "many", 100, 120, 8, 6);
    AddSection(s, "huge", 1, 2000000000, 80, 60);         // completeness without a table of the total
    AddSection(s, std::string(258, 'n'), 1, 2, 8, 6);
    const std::vector<Listed> expected = {
        {"x 01/03", 60},
        {"X 03/03", 30},
        {"big", 6000000001},
        {"tiny", 0},
        {"over", 118},
        {"many 100/120", 6},
        {"huge 01/2000000000", 60},
        {std::string(258, 'n') + " ", 6},  // name and suffix cut to 259
    };
    EXPECT_EQ(List(s), expected);

    AddSection(s, "x", 2, 3, 40, 30);
    EXPECT_EQ(List(s)[0], (Listed{"x", 59 + 29 + 30}));
}

TEST_F(StoragePanel, CompleteFilesAreListedUnderTheNameExtractionWrites) {
    vexil::Storage s;
    AddSection(s, "../up", 1, 1, 80, 60);
    AddSection(s, "ok.bin", 1, 1, 80, 60);
    EXPECT_EQ(List(s), (std::vector<Listed>{{"up", 60}, {"ok.bin", 60}}));
}

TEST_F(StoragePanel, OpensAnEncodingAndTitlesItByWritability) {
    const std::string plain = dir.Write("a.uue", testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1)) +
                                                     testenc::UuEncode("b.bin", testenc::RandomBytes(90, 2)));
    vexil::Storage* s = Open(plain);
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(vexil::PanelTitle(), " VEXIL: a.uue ");
    // Exact sizes from the length characters (the estimate of characters * 6 / 8 - 2 gave 89 for b.bin).
    EXPECT_EQ(List(*s), (std::vector<Listed>{{"a.bin", 1027}, {"b.bin", 90}}));
    host::OpenPanelDescription info{};
    vexil::DescribeStorage(*s, &info);
    EXPECT_EQ(info.flags, 15u);
    EXPECT_EQ(info.structSize, static_cast<int>(sizeof info));
    EXPECT_STREQ(info.hostFile, plain.c_str());
    EXPECT_STREQ(info.format, "msg24");
    EXPECT_STREQ(info.panelTitle, vexil::PanelTitle());
    vexil::DestroyStorage(s);

    const std::string tab = dir.Write("t.uue", "a\tb\r\n" + testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1)));
    s = Open(tab);
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(vexil::PanelTitle(), " VEXIL: t.uue (r/o) ");
    vexil::DestroyStorage(s);
}

TEST_F(StoragePanel, DeclinesTextWithoutABlockAndCreatesAMissingFile) {
    EXPECT_EQ(Open(dir.Write("n.txt", "section 1 of 1 of file x\r\nno data\r\n")), nullptr);
    const std::string missing = dir.File("new.uue");
    EXPECT_EQ(vexil::OpenStorage(missing.c_str(), nullptr, 0), nullptr);
    platform::FileInfo info;
    ASSERT_TRUE(platform::os().FindFile(missing, &info));
    EXPECT_EQ(info.size, 0u);
}

TEST_F(StoragePanel, ABlockInTheFirstBytesOpensTheWholeFile) {
    std::string text = testenc::UuEncode("first.bin", testenc::RandomBytes(500, 3));
    text += std::string(300000, '.') + "\r\n" + testenc::UuEncode("far.bin", testenc::RandomBytes(500, 4));
    vexil::Storage* s = Open(dir.Write("f.uue", text));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(List(*s).size(), 2u);
    vexil::DestroyStorage(s);
}

TEST_F(StoragePanel, NoticeThreadOnlyWhenOutputIsNotSuppressed) {
    const std::string path = dir.Write("a.uue", testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1)));
    vexil::DestroyStorage(Open(path));
    EXPECT_EQ(os.threads.load(), 0);

    vexil::Module().settings.SuppressOutput = 0;
    vexil::DestroyStorage(Open(path));
    EXPECT_EQ(os.threads.load(), 1);
    TearDown();  // the thread ends soon after the quick scan, showing nothing
    EXPECT_EQ(vexil::Scanning().liveNotices.load(), 0);
    std::lock_guard<std::recursive_mutex> lock(fake.Mutex());
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(StoragePanel, NoticeShowsOnlyForItsOwnUnfinishedScan) {
    vexil::ScanState& scanning = vexil::Scanning();
    const uint32_t serial = scanning.scanSerial.load();
    scanning.scanFinished.store(0);
    scanning.scanSerial.store(serial + 1);  // a later scan has begun
    scanning.liveNotices.fetch_add(1);
    vexil::WaitNotice(reinterpret_cast<void*>(static_cast<uintptr_t>(serial)));
    EXPECT_TRUE(fake.messages.empty());

    scanning.liveNotices.fetch_add(1);
    vexil::WaitNotice(reinterpret_cast<void*>(static_cast<uintptr_t>(serial + 1)));
    scanning.scanFinished.store(1);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].lines, (std::vector<std::string>{"msg24", "msg56"}));
    EXPECT_EQ(fake.messages[0].buttons, 0);
    EXPECT_EQ(fake.messages[0].flags, 0u);
    EXPECT_EQ(scanning.liveNotices.load(), 0);
}

TEST_F(StoragePanel, IdleEventRescansAChangedFileAndAsksForARedraw) {
    const std::string first = testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1));
    const std::string path = dir.Write("s.uue", first);
    vexil::Storage* s = Open(path);
    ASSERT_NE(s, nullptr);
    const host::PanelHandle handle = s;

    vexil::StorageEvent(*s, handle, host::kEventIdle);
    EXPECT_TRUE(fake.controls.empty());

    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // a new last-write time
    dir.Write("s.uue", first + testenc::UuEncode("b.bin", testenc::RandomBytes(90, 2)));
    vexil::StorageEvent(*s, handle, 1);  // not the idle event
    EXPECT_TRUE(fake.controls.empty());
    vexil::StorageEvent(*s, handle, host::kEventIdle);
    ASSERT_EQ(fake.controls.size(), 2u);
    EXPECT_EQ(fake.controls[0].command, host::kCtlUpdatePanel);
    EXPECT_TRUE(fake.controls[0].hasParam);
    EXPECT_EQ(fake.controls[1].command, host::kCtlRedrawPanel);
    EXPECT_FALSE(fake.controls[1].hasParam);
    EXPECT_EQ(fake.controls[0].panel, handle);
    // Exact sizes from the length characters (the estimate of characters * 6 / 8 - 2 gave 89 for b.bin).
    EXPECT_EQ(List(*s), (std::vector<Listed>{{"a.bin", 1027}, {"b.bin", 90}}));
    EXPECT_EQ(s->sources.Count(), 1);

    vexil::StorageEvent(*s, handle, host::kEventIdle);
    EXPECT_EQ(fake.controls.size(), 2u);
    vexil::DestroyStorage(s);
}

// Appends to the storage file right after it is opened for reading, as if
// another program wrote while the scan runs.
class AppendWhileScanning : public test::ForwardingOs {
public:
    AppendWhileScanning(platform::Os& target, std::string path, std::string more)
        : ForwardingOs(target), path_(std::move(path)), more_(std::move(more)) {}
    platform::Stream* Open(const std::string& path, const char* mode) override {
        platform::Stream* stream = ForwardingOs::Open(path, mode);
        if (armed && path == path_ && std::string(mode) == "rb") {
            armed = false;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));  // a new last-write time
            std::ofstream(path_, std::ios::binary | std::ios::app) << more_;
        }
        return stream;
    }
    bool armed = true;

private:
    std::string path_, more_;
};

TEST_F(StoragePanel, AnAppendDuringARescanIsListedAtTheNextIdleEvent) {
    const std::string a = testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1));
    const std::string b = testenc::UuEncode("b.bin", testenc::RandomBytes(1027, 2));
    const std::string c = testenc::UuEncode("c.bin", testenc::RandomBytes(1027, 3));
    const std::string path = dir.Write("w.uue", a);
    vexil::Storage* s = Open(path);
    ASSERT_NE(s, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    dir.Write("w.uue", a + b);
    {
        AppendWhileScanning appending(os, path, c);
        test::ScopedOs scoped2{appending};
        vexil::StorageEvent(*s, s, host::kEventIdle);  // scans a + b; c lands meanwhile
        EXPECT_FALSE(appending.armed);
    }
    EXPECT_EQ(List(*s), (std::vector<Listed>{{"a.bin", 1027}, {"b.bin", 1027}}));
    vexil::StorageEvent(*s, s, host::kEventIdle);
    EXPECT_EQ(List(*s), (std::vector<Listed>{{"a.bin", 1027}, {"b.bin", 1027}, {"c.bin", 1027}}));
    EXPECT_EQ(fake.controls.size(), 4u);
    vexil::DestroyStorage(s);
}

// Hides a file from the ordinary search, as Windows does for a hidden or system file.
class HiddenFileOs : public test::ForwardingOs {
public:
    HiddenFileOs(platform::Os& target, std::string path) : ForwardingOs(target), path_(std::move(path)) {}
    bool FindFile(const std::string& path, platform::FileInfo* info) override {
        return path != path_ && ForwardingOs::FindFile(path, info);
    }

private:
    std::string path_;
};

TEST_F(StoragePanel, AHiddenStorageIsFollowedWithoutPromptsOrRescans) {
    const std::string a = testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1));
    const std::string path = dir.Write("h.uue", a);
    vexil::Storage* s = Open(path);
    ASSERT_NE(s, nullptr);
    HiddenFileOs hidden(os, path);
    test::ScopedOs scoped2{hidden};
    for (int i = 0; i < 3; ++i) vexil::StorageEvent(*s, s, host::kEventIdle);
    EXPECT_TRUE(fake.controls.empty());
    EXPECT_TRUE(fake.messages.empty());
    // A change is still seen; the not-found prompt is answered by going on,
    // and the recorded time is the hidden file's own.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    dir.Write("h.uue", a + testenc::UuEncode("b.bin", testenc::RandomBytes(90, 2)));
    fake.messageAnswers = {1};
    vexil::StorageEvent(*s, s, host::kEventIdle);
    EXPECT_EQ(fake.controls.size(), 2u);
    EXPECT_EQ(List(*s), (std::vector<Listed>{{"a.bin", 1027}, {"b.bin", 90}}));
    vexil::StorageEvent(*s, s, host::kEventIdle);
    EXPECT_EQ(fake.controls.size(), 2u);
    vexil::DestroyStorage(s);
}

TEST_F(StoragePanel, ADeletedSourceFileTakesItsFilesAlong) {
    const std::string path = dir.Write("d.uue", testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1)));
    vexil::Storage* s = Open(path);
    ASSERT_NE(s, nullptr);
    std::remove(path.c_str());
    fake.messageAnswers = {1};  // not found: go on; the failing open is answered with Esc
    vexil::StorageEvent(*s, s, host::kEventIdle);
    ASSERT_GE(fake.messages.size(), 1u);
    // The not-found prompt names the file, and asks the host for the OS's reason.
    EXPECT_EQ(fake.messages[0].lines.size(), 6u);
    EXPECT_EQ(fake.messages[0].buttons, 3);
    EXPECT_EQ(fake.messages[0].lines[1], "msg36");
    EXPECT_EQ(fake.messages[0].lines[2], path);
    EXPECT_EQ(fake.messages[0].flags, host::kMsgErrorType);
    EXPECT_EQ(s->sources.Count(), 0);
    EXPECT_TRUE(List(*s).empty());
    vexil::DestroyStorage(s);
}

}  // namespace
