#include "tui/help_file.h"

#include <gtest/gtest.h>

#include "tui/help_view.h"

namespace plughost::tui {
namespace {

const char kHelp[] =
    "comment before the first topic\n"
    "@First\r\n"
    "$ The first topic\n"
    "\n"
    "Line one.\n"
    "  Indented line.\n"
    "\n"
    "@Second\n"
    "No title here.\n";

TEST(HelpFile, FindsTopicsWithAndWithoutTitles) {
    HelpTopic topic;
    ASSERT_TRUE(FindHelpTopic(kHelp, "First", &topic));
    EXPECT_EQ(topic.title, "The first topic");
    EXPECT_EQ(topic.lines, (std::vector<std::string>{"Line one.", "  Indented line."}));
    ASSERT_TRUE(FindHelpTopic(kHelp, "Second", &topic));
    EXPECT_EQ(topic.title, "Second");
    EXPECT_EQ(topic.lines, (std::vector<std::string>{"No title here."}));
    EXPECT_FALSE(FindHelpTopic(kHelp, "Third", &topic));
    EXPECT_FALSE(FindHelpTopic(kHelp, "first", &topic));  // names match exactly
    EXPECT_FALSE(ReadHelpTopic("/nonexistent/help.hlf", "First", &topic));
}

TEST(HelpFile, LongLinesWrapAtBlanksKeepingTheIndent) {
    EXPECT_EQ(WrapLine(U"one two three", 7), (std::vector<std::u32string>{U"one two", U"three"}));
    EXPECT_EQ(WrapLine(U"  ab cd ef", 6), (std::vector<std::u32string>{U"  ab", U"  cd", U"  ef"}));
    EXPECT_EQ(WrapLine(U"abcdefgh", 3), (std::vector<std::u32string>{U"abc", U"def", U"gh"}));
    EXPECT_EQ(WrapLine(U"", 5), (std::vector<std::u32string>{U""}));
}

}  // namespace
}  // namespace plughost::tui
