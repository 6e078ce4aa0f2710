#include "plughost/match_name.h"

#include <gtest/gtest.h>

namespace {

TEST(MatchName, WildcardTable) {
    struct Case {
        const char* pattern;
        const char* name;
        bool skipPath;
        bool match;
    };
    const Case cases[] = {
        {"*", "", false, true},
        {"*", "anything.txt", false, true},
        {"*.*", "noext", false, false},
        {"*.*", "a.b", false, true},
        {"*.uue", "REPORT.UUE", false, true},
        {"*.UUE", "report.uue", false, true},
        {"*.uue", "report.uuex", false, false},
        {"rep?rt.*", "report.txt", false, true},
        {"rep?rt.*", "reprt.txt", false, false},
        {"?", "", false, false},
        {"a*b*c", "aXXbYYc", false, true},
        {"a*b*c", "aXXbYY", false, false},
        {"*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false, false},
        {"", "", false, true},
        {"", "x", false, false},
        {"report", "dir/report", true, true},
        {"report", "dir\\report", true, true},
        {"report", "dir/report", false, false},
        {"*/report", "dir/report", false, true},
        {"\xC4*", "\xC4x", false, true},  // bytes above 127 compare as they are
    };
    for (const Case& c : cases)
        EXPECT_EQ(plughost::MatchName(c.pattern, c.name, c.skipPath), c.match)
            << "\"" << c.pattern << "\" vs \"" << c.name << "\"";
}

}  // namespace
