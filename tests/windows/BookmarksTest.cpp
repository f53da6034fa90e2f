// Bookmarks through the main window over a simulated machine: the three
// kinds added with the "Add bookmark" dialog, reopened from the main menu,
// and renamed and removed in the Bookmark Manager, with the "Bookmark" file
// read back after each step.
#include <regex>

#include "MenuWindowsFixture.h"
#include "bookmarks/BookmarkStore.h"
#include "files/ProfileFile.h"
#include "platform/Utf16.h"

namespace vm::test {
namespace {

class BookmarksTest : public MenuWindowsTest {
  protected:
    // Answers the Add bookmark dialog with a name, after checking what it shows.
    void AnswerAddBookmark(const std::wstring& prompt, const std::wstring& name,
                           const wchar_t* screenshot = nullptr) {
        HWND dialogWindow = WaitForOtherWindow(L"Add bookmark");
        ASSERT_NE(dialogWindow, nullptr);
        EXPECT_EQ(h::WindowText(h::FindControl(dialogWindow, IDC_BOOKMARK_PROMPT)), prompt);
        const std::wstring shown = h::WindowText(h::FindControl(dialogWindow, IDC_BOOKMARK_NAME));
        EXPECT_TRUE(std::regex_match(ToUtf8(shown),
                                     std::regex(R"(Bookmark-\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
            << ToUtf8(shown);
        if (screenshot)
            h::SaveScreenshot(dialogWindow, screenshot);
        SetWindowTextW(h::FindControl(dialogWindow, IDC_BOOKMARK_NAME), name.c_str());
        h::Click(h::FindControl(dialogWindow, IDOK));
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(dialogWindow); }));
    }

    // Chooses a command of the main menu as a user does.
    void ChooseFromMainMenu(UINT command) {
        PostCommand(IDC_MAIN_MENU_BUTTON);
        auto menu = h::WaitForPopupMenu(ui->id());
        ASSERT_TRUE(menu.has_value());
        ASSERT_TRUE(h::ChoosePopupMenuCommand(*menu, command)) << command;
    }

