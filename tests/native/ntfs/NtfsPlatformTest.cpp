#include <gtest/gtest.h>

#include <filesystem>

#include "native/ntfs/StoreFixture.h"
#include "platform/ntfs/NtfsPlatform.h"
#include "security/SecurityAccess.h"

namespace vm::ntfs {
namespace {

using testing::StandInVolume;

class NtfsPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        volume.Folder("Data");
        volume.File("Data/a.txt");
        volume.File("Data/b.log");
        ASSERT_TRUE(platform.store().AddVolume(L'C', volume.root(), testing::StandInNames()).ok());
    }

    std::wstring Sddl(const Bytes& bytes) {
        auto parsed = SecurityDescriptor::Parse(bytes);
        return parsed ? DescriptorToSddl(*parsed) : L"(unreadable)";
    }

    std::vector<std::wstring> Names(const std::wstring& pattern) {
        std::vector<std::wstring> names;
        auto found = platform.FindFiles(pattern);
        if (found.ok())
            for (const auto& entry : *found)
                names.push_back(entry.name);
        return names;
    }

    StandInVolume volume;
    NtfsPlatform platform;
};

TEST_F(NtfsPlatformTest, ReadsGiveOnlyTheAskedPartsWithTheirControlBits) {
    volume.Put("Data/a.txt", L"O:BAG:SYD:PAI(A;;FA;;;WD)S:(AU;SA;FA;;;WD)");
    EXPECT_EQ(Sddl(*platform.GetFileSecurity(L"C:\\data\\A.TXT", secinfo::kDacl)),
              L"D:PAI(A;;FA;;;WD)");
    EXPECT_EQ(Sddl(*platform.GetNamedSecurityInfo(L"C:\\Data\\a.txt", secinfo::kOwner)), L"O:BA");
    EXPECT_EQ(Sddl(*platform.GetFileSecurity(L"C:\\Data\\a.txt",
                                             secinfo::kOwner | secinfo::kGroup | secinfo::kSacl)),
              L"O:BAG:SYS:(AU;SA;FA;;;WD)");
    EXPECT_EQ(platform.GetFileSecurity(L"C:\\Data\\none.txt", secinfo::kDacl).error(),
              err::kFileNotFound);
}

TEST_F(NtfsPlatformTest, NullAndEmptyDaclsStayApartThroughTheEngineReader) {
    volume.Put("Data/a.txt", L"O:BAG:SYD:NO_ACCESS_CONTROL");
    volume.Put("Data/b.log", L"O:BAG:SYD:");
    auto null = SecurityDescriptor::Parse(*ReadDaclDescriptor(platform, L"C:\\Data\\a.txt"));
    auto empty = SecurityDescriptor::Parse(*ReadDaclDescriptor(platform, L"C:\\Data\\b.log"));
    EXPECT_TRUE(null->HasNullDacl());
    ASSERT_TRUE(empty->dacl.acl);
    EXPECT_TRUE(empty->dacl.acl->aces.empty());
    EXPECT_FALSE(null->owner);
}

// The simulated machine's rule for what SetFileSecurityW stores.
TEST_F(NtfsPlatformTest, SetFileSecurityMapsGenericRightsOfEffectiveEntriesOnly) {
    auto dacl = SddlToBytes(L"D:P(A;OICI;GA;;;BU)(A;OICIIO;GA;;;CO)");
    ASSERT_TRUE(platform.SetFileSecurity(L"C:\\Data", secinfo::kDacl, *dacl).ok());
    EXPECT_EQ(volume.Sddl("Data"), L"O:BAG:SYD:P(A;OICI;FA;;;BU)(A;OICIIO;GA;;;CO)");
    EXPECT_EQ(platform.SetFileSecurity(L"C:\\Data\\a.txt", secinfo::kDacl, Bytes{1, 2, 3}).error,
              err::kInvalidSecurityDescriptor);
}

