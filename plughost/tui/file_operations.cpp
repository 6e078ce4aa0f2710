#include "file_operations.h"

#include <filesystem>
#include <system_error>

namespace plughost::tui {

namespace fs = std::filesystem;

namespace {

// Runs `step` until it succeeds or the user skips or cancels; true on success.
template <typename Step>
bool WithRetry(FileOpsUi& ui, const std::string& title, const std::string& what, bool* cancelled, Step step) {
    for (;;) {
        std::error_code ec;
        step(ec);
        if (!ec) return true;
        const FileOpsUi::Failure answer = ui.AskFailure(title, what, ec.message());
        if (answer == FileOpsUi::Failure::kRetry) continue;
        if (answer == FileOpsUi::Failure::kCancel) *cancelled = true;
        return false;
    }
}

bool IsWithin(const fs::path& inner, const fs::path& outer) {
    const fs::path a = inner.lexically_normal(), b = outer.lexically_normal();
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty()) continue;  // a trailing separator
        if (ai == a.end() || *ai != *bi) return false;
    }
    return true;
}

void CopyTree(const fs::path& from, const fs::path& to, bool overwrite, std::error_code& ec) {
    if (fs::is_directory(from, ec)) {
        fs::copy(from, to,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks |
                     (overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none),
                 ec);
        return;
    }
    if (ec) return;
    if (fs::is_symlink(fs::symlink_status(from, ec))) {
        if (overwrite) fs::remove(to, ec);
        fs::copy_symlink(from, to, ec);
        return;
    }
    const bool existed = fs::exists(to);
    fs::copy_file(from, to, overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none, ec);
    // A half-copied new file is not left behind.
    std::error_code ignored;
    if (ec && !existed) fs::remove(to, ignored);
}

}  // namespace

FileJobResult CopyItems(FileOpsUi& ui, const std::string& folder, const std::vector<std::string>& names,
                        const std::string& target, bool move) {
    FileJobResult result;
    const std::string title = move ? "Move" : "Copy";
    const std::string verb = move ? "move" : "copy";
    fs::path base = fs::path(target);
    if (base.is_relative()) base = fs::path(folder) / base;
    std::error_code ec;
    const bool intoFolder = fs::is_directory(base, ec);
    if (!intoFolder && names.size() > 1) {
        ui.AskFailure(title, "Cannot " + verb + " " + std::to_string(names.size()) + " items to " + base.string(),
                      "it is not a folder");
        result.cancelled = true;
        return result;
    }
    bool overwriteAll = false, skipAll = false;
    for (const std::string& name : names) {
        const fs::path from = fs::path(folder) / name;
        const fs::path to = intoFolder ? base / name : base;
        if (fs::equivalent(from, to, ec)) {
            if (move && from.filename() != to.filename()) {
                // Same file under another spelling: only a rename of the name.
            } else {
                const auto answer = ui.AskFailure(title, "Cannot " + verb + " " + name + " onto itself", "same file");
                if (answer == FileOpsUi::Failure::kCancel) return result.cancelled = true, result;
                continue;
            }
        }
        if (fs::is_directory(from, ec) && IsWithin(to, from)) {
            const auto answer = ui.AskFailure(title, "Cannot " + verb + " the folder " + name + " into itself", "");
            if (answer == FileOpsUi::Failure::kCancel) return result.cancelled = true, result;
            continue;
        }
        bool overwrite = false;
        if (fs::exists(fs::symlink_status(to, ec))) {
            if (skipAll) continue;
            if (!overwriteAll) {
                const FileOpsUi::Existing answer = ui.AskExisting(title, to.string());
                if (answer == FileOpsUi::Existing::kCancel) return result.cancelled = true, result;
                if (answer == FileOpsUi::Existing::kSkip) continue;
                if (answer == FileOpsUi::Existing::kSkipAll) {
                    skipAll = true;
                    continue;
                }
                if (answer == FileOpsUi::Existing::kOverwriteAll) overwriteAll = true;
            }
            overwrite = true;
        }
        bool cancelled = false;
        const bool ok = WithRetry(ui, title, "Cannot " + verb + " " + name + " to " + to.string(), &cancelled,
                                  [&](std::error_code& stepError) {
            if (move) {
                if (overwrite && fs::is_directory(to) && !fs::is_directory(from)) {
                    stepError = std::make_error_code(std::errc::is_a_directory);
                    return;
                }
                fs::rename(from, to, stepError);
                if (stepError == std::errc::cross_device_link ||
                    (stepError && overwrite && fs::is_directory(from))) {
                    // Another file system, or a folder merged into an existing one: copy, then remove.
                    stepError.clear();
                    CopyTree(from, to, overwrite, stepError);
                    if (!stepError) fs::remove_all(from, stepError);
                }
            } else {
                CopyTree(from, to, overwrite, stepError);
            }
        });
        if (ok) result.done.push_back(name);
        if (cancelled) {
            result.cancelled = true;
            break;
        }
    }
    return result;
}

bool MakeFolder(FileOpsUi& ui, const std::string& path) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) {
        ui.AskFailure("Make folder", "Cannot make the folder " + path, "it exists already");
        return false;
    }
    bool cancelled = false;
    return WithRetry(ui, "Make folder", "Cannot make the folder " + path, &cancelled,
                     [&](std::error_code& stepError) { fs::create_directories(path, stepError); });
}

FileJobResult DeleteItems(FileOpsUi& ui, const std::string& folder, const std::vector<std::string>& names) {
    FileJobResult result;
    for (const std::string& name : names) {
        const fs::path path = fs::path(folder) / name;
        bool cancelled = false;
        const bool ok = WithRetry(ui, "Delete", "Cannot delete " + name, &cancelled, [&](std::error_code& stepError) {
            fs::remove_all(path, stepError);
        });
        if (ok) result.done.push_back(name);
        if (cancelled) {
            result.cancelled = true;
            break;
        }
    }
    return result;
}

}  // namespace plughost::tui
