#include "language_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace plughost {

namespace fs = std::filesystem;

namespace {

void StripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

bool ParseLanguageFile(std::istream& in, LanguageFile* file, std::string* error) {
    static const std::string kHeader = ".Language=";
    static const std::string kUtf8Mark = "\xEF\xBB\xBF";
    std::string line;
    if (!std::getline(in, line)) {
        *error = "empty language file";
        return false;
    }
    StripLineEnd(line);
    if (line.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0) line.erase(0, kUtf8Mark.size());
    if (line.compare(0, kHeader.size(), kHeader) != 0) {
        *error = "first line is not a .Language= line";
        return false;
    }
    file->language = line.substr(kHeader.size());
    file->messages.clear();
    while (std::getline(in, line)) {
        StripLineEnd(line);
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 2, "//") == 0) continue;
        if (line[start] != '"') continue;
        const size_t end = line.rfind('"');
        const size_t length = end > start ? end - start - 1 : std::string::npos;
        file->messages.push_back(line.substr(start + 1, length));
    }
    return true;
}

bool ReadLanguageFile(const std::string& path, LanguageFile* file, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open " + path;
        return false;
    }
    return ParseLanguageFile(in, file, error);
}

std::string FindLanguageFile(const std::string& libraryPath) {
    const fs::path library(libraryPath);
    std::error_code ec;
    fs::path own = library;
    own.replace_extension(".lng");
    if (fs::is_regular_file(own, ec)) return own.string();
    std::vector<fs::path> found;
    for (fs::directory_iterator it(library.parent_path(), ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".lng") found.push_back(it->path());
    if (found.empty()) return "";
    return std::min_element(found.begin(), found.end())->string();
}

}  // namespace plughost
