// Inheritance on the simulated machine: what each flag combination passes
// to files and folders (MS-DTYP 2.5.3.4, "ACE Inheritance Rules"), the
// propagation of SetNamedSecurityInfoW ("Automatic Propagation of
// Inheritable ACEs"), GetInheritanceSourceW and SetEntriesInAclW.
#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "security/Sddl.h"

namespace vm::sim {
namespace {

// The SDDL writer's spelling of a DACL, so that expectations may be written
// in any order of flags and aliases.
std::wstring Normal(const std::wstring& sddl) {
    auto descriptor = SddlToDescriptor(sddl);
    EXPECT_TRUE(descriptor) << ToUtf8(sddl);
    return descriptor ? DescriptorToSddl(*descriptor) : std::wstring();
}

class SimInheritanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS", L"O:BAD:PAI(A;;FA;;;BA)");
        bob = machine.AddLocalUser(L"Bob");
    }
    // SetNamedSecurityInfoW(DACL) with the entries of an SDDL "D:" text.
    Status WriteNamed(const std::wstring& path, const std::wstring& daclSddl,
                      uint32_t extraInfo = 0) {
        auto descriptor = SddlToDescriptor(daclSddl);
        EXPECT_TRUE(descriptor);
        OptionalAcl acl;
        if (descriptor->dacl.acl)
            acl = descriptor->dacl.acl->ToBytes();
        return machine.SetNamedSecurityInfo(path, secinfo::kDacl | extraInfo, nullptr, &acl);
    }
    std::wstring Dacl(const std::wstring& path) { return machine.DaclSddlOf(path); }

    SimPlatform machine;
    Sid bob;
};

