#include "folder_panel.h"

#include "../folder_listing.h"
#include "tui/file_checks.h"

#include <filesystem>
#include <system_error>

namespace plughost::tui {

namespace fs = std::filesystem;

namespace {

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

namespace {

int64_t FolderStamp(const std::string& folder) {
    std::error_code ec;
    const auto time = fs::last_write_time(folder, ec);
    return ec ? 0 : static_cast<int64_t>(time.time_since_epoch().count());
}

}  // namespace

std::string FolderPanel::NotOfferable(const host::PanelItem& item) const {
    if (item.findData.attributes & host::kAttrDirectory) return "";
    return NonRegularKind(PathOf(item.findData.fileName));
}

bool FolderPanel::RefreshIfChanged() {
    if (FolderStamp(folder_) == stamp_) return false;
    Update(true);
    return true;
}

std::vector<host::PanelItem> FolderPanel::Read(bool* ok) {
    error_.clear();
    stamp_ = FolderStamp(folder_);
    return ListFolder(folder_, ok, &error_);
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