TEST_F(NtfsPlatformTest, OwnerWritesKeepTheRestOfTheDescriptor) {
    Bytes system = sids::System().ToBytes();
    ASSERT_TRUE(platform.SetNamedSecurityInfo(L"C:\\Data", secinfo::kOwner, &system, nullptr).ok());
    EXPECT_EQ(volume.Sddl("Data"), L"O:SYG:SYD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)");
    Bytes badSid{1, 9};
    EXPECT_EQ(platform.SetNamedSecurityInfo(L"C:\\Data", secinfo::kOwner, &badSid, nullptr).error,
              err::kInvalidSid);
}

// The shared rules of the named-object write: the object gets its explicit
// entries and what its parent passes on, and everything below that is not
// protected is rebuilt from its new parent, each object in one write.
TEST_F(NtfsPlatformTest, UnprotectedDaclWritesRebuildInheritanceAndPropagate) {
    volume.Put("", L"O:BAG:SYD:PAI(A;;FA;;;BA)");  // the root passes nothing on
    volume.Folder("Data/Sub", L"O:BAG:SYD:AI(A;ID;FA;;;BA)");
    volume.File("Data/Sub/c.txt", L"O:SYG:SYD:AI(A;;FR;;;BU)(A;ID;FA;;;BA)");
    volume.Folder("Data/Shut", L"O:BAG:SYD:PAI(A;;FA;;;BA)");
    volume.File("Data/Shut/d.txt", L"O:BAG:SYD:AI(A;ID;FA;;;BA)");
    OptionalAcl acl = SddlToAcl(L"(A;OICI;GR;;;WD)(A;OICI;FA;;;SY)")->ToBytes();
    // Written in another letter case than stored: the walk still finds every
    // child by its stored name.
    ASSERT_TRUE(platform.SetNamedSecurityInfo(L"c:\\DATA", secinfo::kDacl, nullptr, &acl).ok());
    EXPECT_EQ(volume.Sddl("Data"), L"O:BAG:SYD:AI(A;OICI;FR;;;WD)(A;OICI;FA;;;SY)");
    EXPECT_EQ(volume.Sddl("Data/a.txt"), L"O:BAG:SYD:AI(A;ID;FR;;;WD)(A;ID;FA;;;SY)");
    EXPECT_EQ(volume.Sddl("Data/Sub"), L"O:BAG:SYD:AI(A;OICIID;FR;;;WD)(A;OICIID;FA;;;SY)");
    EXPECT_EQ(volume.Sddl("Data/Sub/c.txt"),
              L"O:SYG:SYD:AI(A;;FR;;;BU)(A;ID;FR;;;WD)(A;ID;FA;;;SY)");
    // A protected folder shields itself and everything below it.
    EXPECT_EQ(volume.Sddl("Data/Shut"), L"O:BAG:SYD:PAI(A;;FA;;;BA)");
    EXPECT_EQ(volume.Sddl("Data/Shut/d.txt"), L"O:BAG:SYD:AI(A;ID;FA;;;BA)");
}

TEST_F(NtfsPlatformTest, ProtectedDaclWithOwnerIsOneWriteAndInheritsNothing) {
    Bytes everyone = sids::Everyone().ToBytes();
    OptionalAcl acl = SddlToAcl(L"(A;;FA;;;BU)")->ToBytes();
    ASSERT_TRUE(platform
                    .SetNamedSecurityInfo(
                        L"C:\\Data\\a.txt",
                        secinfo::kOwner | secinfo::kDacl | secinfo::kProtectedDacl, &everyone, &acl)
                    .ok());
    EXPECT_EQ(volume.Sddl("Data/a.txt"), L"O:WDG:SYD:PAI(A;;FA;;;BU)");
    // A NULL DACL written unprotected inherits nothing it could keep.
    OptionalAcl null;
    ASSERT_TRUE(
        platform.SetNamedSecurityInfo(L"C:\\Data\\b.log", secinfo::kDacl, nullptr, &null).ok());
    EXPECT_EQ(volume.Sddl("Data/b.log"), L"O:BAG:SYD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)");
}

