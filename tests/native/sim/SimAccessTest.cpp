// Access checks and owner rules of the simulated machine, each against the
// Windows rule it follows (MS-DTYP 2.5.3.2 and the privilege documentation).
#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"
#include "security/Sddl.h"

namespace vm::sim {
namespace {

// Bob is a plain local user (Users only); objects are owned by
// Administrators unless a case says otherwise.
class SimAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        bob = machine.AddLocalUser(L"Bob");
    }
    void RunAsBob() { ASSERT_TRUE(machine.SetTokenUser(L"Bob")); }
    void RunAsAlice() { ASSERT_TRUE(machine.SetTokenUser(L"Alice")); }
    bool CanRead(const std::wstring& path) {
        return machine.GetFileSecurity(path, secinfo::kDacl).ok();
    }
    uint32_t WriteNullDacl(const std::wstring& path) {
        return machine.SetFileSecurity(path, secinfo::kDacl, *SddlToBytes(L"D:NO_ACCESS_CONTROL"))
            .error;
    }
    uint32_t SetOwner(const std::wstring& path, const Sid& owner) {
        Bytes sid = owner.ToBytes();
        return machine.SetNamedSecurityInfo(path, secinfo::kOwner, &sid, nullptr).error;
    }
    void Enable(const wchar_t* privilegeName) {
        auto token = machine.OpenProcessToken(kTokenAdjustPrivileges);
        auto luid = machine.LookupPrivilegeValue(privilegeName);
        ASSERT_TRUE(machine.AdjustTokenPrivilege(**token, *luid, true).value());
    }
    std::wstring BobSddl() { return bob.ToString(); }

    SimPlatform machine;
    Sid bob;
};

TEST_F(SimAccessTest, NullDaclGrantsEverythingEmptyDaclNothing) {
    machine.AddFile(L"C:\\null.txt", L"O:BAD:NO_ACCESS_CONTROL");
    machine.AddFile(L"C:\\empty.txt", L"O:BAD:");
    RunAsBob();
    EXPECT_TRUE(CanRead(L"C:\\null.txt"));
    EXPECT_EQ(WriteNullDacl(L"C:\\null.txt"), err::kSuccess);
    EXPECT_FALSE(CanRead(L"C:\\empty.txt"));
    EXPECT_EQ(machine.GetFileSecurity(L"C:\\empty.txt", secinfo::kDacl).error(),
              err::kAccessDenied);
    EXPECT_EQ(WriteNullDacl(L"C:\\empty.txt"), err::kAccessDenied);
}

TEST_F(SimAccessTest, TheOwnerMayAlwaysReadAndChangeTheDaclButNotTheOwner) {
    machine.AddFile(L"C:\\mine.txt", L"O:" + BobSddl() + L"D:");
    RunAsBob();
    EXPECT_TRUE(CanRead(L"C:\\mine.txt"));
    EXPECT_EQ(WriteNullDacl(L"C:\\mine.txt"), err::kSuccess);
    machine.SetSecurity(L"C:\\mine.txt", L"O:" + BobSddl() + L"D:");
    EXPECT_EQ(SetOwner(L"C:\\mine.txt", bob), err::kAccessDenied);  // no WRITE_OWNER
}

TEST_F(SimAccessTest, EntriesAreTakenInOrder) {
    // Allow read permissions, then deny it: the allow came first.
    machine.AddFile(L"C:\\allowFirst.txt", L"O:BAD:(A;;RC;;;WD)(D;;RC;;;WD)");
    machine.AddFile(L"C:\\denyFirst.txt", L"O:BAD:(D;;RC;;;WD)(A;;RC;;;WD)");
    // A deny of other rights does not stop the read.
    machine.AddFile(L"C:\\denyOther.txt", L"O:BAD:(D;;WD;;;WD)(A;;RC;;;WD)");
    RunAsBob();
    EXPECT_TRUE(CanRead(L"C:\\allowFirst.txt"));
    EXPECT_FALSE(CanRead(L"C:\\denyFirst.txt"));
    EXPECT_TRUE(CanRead(L"C:\\denyOther.txt"));
}

