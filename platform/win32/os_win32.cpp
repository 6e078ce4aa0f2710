// Win32 implementation of platform::Os: Win32 and C runtime calls only, no policy.
#include "../platform.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <new>

namespace platform {

struct SettingsKey {
    HKEY key;
};

namespace {

uint64_t ToUint64(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

DateTime ToDateTime(const SYSTEMTIME& t) {
    DateTime d;
    d.year = t.wYear;
    d.month = t.wMonth;
    d.day = t.wDay;
    d.hour = t.wHour;
    d.minute = t.wMinute;
    d.second = t.wSecond;
    return d;
}

bool HasWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

class Win32Stream final : public Stream {
public:
    explicit Win32Stream(FILE* file) : file_(file) {}
    FILE* file() const { return file_; }

    size_t Read(void* buffer, size_t n) override { return std::fread(buffer, 1, n, file_); }
    size_t Write(const void* data, size_t n) override { return std::fwrite(data, 1, n, file_); }
    bool Seek(uint64_t position) override {
        return _fseeki64(file_, static_cast<__int64>(position), SEEK_SET) == 0;
    }
    uint64_t Tell() override {
        __int64 p = _ftelli64(file_);
        return p < 0 ? 0 : static_cast<uint64_t>(p);
    }
    uint64_t Length() override {
        __int64 n = _filelengthi64(_fileno(file_));
        return n < 0 ? 0 : static_cast<uint64_t>(n);
    }
    bool Error() override { return std::ferror(file_) != 0; }
    void ClearError() override { std::clearerr(file_); }
    bool Flush() override { return std::fflush(file_) == 0; }
    bool Truncate(uint64_t length) override {
        if (std::fflush(file_) != 0) return false;
        if (_chsize_s(_fileno(file_), static_cast<__int64>(length)) != 0) return false;
        return _fseeki64(file_, static_cast<__int64>(length), SEEK_SET) == 0;
    }
    bool Reserve(uint64_t bytes) override {
        // The allocation size: space set aside past the end of file, which
        // stays where it is; NTFS gives back what is unused when the file closes.
        if (bytes == 0 || bytes > static_cast<uint64_t>(INT64_MAX)) return false;
        HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
        if (h == INVALID_HANDLE_VALUE) return false;
        FILE_ALLOCATION_INFO info;
        info.AllocationSize.QuadPart = static_cast<LONGLONG>(bytes);
        return SetFileInformationByHandle(h, FileAllocationInfo, &info, sizeof info) != 0;
    }

private:
    FILE* file_;
};

class Win32Semaphore final : public Semaphore {
public:
    explicit Win32Semaphore(HANDLE handle) : handle_(handle) {}
    ~Win32Semaphore() override { CloseHandle(handle_); }
    void Post() override { ReleaseSemaphore(handle_, 1, nullptr); }
    void Wait() override { WaitForSingleObject(handle_, INFINITE); }

private:
    HANDLE handle_;
};

struct ThreadStart {
    ThreadBody body;
    void* argument;
};

DWORD WINAPI ThreadMain(LPVOID raw) {
    ThreadStart start = *static_cast<ThreadStart*>(raw);
    delete static_cast<ThreadStart*>(raw);
    start.body(start.argument);
    return 0;
}

class Win32Thread final : public Thread {
public:
    ~Win32Thread() override {
        Join();
        if (handle_) CloseHandle(handle_);
    }
    void Join() override {
        if (handle_) WaitForSingleObject(handle_, INFINITE);
    }
    bool Start(ThreadBody body, void* argument) {
        ThreadStart* start = new (std::nothrow) ThreadStart{body, argument};
        if (!start) return false;
        DWORD id;
        handle_ = CreateThread(nullptr, 0, ThreadMain, start, 0, &id);
        if (!handle_) delete start;
        return handle_ != nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

// Volume and file index of an existing file or directory, opened without
// access rights and shared in every way so that no one else is disturbed.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    if (path.empty() || HasWildcard(path)) return false;
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(h, info) != 0;
    CloseHandle(h);
    return ok;
}

class Win32Os final : public Os {
public:
    bool FindFile(const std::string& path, FileInfo* info) override {
        return Find(path, info, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }

    bool FindAnyFile(const std::string& path, FileInfo* info) override {
        return Find(path, info, FILE_ATTRIBUTE_DIRECTORY);
    }

    // FindFirstFileA for `path`; a match with one of the `excluded` attributes does not count.
    static bool Find(const std::string& path, FileInfo* info, DWORD excluded) {
        if (path.empty() || HasWildcard(path)) return false;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(path.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return false;
        FindClose(find);
        if (data.dwFileAttributes & excluded) return false;
        if (info) {
            info->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            info->lastWriteTime = ToUint64(data.ftLastWriteTime);
            info->creationTime = ToUint64(data.ftCreationTime);
        }
        return true;
    }

    bool IsDirectory(const std::string& path) override {
        DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool SameFile(const std::string& a, const std::string& b) override {
        BY_HANDLE_FILE_INFORMATION ia, ib;
        if (!FileIdentity(a, &ia) || !FileIdentity(b, &ib)) return false;
        return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
               ia.nFileIndexLow == ib.nFileIndexLow;
    }

    // Names are compared without regard to case here already.
    std::string ExistingSpelling(const std::string& path) override { return path; }

    Stream* Open(const std::string& path, const char* mode) override {
        if (path.empty() || HasWildcard(path)) return nullptr;
        FILE* file = std::fopen(path.c_str(), mode);
        if (!file) return nullptr;
        Win32Stream* stream = new (std::nothrow) Win32Stream(file);
        if (!stream) std::fclose(file);
        return stream;
    }

    bool Close(Stream* stream) override {
        if (!stream) return true;
        Win32Stream* s = static_cast<Win32Stream*>(stream);
        bool ok = std::fclose(s->file()) == 0;
        delete s;
        return ok;
    }

    bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }
    bool Exists(const std::string& path) override {
        return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    }
    bool SetFileMode(const std::string&, unsigned) override { return true; }
    bool CopyFileMode(const std::string& from, const std::string& to) override {
        // The read-only attribute is the one permission the file system keeps.
        const DWORD a = GetFileAttributesA(from.c_str());
        if (a == INVALID_FILE_ATTRIBUTES) return false;
        const DWORD b = GetFileAttributesA(to.c_str());
        if (b == INVALID_FILE_ATTRIBUTES) return false;
        return SetFileAttributesA(to.c_str(), (b & ~FILE_ATTRIBUTE_READONLY) | (a & FILE_ATTRIBUTE_READONLY)) != 0;
    }
    std::string LinkTarget(const std::string& path) override { return path; }

    std::string GetCurrentDir() override {
        char buffer[MAX_PATH * 4];
        DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
        if (n == 0 || n >= sizeof buffer) return std::string();
        return std::string(buffer, n);
    }
    bool SetCurrentDir(const std::string& path) override { return SetCurrentDirectoryA(path.c_str()) != 0; }

    SettingsKey* OpenSettingsKey(const std::string& path) override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return nullptr;
        return new (std::nothrow) SettingsKey{key};
    }
    SettingsKey* CreateSettingsKey(const std::string& path) override {
        HKEY key;
        DWORD disposition;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                            nullptr, &key, &disposition) != ERROR_SUCCESS)
            return nullptr;
        return new (std::nothrow) SettingsKey{key};
    }
    bool QueryValue(SettingsKey* key, const std::string& name, void* buffer, uint32_t* size) override {
        if (!key) return false;
        DWORD type;
        DWORD n = *size;
        if (RegQueryValueExA(key->key, name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer), &n) !=
            ERROR_SUCCESS)
            return false;
        *size = n;
        return true;
    }
    bool SetDword(SettingsKey* key, const std::string& name, uint32_t value) override {
        if (!key) return false;
        DWORD v = value;
        return RegSetValueExA(key->key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
               ERROR_SUCCESS;
    }
    bool SetString(SettingsKey* key, const std::string& name, const std::string& value) override {
        if (!key) return false;
        return RegSetValueExA(key->key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }
    void CloseSettingsKey(SettingsKey* key) override {
        if (!key) return;
        RegCloseKey(key->key);
        delete key;
    }

    bool StartThread(ThreadBody body, void* argument) override {
        ThreadStart* start = new (std::nothrow) ThreadStart{body, argument};
        if (!start) return false;
        DWORD id;
        HANDLE thread = CreateThread(nullptr, 0, ThreadMain, start, 0, &id);
        if (!thread) {
            delete start;
            return false;
        }
        CloseHandle(thread);
        return true;
    }
    std::unique_ptr<Thread> StartJoinableThread(ThreadBody body, void* argument) override {
        std::unique_ptr<Win32Thread> thread(new (std::nothrow) Win32Thread);
        if (!thread || !thread->Start(body, argument)) return nullptr;
        return thread;
    }
    std::unique_ptr<Semaphore> NewSemaphore(unsigned count) override {
        HANDLE handle = CreateSemaphoreA(nullptr, static_cast<LONG>(count), 0x7fffffff, nullptr);
        if (!handle) return nullptr;
        std::unique_ptr<Semaphore> semaphore(new (std::nothrow) Win32Semaphore(handle));
        if (!semaphore) CloseHandle(handle);
        return semaphore;
    }

    void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }

    int PendingConsoleEvents() override {
        DWORD count = 0;
        if (!GetNumberOfConsoleInputEvents(InputHandle(), &count)) return 0;
        return static_cast<int>(count);
    }

    bool ReadConsoleEvent(ConsoleEvent* event) override {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputA(InputHandle(), &record, 1, &read) || read == 0) return false;
        event->isKey = record.EventType == KEY_EVENT;
        event->virtualKey = event->isKey ? record.Event.KeyEvent.wVirtualKeyCode : 0;
        return true;
    }

    char DecimalSeparator() override {
        char buffer[8];
        if (GetLocaleInfoA(GetThreadLocale(), LOCALE_SDECIMAL, buffer, sizeof buffer) > 1) return buffer[0];
        return '.';
    }

    DateTime LocalNow() override {
        SYSTEMTIME t;
        GetLocalTime(&t);
        return ToDateTime(t);
    }

    DateTime FileTimeToLocal(uint64_t fileTime) override {
        FILETIME utc, local;
        utc.dwLowDateTime = static_cast<DWORD>(fileTime);
        utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
        SYSTEMTIME t;
        if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return DateTime{};
        return ToDateTime(t);
    }

private:
    // The standard input handle, fetched on first use and kept.
    HANDLE InputHandle() {
        if (!input_) input_ = GetStdHandle(STD_INPUT_HANDLE);
        return input_;
    }

    HANDLE input_ = nullptr;
};

}  // namespace

Os& NativeOs() {
    static Win32Os instance;
    return instance;
}

}  // namespace platform
