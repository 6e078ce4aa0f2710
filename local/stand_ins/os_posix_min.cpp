// Minimal POSIX platform for the temporary build.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/platform.h"

namespace platform {
namespace {

class FileStream final : public Stream {
public:
    explicit FileStream(FILE* f) : f_(f) {}
    ~FileStream() override = default;
    FILE* f_;
    size_t Read(void* b, size_t n) override { return fread(b, 1, n, f_); }
    size_t Write(const void* d, size_t n) override { return fwrite(d, 1, n, f_); }
    bool Seek(uint64_t p) override { return fseeko(f_, static_cast<off_t>(p), SEEK_SET) == 0; }
    uint64_t Tell() override { return static_cast<uint64_t>(ftello(f_)); }
    uint64_t Length() override {
        struct stat st;
        return fstat(fileno(f_), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    }
    bool Error() override { return ferror(f_) != 0; }
    void ClearError() override { clearerr(f_); }
    bool Flush() override { return fflush(f_) == 0; }
    bool Truncate(uint64_t length) override {
        return fflush(f_) == 0 && ftruncate(fileno(f_), static_cast<off_t>(length)) == 0;
    }
};

uint64_t ToFileTime(time_t t) { return (static_cast<uint64_t>(t) + 11644473600ull) * 10000000ull; }

DateTime FromTm(const struct tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

class PosixOs final : public Os {
public:
    bool FindFile(const std::string& path, FileInfo* info) override {
        struct stat st;
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        info->size = static_cast<uint64_t>(st.st_size);
        info->lastWriteTime = ToFileTime(st.st_mtime);
        info->creationTime = info->lastWriteTime;
        return true;
    }
    bool IsDirectory(const std::string& path) override {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    Stream* Open(const std::string& path, const char* mode) override {
        if (path.find_first_of("*?") != std::string::npos) return nullptr;
        FILE* f = fopen(path.c_str(), mode);
        return f ? new FileStream(f) : nullptr;
    }
    bool Close(Stream* s) override {
        auto* fs = static_cast<FileStream*>(s);
        bool ok = fclose(fs->f_) == 0;
        delete fs;
        return ok;
    }
    bool Remove(const std::string& path) override { return std::remove(path.c_str()) == 0; }
    std::string GetCurrentDir() override {
        char b[4096];
        return getcwd(b, sizeof b) ? b : "";
    }
    bool SetCurrentDir(const std::string& p) override { return chdir(p.c_str()) == 0; }
    SettingsKey* OpenSettingsKey(const std::string&) override { return nullptr; }
    SettingsKey* CreateSettingsKey(const std::string&) override { return nullptr; }
    bool QueryValue(SettingsKey*, const std::string&, void*, uint32_t*) override { return false; }
    bool SetDword(SettingsKey*, const std::string&, uint32_t) override { return false; }
    void CloseSettingsKey(SettingsKey*) override {}
    bool StartThread(ThreadBody, void*) override { return false; }
    void Sleep(unsigned ms) override { usleep(ms * 1000); }
    int PendingConsoleEvents() override { return 0; }
    bool ReadConsoleEvent(ConsoleEvent*) override { return false; }
    char DecimalSeparator() override { return '.'; }
    DateTime LocalNow() override {
        time_t t = time(nullptr);
        struct tm tm;
        localtime_r(&t, &tm);
        return FromTm(tm);
    }
    DateTime FileTimeToLocal(uint64_t ft) override {
        time_t t = static_cast<time_t>(ft / 10000000ull - 11644473600ull);
        struct tm tm;
        localtime_r(&t, &tm);
        return FromTm(tm);
    }
};

PosixOs g_native;
Os* g_current = &g_native;

}  // namespace

Os& os() { return *g_current; }
Os& NativeOs() { return g_native; }
Os* SetOs(Os* replacement) {
    Os* previous = g_current;
    g_current = replacement ? replacement : &g_native;
    return previous;
}

}  // namespace platform
