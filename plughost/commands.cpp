#include "commands.h"

namespace plughost {

const std::vector<Command>& Commands() {
    // One line per command, in name order.
    static const std::vector<Command> commands = {
        {"config", RunConfig, "", "run vexil's configuration menu"},
        {"encode", RunEncode, "[--target T] [--detailed] FILE...",
         "encode the FILEs through vexil's encoding dialog (target T; --detailed: the detailed dialog)"},
        {"info", RunInfo, "", "list the plugins with their plugins-menu and configuration-menu strings"},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : Commands())
        if (name == command.name) return &command;
    return nullptr;
}

}  // namespace plughost
