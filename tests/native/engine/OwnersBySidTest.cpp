// Owners are carried by SID through every temporary ownership. A domain
// account "CORP\Bob" and a local account "Bob" share a bare name: a look-up
// of "Bob" finds the local one (LookupAccountNameW searches the computer's
// accounts before the domain's), so an owner given back by name would come
// back as the wrong account.
#include <atomic>

#include "EngineFixture.h"
#include "app/QuickCommands.h"
#include "backup/RestoreRunner.h"
#include "security/DaclEdits.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

class OwnersBySid : public EngineTest {
  protected:
    OwnersBySid() {
        domainBob = machine.AddDomainUser(L"Bob");
        localBob = machine.AddLocalUser(L"Bob");
        machine.AddFolder(L"C:\\P", L"O:" + domainBob.ToString() + L"D:(A;OICI;FA;;;BA)");
        machine.AddFile(L"C:\\P\\f.txt", L"O:" + domainBob.ToString() + L"D:(A;;FA;;;BA)");
        machine.AddFile(L"C:\\target.txt", L"O:BAD:(A;;FA;;;BA)");
    }
    Sid domainBob;
    Sid localBob;
};

TEST_F(OwnersBySid, QuickCommandsGiveTheDomainOwnerBack) {
    UserIdentity alice = Alice();
    QuickSetOutcome outcome = RunQuickSet(engine, alice, {{L"C:\\P\\f.txt", true}},
                                          {QuickKind::kReadOnly, kEveryone, 0}, nullptr);
    ASSERT_EQ(outcome.items.size(), 1u);
    EXPECT_EQ(outcome.items[0].result, QuickItemResult::kDone);
    EXPECT_EQ(machine.OwnerOf(L"C:\\P\\f.txt"), domainBob);
}

TEST_F(OwnersBySid, CopyAndPasteCarryTheDomainOwner) {
    CopyBuffer buffer;
    ASSERT_GT(CopySecuritySettings(engine, buffer, L"C:\\P\\f.txt"), 0u);
    EXPECT_EQ(machine.OwnerOf(L"C:\\P\\f.txt"), domainBob);
    EXPECT_EQ(buffer.CopiedOwnerName, L"Bob");
    ASSERT_TRUE(PasteSecuritySettings(engine, buffer, L"C:\\target.txt"));
    EXPECT_EQ(machine.OwnerOf(L"C:\\target.txt"), domainBob);
}

TEST_F(OwnersBySid, TheFolderOfACopyRunGetsItsDomainOwnerBack) {
    PropagationRun run;
    run.folder = L"C:\\P";
    run.mode = PropagationMode::kCopyFromFolder;
    NullObserver observer;
    ASSERT_EQ(RunPropagation(engine, run, observer), 1);
    EXPECT_EQ(machine.OwnerOf(L"C:\\P"), domainBob);
}

// A backup keeps the owner as a bare name. When the object's owner still
// bears that name it stays as it is; a name that no longer resolves leaves
// the owner as it was rather than "Administrators".
TEST_F(OwnersBySid, RestoreKeepsAnOwnerOfTheStoredName) {
    auto descriptor = machine.GetFileSecurity(L"C:\\P\\f.txt", secinfo::kDacl);
    ASSERT_TRUE(descriptor.ok());
    const std::atomic<bool> stop{false};
    RunRestore(engine, RestoreMode::kFile, {{L"C:\\P\\f.txt", *descriptor, L"Bob", true}}, {},
               stop);
    EXPECT_EQ(machine.OwnerOf(L"C:\\P\\f.txt"), domainBob);
    RunRestore(engine, RestoreMode::kFile, {{L"C:\\P\\f.txt", *descriptor, L"Nobody", true}}, {},
               stop);
    EXPECT_EQ(machine.OwnerOf(L"C:\\P\\f.txt"), domainBob);
    // Another name that resolves is the file's word.
    RunRestore(engine, RestoreMode::kFile, {{L"C:\\P\\f.txt", *descriptor, L"SYSTEM", true}}, {},
               stop);
    EXPECT_EQ(machine.OwnerOf(L"C:\\P\\f.txt"), sids::System());
}

}  // namespace
}  // namespace vm
