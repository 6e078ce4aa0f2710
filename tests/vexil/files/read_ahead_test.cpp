// ReadAhead: every byte of the stretch comes once and in order, the kept
// bytes lie right before the next chunk, and a short or failing stream is
// reported, whether a reader thread or the caller reads.
#include "vexil/files/read_ahead.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/faulty_os.h"
#include "support/forwarding_os.h"
#include "support/temp_dir.h"

namespace vexil {
namespace {

class NoThreadsOs : public test::ForwardingOs {
public:
    explicit NoThreadsOs(platform::Os& target = platform::NativeOs()) : ForwardingOs(target) {}
    std::unique_ptr<platform::Thread> StartJoinableThread(platform::ThreadBody, void*) override { return nullptr; }
};

std::string Bytes(size_t n) {
    std::string s(n, '\0');
    unsigned v = 7;
    for (char& c : s) {
        v = v * 1103515245u + 12345u;
        c = static_cast<char>(v >> 16);
    }
    return s;
}

struct Outcome {
    std::string read;  // the bytes handed out, kept ones counted once
    bool failed = false;
    bool keptInPlace = true;
    int chunks = 0;
};

// Reads `length` bytes from `offset` of `path`, keeping the last `keep`
// bytes of every chunk for the next, as a line-by-line reader does.
Outcome ReadThrough(const std::string& path, uint64_t offset, uint64_t length, size_t chunk, size_t headroom,
                    size_t keep) {
    Outcome o;
    platform::Stream* stream = platform::os().Open(path, "rb");
    EXPECT_NE(stream, nullptr);
    if (stream == nullptr) return o;
    EXPECT_TRUE(stream->Seek(offset));
    {
        ReadAhead reader(*stream, length, chunk, headroom);
        const unsigned char* kept = nullptr;
        size_t held = 0;
        std::string keptBytes;
        for (;;) {
            size_t size = 0;
            const unsigned char* p = reader.Next(kept, held, &size);
            ++o.chunks;
            if (reader.Failed()) {
                o.failed = true;
                break;
            }
            if (size < held || std::string(reinterpret_cast<const char*>(p), held) != keptBytes) o.keptInPlace = false;
            o.read.append(reinterpret_cast<const char*>(p) + held, size - held);
            if (reader.AtEnd()) break;
            held = std::min(keep, size);
            kept = p + size - held;
            keptBytes.assign(reinterpret_cast<const char*>(kept), held);
            EXPECT_LT(o.chunks, 100000) << "no end";
            if (o.chunks >= 100000) break;
        }
    }
    platform::os().Close(stream);
    return o;
}

TEST(ReadAhead, EveryByteOnceAndInOrderOnBothRoads) {
    test::TempDir dir;
    const std::string content = Bytes(100000);
    const std::string path = dir.Write("text", content);
    struct Case {
        uint64_t offset, length;
        size_t chunk, keep;
    };
    const Case cases[] = {
        {0, 0, 1000, 0},          // an empty stretch
        {0, 1, 1000, 0},          //
        {0, 999, 1000, 10},       // one chunk, short of full
        {0, 1000, 1000, 10},      // one full chunk
        {0, 1001, 1000, 10},      // a byte over
        {5, 99995, 1000, 0},      // the rest of the file, from a later position
        {123, 50000, 777, 64},    // keeping the whole room every time
        {0, 100000, 4096, 61},    // a line's worth kept
    };
    for (bool threads : {true, false}) {
        NoThreadsOs noThreads;
        std::unique_ptr<test::ScopedOs> scoped;
        if (!threads) scoped = std::make_unique<test::ScopedOs>(noThreads);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << (threads ? "thread" : "no thread") << ", offset " << c.offset
                                            << ", length " << c.length << ", chunk " << c.chunk << ", keep " << c.keep);
            const Outcome o = ReadThrough(path, c.offset, c.length, c.chunk, 64, c.keep);
            EXPECT_FALSE(o.failed);
            EXPECT_TRUE(o.keptInPlace);
            EXPECT_TRUE(o.read == content.substr(c.offset, c.length));
        }
    }
}

TEST(ReadAhead, AShortOrFailingStreamIsReported) {
    test::TempDir dir;
    const std::string path = dir.Write("text", Bytes(10000));
    for (bool threads : {true, false}) {
        SCOPED_TRACE(threads ? "thread" : "no thread");
        {
            NoThreadsOs noThreads;
            std::unique_ptr<test::ScopedOs> scoped;
            if (!threads) scoped = std::make_unique<test::ScopedOs>(noThreads);
            // The file ends 2000 bytes before the stretch does.
            const Outcome o = ReadThrough(path, 0, 12000, 1000, 64, 5);
            EXPECT_TRUE(o.failed);
            EXPECT_EQ(o.chunks, 11);
        }
        for (int failing : {1, 4}) {
            testing_support::FaultyOs faulty;
            NoThreadsOs noThreads(faulty);
            std::unique_ptr<test::ScopedOs> scoped;
            if (!threads) scoped = std::make_unique<test::ScopedOs>(noThreads);
            faulty.Fail(testing_support::FaultyOs::kRead, failing);
            const Outcome o = ReadThrough(path, 0, 10000, 1000, 64, 5);
            EXPECT_TRUE(o.failed) << failing;
            EXPECT_EQ(o.chunks, failing);
        }
    }
}

TEST(ReadAhead, LeavingEarlyStopsTheReader) {
    // The caller stops after one chunk of many: the reader, blocked with every
    // chunk full, is let go, and the destructor returns.
    test::TempDir dir;
    const std::string path = dir.Write("text", Bytes(100000));
    platform::Stream* stream = platform::os().Open(path, "rb");
    ASSERT_NE(stream, nullptr);
    for (int taken : {0, 1, 2}) {
        ASSERT_TRUE(stream->Seek(0));
        ReadAhead reader(*stream, 100000, 1000, 64);
        for (int i = 0; i < taken; ++i) {
            size_t size = 0;
            reader.Next(nullptr, 0, &size);
            EXPECT_EQ(size, 1000u);
        }
        platform::os().Sleep(20);  // time for the reader to fill every chunk
    }
    platform::os().Close(stream);
}

}  // namespace
}  // namespace vexil
