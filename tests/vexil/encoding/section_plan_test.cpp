#include "vexil/encoding/section_plan.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexil {
namespace {

// The counting rule followed line by line: the count grows before every
// line, a section starts when it passes the bound, the bound then grows by
// L, and the first section's header adds h to the count.
std::vector<uint64_t> SimulatedStarts(uint64_t lines, uint64_t L, uint64_t h) {
    std::vector<uint64_t> starts;
    uint64_t count = 0, bound = 0;
    for (uint64_t line = 1; line <= lines; ++line) {
        ++count;
        if (count > bound) {
            starts.push_back(line);
            bound += L;
            if (starts.size() == 1) count += h;
        }
    }
    return starts;
}

std::vector<uint64_t> PlannedStarts(SectionPlan plan) {
    std::vector<uint64_t> starts;
    while (plan.Started() < plan.Total()) {
        starts.push_back(plan.NextStart());
        plan.Start();
    }
    return starts;
}

TEST(SectionPlan, DataLinesFollowChunks) {
    EXPECT_EQ(DataLineCount(0), 0u);
    EXPECT_EQ(DataLineCount(1), 1u);
    EXPECT_EQ(DataLineCount(45), 1u);
    EXPECT_EQ(DataLineCount(46), 2u);
    EXPECT_EQ(DataLineCount(65536), 1457u);
    EXPECT_EQ(DataLineCount(65537), 1458u);
    EXPECT_EQ(DataLineCount(5ull << 32), 5ull * 65536 * 1457);  // past 4 GiB
}

TEST(SectionPlan, StartsAgreeWithLineByLineCounting) {
    for (int table : {0, 1}) {
        for (int32_t L : {1, 2, 3, 4, 5, 6, 7, 10, 100}) {
            for (uint64_t length : {1ull, 45ull, 46ull, 450ull, 4500ull, 65536ull, 65537ull, 300000ull}) {
                EncodeSettings s;
                s.SplitOutput = 1;
                s.LinesPerSection = L;
                s.CharacterTable = table;
                const auto expected = SimulatedStarts(DataLineCount(length), L, table ? 4 : 2);
                EXPECT_EQ(PlannedStarts(SectionPlan(length, s)), expected)
                    << "L " << L << ", table " << table << ", length " << length;
            }
        }
    }
}

TEST(SectionPlan, FirstSectionLosesTheHeaderLines) {
    EncodeSettings s;
    s.SplitOutput = 1;
    s.LinesPerSection = 100;
    const auto withTable = PlannedStarts(SectionPlan(45 * 500, s));
    ASSERT_GE(withTable.size(), 3u);
    EXPECT_EQ(withTable[1] - withTable[0], 96u);
    EXPECT_EQ(withTable[2] - withTable[1], 100u);
    s.CharacterTable = 0;
    EXPECT_EQ(PlannedStarts(SectionPlan(45 * 500, s))[1], 99u);  // 98 lines in the first
}

TEST(SectionPlan, UnsplitEmptyAndZeroLengthCases) {
    EncodeSettings s;
    EXPECT_EQ(SectionPlan(10ull << 30, s).Total(), 1u);
    s.SplitOutput = 1;
    EXPECT_EQ(SectionPlan(0, s).Total(), 1u);
    // A stored length of 0 splits as 1: a section before every line.
    s.LinesPerSection = 0;
    EXPECT_EQ(SectionPlan(45 * 7, s).Total(), 7u);
}

}  // namespace
}  // namespace vexil
