// End to end: plughost's list and watch commands open storages through the
// built vexil plugin (vexil.so / vexil.dll) and its real exports.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>

#include "plughost/commands.h"
#include "plughost/host.h"
#include "plughost/plugin_panel.h"
#include "plughost/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/uu_writer.h"

namespace {

class StorageCommands : public ::testing::Test {
protected:
    StorageCommands() : ui(log), host(ui, log) {}
    void SetUp() override {
        ASSERT_GE(host.LoadPlugins(PLUGHOST_TEST_PLUGINS_DIR), 1) << log.str();  // the calculator loads too
        ASSERT_NE(host.FindPlugin("vexil"), nullptr);
    }

    std::string List(const std::string& path, int* code) {
        std::ostringstream out;
        *code = plughost::RunList(host, {path}, out);
        return out.str();
    }

    std::ostringstream log;
    plughost::ScriptedUi ui;
    plughost::Host host;
    test::TempDir dir;
};

TEST_F(StorageCommands, ListShowsCompleteFilesAndSectionsOfIncompleteOnes) {
    testenc::UuOptions split;
    split.linesPerSection = 20;
    split.eol = "\n";
    const std::string parts = testenc::UuEncode("parts.bin", testenc::RandomBytes(2000, 5), split);
    // Sections 1 and 2 of 3 of parts.bin, then a whole file.
    const size_t third = parts.find("section 3 of 3");
    ASSERT_NE(third, std::string::npos);
    const std::string text = "Mail text\r\n" + parts.substr(0, third) +
                             testenc::UuEncode("whole.bin", testenc::RandomBytes(1027, 6));
    int code = -1;
    EXPECT_EQ(List(dir.Write("mail.txt", text), &code),
              "title\t VEXIL: mail.txt \n"
              "item\tparts.bin 01/03\t"
                  + std::to_string((16 * 60) * 6 / 8) + "\n"
              "item\tparts.bin 02/03\t" + std::to_string((20 * 60) * 6 / 8) + "\n"
              "item\twhole.bin\t1027\n");
    EXPECT_EQ(code, 0);
}

TEST_F(StorageCommands, ListCountsASectionCrossingThe131072Boundary) {
    const std::string text = std::string(130000, 'x') + "\r\n" +
                             testenc::UuEncode("across.bin", testenc::RandomBytes(100000, 7));
    int code = -1;
    const std::string out = List(dir.Write("big.uue", text), &code);
    EXPECT_EQ(code, 0);
    // Chunks of 65536 and 34464 bytes: 1456 full lines and a 16-byte line, 765 full lines and a
    // 39-byte line; then "`" and "end". Nothing is lost at the boundary: the exact size is listed.
    EXPECT_EQ(out, "title\t VEXIL: big.uue \nitem\tacross.bin\t" + std::to_string(1456 * 45 + 16 + 765 * 45 + 39) +
                       "\n");
}

TEST_F(StorageCommands, ListDeclinesTextThatHoldsNoBlock) {
    int code = -1;
    EXPECT_EQ(List(dir.Write("plain.txt", "just text\r\nsection 1 of 1 of file x\r\n"), &code), "declined\n");
    EXPECT_EQ(code, 3);
    std::ostringstream out;
    EXPECT_EQ(plughost::RunList(host, {}, out), 2);
}

TEST_F(StorageCommands, WatchListsAgainAfterTheFileChanges) {
    const std::string first = testenc::UuEncode("a.bin", testenc::RandomBytes(1027, 1));
    const std::string path = dir.Write("w.uue", first);
    std::unique_ptr<plughost::PluginPanel> panel = plughost::PluginPanel::Open(host, path);
    ASSERT_NE(panel, nullptr);
    std::ostringstream out;
    plughost::PrintListing(*panel, out);

    int rounds = 0;
    plughost::WatchPanel(*panel, out, [&] { return ++rounds <= 3; }, 5);
    EXPECT_EQ(panel->Updates(), 0);  // unchanged: no re-read asked for

    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    dir.Write("w.uue", first + testenc::UuEncode("b.bin", testenc::RandomBytes(90, 2)));
    rounds = 0;
    plughost::WatchPanel(*panel, out, [&] { return ++rounds <= 3; }, 5);
    EXPECT_EQ(panel->Updates(), 1);
    EXPECT_EQ(panel->Redraws(), 1);
    EXPECT_EQ(out.str(),
              "title\t VEXIL: w.uue \nitem\ta.bin\t1027\n"
              "title\t VEXIL: w.uue \nitem\ta.bin\t1027\nitem\tb.bin\t90\n");  // exact sizes
}

}  // namespace
