// POSIX implementation of platform::Os: POSIX and C library calls only, no policy.
#include "../platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <new>
#include <vector>

#include "settings_file.h"

namespace platform {

namespace {

constexpr uint64_t kEpochDifference = 11644473600ULL;  // seconds from 1601 to 1970

uint64_t ToFileTime(const struct timespec& t) {
    return (static_cast<uint64_t>(t.tv_sec) + kEpochDifference) * 10000000ULL +
           static_cast<uint64_t>(t.tv_nsec) / 100;
}

DateTime ToDateTime(const struct tm& tm) {
    DateTime d;
    d.year = tm.tm_year + 1900;
    d.month = tm.tm_mon + 1;
    d.day = tm.tm_mday;
    d.hour = tm.tm_hour;
    d.minute = tm.tm_min;
    d.second = tm.tm_sec;
    return d;
}

bool HasWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

class PosixStream final : public Stream {
public:
    explicit PosixStream(FILE* file) : file_(file) {}
    FILE* file() const { return file_; }

    size_t Read(void* buffer, size_t n) override { return std::fread(buffer, 1, n, file_); }
    size_t Write(const void* data, size_t n) override { return std::fwrite(data, 1, n, file_); }
    bool Seek(uint64_t position) override {
        if (position > static_cast<uint64_t>(LLONG_MAX)) return false;
        return fseeko(file_, static_cast<off_t>(position), SEEK_SET) == 0;
    }
    uint64_t Tell() override {
        off_t p = ftello(file_);
        return p < 0 ? 0 : static_cast<uint64_t>(p);
    }
    uint64_t Length() override {
        struct stat st;
        if (fstat(fileno(file_), &st) != 0) return 0;
        return static_cast<uint64_t>(st.st_size);
    }
    bool Error() override { return std::ferror(file_) != 0; }
    void ClearError() override { std::clearerr(file_); }
    bool Flush() override { return std::fflush(file_) == 0; }
    bool Truncate(uint64_t length) override {
        if (std::fflush(file_) != 0) return false;
        if (ftruncate(fileno(file_), static_cast<off_t>(length)) != 0) return false;
        return fseeko(file_, static_cast<off_t>(length), SEEK_SET) == 0;
    }
    bool Reserve(uint64_t bytes) override {
#if defined(__linux__)
        // Set aside beyond the end of file: the length stays, so a short
        // write leaves no zeros behind (Truncate gives unused space back).
        if (bytes == 0 || bytes > static_cast<uint64_t>(LLONG_MAX)) return false;
        return fallocate(fileno(file_), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0;
#else
        (void)bytes;
        return false;
#endif
    }

private:
    FILE* file_;
};

struct ThreadStart {
    ThreadBody body;
    void* argument;
};

void* ThreadMain(void* raw) {
    ThreadStart start = *static_cast<ThreadStart*>(raw);
    delete static_cast<ThreadStart*>(raw);
    start.body(start.argument);
    return nullptr;
}

class PosixSemaphore final : public Semaphore {
public:
    PosixSemaphore(unsigned count) : count_(count) {
        pthread_mutex_init(&mutex_, nullptr);
        pthread_cond_init(&cond_, nullptr);
    }
    ~PosixSemaphore() override {
        pthread_cond_destroy(&cond_);
        pthread_mutex_destroy(&mutex_);
    }
    void Post() override {
        pthread_mutex_lock(&mutex_);
        ++count_;
        pthread_cond_signal(&cond_);
        pthread_mutex_unlock(&mutex_);
    }
    void Wait() override {
        pthread_mutex_lock(&mutex_);
        while (count_ == 0) pthread_cond_wait(&cond_, &mutex_);
        --count_;
        pthread_mutex_unlock(&mutex_);
    }

private:
    pthread_mutex_t mutex_;
    pthread_cond_t cond_;
    unsigned count_;
};

class PosixThread final : public Thread {
public:
    ~PosixThread() override { Join(); }
    void Join() override {
        if (!running_) return;
        pthread_join(thread_, nullptr);
        running_ = false;
    }
    bool Start(ThreadBody body, void* argument) {
        ThreadStart* start = new (std::nothrow) ThreadStart{body, argument};
        if (!start) return false;
        if (pthread_create(&thread_, nullptr, ThreadMain, start) != 0) {
            delete start;
            return false;
        }
        running_ = true;
        return true;
    }

private:
    pthread_t thread_{};
    bool running_ = false;
};

class PosixOs final : public Os {
public:
    bool FindFile(const std::string& path, FileInfo* info) override {
        if (path.empty() || HasWildcard(path)) return false;
        struct stat st;
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        if (info) {
            info->size = static_cast<uint64_t>(st.st_size);
            info->lastWriteTime = ToFileTime(st.st_mtim);
            info->creationTime = info->lastWriteTime;
#ifdef STATX_BTIME
            struct statx sx;
            if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME)) {
                struct timespec bt = {static_cast<time_t>(sx.stx_btime.tv_sec), static_cast<long>(sx.stx_btime.tv_nsec)};
                info->creationTime = ToFileTime(bt);
            }
#endif
        }
        return true;
    }

