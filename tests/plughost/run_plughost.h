// Runs a plughost command line in-process with the plugins built for the tests.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "plughost/cli.h"

inline int RunPlughost(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    plughost::CommandLine line;
    std::string error;
    std::vector<std::string> all = {"--plugins", PLUGHOST_TEST_PLUGINS_DIR};
    all.insert(all.end(), words.begin(), words.end());
    EXPECT_TRUE(plughost::ParseCommandLine(all, &line, &error)) << error;
    return plughost::RunCommandLine(line, "plughost", nullptr, out, err);
}
