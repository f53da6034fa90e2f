#include <gtest/gtest.h>

#include <mutex>

#include "backup/BackupFile.h"
#include "backup/RestoreModel.h"
#include "backup/RestoreRunner.h"
#include "platform/sim/SimPlatform.h"
#include "security/Sddl.h"

namespace vm {
namespace {

class RestoreTest : public ::testing::Test {
  protected:
    RestoreTest() : engine(machine, reporter) {
        machine.AddVolume(L'C', L"NTFS");
        machine.SetWindowsDirectory(L"C:\\Windows");
        machine.AddLocalUser(L"Bob");
    }
    UserIdentity Alice() { return {L"Alice", BuildCurrentUserGroups(machine, L"Alice")}; }
    BackupItem ItemOf(const std::wstring& path) {
        return CollectBackupItems(machine, {path}).at(0);
    }
    // Results and progress of a run, as the window would see them.
    struct Seen {
        std::mutex mutex;
        std::vector<std::pair<size_t, RestoreRowResult>> results;
        std::vector<size_t> progress;
        int finished = 0;
    };
    RestoreCallbacks Recording(Seen& seen) {
        return {[&seen](size_t row, RestoreRowResult result) {
                    std::lock_guard lock(seen.mutex);
                    seen.results.push_back({row, result});
                },
                [&seen](size_t done) {
                    std::lock_guard lock(seen.mutex);
                    seen.progress.push_back(done);
                },
                [&seen] {
                    std::lock_guard lock(seen.mutex);
                    ++seen.finished;
                }};
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    Engine engine;
};

// ---- Rows of a backup -------------------------------------------------------

TEST_F(RestoreTest, BackupRowsTakeKindNameOwnerAndStoredAccess) {
    machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)");
    machine.AddFile(L"C:\\Data\\r.txt", L"O:BAD:(A;;FR;;;WD)");
    std::vector<BackupItem> items =
        CollectBackupItems(machine, {L"C:\\", L"C:\\Data", L"C:\\Data\\r.txt"});
    items.push_back({L"C:\\Gone\\x", L"Bob", *SddlToBytes(L"D:NO_ACCESS_CONTROL")});
    items.push_back({L"C:\\Bad", L"", Bytes{1, 2, 3}});
    items.push_back({L"C:\\Deny", L"", *SddlToBytes(L"D:(D;;FA;;;WD)(A;;FA;;;WD)")});
    std::vector<RestoreRow> rows = RowsFromBackup(machine, Alice(), items);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].kind, kKindDriveRoot);
    EXPECT_EQ(rows[0].name, L"C:\\");
    EXPECT_EQ(rows[1].kind, kKindFolder);
    EXPECT_EQ(rows[1].name, L"Data");
    EXPECT_EQ(rows[1].owner, L"Administrators");
    EXPECT_EQ(rows[1].AccessText(), L"Allowed");
    EXPECT_EQ(rows[2].kind, kKindFile);
    EXPECT_EQ(rows[2].AccessText(), L"Read Only");
    EXPECT_EQ(rows[3].kind, kKindFile);           // a missing path is not a directory
    EXPECT_EQ(rows[3].AccessText(), L"Allowed");  // NULL DACL
    EXPECT_EQ(rows[4].access, kAccessUnknown);    // not a descriptor
    EXPECT_EQ(rows[4].AccessText(), L"");
    EXPECT_EQ(rows[5].AccessText(), L"Denied");
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].row, static_cast<int32_t>(i));

    UserIdentity nobody{L"NoSuchUser", L"<Everyone>"};
    EXPECT_EQ(RowsFromBackup(machine, nobody, {items[1]})[0].access, kAccessUnknown);
}

TEST(RestoreNames, FileNamePartFollowsPathFindFileName) {
    EXPECT_EQ(FileNamePart(L"C:\\"), L"C:\\");
    EXPECT_EQ(FileNamePart(L"C:\\a\\b.txt"), L"b.txt");
    EXPECT_EQ(FileNamePart(L"C:\\a\\b\\"), L"b\\");
    EXPECT_EQ(FileNamePart(L"name"), L"name");
    EXPECT_EQ(BackupClipboardText(L"C:\\a"), L"C:\\a (Backup)");
}

// ---- Rows of reset mode ------------------------------------------------------

