// A plugin's language file: first line ".Language=<name>,<description>", then
// one double-quoted text per line; the k-th quoted line (from 0) is message k.
// Lines starting with "//" and blank lines are skipped; CR LF or LF line ends.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace plughost {

struct LanguageFile {
    std::string language;  // what follows ".Language="
    std::vector<std::string> messages;
};

// False (with a reason) when the first line is not a ".Language=" line.
bool ParseLanguageFile(std::istream& in, LanguageFile* file, std::string* error);
bool ReadLanguageFile(const std::string& path, LanguageFile* file, std::string* error);

// The language file beside a plugin library: "<stem>.lng" in its folder if that
// exists, else the first "*.lng" there in name order; "" when there is none.
std::string FindLanguageFile(const std::string& libraryPath);

}  // namespace plughost
