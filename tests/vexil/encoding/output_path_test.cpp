#include "vexil/encoding/output_path.h"

#include <gtest/gtest.h>

#include "tests/vexil/encoding/encode_test_util.h"
#include "support/temp_dir.h"
#include "platform/platform.h"

namespace vexil {
namespace {

using encode_test::EncodeHost;
using test::TempDir;

const std::string kSep(1, platform::kPathSeparator);

TEST(OutputPath, NamesFollowTargetAndSettings) {
    EncodeHost host;
    TempDir dir;
    const std::string d = dir.Path();
    const std::string source = d + kSep + "report.txt";
    EncodeSettings plain, split, single;
    split.SplitOutput = 1;
    single.SplitOutput = 1;
    single.EnableSingleStorage = 1;
    struct Case {
        std::string target;
        const EncodeSettings* settings;
        std::string expected;
    } cases[] = {
        {d, &plain, d + kSep + "report.uue"},
        {d + kSep, &plain, d + kSep + "report.uue"},
        {d, &split, d + kSep + "report_1.uue"},
        {d, &single, d + kSep + "report.uue"},
        {d + kSep + "*.xxe", &plain, d + kSep + "report.xxe"},
        {d + kSep + "all.uue", &split, d + kSep + "all.uue"},
        {d + kSep + "REPORT", &plain, d + kSep + "report.uue"},
        {d + kSep + "a*.*", &plain, d + kSep + "a*.txt"},
        {d + kSep + "store.", &plain, d + kSep + "store"},
        {"out.uue", &plain, "out.uue"},
    };
    for (const Case& c : cases) EXPECT_EQ(ResolveOutputPath(source, c.target, *c.settings), c.expected) << c.target;
    // Blanks and control characters after a directory are dropped, also
    // after its separator.
    for (const char* blanks : {"  ", " \t", "\x01"}) {
        EXPECT_EQ(ResolveOutputPath(source, d + blanks, plain), d + kSep + "report.uue");
        EXPECT_EQ(ResolveOutputPath(source, d + kSep + blanks, plain), d + kSep + "report.uue");
    }
}

TEST(OutputPath, LongPathIsNotCut) {
    EncodeHost host;
    EncodeSettings plain;
    const std::string target = "out" + kSep + std::string(1100, 'n') + ".uue";
    EXPECT_EQ(ResolveOutputPath("report.txt", target, plain), target);
}

TEST(OutputPath, ExistingFileKeepsItsOwnSpelling) {
    EncodeHost host;
    TempDir dir;
    EncodeSettings plain;
    const std::string existing = dir.Write("Report.UUE", "x");
    const std::string spelled = ResolveOutputPath(dir.File("report.txt"), dir.Path(), plain);
#if defined(_WIN32)
    EXPECT_EQ(spelled, dir.File("report.uue"));  // one file there whatever the case
#else
    EXPECT_EQ(spelled, existing);
    EXPECT_EQ(ResolveOutputPath(dir.File("a.txt"), dir.File("REPORT.uue"), plain), existing);
    EXPECT_EQ(ResolveOutputPath(dir.File("other.txt"), dir.Path(), plain), dir.File("other.uue"));
#endif
}

TEST(OutputPath, EncodedNameDropsDirectory) {
    EXPECT_EQ(EncodedName("dir" + kSep + "sub" + kSep + "a.b.c"), "a.b.c");
    EXPECT_EQ(EncodedName("plain"), "plain");
}

TEST(OutputPath, NextSectionCountsUpTrailingDigits) {
    const std::string p = "out" + kSep;
    struct {
        std::string from, to;
    } cases[] = {
        {p + "report_1.uue", p + "report_2.uue"}, {p + "report_9.uue", p + "report_10.uue"},
        {p + "all.uue", p + "all1.uue"},          {p + "all1.uue", p + "all2.uue"},
        {p + "7.uue", p + "71.uue"},              {p + "x099", p + "x100"},
    };
    for (const auto& c : cases) EXPECT_EQ(NextSectionPath(c.from), c.to);
}

}  // namespace
}  // namespace vexil
