// The native platform implementation, on every target.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/library.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "os_test_" + name; }

platform::Os& Os() { return platform::os(); }

TEST(OsTest, FindFileMatchesOrdinaryFilesOnlyWithSizeAndTime) {
    const std::string path = TempPath("find.txt");
    std::ofstream(path, std::ios::binary) << "12345";
    platform::FileInfo info;
    ASSERT_TRUE(Os().FindFile(path, &info));
    EXPECT_EQ(info.size, 5u);
    EXPECT_GT(info.lastWriteTime, 116444736000000000ULL);  // after 1970
    EXPECT_NE(info.creationTime, 0u);
    EXPECT_FALSE(Os().FindFile(TempPath("missing.txt"), &info));
    std::string dir = ::testing::TempDir();
    while (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    EXPECT_FALSE(Os().FindFile(dir, &info)) << "directories are not matched";
    EXPECT_TRUE(Os().IsDirectory(dir));
    EXPECT_FALSE(Os().FindFile(TempPath("f*.txt"), &info)) << "no wildcard search";
    std::remove(path.c_str());
}

TEST(OsTest, FindAnyFileAlsoMatchesHiddenAndSystemFiles) {
    const std::string path = TempPath("hidden.txt");
    std::ofstream(path, std::ios::binary) << "123";
    platform::FileInfo ordinary, any;
    ASSERT_TRUE(Os().FindFile(path, &ordinary));
    ASSERT_TRUE(Os().FindAnyFile(path, &any));
    EXPECT_EQ(any.lastWriteTime, ordinary.lastWriteTime);
    EXPECT_EQ(any.size, 3u);
#ifdef _WIN32
    for (DWORD attribute : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM}}) {
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attribute));
        EXPECT_FALSE(Os().FindFile(path, &ordinary));
        ASSERT_TRUE(Os().FindAnyFile(path, &any));
        EXPECT_EQ(any.size, 3u);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
    std::string dir = ::testing::TempDir();
    while (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    EXPECT_FALSE(Os().FindAnyFile(dir, &any)) << "directories are not matched";
    EXPECT_FALSE(Os().FindAnyFile(TempPath("missing.txt"), &any));
    std::remove(path.c_str());
}

TEST(OsTest, StreamReadsWritesSeeksAndTruncates) {
    const std::string path = TempPath("stream.bin");
    platform::Stream* s = Os().Open(path, "wb");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Write("hello world", 11), 11u);
    EXPECT_TRUE(s->Flush());
    EXPECT_EQ(s->Length(), 11u);
    EXPECT_TRUE(s->Truncate(5));
    EXPECT_EQ(s->Length(), 5u);
    EXPECT_TRUE(Os().Close(s));

    s = Os().Open(path, "ab");
    ASSERT_NE(s, nullptr);
    s->Write("!", 1);
    Os().Close(s);

    s = Os().Open(path, "rb");
    ASSERT_NE(s, nullptr);
    char buffer[16] = {};
    EXPECT_TRUE(s->Seek(1));
    EXPECT_EQ(s->Read(buffer, sizeof buffer), 5u);
    EXPECT_EQ(std::string(buffer, 5), "ello!");
    EXPECT_FALSE(s->Error());
    EXPECT_EQ(s->Tell(), 6u);
    Os().Close(s);

    EXPECT_TRUE(Os().Remove(path));
    EXPECT_FALSE(Os().Remove(path));
    EXPECT_EQ(Os().Open(path, "rb"), nullptr);
}

TEST(OsTest, NamesWithWildcardsAndDirectoriesNeverOpen) {
    EXPECT_EQ(Os().Open(TempPath("a*b.uue"), "wb"), nullptr);
    EXPECT_EQ(Os().Open(TempPath("a?b.uue"), "wb"), nullptr);
    EXPECT_EQ(Os().Open(::testing::TempDir(), "rb"), nullptr);
}

