#include "tui/file_manager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "fake_terminal.h"
#include "host_operations.h"
#include "tui/screen_ui.h"

namespace plughost::tui {
namespace {

namespace fs = std::filesystem;

// A file manager over a small folder, with no plugins loaded.
class FileManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("file_manager_test_" +
                                            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        fs::create_directories(root / "out");
        std::ofstream(root / "a.txt") << "a";
        std::ofstream(root / "b.txt") << "b";
        previousDir = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(previousDir);
        fs::remove_all(root);
    }
    host::PanelState State(int command) {
        host::PanelState state{};
        EXPECT_TRUE(HostControl(host::kInvalidHandle, command, &state));
        return state;
    }

    fs::path root, previousDir;
    FakeTerminal terminal{100, 30};
    Screen screen{terminal};
    ScreenUi ui{screen};
    std::ostringstream log;
    Host host{ui, log};
};

TEST_F(FileManagerTest, HostControlReportsTheActiveAndPassivePanels) {
    FileManager manager(host, screen, root.string());
    manager.HandleKey(key::kTab);               // right panel
    manager.HandleKey(key::kDown);              // out
    manager.HandleKey(key::kEnter);
    EXPECT_EQ(manager.ActiveSide(), 1);
    EXPECT_STREQ(State(host::kCtlGetPanelState).currentDir, (root / "out").string().c_str());
    EXPECT_STREQ(State(host::kCtlGetPassivePanelState).currentDir, root.string().c_str());

    manager.HandleKey(key::kTab);               // back to the left panel
    manager.HandleKey(key::kEnd);               // b.txt
    manager.HandleKey(key::kInsert);
    host::PanelState active = State(host::kCtlGetPanelState);
    EXPECT_STREQ(active.currentDir, root.string().c_str());
    ASSERT_EQ(active.selectedItemsNumber, 1);
    EXPECT_STREQ(active.selectedItems[0].findData.fileName, "b.txt");
    EXPECT_EQ(fs::current_path(), root);        // plugins name files relative to the active folder

    // A plugin unselects an item and redraws at a position.
    for (int i = 0; i < active.itemsNumber; ++i) active.panelItems[i].flags = 0;
    EXPECT_TRUE(HostControl(host::kInvalidHandle, host::kCtlSetSelection, &active));
    host::PanelPosition position{1, 0};
    EXPECT_TRUE(HostControl(host::kInvalidHandle, host::kCtlRedrawPanel, &position));
    EXPECT_EQ(manager.Side(0).Current(), 1);
    EXPECT_EQ(State(host::kCtlGetPanelState).selectedItemsNumber, 1);  // "out", the item under the cursor
    EXPECT_STREQ(State(host::kCtlGetPanelState).selectedItems[0].findData.fileName, "out");
}

TEST_F(FileManagerTest, PassivePanelIsReReadOnRequest) {
    FileManager manager(host, screen, root.string());
    std::ofstream(root / "c.txt") << "c";
    EXPECT_FALSE(terminal.Shows("c.txt"));
    EXPECT_TRUE(HostControl(host::kInvalidHandle, host::kCtlUpdatePassivePanel, reinterpret_cast<void*>(1)));
    EXPECT_TRUE(HostControl(host::kInvalidHandle, host::kCtlRedrawPassivePanel, nullptr));
    const std::string shown = terminal.Text();
    size_t rows = 0;
    std::istringstream lines(shown);
    for (std::string line; std::getline(lines, line);)
        if (line.find("c.txt") != std::string::npos) ++rows;
    EXPECT_EQ(rows, 1u);  // only the passive (right) panel read the folder again
}

TEST_F(FileManagerTest, ScreenShowsPanelsTitleAndKeyBarAndQuitsOnF10) {
    FileManager manager(host, screen, root.string());
    manager.RepaintAll();
    EXPECT_TRUE(terminal.Shows(" plughost  " + root.string()));
    EXPECT_TRUE(terminal.Shows("a.txt"));
    EXPECT_TRUE(terminal.Shows("10Quit"));
    EXPECT_TRUE(manager.HandleKey(key::kDown));
    EXPECT_FALSE(manager.HandleKey(key::F(10)));
}

TEST_F(FileManagerTest, KeyBarHoldsCtrlRAndFitsEightyColumns) {
    for (const int width : {80, 100, 132}) {
        SCOPED_TRACE(width);
        terminal.Resize(width, 25);
        FileManager manager(host, screen, root.string());
        manager.RepaintAll();
        std::istringstream lines(terminal.Text());
        std::string line, last;
        while (std::getline(lines, line)) last = line;
        EXPECT_EQ(last.rfind("1Help ", 0), 0u) << last;
        EXPECT_NE(last.find("10Quit"), std::string::npos) << last;
        EXPECT_NE(last.find("11Plug"), std::string::npos) << last;
        EXPECT_NE(last.find("^RReread"), std::string::npos) << last;
    }
}

TEST_F(FileManagerTest, PanelsReopenWhereTheyWereLeft) {
    fs::create_directories(root / "out" / "deeper");
    std::ofstream(root / "out" / "c.txt") << "c";
    {
        FileManager manager(host, screen, root.string());
        manager.HandleKey(key::kEnd);  // left: b.txt
        manager.HandleKey(key::kTab);
        manager.HandleKey(key::kDown);  // right: out
        manager.HandleKey(key::kEnter);
        manager.HandleKey(key::kEnd);  // c.txt, after the folder "deeper"
        manager.SavePanels();
    }
    struct Case {
        const char* what;
        bool folderGiven;
        int active;
        fs::path left, right;
        std::string leftName, rightName;
    };
    const Case cases[] = {
        {"both panels, the right one active", false, 1, root, root / "out", "b.txt", "c.txt"},
        {"a folder given keeps the left panel", true, 0, root / "out" / "deeper", root / "out", "..", "c.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileManager manager(host, screen, c.folderGiven ? (root / "out" / "deeper").string() : root.string());
        manager.RestorePanels(c.folderGiven);
        EXPECT_EQ(manager.ActiveSide(), c.active);
        auto* left = dynamic_cast<FolderPanel*>(&manager.Side(0));
        auto* right = dynamic_cast<FolderPanel*>(&manager.Side(1));
        ASSERT_TRUE(left != nullptr && right != nullptr);
        EXPECT_EQ(left->Folder(), c.left.string());
        EXPECT_EQ(right->Folder(), c.right.string());
        EXPECT_EQ(left->Name(left->Current()), c.leftName);
        EXPECT_EQ(right->Name(right->Current()), c.rightName);
        EXPECT_EQ(fs::current_path(), c.active == 1 ? c.right : c.left);  // plugins see the active folder
    }
    // A remembered folder that is gone leaves the start folder.
    fs::current_path(root);  // Windows removes no folder that is a current one
    fs::remove_all(root / "out");
    FileManager manager(host, screen, root.string());
    manager.RestorePanels(false);
    EXPECT_EQ(dynamic_cast<FolderPanel&>(manager.Side(1)).Folder(), root.string());
    EXPECT_EQ(dynamic_cast<FolderPanel&>(manager.Side(0)).Folder(), root.string());
}

TEST_F(FileManagerTest, PluginsMenuWithoutPluginsSaysSo) {
    FileManager manager(host, screen, root.string());
    terminal.Press(key::kEnter);
    manager.HandleKey(key::F(11));
    EXPECT_TRUE(terminal.Showed("No plugin offers a plugins menu entry."));
    EXPECT_FALSE(terminal.Shows("No plugin offers"));
    EXPECT_EQ(terminal.drained, 0);
}

#ifndef _WIN32
TEST_F(FileManagerTest, EnterOnSpecialFilesSaysWhatTheyAreWithoutReading) {
    ASSERT_EQ(mkfifo((root / "0.fifo").string().c_str(), 0600), 0);  // sorts first: item 2 after ".." and "out"
    FileManager manager(host, screen, root.string());
    manager.HandleKey(key::kDown);
    manager.HandleKey(key::kDown);
    ASSERT_EQ(manager.Side(0).Name(manager.Side(0).Current()), "0.fifo");
    terminal.Press(key::kEnter);
    manager.HandleKey(key::kEnter);              // would block for good if the FIFO were opened
    EXPECT_TRUE(terminal.Showed("0.fifo is a FIFO (named pipe)."));
    EXPECT_TRUE(terminal.Showed("Only regular files are offered to the plugins."));
    EXPECT_EQ(terminal.drained, 0);
}

TEST_F(FileManagerTest, PluginsGetOnlyRegularFilesOfTheSelection) {
    ASSERT_EQ(mkfifo((root / "0.fifo").string().c_str(), 0600), 0);
    FileManager manager(host, screen, root.string());
    manager.HandleKey(key::kDown);
    manager.HandleKey(key::kDown);               // 0.fifo
    manager.HandleKey(key::kInsert);
    manager.HandleKey(key::kInsert);             // a.txt
    host::PanelState state = State(host::kCtlGetPanelState);
    ASSERT_EQ(state.selectedItemsNumber, 1);
    EXPECT_STREQ(state.selectedItems[0].findData.fileName, "a.txt");
    ASSERT_EQ(manager.Side(0).LeftOut().size(), 1u);
    EXPECT_EQ(manager.Side(0).LeftOut()[0], "0.fifo is a FIFO (named pipe)");
}

// POSIX only as well: the reasons are worded by the C library of the build.
TEST_F(FileManagerTest, FailuresNameTheFileAndTheReason) {
    struct Case {
        const char* what;
        std::function<void()> prepare;  // runs after the panel listed the folder
        std::vector<std::string> shown;
    };
    const fs::path deep = root / std::string(120, 'd') / std::string(120, 'e');
    const std::vector<Case> cases = {
        {"a folder removed after listing", [&] { fs::remove_all(root / "out"); },
         {"Cannot read the folder out:", "No such file or directory"}},
        {"a file removed after listing", [&] { fs::remove(root / "out"); fs::remove(root / "a.txt");
                                                fs::create_directories(root / "out"); },
         {"a.txt is not there any more"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::create_directories(root / "out");
        std::ofstream(root / "a.txt") << "a";
        FileManager manager(host, screen, root.string());
        c.prepare();
        manager.HandleKey(key::kDown);           // out
        if (std::string(c.what).find("file") != std::string::npos) manager.HandleKey(key::kDown);  // a.txt
        terminal.Press(key::kEnter);
        manager.HandleKey(key::kEnter);
        for (const std::string& text : c.shown) EXPECT_TRUE(terminal.Showed(text)) << text << "\n" << terminal.Text();
    }

    // A path longer than the plugins' records is refused, never cut.
    fs::create_directories(deep);
    std::ofstream(deep / "long.txt") << "x";
    FileManager manager(host, screen, deep.string());
    manager.HandleKey(key::kDown);
    ASSERT_EQ(manager.Side(0).Name(manager.Side(0).Current()), "long.txt");
    terminal.Press(key::kEnter);
    manager.HandleKey(key::kEnter);
    const std::string length = std::to_string((deep / "long.txt").string().size());
    EXPECT_TRUE(terminal.Showed("its path is " + length + " bytes long; plugins take paths of at most 259 bytes."))
        << terminal.Text();
}

#endif

TEST_F(FileManagerTest, FolderPanelsFollowChangesMadeByOthers) {
#ifdef _WIN32
    // The interactive host runs on POSIX terminals only (ncurses); its folder
    // watching and file operations are not built for Windows paths and times.
    GTEST_SKIP() << "interactive host: POSIX only";
#endif
    FileManager manager(host, screen, root.string());
    manager.HandleKey(key::kEnd);                // b.txt, selected
    manager.HandleKey(key::kInsert);
    manager.Idle();
    const int presents = terminal.presents;
    manager.Idle();
    EXPECT_EQ(terminal.presents, presents);      // nothing changed: nothing drawn
    std::ofstream(root / "new.txt") << "n";
    fs::remove(root / "a.txt");
    fs::last_write_time(root, fs::last_write_time(root) + std::chrono::seconds(1));  // coarse clocks
    manager.Idle();
    EXPECT_TRUE(terminal.Shows("new.txt"));
    EXPECT_FALSE(terminal.Shows("a.txt"));
    EXPECT_TRUE(manager.Side(0).IsSelected(manager.Side(0).Current()));  // the selection stays
    EXPECT_EQ(manager.Side(0).Name(manager.Side(0).Current()), "b.txt");
}

// Reads a whole file.
std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(FileManagerTest, FileOperationsAskAndDoWhatTheySay) {
#ifdef _WIN32
    // The interactive host runs on POSIX terminals only (ncurses); its folder
    // watching and file operations are not built for Windows paths and times.
    GTEST_SKIP() << "interactive host: POSIX only";
#endif
    FileManager manager(host, screen, root.string());
    auto run = [&](int fkey, const std::vector<int>& answers) {
        for (int code : answers) terminal.Press(code);
        manager.HandleKey(fkey);
        EXPECT_EQ(terminal.drained, 0) << "a question was left unanswered";
        terminal.drained = 0;
    };
    auto type = [](const std::string& text) {
        std::vector<int> keys(text.begin(), text.end());
        keys.push_back(key::kEnter);
        return keys;
    };
    // F7 makes a folder and puts the cursor on it.
    run(key::F(7), type("made"));
    EXPECT_TRUE(fs::is_directory(root / "made"));
    EXPECT_EQ(manager.Side(0).Name(manager.Side(0).Current()), "made");

    // The right panel goes into out/; F5 copies a.txt there (the target the dialog offers).
    manager.HandleKey(key::kTab);
    manager.HandleKey(key::kHome);
    manager.HandleKey(key::kDown);
    manager.HandleKey(key::kDown);               // out, below made
    ASSERT_EQ(manager.Side(1).Name(manager.Side(1).Current()), "out");
    manager.HandleKey(key::kEnter);
    manager.HandleKey(key::kTab);
    manager.HandleKey(key::kEnd);
    manager.HandleKey(key::kUp);                 // a.txt
    ASSERT_EQ(manager.Side(0).Name(manager.Side(0).Current()), "a.txt");
    run(key::F(5), {key::kEnter});
    EXPECT_EQ(Slurp(root / "out" / "a.txt"), "a");
    EXPECT_TRUE(terminal.Showed((root / "out").string()));

    // Copying again asks about the existing file: Skip keeps it, Overwrite replaces it.
    std::ofstream(root / "out" / "a.txt") << "old";
    run(key::F(5), {key::kEnter, U's'});
    EXPECT_TRUE(terminal.Showed("The file exists already:"));
    EXPECT_EQ(Slurp(root / "out" / "a.txt"), "old");
    run(key::F(5), {key::kEnter, U'o'});
    EXPECT_EQ(Slurp(root / "out" / "a.txt"), "a");
    run(key::F(5), {key::kEnter, key::kEsc});    // Esc on the question stops the job
    EXPECT_EQ(Slurp(root / "out" / "a.txt"), "a");

    // F6 with a plain name renames in place.
    run(key::F(6), type("renamed.txt"));
    EXPECT_FALSE(fs::exists(root / "a.txt"));
    EXPECT_EQ(Slurp(root / "renamed.txt"), "a");
    EXPECT_EQ(manager.Side(0).Name(manager.Side(0).Current()), "renamed.txt");

    // F8 asks first: Esc keeps the file, Enter deletes it.
    run(key::F(8), {key::kEsc});
    EXPECT_TRUE(fs::exists(root / "renamed.txt"));
    run(key::F(8), {key::kEnter});
    EXPECT_TRUE(terminal.Showed("Delete renamed.txt?"));
    EXPECT_FALSE(fs::exists(root / "renamed.txt"));
}

TEST_F(FileManagerTest, FailedFileOperationsSayWhyAndKeepTheSelection) {
    fs::create_directories(root / "out" / "inner");
    FileManager manager(host, screen, root.string());
    manager.HandleKey(key::kDown);               // out
    ASSERT_EQ(manager.Side(0).Name(manager.Side(0).Current()), "out");
    manager.HandleKey(key::kInsert);
    // Into a folder of its own: refused, and the user stops the job.
    const std::string inner = "out/inner";
    std::vector<int> keys(inner.begin(), inner.end());
    keys.insert(keys.begin(), key::kBackspace);
    for (int code : keys) terminal.Press(code);
    terminal.Press(key::kEnter);
    terminal.Press(U'c');
    manager.HandleKey(key::F(5));
    EXPECT_TRUE(terminal.Showed("Cannot copy the folder out into itself")) << terminal.Text();
    EXPECT_FALSE(fs::exists(root / "out" / "inner" / "out"));
    EXPECT_TRUE(manager.Side(0).IsSelected(1));
    // Several items onto a path that is not a folder.
    manager.HandleKey(key::kInsert);             // a.txt too
    for (char c : std::string("nowhere.txt")) terminal.Press(c);
    terminal.Press(key::kEnter);
    terminal.Press(key::kEnter);
    manager.HandleKey(key::F(6));
    EXPECT_TRUE(terminal.Showed("it is not a folder"));
    EXPECT_TRUE(fs::exists(root / "a.txt"));
    EXPECT_EQ(terminal.drained, 0);
}

TEST_F(FileManagerTest, SelectionByWildcardInversionAndJumpingByName) {
    std::ofstream(root / "c.csv") << "c";
    FileManager manager(host, screen, root.string());
    ViewPanel& panel = manager.Side(0);       // .. out a.txt b.txt c.csv
    auto selected = [&] {
        std::string names;
        for (int i = 0; i < panel.Count(); ++i)
            if (panel.IsSelected(i)) names += panel.Name(i) + " ";
        return names;
    };
    struct Step {
        int key;
        std::string typed;  // the pattern typed into the question, if any
        std::string want;
    } const steps[] = {
        {U'+', "*.txt", "a.txt b.txt "},
        {U'-', "a*", "b.txt "},
        {U'+', "*.csv; o*", "out b.txt c.csv "},
        {U'*', "", "out a.txt "},              // files flip, folders stay
        {U'-', "*", ""},
    };
    for (const Step& step : steps) {
        if (!step.typed.empty()) {
            terminal.Type(step.typed);
            terminal.Press(key::kEnter);
        }
        manager.HandleKey(step.key);
        EXPECT_EQ(selected(), step.want) << static_cast<char>(step.key) << step.typed;
    }
    EXPECT_EQ(terminal.drained, 0);
    manager.HandleKey(U'b' | key::kAlt);
    EXPECT_EQ(panel.Name(panel.Current()), "b.txt");
    manager.HandleKey(U'O' | key::kAlt);       // "bo" matches nothing: the cursor stays
    EXPECT_EQ(panel.Name(panel.Current()), "b.txt");
    manager.HandleKey(key::kDown);             // any other key ends the search
    manager.HandleKey(U'O' | key::kAlt);
    manager.HandleKey(U'u' | key::kAlt);
    EXPECT_EQ(panel.Name(panel.Current()), "out");
}

}  // namespace
}  // namespace plughost::tui
