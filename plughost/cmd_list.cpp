// `list FILE` and `watch FILE`: open FILE through the plugins and print the
// panel's listing; watch then follows the file on idle events.
#include "commands.h"
#include "plugin_panel.h"

namespace plughost {

namespace {

int OpenAndList(Host& host, const std::vector<std::string>& args, std::ostream& out, const char* command,
                bool watch) {
    if (args.size() != 1) {
        host.Log() << "plughost: " << command << " takes one file\n";
        return 2;
    }
    std::unique_ptr<PluginPanel> panel = PluginPanel::Open(host, args[0]);
    if (panel == nullptr) {
        out << "declined\n";
        return 3;
    }
    PrintListing(*panel, out);
    if (watch) WatchPanel(*panel, out, [] { return true; });  // until interrupted
    return 0;
}

}  // namespace

int RunList(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    return OpenAndList(host, args, out, "list", false);
}

int RunWatch(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    return OpenAndList(host, args, out, "watch", true);
}

}  // namespace plughost