TEST_F(SimInheritanceTest, EachFlagCombinationReachesFilesAndFoldersAsDocumented) {
    machine.AddFolder(L"C:\\P", L"O:BAD:P");
    machine.AddFolder(L"C:\\P\\Sub", L"O:BAD:");
    machine.AddFile(L"C:\\P\\file.txt", L"O:BAD:");
    // One trustee per combination: WD OI, SY CI, BU OICI, AU OI+NP, BA CI+NP,
    // CO... is left for its own test; S-1-5-4 OICI+NP, S-1-5-32-546 OICI+IO.
    ASSERT_TRUE(WriteNamed(L"C:\\P",
                           L"D:(A;OI;FA;;;WD)(A;CI;FA;;;SY)(A;OICI;FA;;;BU)(A;OINP;FA;;;AU)"
                           L"(A;CINP;FA;;;BA)(A;OICINP;FA;;;S-1-5-4)(A;OICIIO;FA;;;S-1-5-32-546)"
                           L"(A;;FA;;;S-1-5-18)",
                           secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\file.txt"),
              Normal(L"D:AI(A;ID;FA;;;WD)(A;ID;FA;;;BU)(A;ID;FA;;;AU)(A;ID;FA;;;S-1-5-4)"
                     L"(A;ID;FA;;;S-1-5-32-546)"));
    EXPECT_EQ(Dacl(L"C:\\P\\Sub"),
              Normal(L"D:AI(A;OIIOID;FA;;;WD)(A;CIID;FA;;;SY)(A;OICIID;FA;;;BU)"
                     L"(A;ID;FA;;;BA)(A;ID;FA;;;S-1-5-4)(A;OICIID;FA;;;S-1-5-32-546)"));
}

TEST_F(SimInheritanceTest, GenericRightsAreMappedOnEffectiveCopiesOnly) {
    machine.AddFolder(L"C:\\P", L"O:BAD:P");
    machine.AddFolder(L"C:\\P\\Sub", L"O:BAD:");
    machine.AddFile(L"C:\\P\\f.txt", L"O:BAD:");
    // Only inherit-only entries keep generic rights when a DACL is written.
    ASSERT_TRUE(WriteNamed(L"C:\\P",
                           L"D:(A;OICIIO;GA;;;WD)(A;OICINPIO;GR;;;BU)(A;OIIO;GW;;;SY)(A;;GA;;;BA)",
                           secinfo::kProtectedDacl));
    // The folder takes an effective mapped entry and an inherit-only copy
    // with the generic rights for its own children; without further
    // inheritance there is nothing to split.
    EXPECT_EQ(Dacl(L"C:\\P\\Sub"),
              Normal(L"D:AI(A;ID;FA;;;WD)(A;OICIIOID;GA;;;WD)(A;ID;FR;;;BU)(A;OIIOID;GW;;;SY)"));
    EXPECT_EQ(Dacl(L"C:\\P\\f.txt"), Normal(L"D:AI(A;ID;FA;;;WD)(A;ID;FR;;;BU)(A;ID;FW;;;SY)"));
    EXPECT_EQ(Dacl(L"C:\\P"),
              Normal(L"D:PAI(A;OICIIO;GA;;;WD)(A;OICINPIO;GR;;;BU)(A;OIIO;GW;;;SY)(A;;FA;;;BA)"));
}

// What NTFS stores for an explicit entry that carries generic rights (see
// SimGenericMapping.h for the observations of Windows this follows): mapped
// in place on files and folders, flags kept, no split; inherit-only entries
// and creator SIDs as written. Both writes behave alike.
TEST_F(SimInheritanceTest, ExplicitGenericRightsAreMappedInPlaceWhenWritten) {
    machine.AddFolder(L"C:\\P", L"O:BAD:P");
    machine.AddFolder(L"C:\\P\\Sub", L"O:BAD:");
    machine.AddFile(L"C:\\P\\f.txt", L"O:BAD:");
    ASSERT_TRUE(WriteNamed(L"C:\\P\\f.txt", L"D:(A;;0x800000A8;;;WD)(D;;GW;;;BU)(A;;GX;;;CO)",
                           secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\f.txt"), Normal(L"D:PAI(A;;0x1200a9;;;WD)(D;;FW;;;BU)(A;;FX;;;CO)"));
    ASSERT_TRUE(WriteNamed(L"C:\\P", L"D:(A;OICI;GA;;;BU)(A;CINP;GR;;;SY)(A;OICIIO;GA;;;CO)",
                           secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P"), Normal(L"D:PAI(A;OICI;FA;;;BU)(A;CINP;FR;;;SY)(A;OICIIO;GA;;;CO)"));
    // The children inherit the mapped rights; the creator entry is mapped and
    // its SID replaced on the effective copy only.
    EXPECT_EQ(Dacl(L"C:\\P\\Sub"),
              Normal(L"D:AI(A;OICIID;FA;;;BU)(A;ID;FR;;;SY)(A;ID;FA;;;BA)(A;OICIIOID;GA;;;CO)"));
    auto descriptor = SddlToBytes(L"D:(A;OICI;GRGW;;;WD)(A;CIIO;GR;;;AU)");
    ASSERT_TRUE(machine.SetFileSecurity(L"C:\\P\\Sub", secinfo::kDacl, *descriptor));
    EXPECT_EQ(Dacl(L"C:\\P\\Sub"), Normal(L"D:(A;OICI;0x12019f;;;WD)(A;CIIO;GR;;;AU)"));
}

TEST_F(SimInheritanceTest, CreatorOwnerBecomesTheChildsOwner) {
    machine.AddFolder(L"C:\\P", L"O:BAD:P");
    machine.AddFolder(L"C:\\P\\Sub", L"O:" + bob.ToString() + L"D:(A;;FA;;;BA)");
    machine.AddFile(L"C:\\P\\Sub\\f.txt", L"O:SYD:(A;;FA;;;BA)");
    ASSERT_TRUE(WriteNamed(L"C:\\P", L"D:(A;OICIIO;FA;;;CO)", secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\Sub"),
              Normal(L"D:AI(A;;FA;;;BA)(A;ID;FA;;;" + bob.ToString() + L")(A;OICIIOID;FA;;;CO)"));
    // The next generation maps the inherit-only copy again, for its owner.
    EXPECT_EQ(Dacl(L"C:\\P\\Sub\\f.txt"), Normal(L"D:AI(A;;FA;;;BA)(A;ID;FA;;;SY)"));
}

TEST_F(SimInheritanceTest, UnprotectedWriteRebuildsInheritedEntriesAfterExplicitOnes) {
    machine.AddFolder(L"C:\\P", L"O:BAD:PAI(A;OICI;FA;;;SY)");
    machine.AddFolder(L"C:\\P\\C", L"O:BAD:PAI(A;;FA;;;WD)");
    // The caller's entries marked inherited are dropped and rebuilt; the
    // explicit ones go first, in the caller's order.
    ASSERT_TRUE(WriteNamed(L"C:\\P\\C", L"D:(A;ID;FA;;;BU)(A;;FR;;;AU)(D;;WD;;;WD)",
                           secinfo::kUnprotectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\C"), Normal(L"D:AI(A;;FR;;;AU)(D;;WD;;;WD)(A;OICIID;FA;;;SY)"));
    // Neither flag given: written unprotected too.
    machine.SetSecurity(L"C:\\P\\C", L"O:BAD:PAI(A;;FA;;;WD)");
    ASSERT_TRUE(WriteNamed(L"C:\\P\\C", L"D:(A;;FA;;;WD)"));
    EXPECT_EQ(Dacl(L"C:\\P\\C"), Normal(L"D:AI(A;;FA;;;WD)(A;OICIID;FA;;;SY)"));
    // Protected: taken as given, nothing inherited.
    ASSERT_TRUE(WriteNamed(L"C:\\P\\C", L"D:(A;;FA;;;WD)", secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\C"), Normal(L"D:PAI(A;;FA;;;WD)"));
}

TEST_F(SimInheritanceTest, PropagationReachesEveryUnprotectedObjectBelow) {
    machine.AddFolder(L"C:\\P", L"O:BAD:PAI(A;OICI;FA;;;BA)");
    machine.AddFolder(L"C:\\P\\Open");
    machine.AddFile(L"C:\\P\\Open\\deep.txt");
    machine.AddFolder(L"C:\\P\\Open\\Own", L"O:BAD:AI(A;;FR;;;AU)");
    machine.AddFile(L"C:\\P\\Open\\Own\\x.txt");
    machine.AddFolder(L"C:\\P\\Shut", L"O:BAD:PAI(A;OICI;FA;;;SY)");
    machine.AddFile(L"C:\\P\\Shut\\kept.txt");
    std::wstring shutBefore = Dacl(L"C:\\P\\Shut\\kept.txt");

    ASSERT_TRUE(WriteNamed(L"C:\\P", L"D:(A;OICI;FA;;;BU)", secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\Open"), Normal(L"D:AI(A;OICIID;FA;;;BU)"));
    EXPECT_EQ(Dacl(L"C:\\P\\Open\\deep.txt"), Normal(L"D:AI(A;ID;FA;;;BU)"));
    EXPECT_EQ(Dacl(L"C:\\P\\Open\\Own"), Normal(L"D:AI(A;;FR;;;AU)(A;OICIID;FA;;;BU)"));
    // x.txt was made when Own passed nothing on: the token's default DACL,
    // explicit, stays in front of what it inherits now.
    EXPECT_EQ(Dacl(L"C:\\P\\Open\\Own\\x.txt"),
              Normal(L"D:AI(A;;FA;;;BA)(A;;FA;;;SY)(A;ID;FA;;;BU)"));
    // A protected folder stops the propagation for itself and below.
    EXPECT_EQ(Dacl(L"C:\\P\\Shut"), Normal(L"D:PAI(A;OICI;FA;;;SY)"));
    EXPECT_EQ(Dacl(L"C:\\P\\Shut\\kept.txt"), shutBefore);
}

TEST_F(SimInheritanceTest, PropagationPassesOverObjectsTheCallerCannotOpen) {
    machine.AddFolder(L"C:\\P", L"O:BAD:PAI(A;OICI;FA;;;BA)");
    machine.AddFolder(L"C:\\P\\Barred", L"O:SYD:AI(A;OICIID;FA;;;BA)");
    machine.AddFile(L"C:\\P\\Barred\\f.txt");
    machine.AddFile(L"C:\\P\\open.txt");
    machine.DenyAccess(L"C:\\P\\Barred", 0x40000);  // WRITE_DAC
    ASSERT_TRUE(WriteNamed(L"C:\\P", L"D:(A;OICI;FA;;;BU)", secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\open.txt"), Normal(L"D:AI(A;ID;FA;;;BU)"));
    EXPECT_EQ(Dacl(L"C:\\P\\Barred"), Normal(L"D:AI(A;OICIID;FA;;;BA)"));
    EXPECT_EQ(Dacl(L"C:\\P\\Barred\\f.txt"), Normal(L"D:AI(A;ID;FA;;;BA)"));
}

TEST_F(SimInheritanceTest, AnUnprotectedWriteNeedsToReadTheParent) {
    machine.AddFolder(L"C:\\P", L"O:SYD:PAI(A;OICI;FA;;;BA)");
    machine.AddFile(L"C:\\P\\f.txt", L"O:BAD:P(A;;FA;;;BA)");
    machine.DenyAccess(L"C:\\P", 0x20000);  // READ_CONTROL
    EXPECT_EQ(WriteNamed(L"C:\\P\\f.txt", L"D:", secinfo::kUnprotectedDacl).error,
              err::kAccessDenied);
    EXPECT_TRUE(WriteNamed(L"C:\\P\\f.txt", L"D:(A;;FR;;;WD)", secinfo::kProtectedDacl));
}

TEST_F(SimInheritanceTest, SetFileSecurityStoresAsGivenAndPropagatesNothing) {
    machine.AddFolder(L"C:\\P", L"O:BAD:PAI(A;OICI;FA;;;BA)");
    machine.AddFile(L"C:\\P\\f.txt");
    auto descriptor = SddlToBytes(L"D:AR(A;OICI;FA;;;WD)(A;ID;FA;;;SY)");
    ASSERT_TRUE(machine.SetFileSecurity(L"C:\\P", secinfo::kDacl, *descriptor));
    EXPECT_EQ(Dacl(L"C:\\P"), Normal(L"D:AR(A;OICI;FA;;;WD)(A;ID;FA;;;SY)"));
    EXPECT_EQ(Dacl(L"C:\\P\\f.txt"), Normal(L"D:AI(A;ID;FA;;;BA)"));
    // The protection flags of the information word win over the control word.
    ASSERT_TRUE(machine.SetFileSecurity(L"C:\\P", secinfo::kDacl | secinfo::kProtectedDacl,
                                        *SddlToBytes(L"D:AI(A;;FA;;;WD)")));
    EXPECT_EQ(Dacl(L"C:\\P"), Normal(L"D:PAI(A;;FA;;;WD)"));
    ASSERT_TRUE(machine.SetFileSecurity(L"C:\\P", secinfo::kDacl | secinfo::kUnprotectedDacl,
                                        *SddlToBytes(L"D:PAI(A;;FA;;;WD)")));
    EXPECT_EQ(Dacl(L"C:\\P"), Normal(L"D:AI(A;;FA;;;WD)"));
}

TEST_F(SimInheritanceTest, RemovingTheLastInheritedEntryLeavesAnEmptyDaclNotANullOne) {
    machine.AddFolder(L"C:\\P", L"O:BAD:PAI(A;OICI;FA;;;BU)");
    machine.AddFile(L"C:\\P\\inherited.txt");
    machine.AddFile(L"C:\\P\\null.txt", L"O:BAD:NO_ACCESS_CONTROL");
    ASSERT_EQ(Dacl(L"C:\\P\\inherited.txt"), Normal(L"D:AI(A;ID;FA;;;BU)"));
    // The parent now passes nothing on.
    ASSERT_TRUE(WriteNamed(L"C:\\P", L"D:(A;;FA;;;BU)", secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\inherited.txt"), L"D:AI");
    EXPECT_TRUE(machine.DaclOf(L"C:\\P\\inherited.txt").acl.has_value());
    // An object without entries that inherits nothing keeps its NULL DACL...
    EXPECT_TRUE(machine.DaclOf(L"C:\\P\\null.txt").IsNull());
    // ...and one that inherits gets a DACL of just the inherited entries.
    ASSERT_TRUE(WriteNamed(L"C:\\P", L"D:(A;OI;FR;;;WD)", secinfo::kProtectedDacl));
    EXPECT_EQ(Dacl(L"C:\\P\\null.txt"), Normal(L"D:AI(A;ID;FR;;;WD)"));
}

TEST_F(SimInheritanceTest, ANullDaclWrittenUnprotectedTakesWhatTheParentPasses) {
    machine.AddFolder(L"C:\\P", L"O:BAD:PAI(A;OICI;FA;;;BU)");
    machine.AddFile(L"C:\\P\\f.txt", L"O:BAD:(A;;FA;;;WD)");
    machine.AddFolder(L"C:\\Q", L"O:BAD:P(A;;FA;;;BU)");
    machine.AddFile(L"C:\\Q\\g.txt", L"O:BAD:(A;;FA;;;WD)");
    OptionalAcl nullAcl;
    ASSERT_TRUE(machine.SetNamedSecurityInfo(L"C:\\P\\f.txt", secinfo::kDacl, nullptr, &nullAcl));
    EXPECT_EQ(Dacl(L"C:\\P\\f.txt"), Normal(L"D:AI(A;ID;FA;;;BU)"));
    ASSERT_TRUE(machine.SetNamedSecurityInfo(L"C:\\Q\\g.txt", secinfo::kDacl, nullptr, &nullAcl));
    EXPECT_TRUE(machine.DaclOf(L"C:\\Q\\g.txt").IsNull());
}

TEST_F(SimInheritanceTest, TheResetSequenceEndsWithTheParentsInheritableEntries) {
    // What resetting to inherited permissions does: a NULL DACL through
    // SetFileSecurityW, read back, SET_ACCESS for the owner with no rights
    // and no inheritance, written back through SetNamedSecurityInfoW.
    machine.AddFolder(L"C:\\P", L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)");
    machine.AddFile(L"C:\\P\\f.txt", L"O:BAD:PAI(A;;FA;;;WD)(D;;WD;;;AU)");
    ASSERT_TRUE(machine.SetFileSecurity(L"C:\\P\\f.txt", secinfo::kDacl,
                                        *SddlToBytes(L"D:NO_ACCESS_CONTROL")));
    auto read = machine.GetNamedSecurityInfo(L"C:\\P\\f.txt", secinfo::kGroup | secinfo::kDacl);
    ASSERT_TRUE(read.ok());
    auto descriptor = SecurityDescriptor::Parse(*read);
    ASSERT_TRUE(descriptor && descriptor->dacl.IsNull());
    auto merged = machine.SetEntriesInAcl(
        {ExplicitAccess{L"Administrators", 0, access_mode::kSet, 0}}, std::nullopt);
    ASSERT_TRUE(merged.ok());
    EXPECT_EQ(Acl::Parse(*merged)->aces.size(), 0u);  // no entry for rights 0
    OptionalAcl acl = *merged;
    ASSERT_TRUE(machine.SetNamedSecurityInfo(L"C:\\P\\f.txt", secinfo::kDacl, nullptr, &acl));
    EXPECT_EQ(Dacl(L"C:\\P\\f.txt"), Normal(L"D:AI(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)"));
}

TEST_F(SimInheritanceTest, SetEntriesInAclFollowsTheAccessModes) {
    auto old = SddlToAcl(L"(D;;WD;;;BU)(A;;FR;;;BU)(A;;FA;;;SY)(A;ID;FA;;;BU)");
    ASSERT_TRUE(old);
    auto merge = [&](std::vector<ExplicitAccess> entries) {
        auto bytes = machine.SetEntriesInAcl(entries, old->ToBytes());
        EXPECT_TRUE(bytes.ok());
        return bytes.ok() ? AclToSddl(*Acl::Parse(*bytes)) : std::wstring();
    };
    auto normalAcl = [](const std::wstring& entries) { return AclToSddl(*SddlToAcl(entries)); };
    // SET: every explicit entry of the trustee goes; inherited ones stay.
    EXPECT_EQ(merge({{L"Users", 0x1200a9, access_mode::kSet, 0x3}}),
              normalAcl(L"(A;OICI;0x1200a9;;;BU)(A;;FA;;;SY)(A;ID;FA;;;BU)"));
    // GRANT: combined with the allow entry, taken out of the deny entry.
    EXPECT_EQ(merge({{L"Users", 0x40000, access_mode::kGrant, 0}}),
              normalAcl(L"(A;;0x160089;;;BU)(A;;FA;;;SY)(A;ID;FA;;;BU)"));
    // DENY goes in front; REVOKE removes.
    EXPECT_EQ(merge({{L"SYSTEM", 0x10000, access_mode::kDeny, 0}}),
              normalAcl(L"(D;;SD;;;SY)(D;;WD;;;BU)(A;;FR;;;BU)(A;;FA;;;SY)(A;ID;FA;;;BU)"));
    EXPECT_EQ(merge({{L"Users", 0, access_mode::kRevoke, 0}}),
              normalAcl(L"(A;;FA;;;SY)(A;ID;FA;;;BU)"));
    EXPECT_EQ(machine.SetEntriesInAcl({{L"nobody", 1, access_mode::kSet, 0}}, std::nullopt).error(),
              err::kNoneMapped);
    EXPECT_EQ(machine.SetEntriesInAcl({{L"SYSTEM", 1, 9, 0}}, std::nullopt).error(),
              err::kInvalidParameter);
}

TEST_F(SimInheritanceTest, InheritanceSourceNamesTheNearestAncestorHoldingTheEntry) {
    machine.AddFolder(L"C:\\Top", L"O:BAD:PAI(A;OICI;FA;;;BU)");
    machine.AddFolder(L"C:\\Top\\Mid", L"O:BAD:AI(A;OICI;FR;;;AU)(A;OICIID;FA;;;BU)");
    machine.AddFile(L"C:\\Top\\Mid\\f.txt",
                    L"O:BAD:AI(A;;FA;;;WD)(A;ID;FR;;;AU)(A;ID;FA;;;BU)(A;ID;FA;;;SY)");
    auto acl = machine.DaclOf(L"C:\\Top\\Mid\\f.txt").acl->ToBytes();
    auto sources = machine.GetInheritanceSource(L"C:\\Top\\Mid\\f.txt", false, acl);
    ASSERT_TRUE(sources.ok());
    ASSERT_EQ(sources->size(), 4u);
    EXPECT_EQ((*sources)[0].generationGap, 0);  // explicit
    EXPECT_EQ((*sources)[0].ancestorName, L"");
    EXPECT_EQ((*sources)[1].generationGap, 1);
    EXPECT_EQ((*sources)[1].ancestorName, L"C:\\Top\\Mid");
    EXPECT_EQ((*sources)[2].generationGap, 2);
    EXPECT_EQ((*sources)[2].ancestorName, L"C:\\Top");
    EXPECT_EQ((*sources)[3].generationGap, -1);  // no ancestor holds it
    EXPECT_EQ(machine.GetInheritanceSource(L"C:\\Top", true, Bytes{1, 2}).error(),
              err::kInvalidAcl);
    EXPECT_EQ(machine.GetInheritanceSource(L"", false, acl).error(), err::kPathNotFound);
}

TEST_F(SimInheritanceTest, NewObjectsInheritAsCreatedWithoutADescriptor) {
    machine.AddFolder(L"C:\\P", L"O:SYD:PAI(A;OICI;GA;;;BU)(A;OICIIO;FA;;;CO)");
    machine.AddFile(L"C:\\P\\auto\\made\\f.txt");
    // Elevated: the default owner is Administrators.
    EXPECT_EQ(machine.OwnerOf(L"C:\\P\\auto"), sids::Administrators());
    EXPECT_EQ(Dacl(L"C:\\P\\auto\\made\\f.txt"), Normal(L"D:AI(A;ID;FA;;;BU)(A;ID;FA;;;BA)"));
    // Nothing to inherit: the token's default DACL.
    machine.AddFolder(L"C:\\Bare", L"O:BAD:P");
    machine.AddFile(L"C:\\Bare\\f.txt");
    EXPECT_EQ(Dacl(L"C:\\Bare\\f.txt"), Normal(L"D:(A;;FA;;;BA)(A;;FA;;;SY)"));
}

}  // namespace
}  // namespace vm::sim