TEST_F(NtfsPlatformTest, RefusedNamedWritesTouchNothing) {
    std::wstring before = volume.Sddl("Data");
    OptionalAcl bad = Bytes{2, 0, 9};
    EXPECT_EQ(platform.SetNamedSecurityInfo(L"C:\\Data", secinfo::kDacl, nullptr, &bad).error,
              err::kInvalidAcl);
    OptionalAcl acl = SddlToAcl(L"(A;;FA;;;WD)")->ToBytes();
    EXPECT_EQ(platform.SetNamedSecurityInfo(L"C:\\Gone", secinfo::kDacl, nullptr, &acl).error,
              err::kFileNotFound);
    EXPECT_EQ(platform.SetNamedSecurityInfo(L"C:\\Data", secinfo::kGroup, nullptr, nullptr).error,
              err::kInvalidParameter);
    EXPECT_EQ(volume.Sddl("Data"), before);
}

// The tree call resets protected objects below too, each written once, and
// tells of every object, the top first.
TEST_F(NtfsPlatformTest, TreeResetsReachProtectedObjectsAndTellOfEach) {
    volume.Put("", L"O:BAG:SYD:PAI(A;;FA;;;BA)");
    volume.Folder("Data/Shut", L"O:BAG:SYD:PAI(A;;FA;;;WD)");
    volume.File("Data/Shut/d.txt", L"O:SYG:SYD:PAI(A;;FR;;;BU)");
    std::vector<std::wstring> told;
    OptionalAcl acl = SddlToAcl(L"(A;OICI;FA;;;SY)")->ToBytes();
    ASSERT_TRUE(platform
                    .TreeResetNamedSecurityInfo(L"c:\\data", secinfo::kDacl, acl,
                                                [&](const std::wstring& path, uint32_t error) {
                                                    told.push_back(path);
                                                    return error == 0;
                                                })
                    .ok());
    EXPECT_EQ(volume.Sddl("Data"), L"O:BAG:SYD:AI(A;OICI;FA;;;SY)");
    EXPECT_EQ(volume.Sddl("Data/Shut"), L"O:BAG:SYD:AI(A;OICIID;FA;;;SY)");
    EXPECT_EQ(volume.Sddl("Data/Shut/d.txt"), L"O:SYG:SYD:AI(A;ID;FA;;;SY)");
    ASSERT_EQ(told.size(), 5u);
    EXPECT_EQ(told.front(), L"C:\\Data");
    EXPECT_EQ(platform.TreeResetNamedSecurityInfo(L"C:\\Data", secinfo::kOwner, acl, {}).error,
              err::kInvalidParameter);
}

TEST_F(NtfsPlatformTest, InheritanceSourcesNameTheAncestorAsStored) {
    volume.Folder("Data/Sub", L"O:BAG:SYD:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)");
    auto acl = SddlToAcl(L"(A;;FR;;;WD)(A;OICIID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;FA;;;BU)")->ToBytes();
    auto sources = platform.GetInheritanceSource(L"c:\\data\\sub\\x.txt", false, acl);
    ASSERT_TRUE(sources.ok());
    ASSERT_EQ(sources->size(), 4u);
    EXPECT_EQ((*sources)[0].generationGap, 0);
    EXPECT_EQ((*sources)[1].generationGap, 2);
    EXPECT_EQ((*sources)[1].ancestorName, L"C:\\Data");
    EXPECT_EQ((*sources)[2].generationGap, 2);
    EXPECT_EQ((*sources)[3].generationGap, -1);  // no ancestor holds it
    EXPECT_EQ(platform.GetInheritanceSource(L"C:\\Data", true, Bytes{1}).error(), err::kInvalidAcl);
}

TEST_F(NtfsPlatformTest, SetEntriesInAclResolvesNamesOnTheVolume) {
    auto acl = platform.SetEntriesInAcl({{L"Everyone", 0x1200A9, access_mode::kSet, 3}},
                                        SddlToAcl(L"(A;;FA;;;WD)(A;ID;FA;;;SY)")->ToBytes());
    ASSERT_TRUE(acl.ok());
    EXPECT_EQ(AclToSddl(*Acl::Parse(*acl)), L"(A;OICI;0x1200a9;;;WD)(A;ID;FA;;;SY)");
    EXPECT_EQ(
        platform.SetEntriesInAcl({{L"Nobody", 1, access_mode::kGrant, 0}}, std::nullopt).error(),
        err::kNoneMapped);
}

