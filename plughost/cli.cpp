#include "cli.h"

#include <exception>
#include <filesystem>
#include <iostream>

#include "commands.h"
#include "host.h"
#include "platform/process_env.h"
#include "scripted_ui.h"

namespace plughost {

namespace fs = std::filesystem;

namespace {

bool ParseInt(const std::string& text, int* value) {
    try {
        size_t used = 0;
        *value = std::stoi(text, &used);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& words, CommandLine* line, std::string* error) {
    size_t i = 0;
    for (; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            line->help = true;
            return true;
        }
        if (word == "--version") {
            line->version = true;
            return true;
        }
        if (word.rfind("--", 0) != 0) break;
        if (word != "--plugins" && word != "--registry" && word != "--answer" && word != "--edit") {
            *error = "unknown option " + word;
            return false;
        }
        if (i + 1 >= words.size()) {
            *error = word + " needs a value";
            return false;
        }
        const std::string& value = words[++i];
        if (word == "--plugins") {
            line->pluginsDir = value;
        } else if (word == "--registry") {
            line->registryFile = value;
        } else if (word == "--edit") {
            const size_t equals = value.find('=');
            int item = 0;
            if (equals == std::string::npos || !ParseInt(value.substr(0, equals), &item) || item < 0) {
                *error = "--edit needs ITEM=TEXT, not " + value;
                return false;
            }
            line->edits.push_back({line->answers.size(), item, value.substr(equals + 1)});
        } else {
            int answer = 0;
            if (!ParseInt(value, &answer) || answer < -1) {
                *error = "--answer needs an index or -1, not " + value;
                return false;
            }
            line->answers.push_back(answer);
        }
    }
    if (!line->edits.empty() && line->edits.back().beforeAnswer == line->answers.size()) {
        *error = "--edit must come before the --answer that closes its dialog";
        return false;
    }
    if (i == words.size()) {
        *error = "no command given";
        return false;
    }
    line->command = words[i];
    line->args.assign(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
    return true;
}

std::string DefaultPluginsDir(const std::string& programPath) {
    std::error_code ec;
    fs::path program = fs::absolute(programPath, ec);
    if (ec) program = programPath;
    const fs::path prefix = program.parent_path().parent_path();
    // The build tree keeps plugins/ beside bin/; an installed tree keeps them
    // in lib/plughost/plugins below the prefix that holds bin/.
    const fs::path installed = prefix / "lib" / "plughost" / "plugins";
    if (!fs::is_directory(prefix / "plugins", ec) && fs::is_directory(installed, ec)) return installed.string();
    return (prefix / "plugins").string();
}

void PrintUsage(std::ostream& out) {
    out << "usage: plughost --version\n"
           "       plughost [--plugins DIR] [--registry FILE] [--answer N | --edit ITEM=TEXT]... COMMAND [ARG]...\n"
           "  --plugins DIR    load the plugins from DIR (one subfolder per plugin);\n"
           "                   default: the plugins folder beside bin/\n"
           "  --registry FILE  settings store file (POSIX; Windows uses the registry)\n"
           "  --answer N       answer the next menu, dialog or message box with N\n"
           "                   (an item or button index, -1 for Esc); repeatable\n"
           "  --edit ITEM=TEXT before the next --answer closes a dialog, set item ITEM:\n"
           "                   an edit field's text, or a check box or radio button\n"
           "                   (x, 1, on: set; anything else: clear); repeatable\n"
           "commands:\n";
    for (const Command& command : Commands())
        out << "  " << command.name << (*command.usage ? " " : "") << command.usage << "\n      "
            << command.summary << "\n";
}

int RunCommandLine(const CommandLine& line, const std::string& programPath, std::istream* keyboard,
                   std::ostream& out, std::ostream& err) {
    const Command* command = FindCommand(line.command);
    if (command == nullptr) {
        err << "plughost: unknown command " << line.command << "\n";
        PrintUsage(err);
        return 2;
    }
#if !defined(_WIN32)
    if (!line.registryFile.empty()) {
        // Absolute, since plugins may change the current directory.
        std::error_code ec;
        const fs::path file = fs::absolute(line.registryFile, ec);
        platform::SetEnv("PLUGHOST_REGISTRY", ec ? line.registryFile : file.string());
    }
#endif
    ScriptedUi ui(err, keyboard);
    for (size_t i = 0; i < line.answers.size(); ++i) {
        for (const CommandLine::Edit& edit : line.edits)
            if (edit.beforeAnswer == i) ui.QueueDialogEdit(edit.item, edit.text);
        ui.QueueAnswer(line.answers[i]);
    }
    Host host(ui, err);
    host.LoadPlugins(line.pluginsDir.empty() ? DefaultPluginsDir(programPath) : line.pluginsDir);
    return command->run(host, line.args, out);
}

int Main(int argc, char** argv) {
    try {
        platform::FailWritesPastSizeLimit();
        std::vector<std::string> words(argv + 1, argv + argc);
        CommandLine line;
        std::string error;
        bool parsed = ParseCommandLine(words, &line, &error);
        if (!parsed && line.command.empty() && !line.help && platform::StdinIsTerminal()) {
            // No command on a terminal: the interactive host.
            words.push_back("browse");
            line = CommandLine{};
            parsed = ParseCommandLine(words, &line, &error);
        }
        if (!parsed) {
            std::cerr << "plughost: " << error << "\n";
            PrintUsage(std::cerr);
            return 2;
        }
        if (line.help) {
            PrintUsage(std::cout);
            return 0;
        }
        if (line.version) {
            std::cout << "plughost " << kVersion << "\n";
            return 0;
        }
        std::istream* keyboard = platform::StdinIsTerminal() ? &std::cin : nullptr;
        return RunCommandLine(line, argc > 0 ? argv[0] : "plughost", keyboard, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "plughost: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace plughost
