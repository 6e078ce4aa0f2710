// plughost delete STORAGE NAME...
//
// Opens STORAGE as `list` does and deletes the NAMEd items from it as the
// host does (DeleteFiles, with its confirmation; questions take their
// answers from --answer). The plugin unselects every item it deleted; the
// command prints "deleted NAME" for those and "not deleted NAME" for the
// others, and exits 1 when one was not deleted.
#include "commands.h"
#include "plugin_panel.h"

namespace plughost {

int RunDelete(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 2) {
        host.Log() << "plughost: delete takes a storage and the NAMEs of its items\n";
        return 2;
    }
    std::unique_ptr<PluginPanel> panel = PluginPanel::Open(host, args[0]);
    if (panel == nullptr) {
        out << "declined\n";
        return 3;
    }
    const PluginExports& exports = panel->Owner().Exports();
    if (exports.deleteFiles == nullptr || exports.getFindData == nullptr) {
        host.Log() << "plughost: the plugin deletes nothing\n";
        return 1;
    }
    host::PanelItem* listed = nullptr;
    int count = 0;
    exports.getFindData(panel->Handle(), &listed, &count, 0);

    std::vector<host::PanelItem> items;
    std::vector<std::string> missing;
    for (size_t n = 1; n < args.size(); ++n) {
        bool found = false;
        for (int i = 0; i < count && !found; ++i) {
            if (args[n] == listed[i].findData.fileName) {
                items.push_back(listed[i]);
                found = true;
            }
        }
        if (!found) missing.push_back(args[n]);
    }
    // The names are copied now: the plugin's listing goes stale once it deletes.
    std::vector<std::string> names;
    for (host::PanelItem& item : items) {
        item.flags |= host::kItemSelected;
        names.emplace_back(item.findData.fileName);
    }
    int result = 1;
    if (!items.empty()) result = exports.deleteFiles(panel->Handle(), items.data(), static_cast<int>(items.size()), 0);
    bool allDeleted = missing.empty();
    for (size_t i = 0; i < items.size(); ++i) {
        const bool deleted = (items[i].flags & host::kItemSelected) == 0;
        out << (deleted ? "deleted " : "not deleted ") << names[i] << "\n";
        allDeleted = allDeleted && deleted;
    }
    for (const std::string& name : missing) {
        host.Log() << "plughost: no such item: " << name << "\n";
        out << "not deleted " << name << "\n";
    }
    return allDeleted && result == 1 ? 0 : 1;
}

}  // namespace plughost
