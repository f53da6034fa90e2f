// The bookmark commands' rules: which kind a command makes, the Add bookmark
// dialog's prompt and default name, the paths a bookmark keeps, and the
// Bookmark Manager's rows (renaming, removal, the rewrite on close) and
// geometry at 96, 144 and 192 DPI.
#include <gtest/gtest.h>

#include "bookmarks/BookmarkAdding.h"
#include "bookmarks/BookmarkManagerModel.h"
#include "files/ProfileFile.h"
#include "native/app/MenuResource.h"
#include "native/files/TempDir.h"
#include "resources/resource.h"

namespace vm {
namespace {

// The "Bookmarks" popup of the main menu as the resource script has it.
const test::ResourceMenuItem& BookmarksPopup() {
    static const std::vector<test::ResourceMenuItem> menus = test::ShippedSubMenus();
    for (const test::ResourceMenuItem& item : menus.at(0).items) {
        if (item.entry.subMenu && item.text == "Bookmarks")
            return item;
    }
    throw std::runtime_error("no Bookmarks popup in [MAIN]");
}

TEST(AddBookmark, EachCommandMakesItsKindAndPromptsWithItsMenuText) {
    const struct {
        uint32_t command;
        BookmarkMode mode;
        const char* macro;
        const wchar_t* prompt;
    } cases[] = {
        {ID_BOOKMARK_SELECTED, BookmarkMode::kSelectedItems, "STR_MENU_BOOKMARK_SELECTED",
         L"Bookmark selected items."},
        {ID_BOOKMARK_ALL, BookmarkMode::kAllItems, "STR_MENU_BOOKMARK_ALL", L"Bookmark all items."},
        {ID_BOOKMARK_CURRENT_DIRECTORY, BookmarkMode::kCurrentFolder,
         "STR_MENU_BOOKMARK_CURRENT_DIRECTORY", L"Bookmark Current Directory."},
    };
    const test::ResourceMenuItem& popup = BookmarksPopup();
    for (const auto& c : cases) {
        EXPECT_EQ(BookmarkModeOfCommand(c.command), c.mode) << c.command;
        EXPECT_EQ(BookmarkPrompt(BookmarkMenuText(c.mode)), c.prompt);
        // The prompt is the menu entry's own text: the menu shows the same macro.
        const auto entry =
            std::find_if(popup.items.begin(), popup.items.end(),
                         [&](const auto& item) { return item.entry.id == c.command; });
        ASSERT_NE(entry, popup.items.end()) << c.command;
        EXPECT_EQ(entry->text, c.macro);
    }
    EXPECT_FALSE(BookmarkModeOfCommand(ID_BOOKMARK_MANAGER));
    EXPECT_FALSE(BookmarkModeOfCommand(ID_BOOKMARK_FIRST_ENTRY));
}

TEST(AddBookmark, PromptTurnsEveryEllipsisIntoOneFullStop) {
    EXPECT_EQ(BookmarkPrompt(L"a...b......"), L"a.b..");
    EXPECT_EQ(BookmarkPrompt(L"...."), L"..");  // three, then the one left over
    EXPECT_EQ(BookmarkPrompt(L"no dots"), L"no dots");
    EXPECT_EQ(BookmarkPrompt(L""), L"");
}

TEST(AddBookmark, DefaultNameIsTheLocalTimeWithLeadingZeros) {
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 0;
    time.tm_mday = 31;
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 7;
    EXPECT_EQ(DefaultBookmarkName(time), L"Bookmark-2024-01-31 09:05:07");
    time.tm_year = 10000 - 1900;  // a five-digit year still fits
    EXPECT_EQ(DefaultBookmarkName(time), L"Bookmark-10000-01-31 09:05:07");
}

TEST(AddBookmark, PathsFollowTheModeAndTheRowOrder) {
    const std::vector<std::wstring> selected = {L"C:\\b", L"C:\\a"};
    const std::vector<std::wstring> all = {L"C:\\b", L"C:\\c", L"C:\\a"};
    EXPECT_EQ(
        BuildBookmarkPaths(BookmarkMode::kSelectedItems,
                           BookmarkedPaths(BookmarkMode::kSelectedItems, L"C:\\", selected, all)),
        L"C:\\b|C:\\a|");
    EXPECT_EQ(BuildBookmarkPaths(BookmarkMode::kAllItems,
                                 BookmarkedPaths(BookmarkMode::kAllItems, L"C:\\", selected, all)),
              L"C:\\b|C:\\c|C:\\a|");
    EXPECT_EQ(BuildBookmarkPaths(
                  BookmarkMode::kCurrentFolder,
                  BookmarkedPaths(BookmarkMode::kCurrentFolder, L"D:\\Music", selected, all)),
              L"D:\\Music");
    // Nothing selected: an empty paths text, which opens as an empty list.
    EXPECT_EQ(BuildBookmarkPaths(BookmarkMode::kSelectedItems,
                                 BookmarkedPaths(BookmarkMode::kSelectedItems, L"", {}, all)),
              L"");
}

// ---- The Bookmark Manager ---------------------------------------------------------

class BookmarkManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file = dir.File(kBookmarkFileName);
        ASSERT_TRUE(AddBookmark(file, 0, L"first", L"C:\\a|C:\\b|"));
        ASSERT_TRUE(AddBookmark(file, 2, L"second", L"D:\\Music"));
        ASSERT_TRUE(AddBookmark(file, 1, L"", L"E:\\x|"));
        ASSERT_TRUE(AddBookmark(file, 0, L"fourth", L"F:\\y|"));
        ASSERT_TRUE(AddBookmark(file, 1, L"fifth", L"G:\\z|"));
    }
    BookmarkManagerModel Loaded() const {
        return BookmarkManagerModel::Load(file, LoadBookmarkIndex(file));
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const BookmarkIndexEntry& entry : LoadBookmarkIndex(file).entries)
            names.push_back(entry.name);
        return names;
    }

    testing::TempDir dir;
    std::wstring file;
};

