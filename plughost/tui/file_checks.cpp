#include "file_checks.h"

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
    data->assign(limit, 0);
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = LastErrorText();
        data->clear();
        return false;
    }
    const size_t got = std::fread(data->data(), 1, limit, file);
    const bool failed = std::ferror(file) != 0;
    if (failed) *error = LastErrorText();
    std::fclose(file);
    data->resize(got);
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
