// A fresh folder under the system's temporary folder, removed with its contents at the end of the scope.
#pragma once

#include <string>

namespace test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path() joined with `name` by the platform's separator.
    std::string File(const std::string& name) const;
    // Writes `content` into Path()/name (binary) and returns the full path.
    std::string Write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

// The whole content of a file (binary); empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// A name no earlier run has used (time and a counter), for registry keys and folders.
std::string UniqueName(const std::string& prefix);

}  // namespace test