TEST_F(RestoreTest, ResetRowsListRootsAndSystemFoldersWithDefaultsOnNtfsOnly) {
    machine.AddVolume(L'D', L"FAT32");
    machine.AddVolume(L'E', L"NTFS");
    DefaultDescriptors defaults = DefaultDescriptors::FromTables();
    std::vector<RestoreRow> rows =
        BuildResetRows(machine, Alice(), defaults, ReadFileSystemTable(machine));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].path, L"C:\\");
    EXPECT_EQ(rows[0].name, L"Root directory(SYSTEM)");
    EXPECT_EQ(rows[0].descriptor, defaults.systemDrive);
    EXPECT_EQ(rows[0].status, L"NTFS");
    EXPECT_EQ(rows[0].owner, L"Administrators");
    EXPECT_EQ(rows[0].AccessText(), L"Allowed");
    EXPECT_EQ(rows[1].path, L"D:\\");
    EXPECT_EQ(rows[1].status, L"FAT32");
    EXPECT_FALSE(rows[1].descriptor);
    EXPECT_EQ(rows[2].name, L"Root directory");
    EXPECT_EQ(rows[2].descriptor, defaults.driveRoot);
    EXPECT_EQ(rows[3].path, L"C:\\Windows");
    EXPECT_EQ(rows[3].name, L"System Folder");
    EXPECT_EQ(rows[3].kind, kKindFolder);
    EXPECT_EQ(rows[3].descriptor, defaults.systemFolder);
    EXPECT_EQ(rows[4].path, L"C:\\Windows\\System32");
    EXPECT_EQ(rows[5].path, L"C:\\Windows\\SysWOW64");
}

TEST_F(RestoreTest, A32BitSystemHasNoThirdSystemFolder) {
    machine.Set64Bit(false);
    std::vector<RestoreRow> rows = BuildResetRows(
        machine, Alice(), DefaultDescriptors::FromTables(), ReadFileSystemTable(machine));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().path, L"C:\\Windows\\System32");
}

// ---- The run -----------------------------------------------------------------

TEST_F(RestoreTest, FileModeRestoresDaclAndOwnerAndReportsMissingPaths) {
    std::wstring bob = SidToSddl(machine.SidOf(L"Bob"));
    machine.AddFolder(L"C:\\A", L"O:" + bob + L"D:P(A;OICI;FA;;;BA)(A;;FR;;;WD)");
    machine.AddFolder(L"C:\\B", L"O:BAD:P(A;;FA;;;SY)");
    std::vector<BackupItem> items = CollectBackupItems(machine, {L"C:\\A", L"C:\\B"});
    std::wstring storedA = machine.DaclSddlOf(L"C:\\A");
    machine.SetSecurity(L"C:\\A", L"O:BAD:P(A;;FA;;;BA)");
    machine.Remove(L"C:\\B");
    std::vector<RestoreRow> rows = RowsFromBackup(machine, Alice(), items);

    Seen seen;
    std::atomic<bool> stop{false};
    RunRestore(engine, RestoreMode::kFile, WorkFromRows(rows), Recording(seen), stop);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\A"), storedA);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\A"), L"Bob");
    EXPECT_EQ(seen.results,
              (std::vector<std::pair<size_t, RestoreRowResult>>{
                  {0, RestoreRowResult::kSucceeded}, {1, RestoreRowResult::kFileNotFound}}));
    EXPECT_EQ(seen.progress, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(seen.finished, 1);
    EXPECT_EQ(RestoreResultText(RestoreRowResult::kFileNotFound), L"File not found");
    EXPECT_EQ(RestoreResultText(RestoreRowResult::kSucceeded), L"Succeed");
}

