// WriteBehind: writes a stream on a thread of its own, so that the caller
// goes on filling the next buffer while the OS takes the last one.
//
// The caller fills Room() and Commit()s what it put there; a buffer goes to
// the writer once it holds `bufferSize` bytes. Bytes reach the file in the
// order they were committed. The first failed write is remembered and the
// bytes after it are dropped. Where no thread can be had (or the output
// never fills a buffer), the writes happen in the caller's thread instead,
// with the same result.
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

class WriteBehind {
public:
    // `stream` stays the caller's: it is written only until Finish returns.
    // Room() always has at least `slack` bytes.
    WriteBehind(platform::Stream& stream, size_t bufferSize, size_t slack);
    ~WriteBehind();  // Finish()
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    unsigned char* Room() { return buffers_[current_].get() + used_; }
    void Commit(size_t n) {
        used_ += n;
        if (used_ >= bufferSize_) HandOver();
    }
    // Writes what is left and waits for the writer; false when a write failed.
    bool Finish();
    // A write failed (seen as soon as the writer met it).
    bool Failed() const { return failed_.load(std::memory_order_relaxed); }
    // Bytes committed so far.
    uint64_t Committed() const { return committed_ + used_; }

private:
    static constexpr int kBuffers = 3;
    static constexpr size_t kStop = ~static_cast<size_t>(0);  // the length that ends the writer

    void HandOver();
    void Write(const unsigned char* data, size_t n);
    bool StartWriter();
    static void WriterMain(void* self);

    platform::Stream& stream_;
    const size_t bufferSize_;
    const size_t bufferBytes_;                             // bufferSize and the slack
    std::unique_ptr<unsigned char[]> buffers_[kBuffers];  // left uninitialised
    size_t lengths_[kBuffers] = {};
    int current_ = 0;
    size_t used_ = 0;
    uint64_t committed_ = 0;
    std::atomic<bool> failed_{false};
    bool finished_ = false;
    bool inline_ = false;  // no writer thread: write in the caller's thread
    std::unique_ptr<platform::Semaphore> filled_;  // buffers waiting for the writer
    std::unique_ptr<platform::Semaphore> free_;    // buffers the caller may fill
    std::unique_ptr<platform::Thread> writer_;
};

}  // namespace vexil
