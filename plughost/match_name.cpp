#include "match_name.h"

namespace plughost {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool MatchName(std::string_view pattern, std::string_view name, bool skipPath) {
    if (skipPath) {
        const size_t slash = name.find_last_of("/\\");
        if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    }
    // Greedy walk that backtracks to the last '*' on a mismatch: linear in
    // practice, never exponential.
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace plughost
