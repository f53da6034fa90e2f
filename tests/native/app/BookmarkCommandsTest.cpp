// The bookmark commands of the main window over the window's interface: what
// each kind keeps, Cancel, a file that cannot be written, and opening a
// bookmark from the menu in Edit Mode or Browse Mode.
#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "files/ProfileFile.h"
#include "native/files/TempDir.h"
#include "resources/resource.h"

namespace vm::test {
namespace {

class BookmarkCommandTest : public CommandTest {
  protected:
    BookmarkCommandTest() { app.files.bookmarkFile = dir.File(kBookmarkFileName); }
    std::wstring BookmarkFile() const { return app.files.bookmarkFile; }

    testing::TempDir dir;
};

TEST_F(BookmarkCommandTest, SelectedItemsAreKeptInRowOrderUnderTheTypedName) {
    window.bookmarkName = L"Two folders";
    Run(ID_BOOKMARK_SELECTED,
        Browsing(L"C:\\Data", {Folder(1, L"C:\\Data\\Music"), File(4, L"C:\\Data\\notes.txt")}));
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"bookmark name Bookmark selected items.",
                                                       L"bookmarks changed"}));
    const BookmarkIndex index = LoadBookmarkIndex(BookmarkFile());
    ASSERT_EQ(index.count(), 1);
    EXPECT_EQ(index.entries[0], (BookmarkIndexEntry{0, L"Two folders"}));
    EXPECT_EQ(ReadBookmarkPaths(BookmarkFile(), 0), L"C:\\Data\\Music|C:\\Data\\notes.txt|");
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(BookmarkCommandTest, AllItemsAndTheCurrentFolderKeepTheirPaths) {
    window.bookmarkName = L"";
    window.listPaths = {L"C:\\b", L"C:\\a"};
    Run(ID_BOOKMARK_ALL, Editing({}, 2));
    window.bookmarkName = L"here";
    Run(ID_BOOKMARK_CURRENT_DIRECTORY, Browsing(L"C:\\Data"));
    const BookmarkIndex index = LoadBookmarkIndex(BookmarkFile());
    ASSERT_EQ(index.count(), 2);
    EXPECT_EQ(index.entries[0], (BookmarkIndexEntry{1, L""}));
    EXPECT_EQ(ReadBookmarkPaths(BookmarkFile(), 0), L"C:\\b|C:\\a|");
    EXPECT_EQ(index.entries[1], (BookmarkIndexEntry{2, L"here"}));
    EXPECT_EQ(ReadBookmarkPaths(BookmarkFile(), 1), L"C:\\Data");
    // Only "all items" asks the list for its rows.
    EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), L"list paths"), 1);
}

TEST_F(BookmarkCommandTest, CancelWritesNothing) {
    window.bookmarkName = std::nullopt;
    Run(ID_BOOKMARK_CURRENT_DIRECTORY, Browsing(L"C:\\Data"));
    EXPECT_EQ(window.calls,
              std::vector<std::wstring>{L"bookmark name Bookmark Current Directory."});
    EXPECT_FALSE(FileExists(BookmarkFile()));
}

TEST_F(BookmarkCommandTest, AFileThatCannotBeWrittenIsReported) {
    app.files.bookmarkFile = dir.File(L"missing-folder") + L"/" + kBookmarkFileName;
    window.bookmarkName = L"lost";
    Run(ID_BOOKMARK_CURRENT_DIRECTORY, Browsing(L"C:\\Data"));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.texts()[0].rfind(
                  L"The bookmark could not be saved to " + BookmarkFile() + L": ", 0),
              0u);
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);
    // The menus are not told of a bookmark that is not there.
    EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), L"bookmarks changed"), 0);
}

TEST_F(BookmarkCommandTest, OpeningABookmarkFillsEditModeOrBrowsesToTheFolder) {
    ASSERT_TRUE(AddBookmark(BookmarkFile(), 0, L"items", L"C:\\a|D:\\gone|C:\\b|"));
    ASSERT_TRUE(AddBookmark(BookmarkFile(), 2, L"folder", L"C:\\Data"));
    ASSERT_TRUE(AddBookmark(BookmarkFile(), 0, L"nothing", L""));

    Run(ID_BOOKMARK_FIRST_ENTRY, Browsing(L"C:\\"));
    EXPECT_EQ(window.calls,
              (std::vector<std::wstring>{L"edit list C:\\a D:\\gone C:\\b", L"view edit"}));
    window.calls.clear();
    Run(ID_BOOKMARK_FIRST_ENTRY + 1, Editing());
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"browse C:\\Data", L"view browse"}));
    window.calls.clear();
    Run(ID_BOOKMARK_FIRST_ENTRY + 2, Editing({}, 3));
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"edit list", L"view edit"}));
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(BookmarkCommandTest, ABookmarkGoneFromTheFileSaysSoAndRefreshesTheMenu) {
    ASSERT_TRUE(AddBookmark(BookmarkFile(), 0, L"only", L"C:\\a|"));
    Run(ID_BOOKMARK_FIRST_ENTRY + 1, Browsing(L"C:\\"));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"bookmarks changed"});
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.texts()[0].rfind(L"This bookmark no longer exists.", 0), 0u);
}

TEST_F(BookmarkCommandTest, ManagerAboutAndUpdateCheckOpenTheirWindows) {
    Run(ID_BOOKMARK_MANAGER, Browsing(L"C:\\"));
    Run(ID_APP_ABOUT, Browsing(L"C:\\"));
    Run(ID_APP_CHECK_UPDATES, Browsing(L"C:\\"));
    EXPECT_EQ(window.calls,
              (std::vector<std::wstring>{L"bookmark manager", L"about", L"update check"}));
    // "..." stands in for an empty list and is never offered.
    const Command* placeholder = FindCommand(ID_BOOKMARK_PLACEHOLDER);
    ASSERT_NE(placeholder, nullptr);
    ASSERT_NE(placeholder->enabled, nullptr);
    EXPECT_FALSE(placeholder->enabled(Browsing(L"C:\\")));
}

}  // namespace
}  // namespace vm::test
