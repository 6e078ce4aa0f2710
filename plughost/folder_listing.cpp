#include "folder_listing.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace plughost {

namespace fs = std::filesystem;

namespace {

// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

host::FileTime ToFileTime(fs::file_time_type time) {
    const auto sinceUnix = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(time).time_since_epoch());
    const int64_t seconds = std::max<int64_t>(0, sinceUnix.count());
    const uint64_t value = kUnixEpochAsFileTime + static_cast<uint64_t>(seconds) * 10000000ULL;
    return host::FileTime{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)};
}

host::PanelItem MakeItem(const fs::directory_entry& entry) {
    host::PanelItem item{};
    std::error_code ec;
    const std::string name = entry.path().filename().string();
    std::strncpy(item.findData.fileName, name.c_str(), sizeof item.findData.fileName - 1);
    if (entry.is_directory(ec)) {
        item.findData.attributes = host::kAttrDirectory;
    } else {
        item.findData.attributes = host::kAttrArchive;
        const uint64_t size = entry.file_size(ec);
        if (!ec) {
            item.findData.sizeLow = static_cast<uint32_t>(size);
            item.findData.sizeHigh = static_cast<uint32_t>(size >> 32);
        }
    }
    const auto written = entry.last_write_time(ec);
    if (!ec) item.findData.lastWriteTime = ToFileTime(written);
    return item;
}

}  // namespace

std::vector<host::PanelItem> ListFolder(const std::string& folder, bool* ok, std::string* error) {
    std::vector<host::PanelItem> items;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ok) *ok = !ec;
    if (ec && error) *error = ec.message();
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) items.push_back(MakeItem(*it));
    return items;
}

}  // namespace plughost
