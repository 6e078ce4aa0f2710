#include "tui/folder_panel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tui/keys.h"

namespace plughost::tui {
namespace {

namespace fs = std::filesystem;

class FolderPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("folder_panel_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "sub" / "deeper");
        Write(root / "b.txt", "bb");
        Write(root / "a.txt", "a");
        Write(root / "sub" / "inner.txt", "inner");
    }
    void TearDown() override { fs::remove_all(root); }
    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
    static std::vector<std::string> Names(const ViewPanel& panel) {
        std::vector<std::string> names;
        for (int i = 0; i < panel.Count(); ++i) names.push_back(panel.Name(i));
        return names;
    }

    fs::path root;
    int repaints = 0;
};

TEST_F(FolderPanelTest, ListsUpThenFoldersThenFilesWithSizes) {
    FolderPanel panel(root.string(), [this] { ++repaints; });
    EXPECT_EQ(Names(panel), (std::vector<std::string>{"..", "sub", "a.txt", "b.txt"}));
    EXPECT_TRUE(panel.IsFolder(1));
    EXPECT_FALSE(panel.IsFolder(3));
    EXPECT_EQ(panel.Items()[3].findData.sizeLow, 2u);
    EXPECT_NE(panel.Items()[3].findData.lastWriteTime.high, 0u);
    EXPECT_EQ(panel.Title(), root.string());
}

TEST_F(FolderPanelTest, EnteringAndLeavingFolders) {
    FolderPanel panel(root.string(), nullptr);
    ASSERT_TRUE(panel.Enter("sub"));
    EXPECT_EQ(panel.Folder(), (root / "sub").string());
    EXPECT_EQ(Names(panel), (std::vector<std::string>{"..", "deeper", "inner.txt"}));
    ASSERT_TRUE(panel.Enter(".."));
    EXPECT_EQ(panel.Folder(), root.string());
    EXPECT_EQ(panel.Name(panel.Current()), "sub");  // back on the folder just left
    EXPECT_FALSE(panel.Enter("no such folder"));
    EXPECT_EQ(panel.Folder(), root.string());
}

TEST_F(FolderPanelTest, StateReportsSelectionOrTheItemUnderTheCursor) {
    FolderPanel panel(root.string(), nullptr);
    host::PanelState state;
    panel.Cursor().current = 2;  // a.txt, nothing selected
    ASSERT_TRUE(panel.FillState(&state));
    EXPECT_EQ(state.itemsNumber, 4);
    ASSERT_EQ(state.selectedItemsNumber, 1);
    EXPECT_STREQ(state.selectedItems[0].findData.fileName, "a.txt");
    EXPECT_STREQ(state.currentDir, root.string().c_str());
    EXPECT_EQ(state.currentItem, 2);

    panel.ToggleCurrent();  // selects a.txt, moves to b.txt
    panel.ToggleCurrent();  // selects b.txt
    ASSERT_TRUE(panel.FillState(&state));
    ASSERT_EQ(state.selectedItemsNumber, 2);
    EXPECT_STREQ(state.selectedItems[1].findData.fileName, "b.txt");
    EXPECT_TRUE(state.panelItems[2].flags & host::kItemSelected);

    // A plugin clears an item's flags and hands the state back: that item is unselected.
    state.panelItems[2].flags = 0;
    ASSERT_TRUE(panel.ApplySelection(state));
    EXPECT_FALSE(panel.IsSelected(2));
    EXPECT_TRUE(panel.IsSelected(3));

    panel.Cursor().current = 0;  // ".." is never selected
    panel.ClearSelection();
    panel.ToggleCurrent();
    EXPECT_FALSE(panel.IsSelected(0));
    panel.Cursor().current = 0;
    ASSERT_TRUE(panel.FillState(&state));
    EXPECT_EQ(state.selectedItemsNumber, 0);
}

TEST_F(FolderPanelTest, UpdateKeepsSelectionAndCursorAndRedrawMoves) {
    FolderPanel panel(root.string(), [this] { ++repaints; });
    panel.Cursor().current = 3;
    panel.ToggleCurrent();  // b.txt
    panel.MoveTo("b.txt");
    Write(root / "0new.txt", "new");
    ASSERT_TRUE(panel.Update(true));
    EXPECT_EQ(Names(panel), (std::vector<std::string>{"..", "sub", "0new.txt", "a.txt", "b.txt"}));
    EXPECT_TRUE(panel.IsSelected(4));
    EXPECT_EQ(panel.Name(panel.Current()), "b.txt");
    ASSERT_TRUE(panel.Update(false));
    EXPECT_FALSE(panel.IsSelected(4));

    host::PanelPosition position{1, 0};
    EXPECT_TRUE(panel.Redraw(&position));
    EXPECT_EQ(panel.Current(), 1);
    EXPECT_TRUE(panel.Redraw(nullptr));
    EXPECT_EQ(repaints, 2);
}

}  // namespace
}  // namespace plughost::tui