TEST_F(NtfsPlatformTest, TheEvaluatedAccountIsChosenOrAnAdministrator) {
    // Without a SAM hive the Administrators group stands for its members.
    EXPECT_EQ(*platform.GetUserName(), L"Administrators");
    EXPECT_EQ(platform.GetLocalGroupsOfUser(L"Administrators").error(), 2221u);
    EXPECT_EQ(platform.EvaluateAs(L"Nobody").error, err::kNoneMapped);
    EXPECT_EQ(*platform.GetUserName(), L"Administrators");
    ASSERT_TRUE(platform.EvaluateAs(L"Everyone").ok());
    EXPECT_EQ(*platform.GetUserName(), L"Everyone");
}

// A run that keeps its reads reads each object once and writes onto what it
// read; changes made meanwhile by others go unseen until the run ends.
TEST_F(NtfsPlatformTest, KeptReadsServeRepeatsAndWritesGoOntoThem) {
    platform.KeepReads(true);
    std::wstring first = Sddl(*platform.GetFileSecurity(L"C:\\Data\\a.txt", secinfo::kDacl));
    volume.Put("Data/a.txt", L"O:BAG:SYD:(A;;FA;;;WD)");  // behind the platform's back
    EXPECT_EQ(Sddl(*platform.GetFileSecurity(L"c:\\DATA\\A.txt", secinfo::kDacl)), first);
    Bytes system = sids::System().ToBytes();
    ASSERT_TRUE(
        platform.SetNamedSecurityInfo(L"C:\\Data\\a.txt", secinfo::kOwner, &system, nullptr).ok());
    ASSERT_TRUE(platform.GetFileSecurity(L"C:\\Data", secinfo::kOwner).ok());
    EXPECT_EQ(volume.Sddl("Data/a.txt"), L"O:SYG:SYD:AI(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)");
    // A DACL written by name reaches the objects below: nothing kept stays.
    volume.Put("Data/b.log", L"O:BAG:SYD:(A;;FA;;;WD)");
    OptionalAcl acl = SddlToAcl(L"(A;OICI;FA;;;BA)")->ToBytes();
    ASSERT_TRUE(platform
                    .SetNamedSecurityInfo(L"C:\\Data", secinfo::kDacl | secinfo::kProtectedDacl,
                                          nullptr, &acl)
                    .ok());
    EXPECT_EQ(Sddl(*platform.GetFileSecurity(L"C:\\Data\\b.log", secinfo::kDacl)),
              L"D:AI(A;;FA;;;WD)(A;ID;FA;;;BA)");
    platform.KeepReads(false);
}

// The engine's copy of a folder's DACL writes each entry's owner and then
// its DACL: the volume gets both in one write.
TEST_F(NtfsPlatformTest, AnOwnerAloneWaitsForTheObjectsNextWrite) {
    platform.KeepReads(true);
    Bytes system = sids::System().ToBytes();
    Bytes administrators = sids::Administrators().ToBytes();
    std::wstring a = L"C:\\Data\\a.txt";
    ASSERT_TRUE(platform.SetNamedSecurityInfo(a, secinfo::kOwner, &system, nullptr).ok());
    EXPECT_EQ(volume.Sddl("Data/a.txt"), StandInVolume::kFileSddl);
    EXPECT_EQ(Sddl(*platform.GetFileSecurity(L"c:\\data\\A.TXT", secinfo::kOwner)), L"O:SY");
    ASSERT_TRUE(
        platform.SetFileSecurity(a, secinfo::kDacl, *SddlToBytes(L"D:PAI(A;;FA;;;WD)")).ok());
    EXPECT_EQ(volume.Sddl("Data/a.txt"), L"O:SYG:SYD:PAI(A;;FA;;;WD)");

    // Given back before any write: nothing reaches the volume, which would
    // otherwise lose what was put there behind the platform's back.
    ASSERT_TRUE(platform.GetFileSecurity(L"C:\\Data\\b.log", secinfo::kOwner).ok());
    volume.Put("Data/b.log", L"O:BAG:SYD:(A;;FA;;;WD)");
    std::wstring b = L"C:\\Data\\b.log";
    ASSERT_TRUE(platform.SetNamedSecurityInfo(b, secinfo::kOwner, &system, nullptr).ok());
    ASSERT_TRUE(platform.SetNamedSecurityInfo(b, secinfo::kOwner, &administrators, nullptr).ok());
    // Reading another object writes a held owner first.
    ASSERT_TRUE(platform.SetNamedSecurityInfo(a, secinfo::kOwner, &administrators, nullptr).ok());
    ASSERT_TRUE(platform.GetFileSecurity(L"C:\\Data", secinfo::kOwner).ok());
    EXPECT_EQ(volume.Sddl("Data/a.txt"), L"O:BAG:SYD:PAI(A;;FA;;;WD)");
    platform.KeepReads(false);
    EXPECT_EQ(volume.Sddl("Data/b.log"), L"O:BAG:SYD:(A;;FA;;;WD)");
    EXPECT_TRUE(platform.TakeLostWrites().empty());
}

