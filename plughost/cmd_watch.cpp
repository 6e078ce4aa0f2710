#include "commands.h"
#include "plugin_panel.h"

namespace plughost {

int RunWatch(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 1) {
        host.Log() << "plughost: watch takes one file\n";
        return 2;
    }
    std::unique_ptr<PluginPanel> panel = PluginPanel::Open(host, args[0]);
    if (panel == nullptr) {
        out << "declined\n";
        return 3;
    }
    PrintListing(*panel, out);
    WatchPanel(*panel, out, [] { return true; });  // until interrupted
    return 0;
}

}  // namespace plughost
