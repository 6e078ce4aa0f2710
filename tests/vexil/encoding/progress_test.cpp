#include "vexil/encoding/progress.h"

#include <gtest/gtest.h>

#include "tests/vexil/encoding/encode_test_util.h"
#include "support/temp_dir.h"
#include "platform/platform.h"

namespace vexil {
namespace {

using encode_test::EncodeHost;

const std::string kSep(1, platform::kPathSeparator);

TEST(Progress, BarFillsOneBlockPerFourPercent) {
    EXPECT_EQ(ProgressBar(0), std::string(25, '\xB0'));
    EXPECT_EQ(ProgressBar(99), std::string(24, '\xDB') + '\xB0');
    EXPECT_EQ(ProgressBar(100), std::string(25, '\xDB'));
    EXPECT_EQ(ProgressBar(50), std::string(12, '\xDB') + std::string(13, '\xB0'));
}

TEST(Progress, AnnouncementShortensNameAndTarget) {
    EncodeHost host;
    struct {
        std::string file, target, shownFile, shownTarget;
    } cases[] = {
        {"d" + kSep + "abcdefghijklmno.txt", "T:" + kSep + "abcdefghijklmnopqrst", "abcdefghijklmno.txt",
         "T:" + kSep + "abcdefghijklmnopqrst"},
        {"d" + kSep + "abcdefghijklmnop.txt", "T:" + kSep + "abcdefghijklmnopqrstu", "...abcdefghijklmnop.txt",
         "...bcdefghijklmnopqrstu"},
    };
    for (const auto& c : cases) {
        host.messages.clear();
        ShowEncodeProgress(c.file.c_str(), c.target.c_str(), 3, 0);
        ASSERT_EQ(host.messages.size(), 1u);
        const auto& box = host.messages[0];
        EXPECT_EQ(box.flags, host::kMsgLeftAlign);
        EXPECT_EQ(box.buttons, 0);
        EXPECT_EQ(box.lines, (std::vector<std::string>{"msg42", c.shownFile, "msg43", c.shownTarget,
                                                       std::string(25, '\xB0'), std::string(25, '\xC4'),
                                                       "File 3"}));
    }
}

TEST(Progress, UpdatesRedrawTheAnnouncementUntilTheClosingCall) {
    EncodeHost host;
    ShowEncodeProgress("a.bin", "out", 2, 0);
    ShowEncodeProgress(nullptr, nullptr, 0, 40);
    ShowEncodeProgress(nullptr, nullptr, kProgressClosing, 0);
    ShowEncodeProgress(nullptr, nullptr, 0, 100);
    ASSERT_EQ(host.messages.size(), 4u);
    EXPECT_EQ(host.messages[1].flags, host::kMsgLeftAlign | host::kMsgKeepBackground);
    EXPECT_EQ(host.messages[1].lines[1], "a.bin");
    EXPECT_EQ(host.messages[1].lines[4], std::string(10, '\xDB') + std::string(15, '\xB0'));
    EXPECT_EQ(host.messages[2].lines[6], "File 2");
    // After the closing call the announced texts are gone.
    EXPECT_EQ(host.messages[3].lines[1], "");
    EXPECT_EQ(host.messages[3].lines[6], "");
}

}  // namespace
}  // namespace vexil
