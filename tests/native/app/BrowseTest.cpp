#include <gtest/gtest.h>

#include "app/BrowsePaths.h"
#include "app/PathBar.h"
#include "app/ViewMode.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"

namespace vm {
namespace {

TEST(BrowsePaths, RootsAsPathIsRootSeesThem) {
    for (const wchar_t* root : {L"C:\\", L"d:\\", L"\\", L"\\\\server", L"\\\\server\\share"})
        EXPECT_TRUE(PathIsRoot(root)) << ToUtf8(root);
    for (const wchar_t* other :
         {L"C:", L"C:\\Windows", L"C:\\Windows\\", L"", L"\\\\server\\share\\x", L"\\\\", L"CC:\\"})
        EXPECT_FALSE(PathIsRoot(other)) << ToUtf8(other);
}

TEST(BrowsePaths, BackGoesOneLevelUpAndFromARootToTheDrives) {
    EXPECT_EQ(FolderAbove(L"C:\\Windows\\System32"), L"C:\\Windows");
    EXPECT_EQ(FolderAbove(L"C:\\Windows"), L"C:\\");
    EXPECT_EQ(FolderAbove(L"C:\\Windows\\"), L"C:\\");
    EXPECT_EQ(FolderAbove(L"C:\\"), std::nullopt);
    EXPECT_EQ(FolderAbove(L""), std::nullopt);
}

TEST(BrowsePaths, PatternAndJoinAddExactlyOneSeparator) {
    EXPECT_EQ(FolderSearchPattern(L"C:\\"), L"C:\\*.*");
    EXPECT_EQ(FolderSearchPattern(L"C:\\Data"), L"C:\\Data\\*.*");
    EXPECT_EQ(JoinPath(L"C:\\Data\\", L"a.txt"), L"C:\\Data\\a.txt");
}

class BrowseOnMachine : public testing::Test {
  protected:
    BrowseOnMachine() {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'E', L"FAT32");
        machine.AddFolder(L"C:\\Data");
        machine.AddFile(L"C:\\Data\\b.txt");
        machine.AddFolder(L"C:\\Data\\Sub");
        machine.AddFile(L"C:\\Data\\a.txt");
        machine.AddFile(L"C:\\Data\\hidden.sys");
        machine.SetAttributes(L"C:\\Data\\hidden.sys", attr::kHidden | attr::kSystem);
        machine.AddFolder(L"E:\\Photos");
    }
    sim::SimPlatform machine;
};

TEST_F(BrowseOnMachine, FolderListingKeepsEveryEntryButTheDots) {
    auto paths = ListFolderPaths(machine, L"C:\\Data");
    ASSERT_EQ(paths.size(), 4u);
    for (const auto& path : paths) {
        EXPECT_EQ(path.rfind(L"C:\\Data\\", 0), 0u);
        EXPECT_NE(path, L"C:\\Data\\.");
    }
    EXPECT_TRUE(ListFolderPaths(machine, L"C:\\Missing").empty());
    EXPECT_EQ(ListFolderPaths(machine, L"C:\\"), (std::vector<std::wstring>{L"C:\\Data"}));
}

TEST_F(BrowseOnMachine, DriveRowsAndVolumeTest) {
    EXPECT_EQ(DriveRootPaths(machine), (std::vector<std::wstring>{L"C:\\", L"E:\\"}));
    EXPECT_TRUE(IsOnNtfs(machine, L"C:\\Data\\a.txt"));
    EXPECT_TRUE(IsOnNtfs(machine, L"c:\\"));
    EXPECT_FALSE(IsOnNtfs(machine, L"E:\\Photos"));
    EXPECT_FALSE(IsOnNtfs(machine, L"Q:\\Nothing"));
}

std::vector<PathBarEntry> Bar() {
    return InitialPathBarEntries(L"Desktop", L"Computer",
                                 {{L"C:\\", L"Local Disk (C:)"}, {L"D:\\", L"Data (D:)"}});
}

TEST(PathBar, InitialEntriesAndIndents) {
    auto bar = Bar();
    ASSERT_EQ(bar.size(), 4u);
    EXPECT_EQ(bar[kDesktopEntry].indent, 0);
    EXPECT_EQ(bar[kComputerEntry].indent, 1);
    EXPECT_EQ(bar[2].path, L"C:\\");
    EXPECT_EQ(bar[3].indent, 2);
}

TEST(PathBar, FolderEntryFollowsItsDriveAndReplacesThePreviousOne) {
    auto bar = Bar();
    auto change = SynchronisePathBar(bar, L"D:\\Music");
    EXPECT_EQ(change.removed, std::nullopt);
    EXPECT_EQ(change.inserted, 4u);
    EXPECT_EQ(change.selected, 4u);
    EXPECT_EQ(bar[4].path, L"D:\\Music");
    EXPECT_EQ(bar[4].indent, 3);

    change = SynchronisePathBar(bar, L"c:\\Windows\\System32");
    EXPECT_EQ(change.removed, 4u);
    EXPECT_EQ(change.inserted, 3u);
    ASSERT_EQ(bar.size(), 5u);
    EXPECT_EQ(bar[3].path, L"c:\\Windows\\System32");
    EXPECT_EQ(bar[4].path, L"D:\\");
}

TEST(PathBar, ChoosingTheDriveDropsTheFolderEntry) {
    auto bar = Bar();
    SynchronisePathBar(bar, L"C:\\Windows\\System32");
    auto change = SynchronisePathBar(bar, L"C:\\");
    EXPECT_EQ(change.removed, 3u);
    EXPECT_EQ(change.inserted, std::nullopt);
    EXPECT_EQ(change.selected, 2u);
    EXPECT_EQ(bar.size(), 4u);
}

TEST(PathBar, FolderOnAnUnknownDriveChangesNothingButTheOldEntry) {
    auto bar = Bar();
    SynchronisePathBar(bar, L"C:\\Data");
    auto change = SynchronisePathBar(bar, L"\\\\server\\share\\x");
    EXPECT_EQ(change.removed, 3u);
    EXPECT_EQ(change.selected, std::nullopt);
    EXPECT_EQ(bar.size(), 4u);
}

TEST(ViewMode, ControlsOfEachMode) {
    MainWindowState state;
    state.viewMode = ViewMode::kEdit;
    state.currentFolder = L"E:\\Photos";
    state.currentFolderOnNtfs = false;
    auto edit = ControlsForViewMode(state);
    EXPECT_TRUE(edit.addButtonEnabled);
    EXPECT_TRUE(edit.editListVisible);
    EXPECT_FALSE(edit.nonNtfsIndicatorVisible);
    EXPECT_FALSE(edit.pathBarVisible || edit.backButtonVisible || edit.browseListVisible);

    state.viewMode = ViewMode::kBrowse;
    auto fatFolder = ControlsForViewMode(state);
    EXPECT_FALSE(fatFolder.addButtonEnabled);
    EXPECT_TRUE(fatFolder.nonNtfsIndicatorVisible);
    EXPECT_TRUE(fatFolder.pathBarVisible && fatFolder.backButtonVisible);
    EXPECT_FALSE(fatFolder.editListVisible);
    state.currentFolderOnNtfs = true;
    EXPECT_FALSE(ControlsForViewMode(state).nonNtfsIndicatorVisible);
    state.currentFolderOnNtfs = false;
    state.currentFolder.clear();  // the drive list
    EXPECT_FALSE(ControlsForViewMode(state).nonNtfsIndicatorVisible);
}

TEST(ViewMode, SwitchingAndStatus) {
    EXPECT_EQ(OtherViewMode(ViewMode::kEdit), ViewMode::kBrowse);
    EXPECT_EQ(OtherViewMode(ViewMode::kBrowse), ViewMode::kEdit);
    EXPECT_TRUE(RereadsRowsOnSwitch(299));
    EXPECT_FALSE(RereadsRowsOnSwitch(300));
    EXPECT_EQ(StatusText(2, 17), L"Selected 2 / Total 17");
}

}  // namespace
}  // namespace vm