#ifndef _WIN32
TEST(OsTest, FifosNeitherMatchNorOpen) {
    // Opening a FIFO for writing would wait for a reader forever.
    const std::string path = TempPath("fifo");
    std::remove(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(Os().FindFile(path, nullptr));
    EXPECT_EQ(Os().Open(path, "wb"), nullptr);
    EXPECT_EQ(Os().Open(path, "rb"), nullptr);
    std::remove(path.c_str());
}
#endif

TEST(OsTest, SameFileComparesTheFilesNotTheirSpelling) {
    const std::string dir = ::testing::TempDir();
    const std::string path = TempPath("same.txt"), other = TempPath("other.txt");
    std::ofstream(path, std::ios::binary) << "x";
    std::ofstream(other, std::ios::binary) << "x";
    std::string sep = dir.empty() || dir.back() == '/' || dir.back() == '\\' ? "" : "/";
    EXPECT_TRUE(Os().SameFile(path, path));
    EXPECT_TRUE(Os().SameFile(path, dir + sep + "." + "/" + "os_test_same.txt"));
    EXPECT_FALSE(Os().SameFile(path, other));
    EXPECT_FALSE(Os().SameFile(path, TempPath("missing.txt")));
    EXPECT_FALSE(Os().SameFile(TempPath("missing.txt"), TempPath("missing.txt")));
#ifdef _WIN32
    EXPECT_TRUE(Os().SameFile(path, TempPath("SAME.TXT")));
#else
    const std::string link = TempPath("same_link.txt"), hard = TempPath("same_hard.txt");
    std::remove(link.c_str());
    std::remove(hard.c_str());
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    ASSERT_EQ(::link(path.c_str(), hard.c_str()), 0);
    EXPECT_TRUE(Os().SameFile(link, path));
    EXPECT_TRUE(Os().SameFile(path, hard));
    EXPECT_FALSE(Os().SameFile(link, other));
    std::remove(link.c_str());
    std::remove(hard.c_str());
#endif
    std::remove(path.c_str());
    std::remove(other.c_str());
}

TEST(OsTest, ExistingSpellingFindsAFileDifferingOnlyInCase) {
    const std::string path = TempPath("Spelled.TXT");
    std::ofstream(path, std::ios::binary) << "x";
    EXPECT_EQ(Os().ExistingSpelling(path), path);
    EXPECT_EQ(Os().ExistingSpelling(TempPath("none.txt")), TempPath("none.txt"));
#ifdef _WIN32
    EXPECT_EQ(Os().ExistingSpelling(TempPath("spelled.txt")), TempPath("spelled.txt"));
#else
    EXPECT_EQ(Os().ExistingSpelling(TempPath("spelled.txt")), path);
    EXPECT_EQ(Os().ExistingSpelling(TempPath("SPELLED.txt")), path);
    EXPECT_EQ(Os().ExistingSpelling(TempPath("spelled.tx")), TempPath("spelled.tx"));
    // A second spelling of the name: the first in byte order, whichever is asked for.
    const std::string second = TempPath("spelled.txt");
    std::ofstream(second, std::ios::binary) << "y";
    EXPECT_EQ(Os().ExistingSpelling(TempPath("SPELLED.TXT")), path);
    EXPECT_EQ(Os().ExistingSpelling(second), second);
    std::remove(second.c_str());
#endif
    std::remove(path.c_str());
}

TEST(OsTest, CurrentDirectoryCanBeChangedAndRestored) {
    const std::string before = Os().GetCurrentDir();
    ASSERT_FALSE(before.empty());
    std::string dir = ::testing::TempDir();
    ASSERT_TRUE(Os().SetCurrentDir(dir));
    EXPECT_NE(Os().GetCurrentDir(), "");
    EXPECT_FALSE(Os().SetCurrentDir(TempPath("no-such-dir")));
    ASSERT_TRUE(Os().SetCurrentDir(before));
    EXPECT_EQ(Os().GetCurrentDir(), before);
}

TEST(OsTest, SettingsKeysFollowRegistrySemantics) {
    const std::string key = "Software\\plughost-tests\\OsTest";
    platform::SettingsKey* k = Os().CreateSettingsKey(key);
    ASSERT_NE(k, nullptr);
    EXPECT_TRUE(Os().SetDword(k, "Answer", 42));
    EXPECT_TRUE(Os().SetDword(k, "Answer", 0xfffffffe));  // replaced, not added
    Os().CloseSettingsKey(k);

    k = Os().OpenSettingsKey("software\\PLUGHOST-tests\\ostest");  // names ignore case
    ASSERT_NE(k, nullptr);
    uint32_t value = 0, size = 4;
    ASSERT_TRUE(Os().QueryValue(k, "answer", &value, &size));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value, 0xfffffffeu);
    uint16_t small = 0;
    size = 2;
    EXPECT_FALSE(Os().QueryValue(k, "Answer", &small, &size)) << "a value longer than the buffer";
    size = 4;
    EXPECT_FALSE(Os().QueryValue(k, "Missing", &value, &size));
    Os().CloseSettingsKey(k);

    EXPECT_EQ(Os().OpenSettingsKey("Software\\plughost-tests\\NoSuchKey"), nullptr) << "opening never creates";
}

