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

std::string RenderHelpLine(std::string_view line) {
    std::string out;
    size_t i = 0;
    if (!line.empty() && line[0] == '^') i = 1;
    while (i < line.size()) {
        const char c = line[i];
        if ((c == '#' || c == '~' || c == '@') && i + 1 < line.size() && line[i + 1] == c) {
            out += c;  // doubled: the character itself
            i += 2;
        } else if (c == '#') {
            ++i;  // emphasis marker
        } else if (c == '~') {
            // ~text~@Topic@: the link's text; the target is not shown.
            const size_t close = line.find('~', i + 1);
            if (close == std::string_view::npos) {
                out += line.substr(i);
                break;
            }
            out += line.substr(i + 1, close - i - 1);
            i = close + 1;
            if (i < line.size() && line[i] == '@') {
                const size_t end = line.find('@', i + 1);
                i = end == std::string_view::npos ? line.size() : end + 1;
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

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
            result.title = RenderHelpLine(line.substr(1));
            while (!result.title.empty() && result.title[0] == ' ') result.title.erase(0, 1);
        } else {
            result.lines.push_back(RenderHelpLine(line));
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
