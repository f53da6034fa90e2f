// DACL edits on the simulated machine, before and after in SDDL. Alice runs
// elevated; "Bob" is a second local user.
#include "EngineFixture.h"
#include "security/DaclEdits.h"

namespace vm {
namespace {

using sim::Call;

class DaclEdits : public EngineTest {
  protected:
    DaclEdits() {
        bob = machine.AddLocalUser(L"Bob").ToString();
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
    }
    Status Add(const std::wstring& path, const std::wstring& trustee, uint32_t mask, uint8_t type,
               uint8_t flags = 0) {
        return AddAccessEntry(engine, path, trustee, mask, type, flags);
    }
    std::wstring bob;
};

TEST_F(DaclEdits, AddOnNullDaclGivesExactlyTheNewEntryProtected) {
    machine.AddFile(L"C:\\Data\\a.txt", L"O:BAD:NO_ACCESS_CONTROL");
    ASSERT_TRUE(Add(L"C:\\Data\\a.txt", L"Bob", 0x1200A9, ace_type::kAccessAllowed, 0));
    EXPECT_EQ(Dacl(L"C:\\Data\\a.txt"), L"D:PARAI(A;;0x1200a9;;;" + bob + L")");
    EXPECT_TRUE(reporter.texts().empty());
}

TEST_F(DaclEdits, AddKeepsEveryOldEntryAndSortsCanonically) {
    // [allow A, deny B, inherited allow C] + deny D -> [D, B, A, C]
    machine.AddFile(L"C:\\Data\\b.txt", L"O:BAD:AI(A;;FA;;;SY)(D;;FW;;;BU)(A;ID;FR;;;WD)");
    ASSERT_TRUE(Add(L"C:\\Data\\b.txt", L"Bob", 0x2, ace_type::kAccessDenied));
    EXPECT_EQ(Dacl(L"C:\\Data\\b.txt"),
              L"D:PARAI(D;;0x2;;;" + bob + L")(D;;FW;;;BU)(A;;FA;;;SY)(A;ID;FR;;;WD)");
    // A second allow entry of a trustee that has one: both stay, the new first.
    machine.AddFile(L"C:\\Data\\c.txt", L"O:BAD:(A;;FR;;;" + bob + L")(A;;FA;;;SY)");
    ASSERT_TRUE(Add(L"C:\\Data\\c.txt", L"Bob", 0x10000000, ace_type::kAccessAllowed, 0x3));
    EXPECT_EQ(Dacl(L"C:\\Data\\c.txt"),
              L"D:PARAI(A;OICI;FA;;;" + bob + L")(A;;FA;;;SY)(A;;FR;;;" + bob + L")");
}

TEST_F(DaclEdits, AddOfAnotherTypeOnlySortsAndProtects) {
    machine.AddFile(L"C:\\Data\\d.txt", L"O:BAD:(A;;FA;;;SY)(D;;FW;;;BU)");
    ASSERT_TRUE(Add(L"C:\\Data\\d.txt", L"Bob", 0x1, ace_type::kSystemAudit));
    EXPECT_EQ(Dacl(L"C:\\Data\\d.txt"), L"D:PARAI(D;;FW;;;BU)(A;;FA;;;SY)");
}

TEST_F(DaclEdits, FailedAddChangesNothing) {
    machine.AddFile(L"C:\\Data\\e.txt", L"O:BAD:(A;;FA;;;SY)");
    std::wstring before = Sddl(L"C:\\Data\\e.txt");
    EXPECT_FALSE(Add(L"C:\\Data\\e.txt", L"NoSuchAccount", 0x1, ace_type::kAccessAllowed));
    EXPECT_FALSE(Add(L"C:\\Data\\missing.txt", L"Bob", 0x1, ace_type::kAccessAllowed));
    machine.FailNthCall(Call::kSetFileSecurity, 1, err::kAccessDenied);
    EXPECT_FALSE(Add(L"C:\\Data\\e.txt", L"Bob", 0x1, ace_type::kAccessAllowed));
    EXPECT_EQ(Sddl(L"C:\\Data\\e.txt"), before);
    EXPECT_TRUE(reporter.texts().empty());
}

TEST_F(DaclEdits, NullAndEmptyDaclsTakeOwnership) {
    machine.AddFile(L"C:\\Data\\n.txt", L"O:" + bob + L"D:P(A;;FA;;;" + bob + L")(A;;FA;;;BA)");
    SetNullOrEmptyDacl(engine, L"C:\\Data\\n.txt", true);
    EXPECT_EQ(Sddl(L"C:\\Data\\n.txt"), L"O:BAD:NO_ACCESS_CONTROL");
    EXPECT_EQ(LevelOf(L"C:\\Data\\n.txt"), AccessLevel::kAllowed);
    SetNullOrEmptyDacl(engine, L"C:\\Data\\n.txt", false);
    EXPECT_EQ(Sddl(L"C:\\Data\\n.txt"), L"O:BAD:");
    EXPECT_EQ(LevelOf(L"C:\\Data\\n.txt"), AccessLevel::kDenied);
}

TEST_F(DaclEdits, ResetToInheritedKeepsOnlyWhatTheParentPassesOn) {
    machine.AddFile(L"C:\\Data\\r.txt", L"O:BAD:P(A;;FA;;;" + bob + L")(D;;FW;;;WD)");
    ASSERT_TRUE(ResetToInherited(engine, L"C:\\Data\\r.txt"));
    EXPECT_EQ(Sddl(L"C:\\Data\\r.txt"), L"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
}

TEST_F(DaclEdits, ResetToInheritedReachesAnObjectTheProcessMayNotRead) {
    // Owned by Bob and closed to everybody else; SeRestorePrivilege (left on
    // by an earlier owner change) still lets the process write it.
    machine.AddFile(L"C:\\Data\\x.txt", L"O:" + bob + L"D:P(A;;FA;;;" + bob + L")");
    machine.SetTokenPrivilege(L"SeRestorePrivilege", true, true);
    ASSERT_TRUE(ResetToInherited(engine, L"C:\\Data\\x.txt"));
    EXPECT_EQ(Dacl(L"C:\\Data\\x.txt"), L"D:AI(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
}

TEST_F(DaclEdits, FailedResetKeepsTheDacl) {
    machine.AddFile(L"C:\\Data\\f.txt", L"O:BAD:P(A;;FA;;;" + bob + L")");
    std::wstring before = Sddl(L"C:\\Data\\f.txt");
    for (uint32_t error : {err::kAccessDenied, err::kNotEnoughMemory}) {
        machine.FailNthCall(Call::kSetNamedSecurityInfo, 1, error);
        EXPECT_EQ(ResetToInherited(engine, L"C:\\Data\\f.txt").error, error);
        EXPECT_EQ(Sddl(L"C:\\Data\\f.txt"), before);
        machine.ClearFaults();
    }
}

TEST_F(DaclEdits, FailedResetOfAnUnreadableObjectEndsClosedNotOpen) {
    // The DACL may be written but neither it nor the owner read: the reset
    // must pass through a NULL DACL, and cannot finish without the owner.
    machine.AddFile(L"C:\\Data\\y.txt", L"O:" + bob + L"D:P(A;;FA;;;" + bob + L")(A;;FA;;;BA)");
    machine.DenyAccess(L"C:\\Data\\y.txt", 0x20000);  // READ_CONTROL
    EXPECT_FALSE(ResetToInherited(engine, L"C:\\Data\\y.txt"));
    machine.ClearFaults();
    EXPECT_EQ(Dacl(L"C:\\Data\\y.txt"), L"D:");
}

// The reset writes a list without entries: no owner name, no list built per
// owner, so an object owned by a deleted account is reset like any other.
TEST_F(DaclEdits, ResetsLookUpNoNamesAndReachObjectsOfDeletedOwners) {
    machine.AddFile(L"C:\\Data\\1", L"O:" + bob + L"D:P(A;;FA;;;" + bob + L")(A;;FA;;;BA)");
    Sid gone = machine.AddLocalUser(L"Gone");
    machine.AddFile(L"C:\\Data\\4", L"O:" + gone.ToString() + L"D:P(A;;FA;;;BA)");
    machine.DeleteAccount(L"Gone");
    machine.ResetCounters();
    for (const wchar_t* name : {L"C:\\Data\\1", L"C:\\Data\\4"})
        ASSERT_TRUE(ResetToInherited(engine, name));
    EXPECT_EQ(Sddl(L"C:\\Data\\1"), L"O:" + bob + L"D:AI(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
    EXPECT_EQ(Sddl(L"C:\\Data\\4"), L"O:" + gone.ToString() + L"D:AI(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
    EXPECT_EQ(Calls(Call::kLookupAccountSid) + Calls(Call::kLookupAccountName), 0u);
    EXPECT_EQ(Calls(Call::kSetEntriesInAcl), 0u);
    EXPECT_EQ(machine.TotalCalls(), 2u);
}

TEST_F(DaclEdits, CopyAndPasteCarryDaclBitsAndOwner) {
    machine.AddFile(L"C:\\Data\\src.txt",
                    L"O:" + bob + L"D:PAI(A;;FA;;;" + bob + L")(A;ID;FR;;;BU)");
    machine.AddFile(L"C:\\Data\\t1.txt", L"O:SYD:(A;;FA;;;SY)");
    machine.AddFile(L"C:\\Data\\t2.txt", L"O:BAD:NO_ACCESS_CONTROL");
    CopyBuffer buffer;
    EXPECT_GT(CopySecuritySettings(engine, buffer, L"C:\\Data\\src.txt"), 0u);
    EXPECT_EQ(buffer.CopiedOwnerName, L"Bob");
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\src.txt"), L"Bob");
    for (const wchar_t* target : {L"C:\\Data\\t1.txt", L"C:\\Data\\t2.txt"}) {
        EXPECT_TRUE(PasteSecuritySettings(engine, buffer, target));
        EXPECT_EQ(Sddl(target), Sddl(L"C:\\Data\\src.txt"));
    }
}

TEST_F(DaclEdits, CopyOfVanishedOrUnreadablePath) {
    // Readable by the Users group, so its owner's name can be read.
    machine.AddFile(L"C:\\Data\\src.txt", L"O:" + bob + L"D:(A;;FA;;;" + bob + L")(A;;FR;;;BU)");
    CopyBuffer buffer;
    ASSERT_GT(CopySecuritySettings(engine, buffer, L"C:\\Data\\src.txt"), 0u);
    CopyBuffer held = buffer;
    EXPECT_EQ(CopySecuritySettings(engine, buffer, L"C:\\Data\\gone.txt"), 0u);
    EXPECT_EQ(buffer.CopiedDescriptor, held.CopiedDescriptor);
    // The read fails after ownership was taken: the source gets Bob back and
    // the buffer holds the owner name and no descriptor.
    machine.FailNthCall(Call::kGetFileSecurity, 1, err::kAccessDenied);
    EXPECT_EQ(CopySecuritySettings(engine, buffer, L"C:\\Data\\src.txt"), 0u);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\src.txt"), L"Bob");
    EXPECT_FALSE(buffer.CopiedDescriptor);
    EXPECT_EQ(buffer.CopiedOwnerName, L"Bob");
}

TEST_F(DaclEdits, PasteOfAnUnusableCopyChangesNothing) {
    machine.AddFile(L"C:\\Data\\t.txt", L"O:SYD:(A;;FA;;;SY)");
    std::wstring before = Sddl(L"C:\\Data\\t.txt");
    CopyBuffer zeroFilled{Bytes(64, 0), L"Bob"};
    CopyBuffer noDacl{DaclOnlyDescriptor(AclSlot::Absent()).ToSelfRelative(), L"Bob"};
    CopyBuffer empty;
    for (const CopyBuffer* buffer : {&zeroFilled, &noDacl, &empty}) {
        machine.ResetCounters();
        EXPECT_FALSE(PasteSecuritySettings(engine, *buffer, L"C:\\Data\\t.txt"));
        EXPECT_EQ(machine.TotalCalls(), 0u);
    }
    EXPECT_EQ(Sddl(L"C:\\Data\\t.txt"), before);
}

TEST_F(DaclEdits, RefusedPasteLeavesTargetAsItWas) {
    machine.AddFile(L"C:\\Data\\src.txt", L"O:" + bob + L"D:(A;;FA;;;" + bob + L")");
    machine.AddFile(L"C:\\Data\\t.txt", L"O:SYD:(A;;FA;;;SY)");
    CopyBuffer buffer;
    ASSERT_GT(CopySecuritySettings(engine, buffer, L"C:\\Data\\src.txt"), 0u);
    std::wstring before = Sddl(L"C:\\Data\\t.txt");
    machine.FailNthCall(Call::kSetFileSecurity, 1, err::kAccessDenied);
    EXPECT_FALSE(PasteSecuritySettings(engine, buffer, L"C:\\Data\\t.txt"));
    EXPECT_EQ(Sddl(L"C:\\Data\\t.txt"), before);
}

TEST_F(DaclEdits, SnapshotPutsBackTheDaclWithItsBits) {
    machine.AddFile(L"C:\\Data\\s.txt", L"O:BAD:PAI(A;;FA;;;SY)(A;ID;FR;;;BU)");
    std::wstring before = Sddl(L"C:\\Data\\s.txt");
    auto snapshot = DaclSnapshot::Capture(machine, L"C:\\Data\\s.txt");
    ASSERT_TRUE(snapshot);
    SetNullOrEmptyDacl(engine, L"C:\\Data\\s.txt", true);
    ASSERT_TRUE(snapshot->Restore(machine).ok());
    EXPECT_EQ(Sddl(L"C:\\Data\\s.txt"), before);
    EXPECT_FALSE(DaclSnapshot::Capture(machine, L"C:\\Data\\none.txt"));
}

}  // namespace
}  // namespace vm
