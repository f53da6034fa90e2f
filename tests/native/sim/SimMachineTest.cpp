// The simulated machine's file system, accounts, token and instruments.
#include <gtest/gtest.h>

#include <thread>

#include "platform/sim/SimPlatform.h"
#include "security/Sddl.h"

namespace vm::sim {
namespace {

class SimMachineTest : public ::testing::Test {
  protected:
    void SetUp() override { machine.AddVolume(L'C', L"NTFS"); }
    SimPlatform machine;
};

std::vector<std::wstring> Names(const std::vector<FindData>& entries) {
    std::vector<std::wstring> names;
    for (const auto& e : entries)
        names.push_back(e.name);
    return names;
}

TEST_F(SimMachineTest, NamesAreCaseInsensitiveAndCasePreserving) {
    ASSERT_TRUE(machine.AddFolder(L"C:\\Data\\Reports"));
    EXPECT_TRUE(machine.PathFileExists(L"c:\\DATA\\reports"));
    EXPECT_TRUE(machine.PathFileExists(L"C:/Data/./x/../Reports/"));
    auto listing = machine.FindFiles(L"C:\\DATA\\*.*");
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(Names(*listing), (std::vector<std::wstring>{L".", L"..", L"Reports"}));
}

TEST_F(SimMachineTest, ListingIsSortedWithoutDotsAtTheRoot) {
    machine.AddFile(L"C:\\b.txt");
    machine.AddFolder(L"C:\\A");
    machine.AddFile(L"C:\\c.TXT");
    auto listing = machine.FindFiles(L"C:\\*.*");
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(Names(*listing), (std::vector<std::wstring>{L"A", L"b.txt", L"c.TXT"}));
    auto txt = machine.FindFiles(L"C:\\*.txt");
    ASSERT_TRUE(txt.ok());
    EXPECT_EQ(Names(*txt), (std::vector<std::wstring>{L"b.txt", L"c.TXT"}));
    EXPECT_EQ(machine.FindFiles(L"C:\\*.doc").error(), err::kFileNotFound);
}

TEST_F(SimMachineTest, MissingObjectsGiveWindowsErrors) {
    EXPECT_EQ(machine.GetFileAttributes(L"C:\\nope").error(), err::kFileNotFound);
    EXPECT_EQ(machine.GetFileAttributes(L"C:\\nope\\deeper").error(), err::kPathNotFound);
    EXPECT_EQ(machine.GetFileAttributes(L"Q:\\x").error(), err::kPathNotFound);
    EXPECT_EQ(machine.GetFileSecurity(L"C:\\nope", secinfo::kDacl).error(), err::kFileNotFound);
    EXPECT_EQ(machine.FindFiles(L"C:\\nope\\*.*").error(), err::kPathNotFound);
    EXPECT_EQ(machine.GetFileAttributes(L"relative\\path").error(), err::kInvalidName);
}

TEST_F(SimMachineTest, PathFormsAndPatterns) {
    machine.AddFile(L"C:\\a1.txt");
    machine.AddFile(L"C:\\a22.txt");
    EXPECT_TRUE(machine.PathFileExists(L"c:\\..\\..\\A1.TXT"));  // ".." stops at the root
    EXPECT_FALSE(machine.PathFileExists(L"C:a1.txt"));           // drive-relative
    EXPECT_FALSE(machine.PathFileExists(L"\\\\server\\share"));
    auto one = machine.FindFiles(L"C:\\a?.txt");
    ASSERT_TRUE(one.ok());
    EXPECT_EQ(Names(*one), (std::vector<std::wstring>{L"a1.txt"}));
    EXPECT_EQ(machine.FindFiles(L"C:\\a1.txt\\*.*").error(), err::kDirectory);
    EXPECT_EQ(machine.GetVolumeFileSystemName(L"C:\\Data").error(), err::kInvalidName);
    EXPECT_EQ(machine.GetVolumeFileSystemName(L"Z:\\").error(), err::kPathNotFound);
}

TEST_F(SimMachineTest, ObjectsCanBeReplacedAndRemoved) {
    machine.AddFolder(L"C:\\X");
    machine.AddFile(L"C:\\X\\inner.txt");
    ASSERT_TRUE(machine.AddFile(L"C:\\x"));  // the folder becomes a file
    EXPECT_FALSE(machine.PathIsDirectory(L"C:\\X"));
    EXPECT_FALSE(machine.AddFile(L"C:\\X\\under.txt"));  // a file has no children
    EXPECT_TRUE(machine.Remove(L"C:\\X"));
    EXPECT_FALSE(machine.Remove(L"C:\\X"));
    EXPECT_FALSE(machine.Remove(L"C:\\"));
    EXPECT_FALSE(machine.AddFile(L"C:\\bad.txt", L"O:BAD:(nonsense)"));
    EXPECT_FALSE(machine.Exists(L"C:\\bad.txt"));
}

TEST_F(SimMachineTest, AJunctionLoopDoesNotHang) {
    machine.AddJunction(L"C:\\A", L"C:\\B");
    machine.AddJunction(L"C:\\B", L"C:\\A");
    EXPECT_FALSE(machine.PathFileExists(L"C:\\A\\x"));
    EXPECT_FALSE(machine.FindFiles(L"C:\\A\\*.*").ok());
}

TEST_F(SimMachineTest, AttributesOfFoldersFilesAndJunctions) {
    machine.AddFolder(L"C:\\Target");
    machine.AddFile(L"C:\\Target\\inside.txt");
    ASSERT_TRUE(machine.AddJunction(L"C:\\Link", L"C:\\Target"));
    machine.AddFile(L"C:\\secret.sys");
    machine.SetAttributes(L"C:\\secret.sys", attr::kHidden | attr::kSystem);
    EXPECT_EQ(*machine.GetFileAttributes(L"C:\\Target"), attr::kDirectory);
    EXPECT_EQ(*machine.GetFileAttributes(L"C:\\Link"), attr::kDirectory | attr::kReparsePoint);
    EXPECT_EQ(*machine.GetFileAttributes(L"C:\\secret.sys"), attr::kHidden | attr::kSystem);
    EXPECT_TRUE(machine.PathIsDirectory(L"C:\\Link"));
    // The junction is followed inside a path and when listed.
    EXPECT_TRUE(machine.PathFileExists(L"C:\\Link\\inside.txt"));
    auto listing = machine.FindFiles(L"C:\\Link\\*.*");
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(Names(*listing).back(), L"inside.txt");
}

TEST_F(SimMachineTest, FindDataCarriesTimesAndSize) {
    machine.AddFile(L"C:\\f.bin", L"", 1234);
    machine.SetTimes(L"C:\\f.bin", 111, 222);
    auto listing = machine.FindFiles(L"C:\\f.bin");
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_EQ((*listing)[0].size, 1234u);
    EXPECT_EQ((*listing)[0].creationTime, 111u);
    EXPECT_EQ((*listing)[0].lastWriteTime, 222u);
}

TEST_F(SimMachineTest, VolumesAndSystemFolders) {
    machine.AddVolume(L'E', L"FAT32");
    machine.AddFile(L"E:\\photo.jpg");
    EXPECT_EQ(machine.GetLogicalDriveStrings(), (std::vector<std::wstring>{L"C:\\", L"E:\\"}));
    EXPECT_EQ(*machine.GetVolumeFileSystemName(L"E:\\"), L"FAT32");
    EXPECT_EQ(*machine.GetVolumeFileSystemName(L"C:\\"), L"NTFS");
    // A volume without security refuses reads and writes of security.
    EXPECT_EQ(machine.GetFileSecurity(L"E:\\photo.jpg", secinfo::kDacl).error(),
              err::kNotSupported);
    EXPECT_EQ(machine.GetNamedSecurityInfo(L"E:\\", secinfo::kOwner).error(), err::kNotSupported);
    OptionalAcl nullDacl;
    EXPECT_EQ(
        machine.SetNamedSecurityInfo(L"E:\\photo.jpg", secinfo::kDacl, nullptr, &nullDacl).error,
        err::kNotSupported);
    EXPECT_TRUE(machine.FindFiles(L"E:\\*.*").ok());

    machine.SetWindowsDirectory(L"C:\\Windows");
    EXPECT_EQ(machine.GetWindowsDirectory(), L"C:\\Windows");
    EXPECT_EQ(machine.GetSystemDirectory(), L"C:\\Windows\\System32");
    EXPECT_EQ(*machine.GetSystemWow64Directory(), L"C:\\Windows\\SysWOW64");
    EXPECT_TRUE(machine.PathIsDirectory(L"C:\\Windows\\SysWOW64"));
    machine.Set64Bit(false);
    EXPECT_EQ(machine.GetSystemWow64Directory().error(), err::kCallNotImplemented);
}

TEST_F(SimMachineTest, AccountLookupsGiveBareNameAndDomainApart) {
    machine.AddDomainUser(L"carol");
    auto carol = machine.LookupAccountSid(machine.SidOf(L"carol").ToBytes());
    ASSERT_TRUE(carol.ok());
    EXPECT_EQ(carol->name, L"carol");
    EXPECT_EQ(carol->domain, kDomainName);
    EXPECT_EQ(carol->use, SidNameUse::kUser);

    auto ti = machine.LookupAccountName(L"NT Service\\TrustedInstaller");
    ASSERT_TRUE(ti.ok());
    EXPECT_EQ(Sid::Parse(ti->sid), sids::TrustedInstaller());
    auto tiBack = machine.LookupAccountSid(ti->sid);
    EXPECT_EQ(tiBack->name, L"TrustedInstaller");
    EXPECT_EQ(tiBack->domain, L"NT SERVICE");

    auto admins = machine.LookupAccountName(L"administrators");
    ASSERT_TRUE(admins.ok());
    EXPECT_EQ(admins->domain, L"BUILTIN");
    EXPECT_EQ(admins->use, SidNameUse::kAlias);
    EXPECT_EQ(machine.LookupAccountName(L"Everyone")->use, SidNameUse::kWellKnownGroup);
    EXPECT_EQ(machine.LookupAccountName(L"nobody").error(), err::kNoneMapped);
}

TEST_F(SimMachineTest, ALocalGroupWinsOverADomainGroupOfTheSameName) {
    Sid local = machine.AddLocalGroup(L"Editors");
    Sid domain = machine.AddDomainGroup(L"Editors");
    EXPECT_EQ(Sid::Parse(machine.LookupAccountName(L"Editors")->sid), local);
    EXPECT_EQ(Sid::Parse(machine.LookupAccountName(L"CORP\\Editors")->sid), domain);
    EXPECT_EQ(machine.LookupAccountSid(domain.ToBytes())->name, L"Editors");
}

TEST_F(SimMachineTest, DeletedAccountsNoLongerResolve) {
    Sid bob = machine.AddLocalUser(L"Bob");
    ASSERT_TRUE(machine.DeleteAccount(L"Bob").has_value());
    EXPECT_EQ(machine.LookupAccountSid(bob.ToBytes()).error(), err::kNoneMapped);
    EXPECT_EQ(machine.LookupAccountName(L"Bob").error(), err::kNoneMapped);
    EXPECT_EQ(*machine.ConvertSidToStringSid(bob.ToBytes()), bob.ToString());
}

// NetUserGetLocalGroups looks a bare name up on the local computer only: a
// domain user is found by "DOMAIN\user".
TEST_F(SimMachineTest, LocalGroupsOfAUserIncludeIndirectOnes) {
    machine.AddDomainUser(L"dave");
    machine.AddDomainGroup(L"Engineers");
    machine.AddLocalGroup(L"Builders");
    machine.AddToGroup(L"dave", L"CORP\\Engineers");
    machine.AddToGroup(L"CORP\\Engineers", L"Builders");
    EXPECT_EQ(machine.GetLocalGroupsOfUser(L"dave").error(), kNerrUserNotFound);
    auto groups = machine.GetLocalGroupsOfUser(L"CORP\\dave");
    ASSERT_TRUE(groups.ok());
    EXPECT_EQ(*groups, (std::vector<std::wstring>{L"Users", L"Builders"}));
    EXPECT_EQ(*machine.GetLocalGroupsOfUser(L"Alice"),
              (std::vector<std::wstring>{L"Administrators", L"Users"}));
    EXPECT_EQ(machine.GetLocalGroupsOfUser(L"ghost").error(), kNerrUserNotFound);
}

TEST_F(SimMachineTest, TokenPrivilegesAreSharedAndAdjustable) {
    EXPECT_EQ(*machine.GetUserName(), L"Alice");
    EXPECT_TRUE(machine.PrivilegeHeld(L"SeRestorePrivilege"));
    EXPECT_FALSE(machine.PrivilegeEnabled(L"SeRestorePrivilege"));
    auto luid = machine.LookupPrivilegeValue(L"seRestorePrivilege");
    ASSERT_TRUE(luid.ok());
    EXPECT_EQ(luid->low, 18u);
    {
        auto token = machine.OpenProcessToken(kTokenAdjustPrivileges);
        ASSERT_TRUE(token.ok());
        EXPECT_EQ(machine.OpenTokenHandles(), 1);
        EXPECT_TRUE(*machine.AdjustTokenPrivilege(**token, *luid, true));
    }
    EXPECT_EQ(machine.OpenTokenHandles(), 0);
    EXPECT_TRUE(machine.PrivilegeEnabled(L"SeRestorePrivilege"));
    EXPECT_EQ(machine.LookupPrivilegeValue(L"SeFlyingPrivilege").error(), err::kNoSuchPrivilege);

    // A handle opened without TOKEN_ADJUST_PRIVILEGES may not adjust.
    auto queryOnly = machine.OpenProcessToken(kTokenQuery);
    EXPECT_EQ(machine.AdjustTokenPrivilege(**queryOnly, *luid, false).error(), err::kAccessDenied);
    // A handle of another machine is not a handle here.
    SimPlatform other;
    auto foreign = other.OpenProcessToken(kTokenAdjustPrivileges);
    EXPECT_EQ(machine.AdjustTokenPrivilege(**foreign, *luid, false).error(), err::kInvalidHandle);
}

TEST_F(SimMachineTest, APrivilegeTheTokenLacksIsNotAssignedButTheCallSucceeds) {
    machine.SetTokenNotElevated();
    auto token = machine.OpenProcessToken(kTokenAdjustPrivileges);
    auto luid = machine.LookupPrivilegeValue(L"SeTakeOwnershipPrivilege");
    auto adjusted = machine.AdjustTokenPrivilege(**token, *luid, true);
    ASSERT_TRUE(adjusted.ok());
    EXPECT_FALSE(*adjusted);
    EXPECT_FALSE(machine.PrivilegeEnabled(L"SeTakeOwnershipPrivilege"));
}

TEST_F(SimMachineTest, CallsAreCountedPerKind) {
    machine.AddFile(L"C:\\a.txt");
    machine.ResetCounters();
    machine.PathFileExists(L"C:\\a.txt");
    machine.GetFileSecurity(L"C:\\a.txt", secinfo::kDacl);
    machine.GetFileSecurity(L"C:\\a.txt", secinfo::kDacl);
    machine.LookupAccountName(L"Everyone");
    EXPECT_EQ(machine.CallCount(Call::kGetFileSecurity), 2u);
    EXPECT_EQ(machine.CallCount(Call::kPathFileExists), 1u);
    EXPECT_EQ(machine.TotalCalls(), 4u);
    machine.ResetCounters();
    EXPECT_EQ(machine.TotalCalls(), 0u);
    EXPECT_STREQ(CallName(Call::kFindFiles), "FindFirstFileW");
}

TEST_F(SimMachineTest, TheNthCallOfAKindFails) {
    machine.AddFile(L"C:\\a.txt");
    machine.GetFileSecurity(L"C:\\a.txt", secinfo::kDacl);  // before the fault is set
    machine.FailNthCall(Call::kGetFileSecurity, 2, err::kNotEnoughMemory);
    EXPECT_TRUE(machine.GetFileSecurity(L"C:\\a.txt", secinfo::kDacl).ok());
    EXPECT_EQ(machine.GetFileSecurity(L"C:\\a.txt", secinfo::kDacl).error(), err::kNotEnoughMemory);
    EXPECT_TRUE(machine.GetFileSecurity(L"C:\\a.txt", secinfo::kDacl).ok());
    // A failed call is still counted and changes nothing.
    EXPECT_EQ(machine.CallCount(Call::kGetFileSecurity), 4u);
    machine.FailNthCall(Call::kSetFileSecurity, 1, err::kAccessDenied);
    auto nullDacl = SddlToBytes(L"D:NO_ACCESS_CONTROL");
    EXPECT_EQ(machine.SetFileSecurity(L"C:\\a.txt", secinfo::kDacl, *nullDacl).error,
              err::kAccessDenied);
    EXPECT_FALSE(machine.DaclOf(L"C:\\a.txt").IsNull());
}

TEST_F(SimMachineTest, EveryCallOfAKindFailsUntilFaultsAreCleared) {
    machine.FailEveryCall(Call::kLookupAccountName, err::kNotEnoughMemory);
    EXPECT_FALSE(machine.LookupAccountName(L"Everyone").ok());
    EXPECT_FALSE(machine.LookupAccountName(L"SYSTEM").ok());
    machine.ClearFaults();
    EXPECT_TRUE(machine.LookupAccountName(L"SYSTEM").ok());
}

TEST_F(SimMachineTest, AHookRunsBeforeEachCallAndMayChangeTheMachine) {
    machine.AddFile(L"C:\\vanishing.txt");
    machine.SetCallHook([&](Call call, const std::wstring& path) {
        if (call == Call::kGetFileSecurity)
            machine.Remove(path);
    });
    EXPECT_TRUE(machine.PathFileExists(L"C:\\vanishing.txt"));
    EXPECT_EQ(machine.GetFileSecurity(L"C:\\vanishing.txt", secinfo::kDacl).error(),
              err::kFileNotFound);
}

TEST_F(SimMachineTest, TwoMachinesShareNothing) {
    SimPlatform other;
    other.AddVolume(L'D', L"NTFS");
    machine.AddLocalUser(L"OnlyHere");
    EXPECT_FALSE(other.PathFileExists(L"C:\\"));
    EXPECT_FALSE(machine.PathFileExists(L"D:\\"));
    EXPECT_EQ(other.LookupAccountName(L"OnlyHere").error(), err::kNoneMapped);
    machine.GetUserName();
    EXPECT_EQ(other.TotalCalls(), 2u);  // the two PathFileExists above
}

TEST_F(SimMachineTest, ConcurrentCallsAreSafe) {
    for (int i = 0; i < 20; ++i)
        machine.AddFile(L"C:\\Data\\f" + std::to_wstring(i) + L".txt");
    auto luid = machine.LookupPrivilegeValue(L"SeRestorePrivilege");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            auto token = machine.OpenProcessToken(kTokenAdjustPrivileges);
            for (int i = 0; i < 200; ++i) {
                machine.AdjustTokenPrivilege(**token, *luid, (i + t) % 2 == 0);
                OptionalAcl empty = Acl().ToBytes();
                machine.SetNamedSecurityInfo(L"C:\\Data", secinfo::kDacl, nullptr, &empty);
                machine.FindFiles(L"C:\\Data\\*.*");
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(machine.CallCount(Call::kFindFiles), 800u);
    EXPECT_EQ(machine.OpenTokenHandles(), 0);
}

}  // namespace
}  // namespace vm::sim
