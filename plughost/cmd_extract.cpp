// plughost extract STORAGE [--to DIR] [--move] [NAME...]
//
// Opens STORAGE as `list` does and copies items out of it as the host does
// (GetFiles into the folder DIR, by default the current one): the items
// NAMEd, or every complete file (the items whose name holds no '/', which
// section items "name NN/TT" always do). The plugin unselects every item it
// extracted; the command prints "extracted NAME" for those and "not
// extracted NAME" for the others, and exits 1 when one was not extracted.
// Questions take their answers from --answer. With --move the items are
// moved (GetFiles with move set): "moved NAME" / "not moved NAME".
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "commands.h"
#include "plugin_panel.h"

namespace plughost {

namespace fs = std::filesystem;

int RunExtract(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    std::string storage, to;
    std::vector<std::string> names;
    bool move = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--to" && i + 1 < args.size()) {
            to = args[++i];
        } else if (args[i] == "--move") {
            move = true;
        } else if (storage.empty()) {
            storage = args[i];
        } else {
            names.push_back(args[i]);
        }
    }
    if (storage.empty()) {
        host.Log() << "plughost: extract takes a storage, then optionally --to DIR and NAMEs\n";
        return 2;
    }
    std::error_code ec;
    const std::string dest = fs::absolute(to.empty() ? fs::path(".") : fs::path(to), ec).lexically_normal().string();
    if (ec || dest.size() >= host::kMaxPath) {
        host.Log() << "plughost: unusable folder: " << to << "\n";
        return 2;
    }
    std::unique_ptr<PluginPanel> panel = PluginPanel::Open(host, storage);
    if (panel == nullptr) {
        out << "declined\n";
        return 3;
    }
    // As a copy into a path that does not exist yet: the folder is made,
    // once the storage has opened.
    if (!fs::is_directory(dest, ec)) {
        fs::create_directories(dest, ec);
        if (ec) {
            host.Log() << "plughost: cannot make the folder " << dest << ": " << ec.message() << "\n";
            return 2;
        }
    }
    const PluginExports& exports = panel->Owner().Exports();
    if (exports.getFiles == nullptr || exports.getFindData == nullptr) {
        host.Log() << "plughost: the plugin gives no files out\n";
        return 1;
    }
    host::PanelItem* listed = nullptr;
    int count = 0;
    exports.getFindData(panel->Handle(), &listed, &count, 0);

    // No names: every complete file (items whose name holds a '/' are the
    // sections of incomplete files).
    std::vector<std::string> wanted = names;
    if (wanted.empty()) {
        for (int i = 0; i < count; ++i)
            if (std::strchr(listed[i].findData.fileName, '/') == nullptr) wanted.emplace_back(listed[i].findData.fileName);
    }
    ChosenItems chosen = ChooseItems(listed, count, wanted);
    int result = 1;
    if (!chosen.items.empty()) {
        char destPath[host::kMaxPath] = {};
        std::snprintf(destPath, sizeof destPath, "%s", dest.c_str());
        result = exports.getFiles(panel->Handle(), chosen.items.data(), static_cast<int>(chosen.items.size()),
                                  move ? 1 : 0, destPath, 0);
    }
    if (result == -1) host.Log() << "plughost: extraction cancelled\n";
    return ReportItems(host, chosen, result, move ? "moved " : "extracted ", move ? "not moved " : "not extracted ",
                       out);
}

}  // namespace plughost
