#include "help_file.h"

#include <fstream>
#include <sstream>

namespace plughost::tui {

namespace {

std::string TrimRight(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    return line;
}

}  // namespace

bool FindHelpTopic(std::string_view helpText, const std::string& topic, HelpTopic* out) {
    std::istringstream in{std::string(helpText)};
    std::string line;
    bool inTopic = false, found = false, first = false;
    HelpTopic result;
    while (std::getline(in, line)) {
        line = TrimRight(line);
        if (!line.empty() && line[0] == '@') {
            if (inTopic) break;
            inTopic = line.substr(1) == topic;
            found = found || inTopic;
            first = true;
            continue;
        }
        if (!inTopic) continue;
        if (first && !line.empty() && line[0] == '$') {
            result.title = line.substr(1);
            while (!result.title.empty() && result.title[0] == ' ') result.title.erase(0, 1);
        } else {
            result.lines.push_back(line);
        }
        first = false;
    }
    if (!found) return false;
    while (!result.lines.empty() && result.lines.front().empty()) result.lines.erase(result.lines.begin());
    while (!result.lines.empty() && result.lines.back().empty()) result.lines.pop_back();
    if (result.title.empty()) result.title = topic;
    *out = std::move(result);
    return true;
}

bool ReadHelpTopic(const std::string& path, const std::string& topic, HelpTopic* out) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream text;
    text << file.rdbuf();
    return FindHelpTopic(text.str(), topic, out);
}

}  // namespace plughost::tui
