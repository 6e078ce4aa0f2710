#include "plughost/directory_panel.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace {

class DirectoryPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("b.txt", "12345");
        dir.Write("a.txt", "");
        std::filesystem::create_directory(dir.File("zdir"));
    }
    test::TempDir dir;
};

TEST_F(DirectoryPanelTest, ListsDirectoriesFirstThenFilesByName) {
    plughost::DirectoryPanel panel(dir.Path());
    ASSERT_EQ(panel.ItemCount(), 3);
    EXPECT_EQ(panel.ItemName(0), "zdir");
    EXPECT_EQ(panel.ItemName(1), "a.txt");
    EXPECT_EQ(panel.ItemName(2), "b.txt");
    EXPECT_TRUE(panel.Item(0).findData.attributes & host::kAttrDirectory);
    EXPECT_EQ(panel.Item(2).findData.sizeLow, 5u);
    EXPECT_NE(panel.Item(2).findData.lastWriteTime.high, 0u);
}

TEST_F(DirectoryPanelTest, StateShowsSelectionAndDirectory) {
    plughost::DirectoryPanel panel(dir.Path());
    ASSERT_TRUE(panel.Select("b.txt"));
    EXPECT_FALSE(panel.Select("missing"));
    host::PanelState state{};
    ASSERT_TRUE(panel.FillState(&state));
    EXPECT_EQ(state.itemsNumber, 3);
    ASSERT_EQ(state.selectedItemsNumber, 1);
    EXPECT_STREQ(state.selectedItems[0].findData.fileName, "b.txt");
    EXPECT_TRUE(state.panelItems[2].flags & host::kItemSelected);
    EXPECT_STREQ(state.currentDir, dir.Path().c_str());
}

TEST_F(DirectoryPanelTest, SelectionComesBackOnlyThroughApplySelection) {
    plughost::DirectoryPanel panel(dir.Path());
    panel.Select("a.txt");
    panel.Select("b.txt");
    host::PanelState state{};
    panel.FillState(&state);
    state.panelItems[1].flags = 0;  // what a plugin does to unselect a.txt
    EXPECT_EQ(panel.SelectedNames(), (std::vector<std::string>{"a.txt", "b.txt"}));
    ASSERT_TRUE(panel.ApplySelection(state));
    EXPECT_EQ(panel.SelectedNames(), (std::vector<std::string>{"b.txt"}));
}

TEST_F(DirectoryPanelTest, UpdateFindsNewFilesAndKeepsSelectionOnRequest) {
    plughost::DirectoryPanel panel(dir.Path());
    panel.Select("a.txt");
    dir.Write("c.uue", "x");
    ASSERT_TRUE(panel.Update(true));
    EXPECT_EQ(panel.ItemCount(), 4);
    EXPECT_EQ(panel.SelectedNames(), (std::vector<std::string>{"a.txt"}));
    panel.Update(false);
    EXPECT_TRUE(panel.SelectedNames().empty());
    EXPECT_EQ(panel.UpdateCount(), 2);
}

TEST_F(DirectoryPanelTest, RedrawMovesToAPositionWithinTheItems) {
    plughost::DirectoryPanel panel(dir.Path());
    host::PanelPosition position{2, 1};
    panel.Redraw(&position);
    EXPECT_EQ(panel.CurrentItem(), 2);
    EXPECT_EQ(panel.TopItem(), 1);
    position = {50, 60};
    panel.Redraw(&position);
    EXPECT_EQ(panel.CurrentItem(), 2);
    EXPECT_EQ(panel.TopItem(), 2);
    panel.Redraw(nullptr);
    EXPECT_EQ(panel.RedrawCount(), 3);
}

TEST(DirectoryPanel, MissingFolderIsAnEmptyPanel) {
    plughost::DirectoryPanel panel(test::TempDir().Path());  // removed again at once
    EXPECT_EQ(panel.ItemCount(), 0);
    host::PanelState state{};
    EXPECT_TRUE(panel.FillState(&state));
    EXPECT_EQ(state.itemsNumber, 0);
}

}  // namespace