TEST(OsTest, ThreadRunsItsBody) {
    static std::atomic<int> ran{0};
    ran = 0;
    ASSERT_TRUE(Os().StartThread([](void* arg) { static_cast<std::atomic<int>*>(arg)->store(7); }, &ran));
    for (int i = 0; i < 200 && ran.load() == 0; ++i) Os().Sleep(10);
    EXPECT_EQ(ran.load(), 7);
}

TEST(OsTest, JoinableThreadsAreWaitedForAndSemaphoresCount) {
    // Two threads hand a count back and forth; each Post lets exactly one Wait through.
    struct Shared {
        std::unique_ptr<platform::Semaphore> ping, pong;
        int rounds = 0;  // touched by one thread at a time, in turn
    } shared{Os().NewSemaphore(0), Os().NewSemaphore(2), 0};
    ASSERT_TRUE(shared.ping && shared.pong);
    shared.pong->Wait();  // the two it started with
    shared.pong->Wait();
    std::unique_ptr<platform::Thread> thread = Os().StartJoinableThread(
        [](void* arg) {
            auto* s = static_cast<Shared*>(arg);
            for (int i = 0; i < 1000; ++i) {
                s->ping->Wait();
                ++s->rounds;
                s->pong->Post();
            }
            Os().Sleep(20);  // Join must wait for this too
            s->rounds = -1;
        },
        &shared);
    ASSERT_NE(thread, nullptr);
    for (int i = 0; i < 1000; ++i) {
        shared.ping->Post();
        shared.pong->Wait();
        ASSERT_EQ(shared.rounds, i + 1);
    }
    thread->Join();
    EXPECT_EQ(shared.rounds, -1);
    thread->Join();  // a second Join returns at once
}

TEST(OsTest, DecimalSeparatorIsOneCharacter) {
    char c = Os().DecimalSeparator();
    EXPECT_TRUE(c == '.' || c == ',') << c;
}

TEST(OsTest, FileTimesConvertToLocalDates) {
    // 2020-06-15 12:00:00 UTC; any time zone keeps the date within a day.
    const uint64_t t = (1592222400ULL + 11644473600ULL) * 10000000ULL;
    platform::DateTime d = Os().FileTimeToLocal(t);
    EXPECT_EQ(d.year, 2020);
    EXPECT_EQ(d.month, 6);
    EXPECT_NEAR(d.day, 15, 1);
    platform::DateTime now = Os().LocalNow();
    EXPECT_GE(now.year, 2024);
}

TEST(OsTest, MissingLibraryReportsAnError) {
    EXPECT_EQ(platform::OpenLibrary(TempPath("no-such-library")), nullptr);
    EXPECT_FALSE(platform::LastLoadError().empty());
}

}  // namespace