TEST_F(SimAccessTest, InheritOnlyEntriesDoNotApplyToTheObject) {
    machine.AddFolder(L"C:\\Box", L"O:BAD:(A;OICIIO;FA;;;WD)");
    RunAsBob();
    EXPECT_FALSE(CanRead(L"C:\\Box"));
    EXPECT_EQ(machine.FindFiles(L"C:\\Box\\*.*").error(), err::kAccessDenied);
}

// MS-DTYP 2.5.3.2 compares the stored masks: Windows never stores an
// effective entry with generic rights (they are mapped when the DACL is
// written), and one set up that way grants nothing through them.
TEST_F(SimAccessTest, StoredGenericRightsGrantNothingWrittenOnesAreMapped) {
    machine.AddFile(L"C:\\ga.txt", L"O:BAD:(A;;GA;;;WD)");
    machine.AddFile(L"C:\\gr.txt", L"O:BAD:(A;;GR;;;WD)");
    RunAsBob();
    EXPECT_FALSE(CanRead(L"C:\\ga.txt"));
    EXPECT_EQ(WriteNullDacl(L"C:\\ga.txt"), err::kAccessDenied);
    RunAsAlice();
    auto descriptor = SddlToBytes(L"D:(A;;GA;;;WD)");
    ASSERT_TRUE(machine.SetFileSecurity(L"C:\\ga.txt", secinfo::kDacl, *descriptor));
    ASSERT_TRUE(
        machine.SetFileSecurity(L"C:\\gr.txt", secinfo::kDacl, *SddlToBytes(L"D:(A;;GR;;;WD)")));
    RunAsBob();
    EXPECT_TRUE(CanRead(L"C:\\ga.txt"));
    EXPECT_EQ(WriteNullDacl(L"C:\\ga.txt"), err::kSuccess);
    EXPECT_TRUE(CanRead(L"C:\\gr.txt"));
    EXPECT_EQ(WriteNullDacl(L"C:\\gr.txt"), err::kAccessDenied);
}

// OWNER RIGHTS (Windows Vista and later): once the DACL holds an effective
// entry for S-1-3-4 the owner's implicit READ_CONTROL and WRITE_DAC are gone
// and those entries decide, for the owner only.
TEST_F(SimAccessTest, OwnerRightsEntriesReplaceTheOwnersImplicitRights) {
    std::wstring owner = L"O:" + bob.ToString();
    machine.AddFile(L"C:\\plain.txt", owner + L"D:");
    machine.AddFile(L"C:\\readOnly.txt", owner + L"D:(A;;FR;;;OW)");
    machine.AddFile(L"C:\\denied.txt", owner + L"D:(D;;RC;;;OW)(A;;FA;;;WD)");
    machine.AddFile(L"C:\\inheritOnly.txt", owner + L"D:(A;OIIO;FR;;;OW)");
    machine.AddFile(L"C:\\notOwner.txt", L"O:BAD:(A;;FA;;;OW)");
    RunAsBob();
    EXPECT_TRUE(CanRead(L"C:\\plain.txt"));
    EXPECT_EQ(WriteNullDacl(L"C:\\plain.txt"), err::kSuccess);
    EXPECT_TRUE(CanRead(L"C:\\readOnly.txt"));
    EXPECT_EQ(WriteNullDacl(L"C:\\readOnly.txt"), err::kAccessDenied);
    EXPECT_FALSE(CanRead(L"C:\\denied.txt"));
    // An inherit-only entry does not apply to the object: the implicit rights stay.
    EXPECT_EQ(WriteNullDacl(L"C:\\inheritOnly.txt"), err::kSuccess);
    EXPECT_FALSE(CanRead(L"C:\\notOwner.txt"));
}