TEST_F(RestoreTest, ARefusedWriteLeavesThePreviousDaclNotANullOne) {
    machine.AddFolder(L"C:\\A", L"O:BAD:P(A;OICI;FA;;;BA)");
    BackupItem item = ItemOf(L"C:\\A");
    item.owner = L"";
    std::wstring before = machine.DaclSddlOf(L"C:\\A");
    // Calls of SetFileSecurityW: the NULL DACL, the stored descriptor, the way back.
    machine.FailNthCall(sim::Call::kSetFileSecurity, 2, err::kAccessDenied);
    Seen seen;
    std::atomic<bool> stop{false};
    RunRestore(engine, RestoreMode::kFile, WorkFromRows(RowsFromBackup(machine, Alice(), {item})),
               Recording(seen), stop);
    EXPECT_EQ(seen.results.at(0).second, RestoreRowResult::kFailed);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\A"), before);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\A"), L"Administrators");  // empty owner text

    // A stored descriptor that is not one is never tried.
    machine.ResetCounters();
    RestoreWork broken{L"C:\\A", Bytes{1, 0, 4}, L"", false};
    RunRestore(engine, RestoreMode::kFile, {broken}, Recording(seen), stop);
    EXPECT_EQ(seen.results.at(1).second, RestoreRowResult::kFailed);
    EXPECT_EQ(machine.CallCount(sim::Call::kSetFileSecurity), 0u);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\A"), before);
}

TEST_F(RestoreTest, ResetModeWritesOnlyTickedRowsWithDescriptors) {
    machine.AddVolume(L'D', L"FAT32");
    machine.SetSecurity(L"C:\\Windows", L"O:BAD:P(A;;FA;;;WD)");
    std::vector<RestoreRow> rows = BuildResetRows(
        machine, Alice(), DefaultDescriptors::FromTables(), ReadFileSystemTable(machine));
    std::wstring rootBefore = machine.DaclSddlOf(L"C:\\");
    Seen unticked;
    std::atomic<bool> stop{false};
    machine.ResetCounters();
    RunRestore(engine, RestoreMode::kReset, WorkFromRows(rows), Recording(unticked), stop);
    EXPECT_EQ(machine.CallCount(sim::Call::kSetFileSecurity), 0u);
    EXPECT_EQ(unticked.finished, 1);
    EXPECT_TRUE(unticked.results.empty());  // reset mode reports no rows
    EXPECT_EQ(unticked.progress.size(), rows.size());

    for (RestoreRow& row : rows)
        row.checked = row.path == L"C:\\Windows" || row.path == L"D:\\";
    Seen ticked;
    RunRestore(engine, RestoreMode::kReset, WorkFromRows(rows), Recording(ticked), stop);
    auto written = machine.DescriptorOf(L"C:\\Windows");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->dacl.acl->aces.size(), 9u);
    EXPECT_EQ(written->dacl.acl->aces[0].sid, sids::TrustedInstaller());
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\"), rootBefore);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Windows"), L"Administrators");
}

TEST_F(RestoreTest, RunnerRunsOnAThreadAndStopsWhenItsOwnerGoes) {
    for (int i = 0; i < 50; ++i)
        machine.AddFolder(L"C:\\F" + std::to_wstring(i), L"O:BAD:P(A;;FA;;;BA)");
    std::vector<std::wstring> paths;
    for (int i = 0; i < 50; ++i)
        paths.push_back(L"C:\\F" + std::to_wstring(i));
    std::vector<RestoreWork> work =
        WorkFromRows(RowsFromBackup(machine, Alice(), CollectBackupItems(machine, paths)));

    Seen complete;
    Seen again;  // outlives the runner, whose destructor waits for the worker
    {
        RestoreRunner runner(engine);
        ASSERT_TRUE(runner.Start(RestoreMode::kFile, work, Recording(complete)));
        runner.StopAndWait();
        EXPECT_FALSE(runner.Running());
        // A second run may start once the first is over.
        ASSERT_TRUE(runner.Start(RestoreMode::kFile, work, Recording(again)));
    }  // the destructor stops and waits: no callback after this point
    EXPECT_EQ(complete.finished, 1);
    EXPECT_EQ(again.finished, 1);
    EXPECT_LE(complete.progress.size(), work.size());

    // A stop asked for during a row ends the run before the next one.
    Seen stopped;
    std::atomic<bool> stop{false};
    RestoreCallbacks callbacks = Recording(stopped);
    callbacks.onProgress = [&](size_t done) {
        stopped.progress.push_back(done);
        stop = true;
    };
    RunRestore(engine, RestoreMode::kFile, work, callbacks, stop);
    EXPECT_EQ(stopped.progress, std::vector<size_t>{1});
    EXPECT_EQ(stopped.finished, 1);
}

}  // namespace
}  // namespace vm
