#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "support/fake_host.h"
#include "support/faulty_os.h"
#include "support/temp_dir.h"
#include "vexil/frame/alphabets.h"
#include "vexil/frame/module_state.h"
#include "vexil/encoding/put_files.h"

namespace vexil {
namespace {

std::string Read(const std::string& path) { return test::ReadWholeFile(path); }

const char kOld[] = "\r\nsection 1 of 1 of file old.bin\r\n";

class PutFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildAlphabets();
        Module().host = fake.StartupInfo();
        Module().settings = EncodeSettings{};
        fake.SetMessage(44, "File %d");
        previousDir = platform::os().GetCurrentDir();
        // The host hands over bare names relative to the current directory.
        ASSERT_TRUE(platform::os().SetCurrentDir(dir.Path()));
    }
    void TearDown() override { platform::os().SetCurrentDir(previousDir); }

    std::string MakeStorage(const std::string& name) {
        storagePath = dir.Write(name, kOld);
        return storagePath;
    }
    void Put(const std::vector<std::string>& names) {
        items.clear();
        for (const std::string& name : names) {
            dir.Write(name, std::string(500, 'p') + name);
            host::PanelItem item{};
            std::snprintf(item.findData.fileName, sizeof item.findData.fileName, "%s", name.c_str());
            items.push_back(item);
        }
        EXPECT_EQ(PutFilesInto(storagePath.empty() ? nullptr : storagePath.c_str(), items.data(),
                               static_cast<int>(items.size())),
                  0);
    }

    test::FakeHost fake;
    test::TempDir dir;
    std::string storagePath;  // empty: a storage without a plain-text file
    std::vector<host::PanelItem> items;
    std::string previousDir;
};

TEST_F(PutFilesTest, TwoFilesAreAppendedEachWithHeaderAndTrailer) {
    const std::string path = MakeStorage("store.uue");
    Put({"a.bin", "b.bin"});
    const std::string text = Read(path);
    ASSERT_EQ(text.rfind(kOld, 0), 0u);
    const size_t a = text.find("\r\n\r\nsection 1 of 1 of file a.bin (encoded by VEXIL 0.2b for FAR)\r\n");
    const size_t b = text.find("\r\n\r\nsection 1 of 1 of file b.bin (encoded by VEXIL 0.2b for FAR)\r\n");
    EXPECT_EQ(a, sizeof kOld - 1);
    ASSERT_NE(b, std::string::npos);
    EXPECT_NE(text.find("begin 644 a.bin\r\n"), std::string::npos);
    EXPECT_NE(text.find("begin 644 b.bin\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(b - 10, 10), "`\r\nend\r\n\r\n");
    EXPECT_TRUE(fake.messageAnswers.empty());
    // Both announced with the storage as target, numbered from 1.
    std::vector<std::string> announced;
    for (const auto& m : fake.messages)
        if (m.lines.size() == 7 && m.flags == host::kMsgLeftAlign) announced.push_back(m.lines[6]);
    EXPECT_EQ(announced, (std::vector<std::string>{"File 1", "File 2"}));
}

TEST_F(PutFilesTest, AnnouncesEvenWithSuppressedOutput) {
    Module().settings.SuppressOutput = 1;
    MakeStorage("store.uue");
    Put({"a.bin"});
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].lines[1], "a.bin");
}

TEST_F(PutFilesTest, SplitOutputGoesIntoTheStorageItself) {
    // Split output once sent a file named like the storage to "store_1.uue"
    // and the following sections beside it; the storage is the output.
    Module().settings.SplitOutput = 1;
    Module().settings.LinesPerSection = 5;  // 500 bytes: 12 lines, 4 sections
    const std::string path = MakeStorage("store.uue");
    Put({"store.bin", "other.bin"});
    const std::string text = Read(path);
    for (const char* name : {"store.bin", "other.bin"}) {
        for (int s = 1; s <= 4; ++s)
            EXPECT_NE(text.find("section " + std::to_string(s) + " of 4 of file " + name), std::string::npos)
                << name << " " << s;
    }
    EXPECT_EQ(text.rfind(kOld, 0), 0u);
    for (const char* stray : {"store_1.uue", "store_2.uue", "store1.uue", "other_1.uue"})
        EXPECT_FALSE(std::filesystem::exists(dir.File(stray))) << stray;
}

TEST_F(PutFilesTest, StorageNamedInAnotherCaseThanTheFileIsKept) {
    // The storage's extension as a pattern matched "note.TXT" and the text
    // went into a new "st.TXT".
    const std::string path = MakeStorage("st.txt");
    Put({"note.TXT"});
    EXPECT_NE(Read(path).find("begin 644 note.TXT"), std::string::npos);
#if !defined(_WIN32)
    EXPECT_FALSE(std::filesystem::exists(dir.File("st.TXT")));
#endif
}

TEST_F(PutFilesTest, StorageItselfPutOntoItIsRefused) {
    const std::string path = MakeStorage("store.uue");
    items.clear();
    host::PanelItem item{};
    std::snprintf(item.findData.fileName, sizeof item.findData.fileName, "%s", "store.uue");
    items.push_back(item);
    fake.messageAnswers = {0};
    EXPECT_EQ(PutFilesInto(path.c_str(), items.data(), 1), 0);
    EXPECT_EQ(Read(path), kOld);
}

TEST_F(PutFilesTest, ConfirmedAbortStopsTheRemainingFiles) {
    const std::string path = MakeStorage("store.uue");
    testing_support::FaultyOs os;
    os.keys = {27};
    fake.messageAnswers = {1};  // stop
    Put({"a.bin", "b.bin"});
    EXPECT_EQ(Read(path), kOld);
}

TEST_F(PutFilesTest, StorageWithoutExtensionKeepsItsName) {
    const std::string path = MakeStorage("mailbox");
    Put({"a.bin"});
    EXPECT_NE(Read(path).find("begin 644 a.bin"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("mailbox.uue")));
}

TEST_F(PutFilesTest, ReadOnlyStorageTakesNothing) {
    const std::string path = dir.Write("store.uue", kOld);
    Put({"a.bin"});
    EXPECT_EQ(Read(path), kOld);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(PutFilesTest, CancelStopsTheJobSkipGoesOn) {
    for (int answer : {1, 2}) {  // skip, cancel
        const std::string path = MakeStorage("store.uue");
        testing_support::FaultyOs os;
        os.Fail(testing_support::FaultyOs::kOpen, 1);  // the first source does not open
        fake.messageAnswers = {answer};
        Put({"a.bin", "b.bin"});
        const bool secondAppended = Read(path).find("begin 644 b.bin") != std::string::npos;
        EXPECT_EQ(secondAppended, answer == 1) << answer;
        EXPECT_EQ(Read(path).find("begin 644 a.bin"), std::string::npos);
    }
}

}  // namespace
}  // namespace vexil
