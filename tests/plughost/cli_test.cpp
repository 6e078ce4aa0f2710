#include "plughost/cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

TEST(Cli, EditsAttachToTheNextAnswer) {
    plughost::CommandLine line;
    std::string error;
    ASSERT_TRUE(plughost::ParseCommandLine({"--answer", "1", "--edit", "6=12 ab", "--edit", "4=x", "--answer", "0",
                                            "config"},
                                           &line, &error))
        << error;
    ASSERT_EQ(line.edits.size(), 2u);
    EXPECT_EQ(line.edits[0].beforeAnswer, 1u);
    EXPECT_EQ(line.edits[0].item, 6);
    EXPECT_EQ(line.edits[0].text, "12 ab");
    EXPECT_EQ(line.edits[1].item, 4);
    EXPECT_FALSE(plughost::ParseCommandLine({"--edit", "x=1", "--answer", "0", "config"}, &line, &error));
    plughost::CommandLine trailing;
    EXPECT_FALSE(plughost::ParseCommandLine({"--answer", "0", "--edit", "1=x", "config"}, &trailing, &error));
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

namespace {

#if !defined(_WIN32)
// The settings store reads PLUGHOST_REGISTRY on every access; --registry sets
// it, as an absolute path since plugins move the current directory.
TEST(Cli, RegistryOptionPointsTheSettingsStoreAtTheFile) {
    plughost::CommandLine line;
    line.command = "info";
    line.registryFile = "relative/registry.reg";
    line.pluginsDir = PLUGHOST_TEST_PLUGINS_DIR;
    std::ostringstream out, err;
    EXPECT_EQ(plughost::RunCommandLine(line, "plughost", nullptr, out, err), 0) << err.str();
    const char* value = std::getenv("PLUGHOST_REGISTRY");
    ASSERT_NE(value, nullptr);
    const std::string path = value;
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(path.substr(path.size() - 21), "relative/registry.reg");
}
#endif

TEST(Cli, InfoListsTheLoadedPlugins) {
    plughost::CommandLine line;
    line.command = "info";
    line.pluginsDir = PLUGHOST_TEST_PLUGINS_DIR;
    std::ostringstream out, err;
    EXPECT_EQ(plughost::RunCommandLine(line, "plughost", nullptr, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("  plugins menu: VEXIL\n"), std::string::npos) << out.str();
}

TEST(Cli, InfoWithoutPluginsFails) {
    plughost::CommandLine line;
    line.command = "info";
    line.pluginsDir = "no-such-folder";
    std::ostringstream out, err;
    EXPECT_EQ(plughost::RunCommandLine(line, "plughost", nullptr, out, err), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("no-such-folder"), std::string::npos);
}

}  // namespace
