// plughost put STORAGE FILE...
//
// Opens STORAGE as `list` does, copies the FILEs onto it as the host does
// (PutFiles with bare names, the current directory set to the FILEs'
// folder), sends one idle event and prints the listing.
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "platform/platform.h"
#include "plugin_panel.h"

namespace plughost {

namespace fs = std::filesystem;

int RunPut(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 2) {
        host.Log() << "plughost: put takes a storage and at least one FILE\n";
        return 2;
    }
    std::string folder;
    std::vector<host::PanelItem> items;
    for (size_t i = 1; i < args.size(); ++i) {
        std::error_code ec;
        const fs::path path = fs::absolute(args[i], ec);
        if (ec || !fs::exists(path, ec)) {
            host.Log() << "plughost: no such file: " << args[i] << "\n";
            return 2;
        }
        if (!fs::is_regular_file(path, ec)) {  // a folder, FIFO, device or socket
            host.Log() << "plughost: not a regular file: " << args[i] << "\n";
            return 2;
        }
        if (folder.empty()) folder = path.parent_path().string();
        if (path.parent_path().string() != folder) {
            host.Log() << "plughost: the FILEs must share one folder\n";
            return 2;
        }
        host::PanelItem item{};
        std::snprintf(item.findData.fileName, sizeof item.findData.fileName, "%s", path.filename().string().c_str());
        const uint64_t size = fs::file_size(path, ec);
        item.findData.sizeLow = static_cast<uint32_t>(size);
        item.findData.sizeHigh = static_cast<uint32_t>(size >> 32);
        item.findData.attributes = host::kAttrArchive;
        items.push_back(item);
    }

    std::unique_ptr<PluginPanel> panel = PluginPanel::Open(host, args[0]);
    if (panel == nullptr) {
        out << "declined\n";
        return 3;
    }
    const host::PutFilesFn putFiles = panel->Owner().Exports().putFiles;
    if (putFiles == nullptr) {
        host.Log() << "plughost: the plugin takes no files\n";
        return 1;
    }
    platform::Os& os = platform::os();
    const std::string previousDir = os.GetCurrentDir();
    os.SetCurrentDir(folder);
    putFiles(panel->Handle(), items.data(), static_cast<int>(items.size()), 0, 0);
    os.SetCurrentDir(previousDir);

    panel->Idle();
    PrintListing(*panel, out);
    return 0;
}

}  // namespace plughost
