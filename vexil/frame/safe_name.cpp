#include "vexil/frame/safe_name.h"

#include <cstring>

namespace vexil {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, alone or before a dot.
bool IsDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = Upper(c);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string SafeName(const std::string& name, bool windowsRules) {
    std::string safe = name;
    const size_t slash = safe.find_last_of("/\\");
    if (slash != std::string::npos) safe.erase(0, slash + 1);
    const bool letter = safe.size() >= 2 && ((safe[0] | 0x20) >= 'a' && (safe[0] | 0x20) <= 'z');
    if (letter && safe[1] == ':') safe.erase(0, 2);
    for (char& c : safe) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127 || c == '*' || c == '?') c = '_';
        if (windowsRules && std::strchr("<>:\"|", c) != nullptr) c = '_';
    }
    if (windowsRules) {
        while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
        if (IsDeviceName(safe)) {
            std::string prefixed(1, '_');
            prefixed.append(safe);
            safe.swap(prefixed);
        }
    }
    if (safe.empty() || safe == "." || safe == "..") safe.assign(1, '_');
    return safe;
}

std::string SafeName(const std::string& name) {
#if defined(_WIN32)
    return SafeName(name, true);
#else
    return SafeName(name, false);
#endif
}

}  // namespace vexil