TEST_F(SimAccessTest, AllowsCountForEnabledGroupsDeniesAlsoForDenyOnlyGroups) {
    machine.AddFile(L"C:\\adminsOnly.txt", L"O:SYD:(A;;FA;;;BA)");
    machine.AddFile(L"C:\\adminsDenied.txt", L"O:SYD:(D;;RC;;;BA)(A;;FA;;;WD)");
    // Elevated, Administrators is enabled.
    EXPECT_TRUE(CanRead(L"C:\\adminsOnly.txt"));
    EXPECT_FALSE(CanRead(L"C:\\adminsDenied.txt"));
    // The filtered token keeps Administrators for deny only.
    machine.SetTokenNotElevated();
    EXPECT_FALSE(CanRead(L"C:\\adminsOnly.txt"));
    EXPECT_FALSE(CanRead(L"C:\\adminsDenied.txt"));
}

TEST_F(SimAccessTest, BackupAndRestorePrivilegesApplyOnlyWhenEnabled) {
    machine.AddFolder(L"C:\\Locked", L"O:SYD:");
    machine.AddFile(L"C:\\Locked\\f.txt", L"O:SYD:");
    // Held but off: no effect.
    EXPECT_FALSE(CanRead(L"C:\\Locked"));
    EXPECT_EQ(WriteNullDacl(L"C:\\Locked"), err::kAccessDenied);
    // SeBackupPrivilege: security reads open with backup intent.
    Enable(L"SeBackupPrivilege");
    EXPECT_TRUE(CanRead(L"C:\\Locked"));
    EXPECT_EQ(WriteNullDacl(L"C:\\Locked"), err::kAccessDenied);
    // Listing does not open with backup intent.
    EXPECT_EQ(machine.FindFiles(L"C:\\Locked\\*.*").error(), err::kAccessDenied);
    // SeRestorePrivilege: writes of the DACL and the owner.
    Enable(L"SeRestorePrivilege");
    EXPECT_EQ(WriteNullDacl(L"C:\\Locked\\f.txt"), err::kSuccess);
}

TEST_F(SimAccessTest, TakeOwnershipGrantsWriteOwnerOnly) {
    machine.AddFile(L"C:\\f.txt", L"O:SYD:");
    EXPECT_EQ(SetOwner(L"C:\\f.txt", sids::Administrators()), err::kAccessDenied);
    Enable(L"SeTakeOwnershipPrivilege");
    EXPECT_EQ(WriteNullDacl(L"C:\\f.txt"), err::kAccessDenied);
    EXPECT_EQ(SetOwner(L"C:\\f.txt", sids::Administrators()), err::kSuccess);
    EXPECT_EQ(machine.OwnerOf(L"C:\\f.txt"), sids::Administrators());
    // Now the owner: the DACL may be changed.
    EXPECT_EQ(WriteNullDacl(L"C:\\f.txt"), err::kSuccess);
}

TEST_F(SimAccessTest, WithoutRestorePrivilegeTheNewOwnerMustBeOfTheToken) {
    machine.AddFile(L"C:\\f.txt", L"O:SYD:(A;;FA;;;WD)");
    // Alice (elevated) may make herself or Administrators (SE_GROUP_OWNER)
    // the owner, but not Bob or SYSTEM.
    EXPECT_EQ(SetOwner(L"C:\\f.txt", bob), err::kInvalidOwner);
    EXPECT_EQ(SetOwner(L"C:\\f.txt", sids::System()), err::kInvalidOwner);
    EXPECT_EQ(SetOwner(L"C:\\f.txt", machine.SidOf(L"Alice")), err::kSuccess);
    EXPECT_EQ(SetOwner(L"C:\\f.txt", sids::Administrators()), err::kSuccess);
    // The Users group is in the token but may not own.
    EXPECT_EQ(SetOwner(L"C:\\f.txt", sids::Users()), err::kInvalidOwner);
    // A refused owner write leaves the owner as it was.
    EXPECT_EQ(machine.OwnerOf(L"C:\\f.txt"), sids::Administrators());
}

