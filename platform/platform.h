// The one interface through which portable code reaches the operating system.
//
// Every OS service the plugins and the host need sits behind `platform::Os`.
// Each build links exactly one native implementation (posix/ or win32/);
// tests may install a wrapper with `SetOs` to inject failures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// A file found by a directory search.
struct FileInfo {
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;  // 100 ns units since 1601-01-01 (UTC)
    uint64_t creationTime = 0;   // creation time where the OS keeps one, else last write
};

// A broken-down local date and time.
struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// An open buffered byte stream (the platform's standard I/O stream).
class Stream {
public:
    virtual ~Stream() = default;
    // Transfers up to n bytes; returns the count moved. Failures set the error indicator.
    virtual size_t Read(void* buffer, size_t n) = 0;
    virtual size_t Write(const void* data, size_t n) = 0;
    // Seeks to an absolute position; false (and the error indicator set) on failure.
    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t Tell() = 0;
    // Length of the open file as the OS reports it (unflushed bytes not counted).
    virtual uint64_t Length() = 0;
    virtual bool Error() = 0;
    virtual void ClearError() = 0;
    // Writes buffered bytes out; false on failure.
    virtual bool Flush() = 0;
    // Shortens or extends the file to `length` bytes (flushes first).
    virtual bool Truncate(uint64_t length) = 0;
    // Tells the file system that about `bytes` will be written, so that it
    // can set the space aside in one piece. The length stays as it is; a hint
    // only, false where it was not taken.
    virtual bool Reserve(uint64_t bytes) = 0;
};

// A counting semaphore, for handing work from one thread to another.
class Semaphore {
public:
    virtual ~Semaphore() = default;
    virtual void Post() = 0;
    // Waits until the count is above zero, then lowers it by one.
    virtual void Wait() = 0;
};

// A thread that its starter waits for.
class Thread {
public:
    // Waits for the thread to end; the destructor waits too if Join was not called.
    virtual ~Thread() = default;
    virtual void Join() = 0;
};

// One key event read from the console input.
struct ConsoleEvent {
    bool isKey = false;
    int virtualKey = 0;
};

// Opaque handle of an open settings key.
struct SettingsKey;

using ThreadBody = void (*)(void* argument);

class Os {
public:
    virtual ~Os() = default;

    // Directory search matching ordinary files only (no hidden or system
    // files, no directories). False when nothing matches.
    virtual bool FindFile(const std::string& path, FileInfo* info) = 0;
    // The same search matching hidden and system files as well (still no
    // directories): for following a file that is already known to exist.
    virtual bool FindAnyFile(const std::string& path, FileInfo* info) = 0;
    // True when `path` names an existing directory.
    virtual bool IsDirectory(const std::string& path) = 0;
    // True when both paths name one existing file, however they are spelled
    // (links, "./x" and "x", letter case where the file system ignores it).
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // `path` itself when it names an existing entry or none matches; else,
    // where names are case-sensitive, the path of the existing ordinary file
    // in the same directory whose name differs only in ASCII letter case.
    virtual std::string ExistingSpelling(const std::string& path) = 0;

    // Opens a stream with a standard open mode ("rb", "wb", "ab", ...);
    // null on failure. Names holding '*' or '?' never open.
    virtual Stream* Open(const std::string& path, const char* mode) = 0;
    // Closes the stream (flushing it); false if the close reported a failure.
    virtual bool Close(Stream* stream) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // True when anything (file, folder, link, device) exists under `path`;
    // links are not followed.
    virtual bool Exists(const std::string& path) = 0;
    // Renames a file, replacing an existing file of the new name.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Sets a file's permission bits to `mode & 0777` under the process's
    // umask where the OS has such bits; elsewhere does nothing and succeeds.
    virtual bool SetFileMode(const std::string& path, unsigned mode) = 0;
    // Gives `to` the permission bits of `from` exactly (no umask) where the OS
    // has such bits; elsewhere does nothing and succeeds.
    virtual bool CopyFileMode(const std::string& from, const std::string& to) = 0;
    // The file that `path` finally names: symbolic links followed to their
    // target. `path` itself where there are none or it cannot be resolved.
    virtual std::string LinkTarget(const std::string& path) = 0;

    virtual std::string GetCurrentDir() = 0;
    virtual bool SetCurrentDir(const std::string& path) = 0;

    // Settings store with the registry's semantics, keys under the current user.
    virtual SettingsKey* OpenSettingsKey(const std::string& path) = 0;    // query access, never creates
    virtual SettingsKey* CreateSettingsKey(const std::string& path) = 0;  // write access, creates
    // Reads a value into `buffer` of `*size` bytes; false when the key has no
    // such value or the value is longer than the buffer. `*size` gets the length read.
    virtual bool QueryValue(SettingsKey* key, const std::string& name, void* buffer, uint32_t* size) = 0;
    virtual bool SetDword(SettingsKey* key, const std::string& name, uint32_t value) = 0;
    // Sets a string value; QueryValue gives back its bytes and a terminating zero.
    virtual bool SetString(SettingsKey* key, const std::string& name, const std::string& value) = 0;
    virtual void CloseSettingsKey(SettingsKey* key) = 0;

    // Starts a detached thread running body(argument).
    virtual bool StartThread(ThreadBody body, void* argument) = 0;
    // Starts a thread running body(argument) that the caller joins; null on failure.
    virtual std::unique_ptr<Thread> StartJoinableThread(ThreadBody body, void* argument) = 0;
    // A semaphore holding `count`; null on failure.
    virtual std::unique_ptr<Semaphore> NewSemaphore(unsigned count) = 0;
    virtual void Sleep(unsigned milliseconds) = 0;

    // Console input: number of pending events, and reading one of them.
    virtual int PendingConsoleEvents() = 0;
    virtual bool ReadConsoleEvent(ConsoleEvent* event) = 0;

    // The user's decimal separator, '.' when it cannot be had.
    virtual char DecimalSeparator() = 0;

    virtual DateTime LocalNow() = 0;
    virtual DateTime FileTimeToLocal(uint64_t fileTime) = 0;
};

// The implementation in force: the native one unless a test installed another.
Os& os();
// The build's native implementation.
Os& NativeOs();
// Installs `replacement` (null restores the native one); returns the previous one.
Os* SetOs(Os* replacement);

// The directory separator of the build's paths.
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

}  // namespace platform
