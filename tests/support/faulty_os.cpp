#include "faulty_os.h"

namespace testing_support {

namespace {

// Wraps a native stream; failed transfers set its own error indicator.
class FaultyStream final : public platform::Stream {
public:
    FaultyStream(FaultyOs& owner, platform::Stream* inner) : owner_(owner), inner_(inner) {}
    platform::Stream* inner() const { return inner_; }

    size_t Read(void* buffer, size_t n) override {
        if (owner_.ShouldFail(FaultyOs::kRead)) {
            error_ = true;
            return 0;
        }
        const size_t got = inner_->Read(buffer, n);
        owner_.CountRead(got);
        return got;
    }
    size_t Write(const void* data, size_t n) override {
        if (owner_.ShouldFail(FaultyOs::kWrite)) {
            // A partial transfer: half the bytes arrive before the failure.
            inner_->Write(data, n / 2);
            inner_->Flush();
            error_ = true;
            return n / 2;
        }
        return inner_->Write(data, n);
    }
    bool Seek(uint64_t position) override { return inner_->Seek(position); }
    uint64_t Tell() override { return inner_->Tell(); }
    uint64_t Length() override { return inner_->Length(); }
    bool Error() override { return error_ || inner_->Error(); }
    void ClearError() override {
        error_ = false;
        inner_->ClearError();
    }
    bool Flush() override {
        if (owner_.ShouldFail(FaultyOs::kFlush)) {
            error_ = true;
            return false;
        }
        return inner_->Flush();
    }
    bool Truncate(uint64_t length) override { return inner_->Truncate(length); }
    bool Reserve(uint64_t bytes) override { return inner_->Reserve(bytes); }

private:
    FaultyOs& owner_;
    platform::Stream* inner_;
    bool error_ = false;
};

}  // namespace

FaultyOs::FaultyOs() : previous_(platform::SetOs(this)) {}

FaultyOs::~FaultyOs() { platform::SetOs(previous_ == &platform::NativeOs() ? nullptr : previous_); }

void FaultyOs::Fail(Call call, int n, int times) {
    failAt_[call] = counts_[call] + n;
    failTimes_[call] = times;
}

bool FaultyOs::ShouldFail(Call call) {
    int count = ++counts_[call];
    if (failAt_[call] == 0 || count < failAt_[call]) return false;
    if (failTimes_[call] < 0) return true;
    if (count < failAt_[call] + failTimes_[call]) return true;
    return false;
}

platform::Stream* FaultyOs::Open(const std::string& path, const char* mode) {
    if (ShouldFail(kOpen)) return nullptr;
    platform::Stream* inner = t_.Open(path, mode);
    return inner ? new FaultyStream(*this, inner) : nullptr;
}

bool FaultyOs::Close(platform::Stream* stream) {
    if (!stream) return true;
    auto* s = static_cast<FaultyStream*>(stream);
    bool ok = t_.Close(s->inner());
    delete s;
    return ok;
}

bool FaultyOs::Remove(const std::string& path) {
    if (ShouldFail(kRemove)) return false;
    return t_.Remove(path);
}

bool FaultyOs::Rename(const std::string& from, const std::string& to) {
    if (ShouldFail(kRename)) return false;
    return t_.Rename(from, to);
}

bool FaultyOs::ReadConsoleEvent(platform::ConsoleEvent* event) {
    if (keys.empty()) return false;
    event->isKey = true;
    event->virtualKey = keys.front();
    keys.erase(keys.begin());
    return true;
}

}  // namespace testing_support