    std::vector<std::wstring> EditListPaths() {
        std::vector<std::wstring> paths;
        runner.Run([&] {
            for (int row = 0; row < dialog->EditList().ItemCount(); ++row)
                paths.push_back(dialog->EditList().Record(row)->path);
        });
        return paths;
    }
};

TEST_F(BookmarksTest, EachKindIsAddedAndReopensFromTheMenu) {
    Browse(L"C:\\Data");
    h::SelectListViewRows(browse, {0, 2});  // Music, notes.txt
    PostCommand(ID_BOOKMARK_SELECTED);
    AnswerAddBookmark(L"Bookmark selected items.", L"Two items", L"bookmark-add");

    PostCommand(ID_BOOKMARK_CURRENT_DIRECTORY);
    AnswerAddBookmark(L"Bookmark Current Directory.", L"Data folder");

    runner.Run([&] {
        dialog->SetViewMode(ViewMode::kEdit);
        dialog->EditList().AppendRow(L"C:\\Data\\Photos");
        dialog->EditList().AppendRow(L"C:\\Data");
    });
    PostCommand(ID_BOOKMARK_ALL);
    AnswerAddBookmark(L"Bookmark all items.", L"");  // an empty name is kept as it is

    const std::wstring& file = state.files.bookmarkFile;
    const BookmarkIndex index = LoadBookmarkIndex(file);
    ASSERT_EQ(index.count(), 3);
    EXPECT_EQ(index.entries[0], (BookmarkIndexEntry{0, L"Two items"}));
    EXPECT_EQ(index.entries[1], (BookmarkIndexEntry{2, L"Data folder"}));
    EXPECT_EQ(index.entries[2], (BookmarkIndexEntry{1, L""}));
    EXPECT_EQ(ReadBookmarkPaths(file, 0), L"C:\\Data\\Music|C:\\Data\\notes.txt|");
    EXPECT_EQ(ReadBookmarkPaths(file, 1), L"C:\\Data");
    EXPECT_EQ(ReadBookmarkPaths(file, 2), L"C:\\Data\\Photos|C:\\Data|");
    EXPECT_TRUE(reporter.recorded.messages().empty());

    // The menu lists them now, without the "..." placeholder.
    PostCommand(IDC_MAIN_MENU_BUTTON);
    auto menu = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(h::MenuCommandText(menu->menu, ID_BOOKMARK_FIRST_ENTRY), L"Two items");
    EXPECT_EQ(h::MenuCommandText(menu->menu, ID_BOOKMARK_FIRST_ENTRY + 1), L"Data folder");
    EXPECT_FALSE(h::MenuHasCommand(menu->menu, ID_BOOKMARK_PLACEHOLDER));
    h::DismissPopupMenu(*menu);

    // The folder: Browse Mode shows it.
    runner.Run([&] { dialog->ShowDrives(); });
    ChooseFromMainMenu(ID_BOOKMARK_FIRST_ENTRY + 1);
    EXPECT_TRUE(h::WaitFor([&] { return dialog->Mode() == ViewMode::kBrowse; }));
    EXPECT_TRUE(h::WaitFor([&] { return h::ListViewRowCount(browse) == 3; }));
    runner.Run([&] { EXPECT_EQ(dialog->CurrentFolder(), L"C:\\Data"); });

    // The items: exactly those rows, in their order, in Edit Mode.
    ChooseFromMainMenu(ID_BOOKMARK_FIRST_ENTRY);
    EXPECT_TRUE(h::WaitFor([&] { return dialog->Mode() == ViewMode::kEdit; }));
    EXPECT_EQ(EditListPaths(),
              (std::vector<std::wstring>{L"C:\\Data\\Music", L"C:\\Data\\notes.txt"}));
    ChooseFromMainMenu(ID_BOOKMARK_FIRST_ENTRY + 2);
    EXPECT_TRUE(h::WaitFor(
        [&] { return EditListPaths().size() == 2 && EditListPaths()[0] == L"C:\\Data\\Photos"; }));
}

TEST_F(BookmarksTest, CancelAddsNothing) {
    Browse(L"C:\\Data");
    PostCommand(ID_BOOKMARK_CURRENT_DIRECTORY);
    HWND dialogWindow = WaitForOtherWindow(L"Add bookmark");
    ASSERT_NE(dialogWindow, nullptr);
    h::Click(h::FindControl(dialogWindow, IDCANCEL));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(dialogWindow); }));
    EXPECT_EQ(GetFileAttributesW(state.files.bookmarkFile.c_str()), INVALID_FILE_ATTRIBUTES);
}

class BookmarkManagerTest : public BookmarksTest {
  protected:
    void PrepareContext() override {
        const std::wstring& file = state.files.bookmarkFile;
        ASSERT_TRUE(
            AddBookmark(file, 0, L"Project files", L"C:\\Data\\Music|C:\\Data\\notes.txt|"));
        ASSERT_TRUE(AddBookmark(file, 2, L"Data folder", L"C:\\Data"));
        ASSERT_TRUE(AddBookmark(file, 1, L"Everything gathered", L"C:\\Data\\Photos|C:\\Data|"));
        context.bookmarks = LoadBookmarkIndex(file);
    }

    HWND OpenManager() {
        PostCommand(ID_BOOKMARK_MANAGER);
        HWND manager = WaitForOtherWindow(L"Bookmark Manager");
        EXPECT_NE(manager, nullptr);
        return manager;
    }
};

