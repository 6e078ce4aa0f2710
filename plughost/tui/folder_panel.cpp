#include "folder_panel.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace plughost::tui {

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

std::string Normal(const std::string& folder) {
    std::error_code ec;
    fs::path path = fs::absolute(folder, ec);
    if (ec) path = folder;
    path = path.lexically_normal();
    std::string text = path.string();
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
    return text;
}

}  // namespace

FolderPanel::FolderPanel(std::string folder, std::function<void()> repaint)
    : ViewPanel(std::move(repaint)), folder_(Normal(folder)) {
    bool ok = false;
    SetItems(Read(&ok), fs::path(folder_).has_relative_path(), false);
}

std::vector<host::PanelItem> FolderPanel::Read(bool* ok) const {
    std::vector<host::PanelItem> items;
    std::error_code ec;
    fs::directory_iterator it(folder_, ec);
    *ok = !ec;
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code itemEc;
        const bool folder = it->is_directory(itemEc);
        const uint64_t size = folder ? 0 : it->file_size(itemEc);
        host::PanelItem item = MakePanelItem(it->path().filename().string(), folder, itemEc ? 0 : size);
        const auto written = it->last_write_time(itemEc);
        if (!itemEc) item.findData.lastWriteTime = ToFileTime(written);
        items.push_back(item);
    }
    return items;
}

bool FolderPanel::Update(bool keepSelection) {
    bool ok = false;
    SetItems(Read(&ok), fs::path(folder_).has_relative_path(), keepSelection);
    return ok;
}

bool FolderPanel::Enter(const std::string& name) {
    const std::string previous = folder_;
    const std::string left = fs::path(folder_).filename().string();
    const std::string target = name == ".." ? fs::path(folder_).parent_path().string() : PathOf(name);
    folder_ = Normal(target);
    bool ok = false;
    std::vector<host::PanelItem> items = Read(&ok);
    if (!ok) {
        folder_ = previous;
        return false;
    }
    Cursor() = PanelCursor{};
    SetItems(std::move(items), fs::path(folder_).has_relative_path(), false);
    if (name == "..") MoveTo(left);
    return true;
}

std::string FolderPanel::PathOf(const std::string& name) const { return (fs::path(folder_) / name).string(); }

}  // namespace plughost::tui
