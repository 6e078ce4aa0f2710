#include "commands.h"
#include "plugin_panel.h"

namespace plughost {

int RunList(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 1) {
        host.Log() << "plughost: list takes one file\n";
        return 2;
    }
    std::unique_ptr<PluginPanel> panel = PluginPanel::Open(host, args[0]);
    if (panel == nullptr) {
        out << "declined\n";
        return 3;
    }
    PrintListing(*panel, out);
    return 0;
}

}  // namespace plughost
