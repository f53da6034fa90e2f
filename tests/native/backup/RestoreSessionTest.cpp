#include <gtest/gtest.h>

#include "backup/BackupFile.h"
#include "backup/RestoreLayout.h"
#include "backup/RestoreSession.h"
#include "files/FileIo.h"
#include "native/files/TempDir.h"
#include "platform/sim/SimPlatform.h"

namespace vm {
namespace {

class RestoreSessionTest : public ::testing::Test {
  protected:
    RestoreSessionTest() : app(machine, reporter) {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'D', L"FAT32");
        machine.SetWindowsDirectory(L"C:\\Windows");
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)");
        machine.AddFile(L"C:\\Data\\a.txt");
        app.user = {L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
        app.fileSystems = FileSystemTable::Read(machine);
        app.defaultDescriptors = DefaultDescriptors::FromTables();
    }
    std::wstring WriteBackup(const std::wstring& name, const std::vector<std::wstring>& paths) {
        const std::wstring file = dir.File(name);
        EXPECT_TRUE(WriteBackupFile(machine, file, paths, L"2026-12-08 15:00:00").ok());
        return file;
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    AppState app;
    testing::TempDir dir;
};

TEST_F(RestoreSessionTest, FileModeShowsStatusLastAndTheStoredOwner) {
    auto columns = RestoreColumns(RestoreMode::kFile);
    EXPECT_EQ(columns[kRestoreStatusColumn].title, L"Status");
    EXPECT_EQ(RestoreColumnOrder(RestoreMode::kFile).back(), kRestoreStatusColumn);
    EXPECT_EQ(RestoreColumns(RestoreMode::kReset)[kRestoreStatusColumn].title, L"File system");
    EXPECT_EQ(RestoreColumnOrder(RestoreMode::kReset)[kRestoreStatusColumn], kRestoreStatusColumn);

    RestoreLoad load = LoadBackupRows(app, WriteBackup(L"b.SBAK", {L"C:\\Data\\a.txt"}), reporter);
    EXPECT_TRUE(reporter.messages().empty());
    EXPECT_EQ(load.backupTime, L"2026-12-08 15:00:00");
    ASSERT_EQ(load.rows.size(), 1u);
    auto cells = RestoreRowCells(load.rows[0]);
    EXPECT_EQ(cells[kRestoreNameColumn], L"a.txt");
    EXPECT_EQ(cells[kRestorePathColumn], L"C:\\Data\\a.txt");
    EXPECT_EQ(cells[kRestoreStatusColumn], L"");
    EXPECT_EQ(cells[kRestoreOwnerColumn], L"Administrators");
}

TEST_F(RestoreSessionTest, BadFilesGiveTheirMessagesAndOnlyCompleteItems) {
    const std::wstring whole = WriteBackup(L"whole.SBAK", {L"C:\\Data", L"C:\\Data\\a.txt"});
    Bytes bytes = *ReadWholeFile(whole);

    // Cut inside the second item's descriptor.
    const std::wstring cut = dir.File(L"cut.SBAK");
    ASSERT_TRUE(WriteFileReplacing(cut, std::span(bytes).first(bytes.size() - 3)).ok());
    RestoreLoad damaged = LoadBackupRows(app, cut, reporter);
    ASSERT_EQ(damaged.rows.size(), 1u);
    EXPECT_EQ(damaged.rows[0].path, L"C:\\Data");
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_NE(reporter.texts()[0].find(L"damaged"), std::wstring::npos);
    EXPECT_NE(reporter.texts()[0].find(L"cut.SBAK"), std::wstring::npos);

    reporter.Clear();
    Bytes lower = bytes;
    lower[0] = 'z';  // "zOL_KRV_BAK"
    const std::wstring foreign = dir.File(L"foreign.SBAK");
    ASSERT_TRUE(WriteFileReplacing(foreign, lower).ok());
    EXPECT_TRUE(LoadBackupRows(app, foreign, reporter).rows.empty());
    EXPECT_EQ(reporter.texts(), std::vector<std::wstring>{kUnknownFileFormat});

    reporter.Clear();
    EXPECT_TRUE(LoadBackupRows(app, dir.File(L"missing.SBAK"), reporter).rows.empty());
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(RestoreSessionTest, ResetRowsGiveDefaultsOnlyOnNtfsAndOnlyTickedRowsAreWritten) {
    RestoreLoad load = LoadResetRows(app);
    EXPECT_EQ(load.heading, L"Restore security settings to the default settings");
    EXPECT_TRUE(load.backupTime.empty());
    ASSERT_GE(load.rows.size(), 3u);
    EXPECT_EQ(load.rows[0].path, L"C:\\");
    EXPECT_EQ(load.rows[0].name, L"Root directory(SYSTEM)");
    EXPECT_TRUE(load.rows[0].descriptor.has_value());
    EXPECT_EQ(load.rows[1].path, L"D:\\");
    EXPECT_EQ(load.rows[1].status, L"FAT32");
    EXPECT_FALSE(load.rows[1].descriptor.has_value());

    std::vector<RestoreWork> work = WorkForRun(load.rows, {false, true});
    ASSERT_EQ(work.size(), load.rows.size());
    EXPECT_FALSE(work[0].ticked);
    EXPECT_TRUE(work[1].ticked);
    EXPECT_FALSE(work.back().ticked);  // beyond the boxes given: not ticked
}

TEST(RestoreLayoutTest, ControlsFollowTheSizeAndScaleWithTheDpi) {
    RestorePlaces places = ComputeRestorePlaces(800, 600, 96);
    EXPECT_EQ(places.list, (ControlPlace{15, 100, 770, 445}));
    EXPECT_EQ(places.restore, (ControlPlace{695, 560, 90, 25}));
    EXPECT_EQ(places.open, (ControlPlace{15, 560, 125, 25}));
    EXPECT_EQ(places.progress.y, 100 + 445 / 2);
    EXPECT_LE(places.backupTime.right, places.restore.x);

    RestorePlaces large = ComputeRestorePlaces(1200, 900, 144);
    EXPECT_EQ(large.band.bottom, 75);
    EXPECT_EQ(large.list.y, 150);
    EXPECT_EQ(1200 - (large.restore.x + large.restore.width), 23);  // the right margin, scaled

    // A window smaller than its controls: nothing negative.
    RestorePlaces tiny = ComputeRestorePlaces(10, 10, 96);
    EXPECT_GE(tiny.list.width, 0);
    EXPECT_GE(tiny.list.height, 0);
    EXPECT_EQ(RestoreMinimumSize(144, 5000, 5000), (WindowSize{1050, 750}));
    EXPECT_EQ(RestoreMinimumSize(192, 1280, 720), (WindowSize{1280, 720}));
}

}  // namespace
}  // namespace vm
