#include "vexil/frame/path_parts.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

struct Case {
    const char* path;
    const char* drive;
    const char* dir;
    const char* name;
    const char* ext;
};

void Check(const Case& c) {
    const vexil::PathParts p = vexil::SplitPath(c.path);
    EXPECT_EQ(p.drive, c.drive) << c.path;
    EXPECT_EQ(p.dir, c.dir) << c.path;
    EXPECT_EQ(p.name, c.name) << c.path;
    EXPECT_EQ(p.ext, c.ext) << c.path;
}

TEST(PathParts, SplitsPortablePaths) {
    const Case cases[] = {
        {"report.txt", "", "", "report", ".txt"},
        {"archive.tar.gz", "", "", "archive.tar", ".gz"},
        {"noext", "", "", "noext", ""},
        {"trailing.", "", "", "trailing", "."},
        {".profile", "", "", "", ".profile"},
        {"", "", "", "", ""},
        {"out/report.uue", "", "out/", "report", ".uue"},
        {"/a.b/c", "", "/a.b/", "c", ""},
        {"dir/", "", "dir/", "", ""},
    };
    for (const Case& c : cases) Check(c);
}

TEST(PathParts, SplitsNativePaths) {
    if (platform::kPathSeparator == '\\') {
        const Case cases[] = {
            {"C:\\out\\report.txt", "C:", "\\out\\", "report", ".txt"},
            {"d:name.uue", "d:", "", "name", ".uue"},
            {"\\root.txt", "", "\\", "root", ".txt"},
            {"C:\\a.dir\\file", "C:", "\\a.dir\\", "file", ""},
            {"1:x", "", "", "1:x", ""},
        };
        for (const Case& c : cases) Check(c);
    } else {
        const Case cases[] = {
            {"C:\\out\\report.txt", "", "", "C:\\out\\report", ".txt"},  // backslash is a name character
            {"/home/u/x.uue", "", "/home/u/", "x", ".uue"},
        };
        for (const Case& c : cases) Check(c);
    }
}

}  // namespace
