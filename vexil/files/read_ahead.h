// ReadAhead: reads a stretch of a stream on a thread of its own, a chunk
// ahead of the caller, so that the OS copies the next chunk while the caller
// works on this one.
//
// Each chunk comes with room before it: Next copies the bytes the caller
// still needs from the chunk it had (a line cut by the chunk's end) there,
// so they and the new chunk lie together. A failed read, or a stream that
// ends before the stretch does, ends the chunks and sets Failed(). Where no
// thread can be had, or the stretch fits in one chunk, the caller's thread
// reads, with the same result.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {
class Stream;
class Semaphore;
class Thread;
}  // namespace platform

namespace vexil {

class ReadAhead {
public:
    // Reads `length` bytes from the stream's position in chunks of
    // `chunkSize`, each with `headroom` bytes of room before it.
    ReadAhead(platform::Stream& stream, uint64_t length, size_t chunkSize, size_t headroom);
    ~ReadAhead();  // stops the reader and waits for it
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next chunk, with the `keepLength` bytes at `keep` (at most the
    // headroom; null when none) copied right before it. Returns where those
    // bytes begin; *size counts them and the chunk. Once the stretch has been
    // handed out, or a read failed, the chunk is empty.
    const unsigned char* Next(const unsigned char* keep, size_t keepLength, size_t* size);
    // The chunk last handed out ends the stretch (or the reading failed).
    bool AtEnd() const { return atEnd_; }
    // A read failed, or the stream ended before the stretch.
    bool Failed() const { return failed_; }

private:
    static constexpr int kBuffers = 3;
    struct Chunk {
        std::unique_ptr<unsigned char[]> bytes;  // headroom, then the chunk (left uninitialised)
        size_t length = 0;
        bool last = false;    // the stretch ends with this chunk
        bool failed = false;  // the read for this chunk failed or came short
    };

    // Reads the next chunk of the stretch into `c`.
    void Fill(Chunk& c);
    bool StartReader();
    static void ReaderMain(void* self);

    platform::Stream& stream_;
    uint64_t left_;            // bytes of the stretch not yet read
    const size_t chunkSize_;
    const size_t headroom_;
    Chunk chunks_[kBuffers];
    int current_ = -1;         // the chunk the caller holds (-1: none yet)
    bool atEnd_ = false;
    bool failed_ = false;
    bool threaded_ = false;
    std::atomic<bool> stop_{false};
    std::unique_ptr<platform::Semaphore> filled_;  // chunks read, waiting for the caller
    std::unique_ptr<platform::Semaphore> free_;    // chunks the reader may fill
    std::unique_ptr<platform::Thread> reader_;
};

}  // namespace vexil
