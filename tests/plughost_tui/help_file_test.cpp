#include "tui/help_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tui/help_view.h"

namespace plughost::tui {
namespace {

const char kHelp[] =
    ".Language=English,English\n"
    ".PluginContents=Test\n"
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

TEST(HelpFile, MarkupShowsAsItsText) {
    const struct {
        const char* line;
        const char* shown;
    } cases[] = {
        {"#Bold# words", "Bold words"},
        {"see ~the options~@GeneralOptions@ there", "see the options there"},
        {"^#Centred title#", "Centred title"},
        {"a ## b @@ c ~~ d", "a # b @ c ~ d"},
        {"mail user@@host", "mail user@host"},
        {"a lone ~ stays", "a lone ~ stays"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(RenderHelpLine(c.line), c.shown) << c.line;
}

// Every topic name the plugins pass to the host has a topic in their help
// file, and each file starts as the host's help reader expects.
TEST(HelpFile, PluginHelpFilesHoldEveryTopicThePluginsName) {
    const struct {
        const char* file;
        std::vector<std::string> topics;
    } plugins[] = {
        {PLUGHOST_SOURCE_DIR "/vexil/vexil.hlf",
         {"Contents", "BriefEncodingDlg", "DetailedEncodingDlg", "GeneralOptions", "EncodingOptions"}},
        {PLUGHOST_SOURCE_DIR "/calculator/calculator.hlf", {"Contents", "Exception"}},
    };
    for (const auto& plugin : plugins) {
        std::ifstream in(plugin.file, std::ios::binary);
        std::string first;
        ASSERT_TRUE(std::getline(in, first)) << plugin.file;
        EXPECT_EQ(first, ".Language=English,English") << plugin.file;
        for (const std::string& name : plugin.topics) {
            HelpTopic topic;
            EXPECT_TRUE(ReadHelpTopic(plugin.file, name, &topic)) << plugin.file << " has no topic " << name;
            EXPECT_FALSE(topic.lines.empty()) << plugin.file << " " << name;
        }
    }
}

TEST(HelpFile, LongLinesWrapAtBlanksKeepingTheIndent) {
    EXPECT_EQ(WrapLine(U"one two three", 7), (std::vector<std::u32string>{U"one two", U"three"}));
    EXPECT_EQ(WrapLine(U"  ab cd ef", 6), (std::vector<std::u32string>{U"  ab", U"  cd", U"  ef"}));
    EXPECT_EQ(WrapLine(U"abcdefgh", 3), (std::vector<std::u32string>{U"abc", U"def", U"gh"}));
    EXPECT_EQ(WrapLine(U"", 5), (std::vector<std::u32string>{U""}));
}

}  // namespace
}  // namespace plughost::tui
