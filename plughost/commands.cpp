#include "commands.h"

namespace plughost {

const std::vector<Command>& Commands() {
    // One line per command, in name order.
    static const std::vector<Command> commands = {
        {"browse", RunBrowse, "[FOLDER]", "the interactive two-panel host on the terminal (the default there)"},
        {"calc", RunCalc, "STEP...",
         "drive the calculator dialog: --radix dec|hex|oct|bin, --expr TEXT, --run, --evaluate, in order;\n"
         "      after each --run or --evaluate print what the dialog shows"},
        {"config", RunConfig, "", "run vexil's configuration menu"},
        {"delete", RunDelete, "STORAGE NAME...", "delete the NAMEd items from STORAGE's text (DeleteFiles)"},
        {"encode", RunEncode, "[--target T] [--detailed] FILE...",
         "encode the FILEs through vexil's encoding dialog (target T; --detailed: the detailed dialog)"},
        {"extract", RunExtract, "STORAGE [--to DIR] [--move] [NAME...]",
         "copy the NAMEd items (default: every complete file) out of STORAGE into DIR (GetFiles);\n"
         "      --move: move them (extracted, then deleted from STORAGE)"},
        {"info", RunInfo, "", "list the plugins with their plugins-menu and configuration-menu strings"},
        {"list", RunList, "FILE", "open FILE through the plugins and print the panel's title and items"},
        {"put", RunPut, "STORAGE FILE...",
         "copy the FILEs onto the storage STORAGE (PutFiles), then list it as list does"},
        {"watch", RunWatch, "FILE", "list FILE, then list it again whenever the plugin re-reads it (until interrupted)"},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : Commands())
        if (name == command.name) return &command;
    return nullptr;
}

ChosenItems ChooseItems(const host::PanelItem* listed, int count, const std::vector<std::string>& wanted) {
    ChosenItems chosen;
    for (const std::string& name : wanted) {
        const host::PanelItem* match = nullptr;
        for (int i = 0; i < count && match == nullptr; ++i)
            if (name == listed[i].findData.fileName) match = &listed[i];
        if (match == nullptr) {
            chosen.missing.push_back(name);
            continue;
        }
        chosen.items.push_back(*match);
        chosen.items.back().flags |= host::kItemSelected;
        chosen.names.push_back(name);
    }
    return chosen;
}

int ReportItems(Host& host, const ChosenItems& chosen, int result, const char* done, const char* notDone,
                std::ostream& out) {
    bool all = chosen.missing.empty();
    for (size_t i = 0; i < chosen.items.size(); ++i) {
        const bool ok = (chosen.items[i].flags & host::kItemSelected) == 0;
        out << (ok ? done : notDone) << chosen.names[i] << "\n";
        all = all && ok;
    }
    for (const std::string& name : chosen.missing) {
        host.Log() << "plughost: no such item: " << name << "\n";
        out << notDone << name << "\n";
    }
    return all && result == 1 ? 0 : 1;
}

}  // namespace plughost
