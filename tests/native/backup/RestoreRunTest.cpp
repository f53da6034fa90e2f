#include <gtest/gtest.h>

#include <atomic>

#include "backup/BackupFile.h"
#include "backup/RestoreRunner.h"
#include "platform/sim/SimPlatform.h"

namespace vm {
namespace {

constexpr uint32_t kReadControl = 0x00020000;

class RestoreRunTest : public ::testing::Test {
  protected:
    RestoreRunTest() : engine(machine, reporter) {
        machine.AddVolume(L'C', L"NTFS");
        bob = machine.AddLocalUser(L"Bob").ToString();
        machine.AddFolder(L"C:\\A", Original());
        stored = CollectBackupItems(machine, {L"C:\\A"}).at(0);
        machine.SetSecurity(L"C:\\A", L"O:SYD:P(A;OICI;FR;;;WD)");
    }
    std::wstring Original() const {
        return L"O:" + bob + L"D:P(A;OICI;FA;;;" + bob + L")(A;;FA;;;BA)";
    }
    RestoreRowResult Run(const BackupItem& item) {
        RestoreRowResult seen = RestoreRowResult::kSucceeded;
        RestoreCallbacks callbacks;
        callbacks.onRowResult = [&seen](size_t, RestoreRowResult result) { seen = result; };
        std::atomic<bool> stop{false};
        RunRestore(engine, RestoreMode::kFile, {{item.path, item.descriptor, item.owner, false}},
                   callbacks, stop);
        return seen;
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    Engine engine;
    std::wstring bob;
    BackupItem stored;
};

TEST_F(RestoreRunTest, RefusedStoredWriteGivesBackThePreviousOwnerAndDacl) {
    const std::wstring before = machine.SddlOf(L"C:\\A");
    // The first write (Administrators, NULL DACL) goes through, the second not.
    machine.FailNthCall(sim::Call::kSetFileSecurity, 2, err::kAccessDenied);
    EXPECT_EQ(Run(stored), RestoreRowResult::kFailed);
    EXPECT_EQ(machine.SddlOf(L"C:\\A"), before);
    EXPECT_FALSE(machine.DaclOf(L"C:\\A").IsNull());
}

TEST_F(RestoreRunTest, ObjectWhoseSecurityCannotBeReadIsStillRestored) {
    // Without READ_CONTROL the one-read path cannot start; ownership opens
    // the object as the step-by-step sequence does.
    machine.DenyAccess(L"C:\\A", kReadControl);
    EXPECT_EQ(Run(stored), RestoreRowResult::kSucceeded);
    machine.ClearFaults();
    EXPECT_EQ(machine.SddlOf(L"C:\\A"), Original());
}

TEST_F(RestoreRunTest, OwnerThatNoLongerResolvesLeavesThePreviousOwner) {
    BackupItem item = stored;
    item.owner = L"Nobody";
    EXPECT_EQ(Run(item), RestoreRowResult::kSucceeded);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\A"), L"SYSTEM");
    EXPECT_EQ(L"O:" + bob + machine.DaclSddlOf(L"C:\\A"), Original());

    machine.Remove(L"C:\\A");
    EXPECT_EQ(Run(item), RestoreRowResult::kFileNotFound);
}

}  // namespace
}  // namespace vm
