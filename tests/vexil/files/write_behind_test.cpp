// WriteBehind: the bytes reach the file in the order committed, whether a
// writer thread takes them or the caller writes them itself, and a failed
// write is reported by Finish.
#include "vexil/files/write_behind.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "support/faulty_os.h"
#include "support/forwarding_os.h"
#include "support/temp_dir.h"

namespace vexil {
namespace {

// An Os that has no threads to give (or no semaphores), so the caller writes.
class NoThreadsOs : public test::ForwardingOs {
public:
    explicit NoThreadsOs(bool semaphores, platform::Os& target = platform::NativeOs())
        : ForwardingOs(target), semaphores_(semaphores) {}
    std::unique_ptr<platform::Thread> StartJoinableThread(platform::ThreadBody, void*) override { return nullptr; }
    std::unique_ptr<platform::Semaphore> NewSemaphore(unsigned count) override {
        return semaphores_ ? ForwardingOs::NewSemaphore(count) : nullptr;
    }

private:
    bool semaphores_;
};

enum class Road { kThread, kNoThread, kNoSemaphore };

// Commits `pieces` bytes at a time (a cycle of sizes) until `total`, through
// a writer of `bufferSize`; returns what the file holds.
std::string WriteThrough(Road road, size_t bufferSize, const std::vector<size_t>& pieces, size_t total,
                         std::string* expected, uint64_t* committed) {
    NoThreadsOs noThreads(road == Road::kNoThread);
    std::unique_ptr<test::ScopedOs> scoped;
    if (road != Road::kThread) scoped = std::make_unique<test::ScopedOs>(noThreads);
    test::TempDir dir;
    const std::string path = dir.File("out.bin");
    platform::Stream* stream = platform::os().Open(path, "wb");
    EXPECT_NE(stream, nullptr);
    if (stream == nullptr) return {};
    expected->clear();
    const size_t slack = 4096;
    {
        WriteBehind writer(*stream, bufferSize, slack);
        size_t k = 0;
        unsigned value = 1;
        while (expected->size() < total) {
            const size_t n = std::min({pieces[k++ % pieces.size()], slack, total - expected->size()});
            unsigned char* room = writer.Room();
            for (size_t i = 0; i < n; ++i) {
                value = value * 1103515245u + 12345u;
                room[i] = static_cast<unsigned char>(value >> 16);
            }
            expected->append(reinterpret_cast<const char*>(room), n);
            writer.Commit(n);
        }
        EXPECT_TRUE(writer.Finish());
        *committed = writer.Committed();
    }
    EXPECT_TRUE(platform::os().Close(stream));
    return test::ReadWholeFile(path);
}

TEST(WriteBehind, BytesArriveInOrderOnEveryRoad) {
    struct Case {
        size_t bufferSize;
        std::vector<size_t> pieces;
        size_t total;
    };
    const Case cases[] = {
        {4096, {45}, 0},                        // nothing
        {4096, {45}, 100},                      // less than a buffer: never handed over
        {4096, {4096}, 4096 * 7},               // exactly whole buffers
        {4096, {45, 0, 1, 3000, 61}, 100000},   // pieces that straddle buffer ends
        {1000, {4096, 1}, 250000},              // pieces larger than a buffer
        {1 << 16, {45}, 3 << 20},               // many buffers through the ring
    };
    for (Road road : {Road::kThread, Road::kNoThread, Road::kNoSemaphore}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "road " << static_cast<int>(road) << ", buffer " << c.bufferSize
                                            << ", total " << c.total);
            std::string expected;
            uint64_t committed = 0;
            const std::string written = WriteThrough(road, c.bufferSize, c.pieces, c.total, &expected, &committed);
            EXPECT_EQ(committed, c.total);
            EXPECT_EQ(written.size(), expected.size());
            EXPECT_TRUE(written == expected);
        }
    }
}

TEST(WriteBehind, AFailedWriteIsReportedAndNothingAfterItIsWritten) {
    for (bool threads : {true, false}) {
        for (int failing : {1, 2, 5}) {
            SCOPED_TRACE(testing::Message() << (threads ? "thread" : "no thread") << ", write " << failing);
            testing_support::FaultyOs faulty;
            NoThreadsOs noThreads(false, faulty);
            std::unique_ptr<test::ScopedOs> scoped;
            if (!threads) scoped = std::make_unique<test::ScopedOs>(noThreads);  // forwards to the faulty one
            test::TempDir dir;
            platform::Stream* stream = platform::os().Open(dir.File("out.bin"), "wb");
            ASSERT_NE(stream, nullptr);
            faulty.Fail(testing_support::FaultyOs::kWrite, failing);
            WriteBehind writer(*stream, 1000, 1000);
            for (int i = 0; i < 20; ++i) {
                std::memset(writer.Room(), 'a' + i, 500);
                writer.Commit(500);
            }
            EXPECT_FALSE(writer.Finish());
            EXPECT_TRUE(writer.Failed());
            EXPECT_EQ(faulty.Calls(testing_support::FaultyOs::kWrite), failing);  // none after the failure
            platform::os().Close(stream);
            // Whole buffers before the failing one, then its first half.
            EXPECT_EQ(test::ReadWholeFile(dir.File("out.bin")).size(), 1000u * (failing - 1) + 500u);
        }
    }
}

}  // namespace
}  // namespace vexil
