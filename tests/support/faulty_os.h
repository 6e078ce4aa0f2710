// A platform::Os that forwards to the native one and fails chosen calls
// (and hands out queued console keys):
// the n-th Open, stream Read, stream Write, stream Flush, Remove or Rename,
// once or from then on.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "forwarding_os.h"

namespace testing_support {

class FaultyOs : public test::ForwardingOs {
public:
    enum Call { kOpen, kRead, kWrite, kRemove, kRename, kFlush, kCallKinds };

    FaultyOs();
    ~FaultyOs() override;

    // Fails the n-th call (1-based, counted from now) of `call`, `times`
    // times in a row (-1: every call from then on).
    void Fail(Call call, int n, int times = 1);
    int Calls(Call call) const { return counts_[call]; }
    // Bytes the wrapped streams have read, on any thread.
    uint64_t BytesRead() const { return bytesRead_.load(); }
    void CountRead(uint64_t bytes) { bytesRead_ += bytes; }
    // Queued console key events handed out by ReadConsoleEvent.
    std::vector<int> keys;

    // Consulted by the wrapped streams.
    bool ShouldFail(Call call);

    platform::Stream* Open(const std::string& path, const char* mode) override;
    bool Close(platform::Stream* stream) override;
    bool Remove(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    int PendingConsoleEvents() override { return static_cast<int>(keys.size()); }
    bool ReadConsoleEvent(platform::ConsoleEvent* event) override;

private:
    platform::Os* previous_;
    int counts_[kCallKinds] = {};
    int failAt_[kCallKinds] = {};
    int failTimes_[kCallKinds] = {};
    std::atomic<uint64_t> bytesRead_{0};
};

}  // namespace testing_support
