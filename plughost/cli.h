// The plughost command line:
//   plughost [--plugins DIR] [--registry FILE] [--answer N | --edit ITEM=TEXT]... COMMAND [ARG]...
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace plughost {

struct CommandLine {
    std::string pluginsDir;    // empty: DefaultPluginsDir
    std::string registryFile;  // empty: the settings store's own default
    std::vector<int> answers;  // queued answers for the Ui, in order
    // Dialog item changes made before the answer at `beforeAnswer` is given.
    struct Edit {
        size_t beforeAnswer;
        int item;
        std::string text;
    };
    std::vector<Edit> edits;
    std::string command;
    std::vector<std::string> args;
    bool help = false;
    bool version = false;
};

// The project's version, from its build files.
inline constexpr const char* kVersion = PLUGHOST_VERSION;

// Parses the words after the program name; false with a reason on a usage error.
bool ParseCommandLine(const std::vector<std::string>& words, CommandLine* line, std::string* error);

// The plugins/ folder beside the folder that holds the program, or in an
// installed tree lib/plughost/plugins below it.
std::string DefaultPluginsDir(const std::string& programPath);

void PrintUsage(std::ostream& out);

// Runs a parsed command line: points the settings store at the registry file,
// loads the plugins, runs the command. Ui output goes to `err`; once the
// queued answers are used up, answers are read from `keyboard` (may be null:
// then every further question is answered with -1). Returns the exit code.
int RunCommandLine(const CommandLine& line, const std::string& programPath, std::istream* keyboard,
                   std::ostream& out, std::ostream& err);

// The program: parse, run, exit code.
int Main(int argc, char** argv);

}  // namespace plughost
