// Temporary stand-in for the platform layer until it lands on main.
#include <sys/stat.h>
#include <unistd.h>
#include <pthread.h>
#include <cstdio>
#include "platform/platform.h"

namespace platform {
namespace {
class FileStream : public Stream {
public:
    explicit FileStream(FILE* f) : f_(f) {}
    size_t Read(void* b, size_t n) override { return fread(b, 1, n, f_); }
    size_t Write(const void* d, size_t n) override { return fwrite(d, 1, n, f_); }
    bool Seek(uint64_t p) override { return fseeko(f_, static_cast<off_t>(p), SEEK_SET) == 0; }
    uint64_t Tell() override { return static_cast<uint64_t>(ftello(f_)); }
    uint64_t Length() override { struct stat st; fstat(fileno(f_), &st); return static_cast<uint64_t>(st.st_size); }
    bool Error() override { return ferror(f_) != 0; }
    void ClearError() override { clearerr(f_); }
    bool Flush() override { return fflush(f_) == 0; }
    bool Truncate(uint64_t l) override { fflush(f_); return ftruncate(fileno(f_), static_cast<off_t>(l)) == 0; }
    FILE* f_;
};
class StubOs : public Os {
public:
    bool FindFile(const std::string& path, FileInfo* info) override {
        struct stat st;
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        info->size = static_cast<uint64_t>(st.st_size);
        info->lastWriteTime = static_cast<uint64_t>(st.st_mtim.tv_sec) * 10000000ull + st.st_mtim.tv_nsec / 100 + 116444736000000000ull;
        info->creationTime = info->lastWriteTime;
        return true;
    }
    bool IsDirectory(const std::string&) override { return false; }
    Stream* Open(const std::string& path, const char* mode) override {
        FILE* f = fopen(path.c_str(), mode);
        return f ? new FileStream(f) : nullptr;
    }
    bool Close(Stream* s) override { auto* fs = static_cast<FileStream*>(s); bool ok = fclose(fs->f_) == 0; delete fs; return ok; }
    bool Remove(const std::string& p) override { return remove(p.c_str()) == 0; }
    std::string GetCurrentDir() override { return "/"; }
    bool SetCurrentDir(const std::string&) override { return true; }
    SettingsKey* OpenSettingsKey(const std::string&) override { return nullptr; }
    SettingsKey* CreateSettingsKey(const std::string&) override { return nullptr; }
    bool QueryValue(SettingsKey*, const std::string&, void*, uint32_t*) override { return false; }
    bool SetDword(SettingsKey*, const std::string&, uint32_t) override { return false; }
    void CloseSettingsKey(SettingsKey*) override {}
    bool StartThread(ThreadBody body, void* arg) override {
        struct P { ThreadBody b; void* a; };
        auto* p = new P{body, arg};
        pthread_t t;
        if (pthread_create(&t, nullptr, [](void* x) -> void* { auto* q = static_cast<P*>(x); q->b(q->a); delete q; return nullptr; }, p) != 0) { delete p; return false; }
        pthread_detach(t);
        return true;
    }
    void Sleep(unsigned ms) override { usleep(ms * 1000); }
    int PendingConsoleEvents() override { return 0; }
    bool ReadConsoleEvent(ConsoleEvent*) override { return false; }
    char DecimalSeparator() override { return '.'; }
    DateTime LocalNow() override { return {}; }
    DateTime FileTimeToLocal(uint64_t) override { return {}; }
};
StubOs g_native;
Os* g_current = &g_native;
}
Os& os() { return *g_current; }
Os& NativeOs() { return g_native; }
Os* SetOs(Os* r) { Os* prev = g_current; g_current = r ? r : &g_native; return prev == &g_native ? nullptr : prev; }
}
