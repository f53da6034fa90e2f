#include <gtest/gtest.h>

#include "app/Settings.h"
#include "app/VersionCheck.h"
#include "app/WindowPlacement.h"
#include "bookmarks/BookmarkStore.h"
#include "files/FileIo.h"
#include "files/ProfileFile.h"
#include "native/files/TempDir.h"
#include "platform/Reporter.h"
#include "platform/Utf16.h"

namespace vm {
namespace {

void WriteAscii(const std::wstring& file, const std::string& text) {
    ASSERT_TRUE(WriteFileReplacing(file, Bytes(text.begin(), text.end())));
}

// ---- Settings -----------------------------------------------------------

TEST(Settings, MissingFileGivesBrowseModeAndZeros) {
    testing::TempDir dir;
    Settings settings = LoadSettings(dir.File(L"KRV.ini"));
    EXPECT_EQ(settings, Settings{});
    EXPECT_EQ(settings.viewMode, 2);
}

TEST(Settings, AllSevenKeysAreWrittenAndReadBack) {
    testing::TempDir dir;
    std::wstring file = dir.File(kSettingsFileName);
    WriteAscii(file, "; hand note\r\n[STATE]\r\nVIEWMODE=2\r\nEXTRA=keep\r\n");
    Settings settings{1, -8, -8, 1928, 1048, 1, FromUtf8("C:\\\xc3\x9c\x62\x65r")};
    ASSERT_TRUE(SaveSettings(settings, file));
    EXPECT_EQ(LoadSettings(file), settings);
    ProfileDocument document = ReadProfileDocument(file);
    EXPECT_EQ(document.Find(L"STATE", L"EXTRA"), L"keep");
    EXPECT_EQ(document.Find(L"STATE", L"WND_LEFT"), L"-8");
    EXPECT_EQ(document.lines().front(), L"; hand note");
    for (const wchar_t* key : {L"VIEWMODE", L"WND_LEFT", L"WND_TOP", L"WND_RIGHT", L"WND_BOTTOM",
                               L"WND_ISMAX", L"OPENPATH"})
        EXPECT_TRUE(document.Find(L"STATE", key)) << ToUtf8(key);
}

TEST(Settings, OpenPathIsCutToItsBufferAndOddViewModesStartInBrowseMode) {
    testing::TempDir dir;
    std::wstring file = dir.File(kSettingsFileName);
    Settings settings;
    settings.openPath = std::wstring(300, L'x');
    settings.viewMode = 7;
    ASSERT_TRUE(SaveSettings(settings, file));
    Settings back = LoadSettings(file);
    EXPECT_EQ(back.openPath, std::wstring(259, L'x'));
    EXPECT_EQ(StartViewMode(back), kBrowseMode);
    back.viewMode = 1;
    EXPECT_EQ(StartViewMode(back), kEditMode);
}

#ifndef _WIN32
TEST(Settings, ReadOnlyFileKeepsItsValues) {
    testing::TempDir dir;
    std::wstring file = dir.File(kSettingsFileName);
    Settings first;
    first.viewMode = 1;
    ASSERT_TRUE(SaveSettings(first, file));
    std::filesystem::permissions(ToFsPath(file), std::filesystem::perms::owner_read);
    Settings second;
    EXPECT_FALSE(SaveSettings(second, file));
    EXPECT_EQ(LoadSettings(file).viewMode, 1);
    std::filesystem::permissions(ToFsPath(file), std::filesystem::perms::owner_all);
}
#endif

// ---- Window placement --------------------------------------------------

TEST(WindowPlacement, InitialPlacementFollowsTheSavedRectangle) {
    WindowRect screen{0, 0, 1920, 1080};
    Settings fresh;
    auto first = ChooseInitialPlacement(fresh, {screen}, 96);
    EXPECT_EQ(first.show, InitialShow::kCentredDefault);
    EXPECT_EQ(first.rect, (WindowRect{385, 196, 1535, 884}));

    Settings narrow;  // narrower than 10 but tall: applied unchanged
    narrow.windowLeft = 100;
    narrow.windowRight = 105;
    narrow.windowTop = 0;
    narrow.windowBottom = 400;
    EXPECT_EQ(ChooseInitialPlacement(narrow, {screen}, 96).show, InitialShow::kSavedRectangle);
    EXPECT_EQ(ChooseInitialPlacement(narrow, {screen}, 96).rect, (WindowRect{100, 0, 105, 400}));

    Settings maximized = narrow;
    maximized.windowMaximized = 1;
    EXPECT_EQ(ChooseInitialPlacement(maximized, {screen}, 96).show, InitialShow::kMaximized);
    maximized.windowRight = 101;
    maximized.windowBottom = 9;
    EXPECT_EQ(ChooseInitialPlacement(maximized, {screen}, 96).show, InitialShow::kCentredDefault);
}

TEST(WindowPlacement, SizeChangesAndCloseStoreWhatTheWindowShows) {
    Settings settings;
    WindowRect normal{10, 20, 810, 620};
    WindowRect maximizedRect{-8, -8, 1928, 1048};
    RecordSizeChange(settings, SizeKind::kRestored, normal);
    EXPECT_EQ(settings.windowRight, 810);
    RecordSizeChange(settings, SizeKind::kMaximized, maximizedRect);
    EXPECT_EQ(settings.windowMaximized, 1);
    EXPECT_EQ(settings.windowRight, 810);         // maximizing keeps the normal rectangle
    RecordClose(settings, false, maximizedRect);  // close while maximized
    EXPECT_EQ(settings.windowLeft, -8);
    EXPECT_EQ(settings.windowMaximized, 1);
    // Minimized from maximized and closed from the task bar: flag 0, rect kept.
    RecordSizeChange(settings, SizeKind::kMinimized, WindowRect{-32000, -32000, -31840, -31972});
    RecordClose(settings, true, WindowRect{-32000, -32000, -31840, -31972});
    EXPECT_EQ(settings.windowMaximized, 0);
    EXPECT_EQ(settings.windowLeft, -8);
    EXPECT_EQ(kMinimumTrackSize, (WindowSize{320, 300}));
}

// ---- Bookmarks ---------------------------------------------------------

TEST(BookmarkStore, FirstBookmarkGoesToSectionZeroWithCountOne) {
    testing::TempDir dir;
    std::wstring file = dir.File(kBookmarkFileName);
    EXPECT_EQ(LoadBookmarkIndex(file).count(), 0);
    std::wstring paths =
        BuildBookmarkPaths(BookmarkMode::kSelectedItems, {L"C:\\a", L"D:\\b c", L"E:\\"});
    EXPECT_EQ(paths, L"C:\\a|D:\\b c|E:\\|");
    ASSERT_TRUE(AddBookmark(file, 0, L"three", paths));
    ProfileDocument document = ReadProfileDocument(file);
    EXPECT_EQ(document.Find(L"INFO", L"CONUT"), L"1");
    EXPECT_EQ(document.Find(L"0", L"PATHS"), paths);
    EXPECT_EQ(document.Find(L"0", L"LENGTH"), std::to_wstring(paths.size()));
    BookmarkIndex index = LoadBookmarkIndex(file);
    ASSERT_EQ(index.count(), 1);
    EXPECT_EQ(index.entries[0], (BookmarkIndexEntry{0, L"three"}));

    OpenedBookmark opened = OpenBookmark(file, 0);
    EXPECT_EQ(opened.viewMode, 1);
    EXPECT_EQ(opened.paths, (std::vector<std::wstring>{L"C:\\a", L"D:\\b c", L"E:\\"}));
}

TEST(BookmarkStore, FolderBookmarksOpenInBrowseMode) {
    testing::TempDir dir;
    std::wstring file = dir.File(kBookmarkFileName);
    std::wstring folder = L"C:\\Windows\\" + FromUtf16(u"\U0001F600");
    ASSERT_TRUE(
        AddBookmark(file, 2, L"", BuildBookmarkPaths(BookmarkMode::kCurrentFolder, {folder})));
    EXPECT_EQ(ReadProfileDocument(file).Find(L"0", L"LENGTH"), L"13");  // UTF-16 units
    OpenedBookmark opened = OpenBookmark(file, 0);
    EXPECT_EQ(opened.viewMode, 2);
    EXPECT_EQ(opened.paths, std::vector<std::wstring>{folder});
    EXPECT_EQ(LoadBookmarkIndex(file).entries[0].name, L"");
}

TEST(BookmarkStore, RewriteLeavesStaleSectionsUnread) {
    testing::TempDir dir;
    std::wstring file = dir.File(kBookmarkFileName);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(AddBookmark(file, 1, L"b" + std::to_wstring(i), L"C:\\x|"));
    ASSERT_TRUE(RewriteBookmarks(file, {{1, L"b3", L"C:\\3|"}, {2, L"b1", L"C:\\1"}}));
    ProfileDocument document = ReadProfileDocument(file);
    EXPECT_EQ(document.Find(L"INFO", L"CONUT"), L"2");
    EXPECT_TRUE(document.Find(L"4", L"NAME"));  // still there, never read
    BookmarkIndex index = LoadBookmarkIndex(file);
    ASSERT_EQ(index.count(), 2);
    EXPECT_EQ(index.entries[0], (BookmarkIndexEntry{1, L"b3"}));
    EXPECT_EQ(index.entries[1], (BookmarkIndexEntry{2, L"b1"}));
    ASSERT_TRUE(RewriteBookmarks(file, {}));
    EXPECT_EQ(LoadBookmarkIndex(file).count(), 0);
}

TEST(BookmarkStore, PathsAreCutByLengthAndEndAtTheFirstEmptyPart) {
    testing::TempDir dir;
    std::wstring file = dir.File(kBookmarkFileName);
    // LENGTH 2 lets at most 11 characters through (a buffer of LENGTH + 10).
    WriteAscii(file,
               "[INFO]\nCONUT=2\n[0]\nMODE=256\nLENGTH=2\nPATHS=C:\\aaaa|C:\\bbbb|\n"
               "[1]\nMODE=0\nLENGTH=20\nPATHS=C:\\a||C:\\b|\n");
    EXPECT_EQ(ReadBookmarkPaths(file, 0), L"C:\\aaaa|C:\\");
    OpenedBookmark cut = OpenBookmark(file, 0);
    EXPECT_EQ(cut.mode, 0);  // low 8 bits of 256
    EXPECT_EQ(cut.paths, (std::vector<std::wstring>{L"C:\\aaaa", L"C:\\"}));
    EXPECT_EQ(OpenBookmark(file, 1).paths, std::vector<std::wstring>{L"C:\\a"});
    EXPECT_EQ(BookmarkPathsForDisplay(L"C:\\a|D:\\b|"), L"C:\\a  D:\\b  ");
}

TEST(BookmarkStore, CommandIdsMapToPositions) {
    EXPECT_EQ(BookmarkCommandId(0), 1324);
    EXPECT_EQ(BookmarkFromCommand(1326, 3), 2);
    EXPECT_FALSE(BookmarkFromCommand(1327, 3));
    EXPECT_FALSE(BookmarkFromCommand(1323, 3));
}

// ---- Version check ------------------------------------------------------

TEST(VersionCheck, ComparesFourComponentsLikeTheCLibrary) {
    EXPECT_TRUE(IsNewerVersion(L"1.3.0.130"));
    EXPECT_FALSE(IsNewerVersion(L"1.3.0.129"));
    EXPECT_FALSE(IsNewerVersion(L"1.2.9.200"));
    EXPECT_TRUE(IsNewerVersion(L"2"));
    EXPECT_FALSE(IsNewerVersion(L"1"));
    EXPECT_TRUE(IsNewerVersion(L" 1.3.1abc"));
    EXPECT_FALSE(IsNewerVersion(L"x.9.9.9"));
    EXPECT_FALSE(IsNewerVersion(L"1.3.0.129.999"));  // a fifth component is ignored
    EXPECT_EQ(CLibraryToInt(L"  -12x"), -12);
    EXPECT_EQ(CLibraryToInt(L"99999999999"), 2147483647);
}

TEST(VersionCheck, ReadsTheVersionFileWithDefaultsAndLineBreaks) {
    testing::TempDir dir;
    std::wstring file = dir.File(kUpdateFileName);
    UpdateInfo missing = ReadUpdateInfo(file);
    EXPECT_EQ(missing.newVersion, L"1");
    EXPECT_EQ(missing.notes, L"");
    WriteAscii(file, "[VER]\r\nNew=1.3.0.130\r\nInfo=Faster;Fixed a crash\r\n");
    UpdateInfo info = ReadUpdateInfo(file);
    EXPECT_EQ(info.notes, L"Faster\n\rFixed a crash");
    RecordingReporter reporter;
    reporter.ScriptAnswer(Answer::kYes);
    EXPECT_TRUE(DecideOnUpdate(info, reporter));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].text,
              L"A new version of  Velmora (1.3.0.130) is available.\n\r\n\rFaster\n\rFixed a "
              L"crash\n\r\n\rDo you want to download it?");
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kQuestion);

    RecordingReporter quiet;
    WriteAscii(file, "<html>404</html>");
    EXPECT_FALSE(DecideOnUpdate(ReadUpdateInfo(file), quiet));
    EXPECT_EQ(quiet.texts(), std::vector<std::wstring>{kNoNewVersionMessage});
}

}  // namespace
}  // namespace vm
