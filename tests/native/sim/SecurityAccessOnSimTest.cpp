// The descriptor and account access layer over the simulated machine, with
// the edge cases Windows shows: deleted owners, bare names, NULL versus
// empty DACLs, privileges the token lacks.
#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"
#include "security/Sddl.h"
#include "security/SecurityAccess.h"

namespace vm::sim {
namespace {

class SecurityAccessOnSimTest : public ::testing::Test {
  protected:
    void SetUp() override { machine.AddVolume(L'C', L"NTFS"); }
    std::optional<SecurityDescriptor> ReadDacl(const std::wstring& path) {
        auto block = ReadDaclDescriptor(machine, path);
        if (!block)
            return std::nullopt;
        return SecurityDescriptor::Parse(*block);
    }
    SimPlatform machine;
};

TEST_F(SecurityAccessOnSimTest, ADeletedOwnerHasNoNameWhileItsEntryShowsTheSidString) {
    Sid gone = machine.AddLocalUser(L"Leaver");
    std::wstring sid = gone.ToString();
    machine.AddFile(L"C:\\left.txt", L"O:" + sid + L"D:(A;;FA;;;" + sid + L")(A;;FA;;;BA)");
    EXPECT_EQ(GetOwnerName(machine, L"C:\\left.txt"), L"Leaver");
    machine.DeleteAccount(L"Leaver");
    EXPECT_EQ(GetOwnerName(machine, L"C:\\left.txt"), L"");
    auto dacl = ReadDacl(L"C:\\left.txt");
    ASSERT_TRUE(dacl && dacl->dacl.acl);
    EXPECT_EQ(SidToName(machine, dacl->dacl.acl->aces[0].sid->ToBytes()), sid);
}

TEST_F(SecurityAccessOnSimTest, NamesComeWithoutDomainPrefix) {
    Sid carol = machine.AddDomainUser(L"carol");
    machine.AddFile(L"C:\\c.txt", L"O:" + carol.ToString() + L"D:NO_ACCESS_CONTROL");
    machine.AddFile(L"C:\\ti.txt",
                    L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-"
                    L"2271478464D:NO_ACCESS_CONTROL");
    EXPECT_EQ(GetOwnerName(machine, L"C:\\c.txt"), L"carol");
    EXPECT_EQ(GetOwnerName(machine, L"C:\\ti.txt"), L"TrustedInstaller");
    EXPECT_EQ(SidToName(machine, sids::System().ToBytes()), L"SYSTEM");
    EXPECT_EQ(SidToName(machine, sids::Administrators().ToBytes()), L"Administrators");
    auto account = LookupAccountNameTwoCall(machine, kTrustedInstaller);
    ASSERT_TRUE(account);
    EXPECT_EQ(account->domain, L"NT SERVICE");
    EXPECT_EQ(NameToSid(machine, L"CORP\\carol"), carol.ToBytes());
    EXPECT_FALSE(NameToSid(machine, L"nobody"));
}

TEST_F(SecurityAccessOnSimTest, NullAndEmptyDaclsStayApart) {
    machine.AddFile(L"C:\\null.txt", L"O:BAD:NO_ACCESS_CONTROL");
    machine.AddFile(L"C:\\empty.txt", L"O:BAD:");
    auto nullDacl = ReadDacl(L"C:\\null.txt");
    auto emptyDacl = ReadDacl(L"C:\\empty.txt");
    ASSERT_TRUE(nullDacl && emptyDacl);
    EXPECT_TRUE(nullDacl->dacl.present);
    EXPECT_FALSE(nullDacl->dacl.acl.has_value());
    EXPECT_FALSE(nullDacl->owner.has_value());  // DACL information only
    EXPECT_TRUE(emptyDacl->dacl.present);
    ASSERT_TRUE(emptyDacl->dacl.acl.has_value());
    EXPECT_TRUE(emptyDacl->dacl.acl->aces.empty());
}

TEST_F(SecurityAccessOnSimTest, AnUnreadableObjectGivesNoDescriptorAndNoOwner) {
    machine.AddFile(L"C:\\locked.txt", L"O:SYD:");
    EXPECT_FALSE(ReadDaclDescriptor(machine, L"C:\\locked.txt"));
    EXPECT_EQ(GetOwnerName(machine, L"C:\\locked.txt"), L"");
    EXPECT_FALSE(ReadDaclDescriptor(machine, L"C:\\missing.txt"));
}

TEST_F(SecurityAccessOnSimTest, EnablingAPrivilegeTheTokenLacksStillSucceeds) {
    machine.SetTokenNotElevated();
    auto token = machine.OpenProcessToken(kTokenAdjustPrivileges);
    ASSERT_TRUE(token.ok());
    EXPECT_TRUE(EnablePrivilege(machine, true, kRestorePrivilege, **token));
    EXPECT_FALSE(machine.PrivilegeEnabled(kRestorePrivilege));
    EXPECT_FALSE(EnablePrivilege(machine, true, L"SeNoSuchPrivilege", **token));
}

TEST_F(SecurityAccessOnSimTest, EnablingAHeldPrivilegeSwitchesItForTheWholeProcess) {
    auto token = machine.OpenProcessToken(kTokenAdjustPrivileges);
    EXPECT_TRUE(EnablePrivilege(machine, true, kTakeOwnershipPrivilege, **token));
    EXPECT_TRUE(machine.PrivilegeEnabled(kTakeOwnershipPrivilege));
    EXPECT_TRUE(EnablePrivilege(machine, false, kTakeOwnershipPrivilege, **token));
    EXPECT_FALSE(machine.PrivilegeEnabled(kTakeOwnershipPrivilege));
}

TEST_F(SecurityAccessOnSimTest, OneDescriptorReadIsOnePlatformCall) {
    machine.AddFile(L"C:\\f.txt");
    machine.ResetCounters();
    ASSERT_TRUE(ReadDaclDescriptor(machine, L"C:\\f.txt"));
    EXPECT_EQ(machine.CallCount(Call::kGetFileSecurity), 1u);
    EXPECT_EQ(machine.TotalCalls(), 1u);
}

}  // namespace
}  // namespace vm::sim