TEST_F(BookmarkManagerTest, RowsCarryModeNameAndBothFormsOfThePaths) {
    const BookmarkManagerModel model = Loaded();
    ASSERT_EQ(model.count(), 5);
    EXPECT_EQ(model.rows()[0], (BookmarkRow{0, L"first", L"C:\\a|C:\\b|"}));
    EXPECT_EQ(model.rows()[0].ShownPaths(), L"C:\\a  C:\\b  ");
    EXPECT_EQ(model.rows()[1], (BookmarkRow{2, L"second", L"D:\\Music"}));
    EXPECT_EQ(model.rows()[2].name, L"");
}

TEST_F(BookmarkManagerTest, ClosingWithoutChangesWritesTheSameBookmarks) {
    const ProfileDocument before = ReadProfileDocument(file);
    ASSERT_TRUE(RewriteBookmarks(file, Loaded().Records()));
    const ProfileDocument after = ReadProfileDocument(file);
    for (const wchar_t* section : {L"0", L"1", L"2", L"3", L"4"}) {
        for (const wchar_t* key : {L"MODE", L"NAME", L"PATHS", L"LENGTH"})
            EXPECT_EQ(after.Find(section, key), before.Find(section, key));
    }
    EXPECT_EQ(after.Find(L"INFO", L"CONUT"), L"5");
}

TEST_F(BookmarkManagerTest, RenameAndRemoveAreWrittenInListOrder) {
    BookmarkManagerModel model = Loaded();
    EXPECT_TRUE(model.Rename(3, L"renamed"));
    EXPECT_TRUE(model.Rename(4, L""));  // an empty name is accepted as typed
    EXPECT_FALSE(model.Rename(5, L"none"));
    EXPECT_FALSE(model.Rename(-1, L"none"));
    // Out of order, repeated and missing rows: each existing row once, last first.
    EXPECT_EQ(model.Remove({0, 2, 2, 7, -1}), (std::vector<int>{2, 0}));
    ASSERT_TRUE(RewriteBookmarks(file, model.Records()));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"second", L"renamed", L""}));
    EXPECT_EQ(OpenBookmark(file, 1).paths, std::vector<std::wstring>{L"F:\\y"});
    EXPECT_EQ(LoadBookmarkIndex(file).entries[2].mode, 1);
    // The sections past the count stay in the file, unread.
    EXPECT_TRUE(ReadProfileDocument(file).Find(L"4", L"NAME"));
}

