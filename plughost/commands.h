// The command table of the plughost program.
//
// Each command lives in its own file plughost/cmd_<name>.cpp as
//     int Run<Name>(Host& host, const std::vector<std::string>& args, std::ostream& out);
// and gets one line in the table of commands.cpp. `args` are the words after
// the command name; results go to `out`, diagnostics to host.Log(), questions
// to host.GetUi(). The return value is the program's exit code (0 success).
// The plugins are loaded and started before a command runs. Tests call the
// Run functions directly with a Host of their own.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host.h"

namespace plughost {

using CommandFn = int (*)(Host& host, const std::vector<std::string>& args, std::ostream& out);

struct Command {
    const char* name;
    CommandFn run;
    const char* usage;    // arguments after the name, e.g. "[PLUGIN]"
    const char* summary;  // one line for the help text
};

const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);

// The interactive host on the terminal, in FOLDER (default: the current folder).
int RunBrowse(Host& host, const std::vector<std::string>& args, std::ostream& out);
// Drives the calculator's dialog through OpenPlugin with the steps in `args`
// (--radix dec|hex|oct|bin, --expr TEXT, --run, --evaluate, in order); after
// each --run or --evaluate prints the expression and the four results the
// dialog shows next, one "name<TAB>text" line each; finally closes the dialog.
int RunCalc(Host& host, const std::vector<std::string>& args, std::ostream& out);

// Prints, per plugin, its file name and its plugins-menu and configuration-menu strings.
int RunInfo(Host& host, const std::vector<std::string>& args, std::ostream& out);
// Opens FILE through the plugins' OpenFilePlugin and prints "title\t<title>"
// and one "item\t<name>\t<size>" line per item; "declined" and 3 when no plugin takes it.
int RunList(Host& host, const std::vector<std::string>& args, std::ostream& out);
// As list, then sends an idle event every 200 ms and prints the listing again
// whenever the plugin asked the host to re-read the panel, until interrupted.
int RunWatch(Host& host, const std::vector<std::string>& args, std::ostream& out);

// Runs vexil's configuration menu (cmd_config.cpp).
int RunConfig(Host& host, const std::vector<std::string>& args, std::ostream& out);
// Encodes files through vexil's plugins menu and encoding dialog (cmd_encode.cpp).
int RunEncode(Host& host, const std::vector<std::string>& args, std::ostream& out);

// Copies items out of a storage into a folder (cmd_extract.cpp).
// The items of a plugin's listing that a command names, marked selected for
// the plugin, with their names copied (the listing goes stale once the
// plugin changes the storage) and the names that are not listed.
struct ChosenItems {
    std::vector<host::PanelItem> items;
    std::vector<std::string> names;
    std::vector<std::string> missing;
};
ChosenItems ChooseItems(const host::PanelItem* listed, int count, const std::vector<std::string>& wanted);
// Prints `done NAME` for each item the plugin unselected, `notDone NAME` for
// the others and the missing ones; 0 when all were done and `result` is 1.
int ReportItems(Host& host, const ChosenItems& chosen, int result, const char* done, const char* notDone,
                std::ostream& out);
int RunExtract(Host& host, const std::vector<std::string>& args, std::ostream& out);
int RunDelete(Host& host, const std::vector<std::string>& args, std::ostream& out);

// Copies files onto a storage and lists it (cmd_put.cpp).
int RunPut(Host& host, const std::vector<std::string>& args, std::ostream& out);

}  // namespace plughost
