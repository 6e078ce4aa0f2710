#include "vexil/files/write_behind.h"

#include "platform/platform.h"

namespace vexil {

WriteBehind::WriteBehind(platform::Stream& stream, size_t bufferSize, size_t slack)
    : stream_(stream), bufferSize_(bufferSize), bufferBytes_(bufferSize + slack) {
    buffers_[0].reset(new unsigned char[bufferBytes_]);
}

WriteBehind::~WriteBehind() { Finish(); }

void WriteBehind::Write(const unsigned char* data, size_t n) {
    if (n == 0 || Failed()) return;
    if (stream_.Write(data, n) != n || stream_.Error()) failed_.store(true, std::memory_order_relaxed);
}

bool WriteBehind::StartWriter() {
    platform::Os& os = platform::os();
    filled_ = os.NewSemaphore(0);
    free_ = os.NewSemaphore(kBuffers - 1);
    if (!filled_ || !free_) return false;
    for (int i = 1; i < kBuffers; ++i) buffers_[i].reset(new unsigned char[bufferBytes_]);
    writer_ = os.StartJoinableThread(WriterMain, this);
    return writer_ != nullptr;
}

void WriteBehind::WriterMain(void* self) {
    WriteBehind& w = *static_cast<WriteBehind*>(self);
    for (int i = 0;; i = (i + 1) % kBuffers) {
        w.filled_->Wait();
        const size_t n = w.lengths_[i];
        if (n == kStop) return;
        w.Write(w.buffers_[i].get(), n);
        w.free_->Post();
    }
}

void WriteBehind::HandOver() {
    if (used_ == 0) return;
    committed_ += used_;
    // The first full buffer starts the writer; small outputs never need one.
    if (!inline_ && !writer_ && !StartWriter()) inline_ = true;
    if (inline_) {
        Write(buffers_[current_].get(), used_);
        used_ = 0;
        return;
    }
    lengths_[current_] = used_;
    filled_->Post();
    current_ = (current_ + 1) % kBuffers;
    free_->Wait();
    used_ = 0;
}

bool WriteBehind::Finish() {
    if (finished_) return !Failed();
    finished_ = true;
    if (writer_) {
        HandOver();
        lengths_[current_] = kStop;
        filled_->Post();
        writer_->Join();
        writer_.reset();
    } else {
        committed_ += used_;
        Write(buffers_[current_].get(), used_);
        used_ = 0;
    }
    return !Failed();
}

}  // namespace vexil