TEST_F(BookmarkManagerTest, RemovingEveryRowLeavesCountZero) {
    BookmarkManagerModel model = Loaded();
    EXPECT_EQ(model.Remove({0, 1, 2, 3, 4}).size(), 5u);
    EXPECT_EQ(model.count(), 0);
    ASSERT_TRUE(RewriteBookmarks(file, model.Records()));
    EXPECT_EQ(ReadProfileDocument(file).Find(L"INFO", L"CONUT"), L"0");
    EXPECT_EQ(LoadBookmarkIndex(file).count(), 0);
    EXPECT_FALSE(CanRemoveBookmarks(0));
    EXPECT_TRUE(CanRemoveBookmarks(1));
}

// ---- Geometry ---------------------------------------------------------------------

TEST(BookmarkManagerGeometry, PlacesFollowTheClientAreaAtEveryScale) {
    const BookmarkManagerPlaces at96 = ComputeBookmarkManagerPlaces(500, 400, 96);
    EXPECT_EQ(at96.list, (PixelRect{15, 15, 500, 340}));
    EXPECT_EQ(at96.nameColumnWidth, 470);
    EXPECT_EQ(at96.close, (PixelRect{395, 360, 485, 385}));
    EXPECT_EQ(at96.remove, (PixelRect{240, 360, 375, 385}));
    EXPECT_EQ(at96.content, (PixelRect{0, 0, 500, 340}));
    EXPECT_EQ(at96.footer, (PixelRect{0, 340, 500, 400}));
    EXPECT_EQ(at96.line, (PixelRect{0, 340, 500, 341}));

    // 150%: margins and buttons grow, the edges stay on the client area's.
    const BookmarkManagerPlaces at144 = ComputeBookmarkManagerPlaces(750, 600, 144);
    EXPECT_EQ(at144.list, (PixelRect{23, 23, 750, 510}));
    EXPECT_EQ(at144.close, (PixelRect{592, 540, 727, 578}));
    EXPECT_EQ(at144.remove.Width(), ScaleForDpi(135, 144));
    EXPECT_EQ(at144.line.Height(), 1);  // a hairline at every scale

    const BookmarkManagerPlaces at192 = ComputeBookmarkManagerPlaces(1000, 800, 192);
    EXPECT_EQ(at192.close, (PixelRect{790, 720, 970, 770}));
    // The buttons never overlap, whatever the scale.
    for (const auto& places : {at96, at144, at192})
        EXPECT_LE(places.remove.right, places.close.left);

    // A window narrower than its margins gives no negative column.
    EXPECT_EQ(ComputeBookmarkManagerPlaces(20, 100, 96).nameColumnWidth, 0);
}

TEST(BookmarkManagerGeometry, RowsPlaceThePictureAndTwoLines) {
    const BookmarkRowPlaces row = ComputeBookmarkRowPlaces({0, 50, 400, 100}, 96);
    EXPECT_EQ(row.picture, (PixelRect{5, 60, 21, 76}));
    EXPECT_EQ(row.name, (PixelRect{30, 55, 400, 80}));
    EXPECT_EQ(row.paths, (PixelRect{30, 70, 390, 95}));
    EXPECT_EQ(BookmarkLabelEditPlace({0, 50, 400, 100}, 96), (PixelRect{30, 55, 390, 80}));

    const BookmarkRowPlaces big = ComputeBookmarkRowPlaces({0, 0, 600, 100}, 192);
    EXPECT_EQ(big.picture, (PixelRect{10, 20, 42, 52}));
    EXPECT_EQ(big.paths, (PixelRect{60, 40, 580, 90}));
    // The edit box of a row narrower than its text inset is empty, not inverted.
    const PixelRect narrow = BookmarkLabelEditPlace({0, 0, 20, 50}, 96);
    EXPECT_GE(narrow.Width(), 0);
}

}  // namespace
}  // namespace vm
