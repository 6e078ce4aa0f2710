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
#if defined(_WIN32)
    // Trailing blanks still name the directory there; they are dropped.
    EXPECT_EQ(ResolveOutputPath(source, d + "  ", plain), d + kSep + "report.uue");
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
