// Splitting paths into drive, directory, name and extension.
#pragma once

#include <string>

namespace vexil {

// drive ("C:" on Windows, always empty elsewhere), directory with its
// trailing separator, name, and extension with its dot.
struct PathParts {
    std::string drive, dir, name, ext;
};

PathParts SplitPath(const std::string& path);

}  // namespace vexil
