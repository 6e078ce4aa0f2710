// plughost config: runs vexil's configuration menu; menus, dialogs and
// message boxes are answered from --answer, then from the keyboard.
#include "commands.h"

namespace plughost {

int RunConfig(Host& host, const std::vector<std::string>& args, std::ostream& /*out*/) {
    if (!args.empty()) {
        host.Log() << "plughost: config takes no arguments\n";
        return 2;
    }
    Plugin* vexil = host.FindPlugin("vexil");
    if (vexil == nullptr || vexil->Exports().configure == nullptr) {
        host.Log() << "plughost: the vexil plugin is not loaded\n";
        return 1;
    }
    vexil->Exports().configure(0);
    return 0;
}

}  // namespace plughost
