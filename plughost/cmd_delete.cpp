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

    ChosenItems chosen = ChooseItems(listed, count, std::vector<std::string>(args.begin() + 1, args.end()));
    int result = 1;
    if (!chosen.items.empty())
        result = exports.deleteFiles(panel->Handle(), chosen.items.data(), static_cast<int>(chosen.items.size()), 0);
    return ReportItems(host, chosen, result, "deleted ", "not deleted ", out);
}

}  // namespace plughost
