#include "commands.h"

namespace plughost {

int RunInfo(Host& host, const std::vector<std::string>& args, std::ostream& out) {
    if (!args.empty()) {
        host.Log() << "plughost: info takes no arguments\n";
        return 2;
    }
    if (host.Plugins().empty()) {
        host.Log() << "plughost: no plugins loaded\n";
        return 1;
    }
    for (const auto& plugin : host.Plugins()) {
        const PluginMenus menus = plugin->GetMenus();
        out << plugin->FileName() << "\n";
        for (const std::string& text : menus.pluginsMenu) out << "  plugins menu: " << text << "\n";
        for (const std::string& text : menus.configMenu) out << "  config menu: " << text << "\n";
    }
    return 0;
}

}  // namespace plughost
