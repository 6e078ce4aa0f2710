#include "vexil/storage/storage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

struct Item {
    std::string key;
};
bool SameItem(const Item& a, const Item& b) { return a.key == b.key; }

std::vector<std::string> Keys(const vexil::SlotArray<Item>& list) {
    std::vector<std::string> keys;
    for (int32_t n = 0; n < list.Count(); ++n) keys.push_back(list.At(n)->key);
    return keys;
}

TEST(SlotArray, EleventhItemGrowsCapacityByTen) {
    vexil::SlotArray<Item> list;
    std::vector<Item> items(11);
    for (int i = 0; i < 11; ++i) {
        items[i].key = std::to_string(i);
        EXPECT_EQ(list.Add(&items[i]), i);
    }
    EXPECT_EQ(list.Capacity(), 20);
    EXPECT_EQ(list.Count(), 11);
    EXPECT_EQ(list.At(10), &items[10]);
}

TEST(SlotArray, AddFillsTheLowestHole) {
    vexil::SlotArray<Item> list;
    Item a{"a"}, b{"b"}, c{"c"}, d{"d"};
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    EXPECT_EQ(list.RemoveAt(1), 2);
    EXPECT_EQ(Keys(list), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(list.Add(&d), 1);
    EXPECT_EQ(Keys(list), (std::vector<std::string>{"a", "d", "c"}));
}

TEST(SlotArray, RemoveAtEmptiesTheFirstEqualSlot) {
    vexil::SlotArray<Item> list;
    Item first{"same"}, other{"x"}, second{"same"};
    list.Add(&first);
    list.Add(&other);
    list.Add(&second);
    Item* removed = nullptr;
    EXPECT_EQ(list.RemoveAt(2, &removed), 2);
    EXPECT_EQ(removed, &first);
    EXPECT_EQ(list.At(0), &other);
    EXPECT_EQ(list.At(1), &second);
}

TEST(SlotArray, LargeListsGrowInLinearTimeWhileCapacityStepsByTen) {
    // 400 000 items: growing by 10 slots at a time copies 8e9 pointers.
    constexpr int kItems = 400000;
    std::vector<Item> items(kItems);
    vexil::SlotArray<Item> list;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kItems; ++i) ASSERT_EQ(list.Add(&items[i]), i);
    // Emptying every other slot, then filling the holes again: each Add
    // takes the lowest hole.
    list.RemoveWhere([&](const Item& it) { return (&it - items.data()) % 2 == 1; }, [](Item*) {});
    EXPECT_EQ(list.Count(), kItems / 2);
    for (int i = 0; i < kItems / 2; ++i) ASSERT_EQ(list.Add(&items[2 * i + 1]), 2 * i + 1);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 3.0);
    EXPECT_EQ(list.Capacity(), kItems);
    EXPECT_EQ(list.Count(), kItems);
    vexil::SlotArray<Item> small;
    for (int i = 0; i < 21; ++i) small.Add(&items[i]);
    EXPECT_EQ(small.Capacity(), 30);
}

TEST(Storage, SameNameInOtherCaseJoinsTheFirstSpelling) {
    vexil::Storage s;
    s.AddSection("Report.Bin", 1, 2, 100);
    s.AddSection("REPORT.BIN", 2, 2, 50);
    ASSERT_EQ(s.files.Count(), 1);
    const vexil::EncodedFile* f = s.files.At(0);
    EXPECT_STREQ(f->name, "Report.Bin");
    ASSERT_EQ(f->sections.Count(), 2);
    EXPECT_EQ(f->sections.At(1)->name, "REPORT.BIN");
    EXPECT_EQ(s.FindFile("report.bin"), f);
}

TEST(Storage, DuplicateSectionNumberIsIgnoredAndTotalOnlyGrows) {
    vexil::Storage s;
    s.AddSection("x", 2, 3, 10);
    s.AddSection("x", 1, 2, 20);
    s.AddSection("x", 2, 9, 999);
    const vexil::EncodedFile* f = s.files.At(0);
    EXPECT_EQ(f->totalSections, 3);
    ASSERT_EQ(f->sections.Count(), 2);
    EXPECT_EQ(f->sections.At(0)->dataChars, 10);
    EXPECT_EQ(f->sections.At(1)->number, 1);
}

TEST(Storage, LongNamesAreCutTo259) {
    vexil::Storage s;
    const std::string longName(300, 'n');
    s.AddSection(longName, 1, 1, 1);
    s.AddSection(longName + "tail", 2, 2, 1);  // same first 259 characters: same file
    ASSERT_EQ(s.files.Count(), 1);
    EXPECT_EQ(std::string(s.files.At(0)->name), longName.substr(0, 259));
    EXPECT_EQ(s.files.At(0)->sections.At(1)->name.size(), 259u);
}