TEST_F(NtfsPlatformTest, AHeldOwnerTheVolumeRefusesIsTold) {
    platform.KeepReads(true);
    Bytes system = sids::System().ToBytes();
    // Refused before anything is held: the object's bytes are no descriptor.
    volume.PutRaw("Data/b.log", testing::kTestDescriptorAttribute, Bytes{1, 0, 4, 0});
    EXPECT_EQ(
        platform.SetNamedSecurityInfo(L"C:\\Data\\b.log", secinfo::kOwner, &system, nullptr).error,
        err::kInvalidSecurityDescriptor);

    // Gone before the held owner is written: the object's own next write
    // fails, and that failure says so.
    volume.File("Data/c.txt");
    ASSERT_TRUE(
        platform.SetNamedSecurityInfo(L"C:\\Data\\c.txt", secinfo::kOwner, &system, nullptr).ok());
    std::filesystem::remove(volume.Local("Data/c.txt"));
    EXPECT_EQ(
        platform
            .SetFileSecurity(L"C:\\Data\\c.txt", secinfo::kDacl, *SddlToBytes(L"D:PAI(A;;FA;;;WD)"))
            .error,
        err::kFileNotFound);

    // Without a next write of its own, the failure is told afterwards.
    ASSERT_TRUE(
        platform.SetNamedSecurityInfo(L"C:\\Data\\a.txt", secinfo::kOwner, &system, nullptr).ok());
    std::filesystem::remove(volume.Local("Data/a.txt"));
    platform.KeepReads(false);
    auto lost = platform.TakeLostWrites();
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].first, L"C:\\Data\\a.txt");
    EXPECT_EQ(lost[0].second, err::kFileNotFound);
    EXPECT_TRUE(platform.TakeLostWrites().empty());
}

TEST_F(NtfsPlatformTest, AMergeThatChangesNothingWritesNothing) {
    Bytes stored = volume.Raw("Data/a.txt");
    volume.Put("Data/a.txt", L"O:SYG:SYD:(A;;FA;;;WD)");  // what a write would replace
    SecurityDescriptor sameOwner;
    sameOwner.owner = sids::Administrators();
    auto written =
        platform.store().WritePartsOnto(L"C:\\Data\\a.txt", stored, secinfo::kOwner, sameOwner);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(*written, stored);
    EXPECT_EQ(volume.Sddl("Data/a.txt"), L"O:SYG:SYD:(A;;FA;;;WD)");
}

TEST_F(NtfsPlatformTest, FindFilesListsDotsFirstBelowTheRootAndFiltersByPattern) {
    EXPECT_EQ(Names(L"C:\\*"), std::vector<std::wstring>{L"Data"});
    auto all = Names(L"C:\\DATA\\*.*");
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0], L".");
    EXPECT_EQ(all[1], L"..");
    EXPECT_EQ(Names(L"C:\\Data\\*.TXT"), std::vector<std::wstring>{L"a.txt"});
    EXPECT_EQ(platform.FindFiles(L"C:\\Data\\*.doc").error(), err::kFileNotFound);
    EXPECT_EQ(platform.FindFiles(L"C:\\Gone\\*").error(), err::kPathNotFound);
    EXPECT_EQ(platform.FindFiles(L"C:\\Data\\a.txt\\*").error(), err::kDirectory);
    auto dots = platform.FindFiles(L"C:\\Data\\*");
    EXPECT_EQ((*dots)[0].attributes & attr::kDirectory, attr::kDirectory);
}