    // POSIX has no hidden or system attribute: both searches match the same files.
    bool FindAnyFile(const std::string& path, FileInfo* info) override { return FindFile(path, info); }

    bool IsDirectory(const std::string& path) override {
        struct stat st;
        return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool SameFile(const std::string& a, const std::string& b) override {
        struct stat sa, sb;
        if (a.empty() || b.empty() || stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }

    std::string ExistingSpelling(const std::string& path) override {
        struct stat st;
        if (path.empty() || lstat(path.c_str(), &st) == 0) return path;
        const size_t slash = path.rfind('/');
        const std::string prefix = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        const std::string name = path.substr(prefix.size());
        if (name.empty() || name == "." || name == "..") return path;
        DIR* dir = opendir(prefix.empty() ? "." : prefix.c_str());
        if (!dir) return path;
        std::vector<std::string> matches;
        while (const struct dirent* entry = readdir(dir)) {
            const std::string candidate = entry->d_name;
            if (candidate.size() != name.size()) continue;
            bool same = true;
            for (size_t i = 0; i < name.size() && same; ++i) same = AsciiLower(candidate[i]) == AsciiLower(name[i]);
            if (!same) continue;
            if (stat((prefix + candidate).c_str(), &st) == 0 && S_ISREG(st.st_mode)) matches.push_back(candidate);
        }
        closedir(dir);
        if (matches.empty()) return path;
        // Several spellings of one name: the first in byte order, so the choice does not vary.
        return prefix + *std::min_element(matches.begin(), matches.end());
    }

    Stream* Open(const std::string& path, const char* mode) override {
        // As on Windows, names with wildcards cannot be created or opened.
        if (path.empty() || HasWildcard(path)) {
            errno = EINVAL;
            return nullptr;
        }
        // Only ordinary files: opening a FIFO or device could block or never end.
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            return nullptr;
        }
        FILE* file = std::fopen(path.c_str(), mode);
        if (!file) return nullptr;
        if (fstat(fileno(file), &st) != 0 || S_ISDIR(st.st_mode)) {
            std::fclose(file);
            errno = EISDIR;
            return nullptr;
        }
        PosixStream* stream = new (std::nothrow) PosixStream(file);
        if (!stream) std::fclose(file);
        return stream;
    }

    bool Close(Stream* stream) override {
        if (!stream) return true;
        PosixStream* s = static_cast<PosixStream*>(stream);
        bool ok = std::fclose(s->file()) == 0;
        delete s;
        return ok;
    }

    bool Remove(const std::string& path) override { return !path.empty() && unlink(path.c_str()) == 0; }
    bool Exists(const std::string& path) override {
        struct stat st;
        return !path.empty() && lstat(path.c_str(), &st) == 0;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return !from.empty() && !to.empty() && rename(from.c_str(), to.c_str()) == 0;
    }
    bool SetFileMode(const std::string& path, unsigned mode) override {
        // umask can only be read by setting it; set it straight back.
        const mode_t mask = umask(022);
        umask(mask);
        return chmod(path.c_str(), static_cast<mode_t>(mode & 0777u & ~static_cast<unsigned>(mask))) == 0;
    }

    bool CopyFileMode(const std::string& from, const std::string& to) override {
        struct stat st;
        if (stat(from.c_str(), &st) != 0) return false;
        return chmod(to.c_str(), st.st_mode & 07777) == 0;
    }
    std::string LinkTarget(const std::string& path) override {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char* resolved = realpath(path.c_str(), nullptr);
        if (resolved == nullptr) return path;
        std::string target = resolved;
        free(resolved);
        return target;
    }

    std::string GetCurrentDir() override {
        char buffer[PATH_MAX];
        if (!getcwd(buffer, sizeof buffer)) return std::string();
        return buffer;
    }
    bool SetCurrentDir(const std::string& path) override { return !path.empty() && chdir(path.c_str()) == 0; }

    SettingsKey* OpenSettingsKey(const std::string& path) override { return SettingsFile::Open(path, false); }
    SettingsKey* CreateSettingsKey(const std::string& path) override { return SettingsFile::Open(path, true); }
    bool QueryValue(SettingsKey* key, const std::string& name, void* buffer, uint32_t* size) override {
        return SettingsFile::Query(key, name, buffer, size);
    }
    bool SetDword(SettingsKey* key, const std::string& name, uint32_t value) override {
        return SettingsFile::SetDword(key, name, value);
    }
    bool SetString(SettingsKey* key, const std::string& name, const std::string& value) override {
        return SettingsFile::SetString(key, name, value);
    }
    void CloseSettingsKey(SettingsKey* key) override { SettingsFile::Close(key); }

    bool StartThread(ThreadBody body, void* argument) override {
        ThreadStart* start = new (std::nothrow) ThreadStart{body, argument};
        if (!start) return false;
        pthread_t thread;
        if (pthread_create(&thread, nullptr, ThreadMain, start) != 0) {
            delete start;
            return false;
        }
        pthread_detach(thread);
        return true;
    }
    std::unique_ptr<Thread> StartJoinableThread(ThreadBody body, void* argument) override {
        std::unique_ptr<PosixThread> thread(new (std::nothrow) PosixThread);
        if (!thread || !thread->Start(body, argument)) return nullptr;
        return thread;
    }
    std::unique_ptr<Semaphore> NewSemaphore(unsigned count) override {
        return std::unique_ptr<Semaphore>(new (std::nothrow) PosixSemaphore(count));
    }

    void Sleep(unsigned milliseconds) override {
        struct timespec t = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
        while (nanosleep(&t, &t) != 0 && errno == EINTR) {
        }
    }

    // Console input is the terminal on standard input; nothing is pending
    // when standard input is not a terminal.
    int PendingConsoleEvents() override {
        if (!isatty(STDIN_FILENO)) return 0;
        struct pollfd p = {STDIN_FILENO, POLLIN, 0};
        return poll(&p, 1, 0) > 0 && (p.revents & POLLIN) ? 1 : 0;
    }

    bool ReadConsoleEvent(ConsoleEvent* event) override {
        if (PendingConsoleEvents() == 0) return false;
        unsigned char c;
        if (read(STDIN_FILENO, &c, 1) != 1) return false;
        event->isKey = true;
        // Ctrl+C in a raw-mode terminal is byte 3; it stops a job as Esc does.
        event->virtualKey = c == 3 ? 27 : c;
        if (c == 27 && PendingConsoleEvents() > 0) {
            // An escape sequence (a cursor or function key) is one key, not Esc.
            unsigned char next;
            if (read(STDIN_FILENO, &next, 1) == 1 && (next == '[' || next == 'O')) {
                event->virtualKey = 0;
                unsigned char b = 0;
                while (PendingConsoleEvents() > 0 && read(STDIN_FILENO, &b, 1) == 1 && !(b >= 0x40 && b <= 0x7e)) {
                }
            } else {
                event->virtualKey = 0;  // Alt+key
            }
        }
        return true;
    }

    // The separator of the environment's LC_NUMERIC, read without changing
    // the process's own locale.
    char DecimalSeparator() override {
        char separator = '.';
        locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
        if (loc != static_cast<locale_t>(0)) {
            const char* radix = nl_langinfo_l(RADIXCHAR, loc);
            if (radix && radix[0] && !radix[1]) separator = radix[0];
            freelocale(loc);
        }
        return separator;
    }

    DateTime LocalNow() override {
        time_t now = time(nullptr);
        struct tm tm;
        localtime_r(&now, &tm);
        return ToDateTime(tm);
    }

    DateTime FileTimeToLocal(uint64_t fileTime) override {
        time_t t = static_cast<time_t>(fileTime / 10000000ULL) - static_cast<time_t>(kEpochDifference);
        struct tm tm;
        if (!localtime_r(&t, &tm)) return DateTime{};
        return ToDateTime(tm);
    }
};

}  // namespace

Os& NativeOs() {
    static PosixOs instance;
    return instance;
}

}  // namespace platform
