#include "plughost/cli.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(Cli, ParsesOptionsBeforeTheCommand) {
    plughost::CommandLine line;
    std::string error;
    ASSERT_TRUE(plughost::ParseCommandLine({"--plugins", "p", "--answer", "2", "--registry", "r.reg", "--answer",
                                            "-1", "info", "--answer", "x"},
                                           &line, &error))
        << error;
    EXPECT_EQ(line.pluginsDir, "p");
    EXPECT_EQ(line.registryFile, "r.reg");
    EXPECT_EQ(line.answers, (std::vector<int>{2, -1}));
    EXPECT_EQ(line.command, "info");
    EXPECT_EQ(line.args, (std::vector<std::string>{"--answer", "x"}));  // the command's own words
}

TEST(Cli, RejectsBadCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--answer"},
        {"--answer", "two", "info"},
        {"--answer", "-2", "info"},
        {"--answer", "1x", "info"},
        {"--colour", "info"},
        {"--plugins"},
    };
    for (const auto& words : bad) {
        plughost::CommandLine line;
        std::string error;
        EXPECT_FALSE(plughost::ParseCommandLine(words, &line, &error)) << (words.empty() ? "" : words[0]);
        EXPECT_FALSE(error.empty());
    }
}

TEST(Cli, DefaultPluginsFolderIsBesideBin) {
    const std::string dir = plughost::DefaultPluginsDir("/opt/x/bin/plughost");
    // Natively "/opt/x/plugins"; on Windows the same on the current drive.
    EXPECT_NE(dir.find("opt"), std::string::npos) << dir;
    EXPECT_EQ(dir.find("bin"), std::string::npos) << dir;
    EXPECT_EQ(dir.substr(dir.size() - 7), "plugins") << dir;
}

TEST(Cli, UnknownCommandIsAUsageError) {
    plughost::CommandLine line;
    line.command = "frobnicate";
    line.pluginsDir = PLUGHOST_TEST_PLUGINS_DIR;
    std::ostringstream out, err;
    EXPECT_EQ(plughost::RunCommandLine(line, "plughost", nullptr, out, err), 2);
    EXPECT_NE(err.str().find("unknown command frobnicate"), std::string::npos);
    EXPECT_NE(err.str().find("info"), std::string::npos);
}

}  // namespace
