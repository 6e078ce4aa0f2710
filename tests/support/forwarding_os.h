// An Os that passes every call on to another (the native one by default).
// Tests derive from it, override the calls they watch or break, and install
// it with ScopedOs.
#pragma once

#include "platform/platform.h"

namespace test {

class ForwardingOs : public platform::Os {
public:
    explicit ForwardingOs(platform::Os& target = platform::NativeOs()) : t_(target) {}

    bool FindFile(const std::string& path, platform::FileInfo* info) override { return t_.FindFile(path, info); }
    bool FindAnyFile(const std::string& path, platform::FileInfo* info) override { return t_.FindAnyFile(path, info); }
    bool IsDirectory(const std::string& path) override { return t_.IsDirectory(path); }
    bool SameFile(const std::string& a, const std::string& b) override { return t_.SameFile(a, b); }
    std::string ExistingSpelling(const std::string& path) override { return t_.ExistingSpelling(path); }
    platform::Stream* Open(const std::string& path, const char* mode) override { return t_.Open(path, mode); }
    bool Close(platform::Stream* stream) override { return t_.Close(stream); }
    bool Remove(const std::string& path) override { return t_.Remove(path); }
    bool Exists(const std::string& path) override { return t_.Exists(path); }
    bool Rename(const std::string& from, const std::string& to) override { return t_.Rename(from, to); }
    bool SetFileMode(const std::string& path, unsigned mode) override { return t_.SetFileMode(path, mode); }
    bool CopyFileMode(const std::string& from, const std::string& to) override { return t_.CopyFileMode(from, to); }
    std::string LinkTarget(const std::string& path) override { return t_.LinkTarget(path); }
    std::string GetCurrentDir() override { return t_.GetCurrentDir(); }
    bool SetCurrentDir(const std::string& path) override { return t_.SetCurrentDir(path); }
    platform::SettingsKey* OpenSettingsKey(const std::string& path) override { return t_.OpenSettingsKey(path); }
    platform::SettingsKey* CreateSettingsKey(const std::string& path) override { return t_.CreateSettingsKey(path); }
    bool QueryValue(platform::SettingsKey* key, const std::string& name, void* buffer, uint32_t* size) override {
        return t_.QueryValue(key, name, buffer, size);
    }
    bool SetDword(platform::SettingsKey* key, const std::string& name, uint32_t value) override {
        return t_.SetDword(key, name, value);
    }
    bool SetString(platform::SettingsKey* key, const std::string& name, const std::string& value) override {
        return t_.SetString(key, name, value);
    }
    void CloseSettingsKey(platform::SettingsKey* key) override { t_.CloseSettingsKey(key); }
    bool StartThread(platform::ThreadBody body, void* argument) override { return t_.StartThread(body, argument); }
    std::unique_ptr<platform::Thread> StartJoinableThread(platform::ThreadBody body, void* argument) override {
        return t_.StartJoinableThread(body, argument);
    }
    std::unique_ptr<platform::Semaphore> NewSemaphore(unsigned count) override { return t_.NewSemaphore(count); }
    void Sleep(unsigned milliseconds) override { t_.Sleep(milliseconds); }
    int PendingConsoleEvents() override { return t_.PendingConsoleEvents(); }
    bool ReadConsoleEvent(platform::ConsoleEvent* event) override { return t_.ReadConsoleEvent(event); }
    char DecimalSeparator() override { return t_.DecimalSeparator(); }
    platform::DateTime LocalNow() override { return t_.LocalNow(); }
    platform::DateTime FileTimeToLocal(uint64_t fileTime) override { return t_.FileTimeToLocal(fileTime); }

protected:
    platform::Os& t_;
};

// Installs an Os for the scope, restoring the previous one after.
class ScopedOs {
public:
    explicit ScopedOs(platform::Os& os) : previous_(platform::SetOs(&os)) {}
    ~ScopedOs() { platform::SetOs(previous_); }
    ScopedOs(const ScopedOs&) = delete;
    ScopedOs& operator=(const ScopedOs&) = delete;

private:
    platform::Os* previous_;
};

}  // namespace test
