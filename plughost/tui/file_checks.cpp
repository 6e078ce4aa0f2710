#include "file_checks.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace plughost::tui {

namespace fs = std::filesystem;

std::string NonRegularKind(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found || ec == std::errc::no_such_file_or_directory)
        return "not there any more";
    if (ec) return "not readable (" + ec.message() + ")";
    switch (status.type()) {
    case fs::file_type::regular: return "";
    case fs::file_type::directory: return "a folder";
    case fs::file_type::fifo: return "a FIFO (named pipe)";
    case fs::file_type::character: return "a character device";
    case fs::file_type::block: return "a block device";
    case fs::file_type::socket: return "a socket";
    case fs::file_type::not_found: return "not there any more";
    default: return "not a regular file";
    }
}

std::string LastErrorText() { return std::strerror(errno); }

bool ReadHead(const std::string& path, size_t limit, std::vector<unsigned char>* data, std::string* error) {
    data->clear();
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = LastErrorText();
        return false;
    }
    // Grows as the file gives bytes: a large limit costs nothing for a small file.
    constexpr size_t kChunk = 65536;
    bool failed = false;
    while (data->size() < limit) {
        const size_t old = data->size();
        const size_t want = std::min(kChunk, limit - old);
        data->resize(old + want);
        const size_t got = std::fread(data->data() + old, 1, want, file);
        data->resize(old + got);
        if (got < want) {
            failed = std::ferror(file) != 0;
            break;
        }
    }
    if (failed) *error = LastErrorText();
    std::fclose(file);
    return !failed;
}

bool CanAppendTo(const std::string& path, std::string* error) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        *error = LastErrorText();
        return false;
    }
    std::fclose(file);
    return true;
}

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) return stamp;
    stamp.size = fs::file_size(path, ec);
    if (ec) return stamp;
    stamp.time = fs::last_write_time(path, ec).time_since_epoch().count();
    stamp.exists = !ec;
    return stamp;
}

bool FitsPluginRecord(const std::string& path) { return path.size() <= kMaxPluginPath; }

std::string TooLongMessage(const std::string& what, const std::string& path) {
    return what + " is " + std::to_string(path.size()) + " bytes long; plugins take paths of at most " +
           std::to_string(kMaxPluginPath) + " bytes";
}

}  // namespace plughost::tui
