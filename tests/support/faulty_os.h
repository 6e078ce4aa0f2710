// A platform::Os that forwards to the native one and fails chosen calls:
// the n-th Open, stream Read, stream Write/Flush or Remove, once or from then on.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace testing_support {

class FaultyOs : public platform::Os {
public:
    enum Call { kOpen, kRead, kWrite, kRemove, kCallKinds };

    FaultyOs();
    ~FaultyOs() override;

    // Fails the n-th call (1-based, counted from now) of `call`, `times`
    // times in a row (-1: every call from then on).
    void Fail(Call call, int n, int times = 1);
    int Calls(Call call) const { return counts_[call]; }
    // Queued console key events handed out by ReadConsoleEvent.
    std::vector<int> keys;

    // Consulted by the wrapped streams.
    bool ShouldFail(Call call);

    bool FindFile(const std::string& path, platform::FileInfo* info) override { return native_.FindFile(path, info); }
    bool IsDirectory(const std::string& path) override { return native_.IsDirectory(path); }
    platform::Stream* Open(const std::string& path, const char* mode) override;
    bool Close(platform::Stream* stream) override;
    bool Remove(const std::string& path) override;
    std::string GetCurrentDir() override { return native_.GetCurrentDir(); }
    bool SetCurrentDir(const std::string& path) override { return native_.SetCurrentDir(path); }
    platform::SettingsKey* OpenSettingsKey(const std::string& path) override { return native_.OpenSettingsKey(path); }
    platform::SettingsKey* CreateSettingsKey(const std::string& path) override {
        return native_.CreateSettingsKey(path);
    }
    bool QueryValue(platform::SettingsKey* key, const std::string& name, void* buffer, uint32_t* size) override {
        return native_.QueryValue(key, name, buffer, size);
    }
    bool SetDword(platform::SettingsKey* key, const std::string& name, uint32_t value) override {
        return native_.SetDword(key, name, value);
    }
    void CloseSettingsKey(platform::SettingsKey* key) override { native_.CloseSettingsKey(key); }
    bool StartThread(platform::ThreadBody body, void* argument) override { return native_.StartThread(body, argument); }
    void Sleep(unsigned milliseconds) override { native_.Sleep(milliseconds); }
    int PendingConsoleEvents() override { return static_cast<int>(keys.size()); }
    bool ReadConsoleEvent(platform::ConsoleEvent* event) override;
    char DecimalSeparator() override { return native_.DecimalSeparator(); }
    platform::DateTime LocalNow() override { return native_.LocalNow(); }
    platform::DateTime FileTimeToLocal(uint64_t t) override { return native_.FileTimeToLocal(t); }

private:
    platform::Os& native_;
    platform::Os* previous_;
    int counts_[kCallKinds] = {};
    int failAt_[kCallKinds] = {};
    int failTimes_[kCallKinds] = {};
};

}  // namespace testing_support