TEST(Storage, RemoveSourceFileDropsOnlyItsFiles) {
    vexil::Storage s;
    s.AddSection("a", 1, 1, 1);
    s.AddSourceFile("/nonexistent/One.txt", true);
    s.AddSection("b", 1, 1, 1);
    s.AddSourceFile("/nonexistent/two.txt", false);
    s.AddSection("c", 1, 1, 1);  // not yet recorded: no source path
    EXPECT_STREQ(s.files.At(0)->sourcePath, "/nonexistent/One.txt");
    EXPECT_EQ(s.files.At(2)->sourcePath, nullptr);
    EXPECT_EQ(s.WritableSource()->path, "/nonexistent/One.txt");

    s.RemoveSourceFile(0);
    ASSERT_EQ(s.files.Count(), 2);
    EXPECT_STREQ(s.files.At(0)->name, "b");
    EXPECT_STREQ(s.files.At(1)->name, "c");
    EXPECT_EQ(s.FindFile("a"), nullptr);
    ASSERT_EQ(s.sources.Count(), 1);
    EXPECT_EQ(s.WritableSource(), nullptr);

    // A new source takes the hole; files without a source path get it.
    EXPECT_EQ(s.AddSourceFile("/nonexistent/three.txt", true), 0);
    EXPECT_STREQ(s.files.At(1)->sourcePath, "/nonexistent/three.txt");
}

TEST(Storage, NamesFoldOnlyTheLettersOfTheAlphabet) {
    // Every letter matches its other case; the characters next to the two
    // letter ranges ('@' '[' '`' '{', one bit away from a letter's case) do not.
    vexil::Storage s;
    for (char c = 'A'; c <= 'Z'; ++c) s.AddSection(std::string("x") + c + "y", 1, 1, 1);
    for (char c = 'a'; c <= 'z'; ++c) {
        const vexil::EncodedFile* f = s.FindFile(std::string("X") + c + "Y");
        ASSERT_NE(f, nullptr) << c;
        EXPECT_EQ(f->name[1], c - 32);
    }
    EXPECT_EQ(s.files.Count(), 26);
    s.AddSection("x@y", 1, 1, 1);
    s.AddSection("x[y", 1, 1, 1);
    EXPECT_EQ(s.FindFile("x`y"), nullptr);
    EXPECT_EQ(s.FindFile("x{y"), nullptr);
    s.AddSection("x`y", 1, 1, 1);
    s.AddSection("x{y", 1, 1, 1);
    EXPECT_EQ(s.files.Count(), 30);
    EXPECT_STREQ(s.FindFile("x{y")->name, "x{y");
    // Source paths are matched by the same fold when files are removed.
    s.AddSourceFile("/nonexistent/a@b", true);
    s.AddSection("later", 1, 1, 1);
    s.AddSourceFile("/nonexistent/A`B", true);
    s.RemoveSourceFile(1);
    EXPECT_EQ(s.files.Count(), 30);
    EXPECT_EQ(s.FindFile("later"), nullptr);
}

TEST(Storage, RemovingTheFilesOfASourceKeepsTheOthersInTheirSlots) {
    // Files of two sources interleaved; removing one source's 100 000 files
    // leaves the other's in order, and new files fill the holes from the lowest.
    vexil::Storage s;
    constexpr int kFiles = 200000;
    for (int i = 0; i < kFiles; i += 2) s.AddSection("a" + std::to_string(i), 1, 1, 1);
    s.AddSourceFile("/nonexistent/a", true);
    for (int i = 1; i < kFiles; i += 2) s.AddSection("b" + std::to_string(i), 1, 1, 1);
    s.AddSourceFile("/nonexistent/b", true);
    ASSERT_EQ(s.files.Count(), kFiles);
    const auto start = std::chrono::steady_clock::now();
    s.RemoveSourceFile(0);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
    ASSERT_EQ(s.files.Count(), kFiles / 2);
    EXPECT_STREQ(s.files.At(0)->name, "b1");
    EXPECT_STREQ(s.files.At(kFiles / 2 - 1)->name, ("b" + std::to_string(kFiles - 1)).c_str());
    EXPECT_EQ(s.FindFile("a0"), nullptr);
    s.AddSection("new", 1, 1, 1);
    EXPECT_STREQ(s.files.At(0)->name, "new");
    EXPECT_STREQ(s.files.At(1)->name, "b1");
}

TEST(Storage, RemovalMatchesSourcePathIgnoringCase) {
    vexil::Storage s;
    s.AddSection("a", 1, 1, 1);
    s.AddSourceFile("/tmp/Store.uue", true);
    s.AddSection("b", 1, 1, 1);
    s.AddSourceFile("/tmp/STORE.UUE", true);
    s.RemoveSourceFile(1);
    EXPECT_EQ(s.files.Count(), 0);
    EXPECT_EQ(s.sources.Count(), 1);
}

}  // namespace
