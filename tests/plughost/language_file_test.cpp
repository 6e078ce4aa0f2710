#include "plughost/language_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_dir.h"

namespace {

plughost::LanguageFile Parse(const std::string& text, bool* ok = nullptr) {
    std::istringstream in(text);
    plughost::LanguageFile file;
    std::string error;
    const bool parsed = plughost::ParseLanguageFile(in, &file, &error);
    if (ok) *ok = parsed;
    return file;
}

TEST(LanguageFile, QuotedLinesAreMessagesInOrder) {
    const auto file = Parse(
        ".Language=English,English\r\n"
        "// a comment\r\n"
        "\"OK\"\r\n"
        "\r\n"
        "\"\"\r\n"
        "  \"Say \"hi\" now\"\r\n"
        "  // an indented comment\n"
        "\"100%% %s\"\n");
    EXPECT_EQ(file.language, "English,English");
    EXPECT_EQ(file.messages, (std::vector<std::string>{"OK", "", "Say \"hi\" now", "100%% %s"}));
}

TEST(LanguageFile, FirstLineMustNameTheLanguage) {
    bool ok = true;
    Parse("\"OK\"\n", &ok);
    EXPECT_FALSE(ok);
    Parse("", &ok);
    EXPECT_FALSE(ok);
    const auto file = Parse("\xEF\xBB\xBF.Language=German,Deutsch\n\"Ja\"\n", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(file.language, "German,Deutsch");
}

TEST(LanguageFile, UnclosedQuoteTakesTheRestOfTheLine) {
    EXPECT_EQ(Parse(".Language=English,English\n\"open\n").messages, (std::vector<std::string>{"open"}));
}

TEST(LanguageFile, FoundBesideTheLibraryPreferringItsOwnName) {
    test::TempDir dir;
    dir.Write("other.lng", ".Language=English,English\n");
    EXPECT_EQ(plughost::FindLanguageFile(dir.File("vexil.so")), dir.File("other.lng"));
    dir.Write("vexil.lng", ".Language=English,English\n");
    EXPECT_EQ(plughost::FindLanguageFile(dir.File("vexil.so")), dir.File("vexil.lng"));
    test::TempDir empty;
    EXPECT_EQ(plughost::FindLanguageFile(empty.File("vexil.so")), "");
}

}  // namespace
