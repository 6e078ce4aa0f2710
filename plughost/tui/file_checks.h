// Checks the interactive host makes before it hands a file to a plugin: what
// kind of file a path names, reading a file's first bytes with the OS's reason
// on failure, and whether a path fits the records the plugins receive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plughost::tui {

// The longest path the plugins' records hold (260 bytes with the final NUL).
constexpr size_t kMaxPluginPath = 259;

// Empty for a regular file (links followed); otherwise what the path names,
// as a phrase for a message ("a FIFO (named pipe)", "a character device", ...).
std::string NonRegularKind(const std::string& path);

// Reads up to `limit` bytes from the start of a regular file. False with
// `error` set to the OS's reason when it cannot be opened or read.
bool ReadHead(const std::string& path, size_t limit, std::vector<unsigned char>* data, std::string* error);

// Whether an existing file can be opened for appending (nothing is written).
bool CanAppendTo(const std::string& path, std::string* error);

// Size and last-write time of a file, to tell whether it changed; equal
// stamps of a missing file compare equal.
struct FileStamp {
    bool exists = false;
    uint64_t size = 0;
    int64_t time = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// The reason of the last failed C library call (errno), as the OS words it.
std::string LastErrorText();

// Whether `path` fits the plugins' path records; the message for a path that
// does not is "<what> is N bytes long; plugins take paths of at most 259 bytes".
bool FitsPluginRecord(const std::string& path);
std::string TooLongMessage(const std::string& what, const std::string& path);

}  // namespace plughost::tui
