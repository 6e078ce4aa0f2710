#include "vexil/frame/path_parts.h"

#include "platform/platform.h"

namespace vexil {

namespace {

bool IsSeparator(char c) {
    // Windows accepts both slashes; POSIX paths know only '/'.
    return c == platform::kPathSeparator || c == '/';
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    size_t start = 0;
    if (platform::kPathSeparator == '\\' && path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0])) {
        parts.drive = path.substr(0, 2);
        start = 2;
    }
    size_t nameStart = start;
    for (size_t i = start; i < path.size(); ++i)
        if (IsSeparator(path[i])) nameStart = i + 1;
    parts.dir = path.substr(start, nameStart - start);
    const std::string file = path.substr(nameStart);
    const size_t dot = file.rfind('.');
    if (dot == std::string::npos) {
        parts.name = file;
    } else {
        parts.name = file.substr(0, dot);
        parts.ext = file.substr(dot);
    }
    return parts;
}

}  // namespace vexil
