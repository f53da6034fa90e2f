#include <gtest/gtest.h>

#include "app/AppState.h"
#include "app/MainWindowState.h"
#include "app/TrusteeMenu.h"
#include "platform/sim/SimPlatform.h"

namespace vm {
namespace {

TEST(TrusteeMenu, NamesHandedOnByEachUser) {
    using enum TrusteeMenuUser;
    EXPECT_EQ(TrusteeNameForCommand(ID_TRUSTEE_CURRENT_USER, kChangeOwner, L"Alice"), L"Alice");
    EXPECT_EQ(TrusteeNameForCommand(ID_TRUSTEE_EVERYONE, kOptionsDialog, L"Alice"), L"Everyone");
    EXPECT_EQ(TrusteeNameForCommand(ID_TRUSTEE_SYSTEM, kChangeOwner, L""), L"SYSTEM");
    EXPECT_EQ(TrusteeNameForCommand(ID_TRUSTEE_TRUSTEDINSTALLER, kChangeOwner, L""),
              L"TrustedInstaller");
    EXPECT_EQ(TrusteeNameForCommand(ID_TRUSTEE_TRUSTEDINSTALLER, kOptionsDialog, L""),
              L"NT Service\\TrustedInstaller");
    EXPECT_EQ(TrusteeNameForCommand(ID_TRUSTEE_ADVANCED, kOptionsDialog, L""), std::nullopt);
    EXPECT_TRUE(IsTrusteeCommand(ID_TRUSTEE_ADVANCED));
    EXPECT_TRUE(IsTrusteeCommand(ID_TRUSTEE_ADMINISTRATORS));
    EXPECT_FALSE(IsTrusteeCommand(32775));
    EXPECT_EQ(CurrentUserEntryText(L"Alice"), L"Current User - Alice");
    EXPECT_FALSE(OffersTrustedInstaller(5.1));
    EXPECT_TRUE(OffersTrustedInstaller(6.0));
}

TEST(AppState, ProgramFilesLieBesideTheProgram) {
    auto files = ProgramFilesFor(L"C:\\Tools\\Velmora\\velmora.exe");
    EXPECT_EQ(files.directory, L"C:\\Tools\\Velmora");
    EXPECT_EQ(files.bookmarkFile, L"C:\\Tools\\Velmora\\Bookmark");
    EXPECT_EQ(files.settingsFile, L"C:\\Tools\\Velmora\\KRV.ini");
    auto atRoot = ProgramFilesFor(L"C:\\velmora.exe");
    EXPECT_EQ(atRoot.directory, L"C:\\");
    EXPECT_EQ(atRoot.settingsFile, L"C:\\KRV.ini");
}

TEST(AppState, OsVersionOfVistaAndXp) {
    EXPECT_TRUE(IsVistaOrLater(OsVersionOf(6, 0)));
    EXPECT_TRUE(IsVistaOrLater(OsVersionOf(10, 0)));
    EXPECT_FALSE(IsVistaOrLater(OsVersionOf(5, 1)));
    EXPECT_FLOAT_EQ(OsVersionOf(6, 1), 6.1f);
}

TEST(AppState, PlatformStateReadsUserAndFileSystems) {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    machine.AddVolume(L'F', L"FAT32");
    RecordingReporter reporter;
    AppState state(machine, reporter);
    ReadPlatformState(state);
    EXPECT_EQ(state.user.CurrentUserName, L"Alice");
    EXPECT_EQ(state.fileSystems.ForPath(L"C:\\Data"), L"NTFS");
    EXPECT_EQ(state.fileSystems.ForPath(L"f:\\x"), L"FAT32");
    EXPECT_EQ(state.fileSystems.ForPath(L"G:\\"), L"");
    EXPECT_EQ(state.fileSystems.ForPath(L"\\\\server\\share"), L"");
    // Only the drives the system reports are asked, never A to Z.
    EXPECT_EQ(machine.CallCount(sim::Call::kGetVolumeFileSystemName), 2u);
}

TEST(MainWindowState, TheIndicatorShowsOnlyForABrowsedFolderWithoutSecurity) {
    MainWindowState state;
    state.currentFolder = L"E:\\Photos";
    state.currentFolderOnNtfs = false;
    EXPECT_TRUE(state.NonNtfsIndicatorVisible());
    state.viewMode = ViewMode::kEdit;  // the gathered list has no folder of its own
    EXPECT_FALSE(state.NonNtfsIndicatorVisible());
    state.viewMode = ViewMode::kBrowse;
    state.currentFolder.clear();  // the drive list
    EXPECT_FALSE(state.NonNtfsIndicatorVisible());
    EXPECT_TRUE(state.ShowsDriveList());
}

TEST(MainWindowState, SelectionKindsCountMissingItemsAsWhatTheyWere) {
    MainWindowState state;
    EXPECT_FALSE(state.SingleSelectionIsDirectory());
    EXPECT_TRUE(state.AllSelectedAreFiles());  // nothing selected: nothing but files
    state.selection = {{3, L"C:\\gone", -kKindFolder}};
    EXPECT_TRUE(state.SingleSelectionIsDirectory());
    state.selection = {{0, L"C:\\", kKindDriveRoot}};
    EXPECT_TRUE(state.SingleSelectionIsDirectory());
    state.selection = {{1, L"C:\\a.txt", -kKindFile}, {2, L"C:\\b.txt", kKindFile}};
    EXPECT_FALSE(state.SingleSelectionIsDirectory());
    EXPECT_TRUE(state.AllSelectedAreFiles());
}

TEST(MainWindowState, AHandEditedViewModeStartsInBrowseMode) {
    Settings settings;
    for (int value : {0, 2, 3, -1}) {
        settings.viewMode = value;
        EXPECT_EQ(StartingViewMode(settings), ViewMode::kBrowse) << value;
    }
    settings.viewMode = 1;
    EXPECT_EQ(StartingViewMode(settings), ViewMode::kEdit);
    EXPECT_EQ(SettingOfViewMode(ViewMode::kEdit), 1);
}

}  // namespace
}  // namespace vm
