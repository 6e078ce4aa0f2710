#include "vexil/encoding/output_path.h"

#include "vexil/frame/module_state.h"
#include "vexil/frame/path_parts.h"
#include "platform/platform.h"

namespace vexil {

namespace {

bool IsSeparator(char c) { return c == platform::kPathSeparator || c == '/'; }

// The target without the blanks and control characters at its end.
std::string WithoutTrailingBlanks(const std::string& target) {
    size_t end = target.size();
    while (end > 0 && static_cast<unsigned char>(target[end - 1]) < '!' && !IsSeparator(target[end - 1])) --end;
    return target.substr(0, end);
}

// An existing directory typed as a target: blanks and control characters at
// its end are dropped and a separator is added unless one ends it already.
std::string DirectoryWithSeparator(const std::string& target) {
    const std::string directory = WithoutTrailingBlanks(target);
    if (directory.empty() || IsSeparator(directory.back())) return directory;
    return directory + platform::kPathSeparator;
}

bool HostMatches(const std::string& pattern, const std::string& name) {
    const host::HostStartupInfo& h = Module().host;
    return h.matchName && h.matchName(pattern.c_str(), name.c_str(), 1) != 0;
}

}  // namespace

std::string EncodedName(const std::string& sourcePath) {
    const PathParts parts = SplitPath(sourcePath);
    return parts.name + parts.ext;
}

std::string ResolveOutputPath(const std::string& sourcePath, const std::string& target,
                              const EncodeSettings& settings) {
    std::string directory, namePattern, extPattern;
    // Trailing blanks do not keep a directory from being one (as where the
    // file system itself ignores them).
    const std::string trimmed = WithoutTrailingBlanks(target);
    if (platform::os().IsDirectory(target) || (!trimmed.empty() && platform::os().IsDirectory(trimmed))) {
        directory = DirectoryWithSeparator(target);
        namePattern = "*";
        extPattern = ".uue";
    } else {
        const PathParts t = SplitPath(target);
        directory = t.drive + t.dir;
        namePattern = t.name;
        extPattern = t.ext.empty() ? ".uue" : t.ext;
    }

    const PathParts source = SplitPath(sourcePath);
    std::string name = namePattern;
    if (HostMatches(namePattern, source.name)) {
        name = source.name;
        if (settings.EnableSingleStorage == 0 && settings.SplitOutput != 0) name += "_1";
    }
    std::string ext = HostMatches(extPattern, source.ext) ? source.ext : extPattern;
    // A lone dot means "no extension": the name is kept as it is (a storage
    // file without an extension is appended to under its own name).
    if (ext == ".") ext.clear();

    // A path over the limit is returned whole: the encoder refuses it
    // rather than write under a cut-off name. A file that exists under a
    // spelling differing only in case is that file.
    const std::string path = directory + name + ext;
    if (path.size() > kMaxOutputPath) return path;
    return platform::os().ExistingSpelling(path);
}

std::string NextSectionPath(const std::string& path) {
    const PathParts parts = SplitPath(path);
    size_t digits = parts.name.size();
    while (digits > 1 && parts.name[digits - 1] >= '0' && parts.name[digits - 1] <= '9') --digits;
    unsigned long long k = 0;
    for (size_t i = digits; i < parts.name.size(); ++i) k = k * 10 + static_cast<unsigned>(parts.name[i] - '0');
    return parts.drive + parts.dir + parts.name.substr(0, digits) + std::to_string(k + 1) + parts.ext;
}

}  // namespace vexil
