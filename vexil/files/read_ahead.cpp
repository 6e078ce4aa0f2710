#include "vexil/files/read_ahead.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace vexil {

ReadAhead::ReadAhead(platform::Stream& stream, uint64_t length, size_t chunkSize, size_t headroom)
    : stream_(stream), left_(length), chunkSize_(std::max<size_t>(chunkSize, 1)), headroom_(headroom) {
    chunks_[0].bytes.reset(new unsigned char[headroom_ + chunkSize_]);
    // One chunk holds a short stretch: no thread for it.
    if (length > chunkSize_) threaded_ = StartReader();
}

ReadAhead::~ReadAhead() {
    if (!reader_) return;
    stop_.store(true);
    for (int i = 0; i < kBuffers; ++i) free_->Post();  // wakes a reader waiting for room
    reader_->Join();
}

void ReadAhead::Fill(Chunk& c) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(chunkSize_, left_));
    const size_t got = want > 0 ? stream_.Read(c.bytes.get() + headroom_, want) : 0;
    left_ -= got;
    c.length = got;
    c.failed = got < want;  // a read error, or the stream ended before the stretch
    c.last = left_ == 0 || c.failed;
}

bool ReadAhead::StartReader() {
    platform::Os& os = platform::os();
    filled_ = os.NewSemaphore(0);
    free_ = os.NewSemaphore(kBuffers);
    if (!filled_ || !free_) return false;
    for (int i = 1; i < kBuffers; ++i) chunks_[i].bytes.reset(new unsigned char[headroom_ + chunkSize_]);
    reader_ = os.StartJoinableThread(ReaderMain, this);
    return reader_ != nullptr;
}

void ReadAhead::ReaderMain(void* self) {
    ReadAhead& r = *static_cast<ReadAhead*>(self);
    for (int i = 0;; i = (i + 1) % kBuffers) {
        r.free_->Wait();
        if (r.stop_.load()) return;
        Chunk& c = r.chunks_[i];
        r.Fill(c);
        const bool last = c.last;
        r.filled_->Post();
        if (last) return;
    }
}

const unsigned char* ReadAhead::Next(const unsigned char* keep, size_t keepLength, size_t* size) {
    keepLength = std::min(keepLength, headroom_);
    if (atEnd_) {
        // Nothing more: the kept bytes alone, where they are.
        *size = keepLength;
        return keep;
    }
    const int next = threaded_ ? (current_ + 1) % kBuffers : 0;
    Chunk& c = chunks_[next];
    unsigned char* start = c.bytes.get() + headroom_ - keepLength;
    if (threaded_) {
        filled_->Wait();
        if (keepLength > 0) std::memcpy(start, keep, keepLength);
        if (current_ >= 0) free_->Post();  // the chunk the kept bytes came from
    } else {
        if (keepLength > 0) std::memmove(start, keep, keepLength);  // may lie in the same chunk
        Fill(c);
    }
    current_ = next;
    atEnd_ = c.last;
    failed_ = c.failed;
    *size = keepLength + (c.failed ? 0 : c.length);
    return start;
}

}  // namespace vexil