TEST_F(NtfsPlatformTest, VolumesAreNtfsDrivesWithTheirLetters) {
    EXPECT_EQ(*platform.GetVolumeFileSystemName(L"c:\\"), L"NTFS");
    EXPECT_EQ(platform.GetVolumeFileSystemName(L"D:\\").error(), err::kPathNotFound);
    EXPECT_EQ(platform.GetVolumeFileSystemName(L"C:\\Data").error(), err::kInvalidName);
    EXPECT_EQ(platform.GetLogicalDriveStrings(), std::vector<std::wstring>{L"C:\\"});
    EXPECT_TRUE(platform.PathFileExists(L"c:\\data\\B.LOG"));
    EXPECT_FALSE(platform.PathFileExists(L"C:\\Data\\c.txt"));
    EXPECT_TRUE(platform.PathIsDirectory(L"C:\\Data"));
    // No Windows folder on the volume: no installation, a 32-bit answer.
    EXPECT_FALSE(platform.LoadInstallation());
    EXPECT_EQ(platform.GetSystemWow64Directory().error(), err::kCallNotImplemented);
}

TEST_F(NtfsPlatformTest, WindowsFolderIsFoundWhateverItsCase) {
    volume.Folder("WINDOWS");
    volume.Folder("WINDOWS/SysWOW64");
    EXPECT_FALSE(platform.LoadInstallation());  // no SAM hive there
    EXPECT_EQ(platform.GetWindowsDirectory(), L"C:\\WINDOWS");
    EXPECT_EQ(platform.GetSystemDirectory(), L"C:\\WINDOWS\\System32");
    EXPECT_EQ(*platform.GetSystemWow64Directory(), L"C:\\WINDOWS\\SysWOW64");
}

TEST_F(NtfsPlatformTest, AccountsResolveBothWaysAndUnknownSidsShowAsStrings) {
    EXPECT_EQ(platform.LookupAccountName(L"everyone")->sid, sids::Everyone().ToBytes());
    auto service = platform.LookupAccountName(L"NT AUTHORITY\\Local Service");
    ASSERT_TRUE(service.ok());
    EXPECT_EQ(*Sid::Parse(service->sid), Sid(5, {19}));
    EXPECT_EQ(service->domain, L"NT AUTHORITY");
    EXPECT_EQ(platform.LookupAccountName(L"BUILTIN\\Everyone").error(), err::kNoneMapped);
    EXPECT_EQ(*NameToSid(platform, kTrustedInstaller), sids::TrustedInstaller().ToBytes());
    EXPECT_EQ(SidToName(platform, Sid(5, {32, 551}).ToBytes()), L"Backup Operators");
    Sid gone(5, {21, 1, 2, 3, 1001});
    EXPECT_EQ(platform.LookupAccountSid(gone.ToBytes()).error(), err::kNoneMapped);
    EXPECT_EQ(SidToName(platform, gone.ToBytes()), L"S-1-5-21-1-2-3-1001");
    Bytes trailing = gone.ToBytes();
    trailing.push_back(0);
    EXPECT_EQ(platform.LookupAccountSid(trailing).error(), err::kInvalidSid);
}

TEST_F(NtfsPlatformTest, PrivilegesAreHeldButTheTokenHandleRulesStay) {
    auto token = platform.OpenProcessToken(kTokenAdjustPrivileges);
    ASSERT_TRUE(token.ok());
    EXPECT_TRUE(EnablePrivilege(platform, true, kRestorePrivilege, **token));
    EXPECT_EQ(platform.LookupPrivilegeValue(L"SeNoSuchPrivilege").error(), err::kNoSuchPrivilege);
    auto queryOnly = platform.OpenProcessToken(kTokenQuery);
    auto luid = platform.LookupPrivilegeValue(kTakeOwnershipPrivilege);
    EXPECT_EQ(platform.AdjustTokenPrivilege(**queryOnly, *luid, true).error(), err::kAccessDenied);
}

}  // namespace
}  // namespace vm::ntfs
