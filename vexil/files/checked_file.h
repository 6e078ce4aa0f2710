// CheckedFile: the one way vexil reads and writes files. Every failing open,
// read, write or delete asks the user (retry, skip the file, cancel the job)
// and, unless the user retries, ends the operation by throwing a FileFailure.
//
// Writes are collected in a buffer of kWriteBufferSize bytes and go to the
// file a buffer at a time; a failed transfer is retried from the buffer's
// start position, so the bytes on disk are the same as with one write per call.
// Close writes what is still buffered and may therefore ask and throw; the
// destructor closes without asking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "vexil/frame/encode_settings.h"

namespace platform { class Stream; }

namespace vexil {

// Thrown (as a plain int) when an operation ends without success.
using FileFailure = int;
constexpr FileFailure kFailNoStream = -1;  // the operation needs an open stream
constexpr FileFailure kFailSkip = 1;       // the user skipped this file
constexpr FileFailure kFailCancel = 2;     // the user cancelled the job (job.cancelled set)
constexpr FileFailure kFailEscape = 3;     // Esc on the question, with EndFileOnEscape set

class CheckedFile {
public:
    explicit CheckedFile(EncodeJobState& job);
    ~CheckedFile();
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    // From now on Esc on the open, read, write or remove question ends the
    // file as a failure (throws kFailEscape) instead of ending the operation
    // quietly with a short read, a dropped block or no stream.
    void EndFileOnEscape() { escapeEndsFile_ = true; }

    // Opens `path` with a standard mode ("rb", "wb", "ab"). Esc on the
    // failure question returns normally with no stream.
    void Open(const std::string& path, const char* mode);
    // Asks the open failure question for `path`, which cannot be opened at
    // all (too long a name); Retry asks again. Returns only after Esc
    // without EndFileOnEscape. The open file, if any, is left alone.
    void RefuseOpen(const std::string& path);
    // Removes the file `path` (not the open one), asking on failure with
    // the same answers as Open; Esc without EndFileOnEscape gives up quietly.
    void RemoveFile(const std::string& path);
    uint64_t Length();
    // Reads at most `wanted` bytes at the current position; `got` receives
    // the number of bytes actually transferred.
    void Read(void* buffer, uint64_t wanted, uint64_t* got);
    // Moves the position of the next Read or Write (buffered bytes go out first).
    void Seek(uint64_t position);
    void Write(const void* data, uint64_t length, uint64_t* written);
    void WriteText(const char* text);
    void Close();
    // Closes the file and removes it by its path.
    void Delete();
    // Cuts the open file back to `length` bytes, dropping unwritten bytes
    // (used to undo a partial append). False when the file could not be cut.
    bool Truncate(uint64_t length);

    bool IsOpen() const { return stream_ != nullptr; }
    bool HasPath() const { return hasPath_; }
    const std::string& Path() const { return path_; }

    static constexpr size_t kWriteBufferSize = 1 << 16;

private:
    class ShownPath;
    // The failure question; `osFailed`: an OS call failed, and the host adds its reason.
    int AskUser(int messageNumber, bool osFailed = true);
    // Applies the answer rule shared by open, read and write: true to retry.
    bool RetryOrThrow(int answer, bool* quiet);
    void FlushPending();
    void CloseStream();

    platform::Stream* stream_ = nullptr;
    std::string path_;
    bool hasPath_ = false;
    bool escapeEndsFile_ = false;
    uint64_t position_ = 0;       // logical position, buffered bytes included
    std::string pending_;         // written bytes not yet handed to the stream
    uint64_t pendingStart_ = 0;   // file position of pending_[0]
    EncodeJobState& job_;
};

}  // namespace vexil