TEST_F(SimAccessTest, RestorePrivilegeLetsAnySidBeOwner) {
    machine.AddFile(L"C:\\f.txt", L"O:SYD:");
    Sid gone = machine.AddLocalUser(L"Gone");
    machine.DeleteAccount(L"Gone");
    Enable(L"SeRestorePrivilege");
    EXPECT_EQ(SetOwner(L"C:\\f.txt", bob), err::kSuccess);
    EXPECT_EQ(SetOwner(L"C:\\f.txt", sids::TrustedInstaller()), err::kSuccess);
    EXPECT_EQ(SetOwner(L"C:\\f.txt", gone), err::kSuccess);
    EXPECT_EQ(machine.OwnerOf(L"C:\\f.txt"), gone);
}

TEST_F(SimAccessTest, ANotElevatedAdministratorCannotTakeOwnership) {
    machine.AddFile(L"C:\\f.txt", L"O:SYD:(A;;FA;;;WD)");
    machine.SetTokenNotElevated();
    EXPECT_FALSE(machine.PrivilegeHeld(L"SeTakeOwnershipPrivilege"));
    EXPECT_EQ(SetOwner(L"C:\\f.txt", sids::Administrators()), err::kInvalidOwner);
    EXPECT_EQ(SetOwner(L"C:\\f.txt", machine.SidOf(L"Alice")), err::kSuccess);
}

TEST_F(SimAccessTest, InjectedRefusalsBeatPrivilegesAndDacl) {
    machine.AddFolder(L"C:\\Open", L"O:BAD:NO_ACCESS_CONTROL");
    machine.DenyAccess(L"C:\\Open", 0x1);  // FILE_LIST_DIRECTORY
    EXPECT_EQ(machine.FindFiles(L"C:\\Open\\*.*").error(), err::kAccessDenied);
    EXPECT_TRUE(CanRead(L"C:\\Open"));
    machine.DenyAccess(L"C:\\Open", 0x40000);  // WRITE_DAC
    Enable(L"SeRestorePrivilege");
    EXPECT_EQ(WriteNullDacl(L"C:\\Open"), err::kAccessDenied);
    machine.ClearFaults();
    EXPECT_EQ(WriteNullDacl(L"C:\\Open"), err::kSuccess);
}

TEST_F(SimAccessTest, ReadsReturnOnlyTheRequestedParts) {
    machine.AddFile(L"C:\\f.txt", L"O:BAD:PAI(A;;FA;;;WD)");
    auto daclOnly =
        SecurityDescriptor::Parse(*machine.GetFileSecurity(L"C:\\f.txt", secinfo::kDacl));
    ASSERT_TRUE(daclOnly);
    EXPECT_FALSE(daclOnly->owner.has_value());
    EXPECT_TRUE(daclOnly->dacl.present);
    EXPECT_EQ(daclOnly->control & (sd_control::kDaclProtected | sd_control::kDaclAutoInherited),
              sd_control::kDaclProtected | sd_control::kDaclAutoInherited);
    auto ownerOnly =
        SecurityDescriptor::Parse(*machine.GetNamedSecurityInfo(L"C:\\f.txt", secinfo::kOwner));
    ASSERT_TRUE(ownerOnly);
    EXPECT_EQ(ownerOnly->owner, sids::Administrators());
    EXPECT_FALSE(ownerOnly->dacl.present);
    // The system ACL needs SeSecurityPrivilege.
    EXPECT_EQ(machine.GetFileSecurity(L"C:\\f.txt", secinfo::kSacl).error(),
              err::kPrivilegeNotHeld);
}

TEST_F(SimAccessTest, SetFileSecurityRejectsBrokenDescriptors) {
    machine.AddFile(L"C:\\f.txt", L"O:BAD:(A;;FA;;;WD)");
    Bytes garbage{1, 0, 4, 0x80, 0xFF, 0xFF, 0, 0};
    EXPECT_EQ(machine.SetFileSecurity(L"C:\\f.txt", secinfo::kDacl, garbage).error,
              err::kInvalidSecurityDescriptor);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\f.txt"), L"D:(A;;FA;;;WD)");
}

}  // namespace
}  // namespace vm::sim