TEST_F(BookmarkManagerTest, RenameAndRemoveAreWrittenWhenTheManagerCloses) {
    HWND manager = OpenManager();
    ASSERT_NE(manager, nullptr);
    HWND list = h::FindControl(manager, IDC_BOOKMARK_LIST);
    HWND remove = h::FindControl(manager, IDC_BOOKMARK_REMOVE);
    ASSERT_EQ(h::ListViewRowCount(list), 3);
    EXPECT_EQ(
        h::ListViewRow(list, 0),
        (std::vector<std::wstring>{L"Project files", L"C:\\Data\\Music  C:\\Data\\notes.txt  ",
                                   L"C:\\Data\\Music|C:\\Data\\notes.txt|"}));
    EXPECT_FALSE(h::IsEnabled(remove));
    RECT row{LVIR_BOUNDS};
    h::Send(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    EXPECT_EQ(row.bottom - row.top, 50);

    h::SelectListViewRows(list, {1});
    EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(remove); }));
    h::SaveScreenshot(manager, L"bookmark-manager");

    // Rename the first row in place.
    SetFocus(list);
    HWND editBox = reinterpret_cast<HWND>(h::Send(list, LVM_EDITLABELW, 0, 0));
    ASSERT_NE(editBox, nullptr);
    SetWindowTextW(editBox, L"Renamed files");
    h::Send(editBox, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(h::WaitFor([&] { return h::ListViewText(list, 0, 0) == L"Renamed files"; }));

    // Nothing is written before the manager closes.
    EXPECT_EQ(LoadBookmarkIndex(state.files.bookmarkFile).entries[0].name, L"Project files");
    h::SelectListViewRows(list, {1});
    h::Click(remove);
    EXPECT_EQ(h::ListViewRowCount(list), 2);
    EXPECT_FALSE(h::IsEnabled(remove));
    h::Click(h::FindControl(manager, IDCANCEL));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(manager); }));

    const ProfileDocument document = ReadProfileDocument(state.files.bookmarkFile);
    EXPECT_EQ(document.Find(L"INFO", L"CONUT"), L"2");
    const BookmarkIndex index = LoadBookmarkIndex(state.files.bookmarkFile);
    ASSERT_EQ(index.count(), 2);
    EXPECT_EQ(index.entries[0], (BookmarkIndexEntry{0, L"Renamed files"}));
    EXPECT_EQ(index.entries[1], (BookmarkIndexEntry{1, L"Everything gathered"}));
    EXPECT_EQ(ReadBookmarkPaths(state.files.bookmarkFile, 1), L"C:\\Data\\Photos|C:\\Data|");
    // The menu follows the file.
    runner.Run([&] { EXPECT_EQ(context.bookmarks.count(), 2); });
    EXPECT_TRUE(reporter.recorded.messages().empty());
}

TEST_F(BookmarkManagerTest, EscapeWritesTheSameBookmarksBackAndRemovingAllLeavesThePlaceholder) {
    HWND manager = OpenManager();
    ASSERT_NE(manager, nullptr);
    h::Send(manager, WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(manager); }));
    EXPECT_EQ(LoadBookmarkIndex(state.files.bookmarkFile).count(), 3);
    EXPECT_EQ(ReadBookmarkPaths(state.files.bookmarkFile, 0),
              L"C:\\Data\\Music|C:\\Data\\notes.txt|");

    manager = OpenManager();
    ASSERT_NE(manager, nullptr);
    HWND list = h::FindControl(manager, IDC_BOOKMARK_LIST);
    h::SelectListViewRows(list, {0, 1, 2});
    EXPECT_TRUE(
        h::WaitFor([&] { return h::IsEnabled(h::FindControl(manager, IDC_BOOKMARK_REMOVE)); }));
    h::Click(h::FindControl(manager, IDC_BOOKMARK_REMOVE));
    EXPECT_EQ(h::ListViewRowCount(list), 0);
    h::Close(manager);  // the close box
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(manager); }));
    EXPECT_EQ(ReadProfileDocument(state.files.bookmarkFile).Find(L"INFO", L"CONUT"), L"0");

    PostCommand(IDC_MAIN_MENU_BUTTON);
    auto menu = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(menu.has_value());
    EXPECT_TRUE(h::MenuHasCommand(menu->menu, ID_BOOKMARK_PLACEHOLDER));
    EXPECT_FALSE(h::MenuHasCommand(menu->menu, ID_BOOKMARK_FIRST_ENTRY));
    h::DismissPopupMenu(*menu);
}

TEST_F(BookmarkManagerTest, AFileThatCannotBeRewrittenIsReported) {
    HWND manager = OpenManager();
    ASSERT_NE(manager, nullptr);
    // The file becomes read-only while the manager is open.
    SetFileAttributesW(state.files.bookmarkFile.c_str(), FILE_ATTRIBUTE_READONLY);
    h::Click(h::FindControl(manager, IDCANCEL));
    EXPECT_TRUE(h::WaitFor([&] { return !reporter.recorded.messages().empty(); }));
    SetFileAttributesW(state.files.bookmarkFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(reporter.recorded.messages().size(), 1u);
    EXPECT_EQ(
        reporter.recorded.texts()[0].rfind(
            L"The changes to the bookmarks could not be saved to " + state.files.bookmarkFile, 0),
        0u);
    EXPECT_EQ(reporter.recorded.messages()[0].icon, MessageIcon::kError);
}

}  // namespace
}  // namespace vm::test
