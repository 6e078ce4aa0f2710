#include "vexil/path_parts.h"

#include "platform/platform.h"

namespace vexil {

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    size_t nameStart = 0;
    for (size_t i = 0; i < path.size(); ++i)
        if (path[i] == platform::kPathSeparator || path[i] == '/') nameStart = i + 1;
    parts.dir = path.substr(0, nameStart);
    const std::string file = path.substr(nameStart);
    const size_t dot = file.rfind('.');
    parts.name = dot == std::string::npos ? file : file.substr(0, dot);
    if (dot != std::string::npos) parts.ext = file.substr(dot);
    return parts;
}

}  // namespace vexil
