// Apply of the Advanced dialog: reset or clear, explicit entries, owner.
// The parent passes on full control for Administrators and read for Users.
#include "EngineFixture.h"
#include "security/Inheritance.h"

namespace vm {
namespace {

using sim::Call;

class InheritanceApply : public EngineTest {
  protected:
    InheritanceApply() {
        bob = machine.AddLocalUser(L"Bob").ToString();
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
        machine.AddFile(L"C:\\Data\\a.txt",
                        L"O:" + bob + L"D:AI(A;;FA;;;" + bob + L")(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
    }
    Status Apply(bool includeInheritable, const std::vector<ExplicitEntry>& entries) {
        return ApplyInheritanceAndEntries(engine, L"C:\\Data\\a.txt", includeInheritable, entries,
                                          L"Bob");
    }
    std::wstring bob;
    const ExplicitEntry bobFull{L"Bob", 0x1F01FF, ace_type::kAccessAllowed, 0};
};

TEST_F(InheritanceApply, ShowsInheritanceByInheritedEntriesOnly) {
    EXPECT_TRUE(ShowsInheritance(*machine.DaclOf(L"C:\\Data\\a.txt").acl));
    EXPECT_FALSE(ShowsInheritance(Acl{}));
}

TEST_F(InheritanceApply, ConvertedEntriesAreWrittenExplicitAndProtected) {
    ASSERT_TRUE(Apply(false, {bobFull,
                              {L"Administrators", 0x1F01FF, ace_type::kAccessAllowed, 0},
                              {L"Users", 0x1200A9, ace_type::kAccessAllowed, 0}}));
    // Each entry is sorted in as AddAccessEntry sorts, which reverses the
    // older entries of equal rank.
    EXPECT_EQ(Sddl(L"C:\\Data\\a.txt"),
              L"O:" + bob + L"D:PAI(A;;0x1200a9;;;BU)(A;;FA;;;" + bob + L")(A;;FA;;;BA)");
}

TEST_F(InheritanceApply, RemovedOrUnmodifiedInheritedEntriesAreDropped) {
    ASSERT_TRUE(Apply(false, {bobFull}));
    EXPECT_EQ(Dacl(L"C:\\Data\\a.txt"), L"D:PAI(A;;FA;;;" + bob + L")");
}

// Empty and protected: a later change of the parent does not fill it.
TEST_F(InheritanceApply, NoEntriesAndNoInheritanceGiveAnEmptyDaclNotANullOne) {
    ASSERT_TRUE(Apply(false, {}));
    EXPECT_EQ(Sddl(L"C:\\Data\\a.txt"), L"O:" + bob + L"D:PAI");
}

// With the box set the object keeps inheriting: explicit entries first, then
// what the parent passes on, in the parent's order, and not protected.
TEST_F(InheritanceApply, InheritanceOnAgainPutsExplicitEntriesFirstAndKeepsInheriting) {
    machine.SetSecurity(L"C:\\Data\\a.txt", L"O:" + bob + L"D:P(A;;FA;;;" + bob + L")");
    ASSERT_TRUE(Apply(true, {bobFull}));
    EXPECT_EQ(Dacl(L"C:\\Data\\a.txt"), L"D:AI(A;;FA;;;" + bob + L")(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
    // Without explicit entries the object simply inherits again.
    ASSERT_TRUE(Apply(true, {}));
    EXPECT_EQ(Dacl(L"C:\\Data\\a.txt"), L"D:AI(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
}

TEST_F(InheritanceApply, AFailingEntryPutsThePreviousDaclBack) {
    std::wstring before = Dacl(L"C:\\Data\\a.txt");
    EXPECT_FALSE(Apply(false, {bobFull, {L"NoSuchAccount", 1, ace_type::kAccessAllowed, 0}}));
    EXPECT_EQ(Dacl(L"C:\\Data\\a.txt"), before);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\a.txt"), L"Bob");
}

// SetFileSecurityW does not propagate ("Automatic Propagation of Inheritable
// ACEs"): the folder's DACL goes out once through SetNamedSecurityInfoW, so
// that the children already there receive the folder's inheritable entries,
// with the box set or cleared.
TEST_F(InheritanceApply, ChildrenReceiveTheFoldersNewInheritableEntries) {
    machine.AddFolder(L"C:\\Data\\Sub");
    machine.AddFile(L"C:\\Data\\Sub\\child.txt");
    const ExplicitEntry bobInherited{L"Bob", 0x1200A9, ace_type::kAccessAllowed,
                                     ace_flag::kObjectInherit | ace_flag::kContainerInherit};
    for (bool includeInheritable : {true, false}) {
        ASSERT_TRUE(ApplyInheritanceAndEntries(engine, L"C:\\Data\\Sub", includeInheritable,
                                               {bobInherited}, L"Administrators"));
        const std::wstring child = Dacl(L"C:\\Data\\Sub\\child.txt");
        EXPECT_NE(child.find(L"(A;ID;0x1200a9;;;" + bob + L")"), std::wstring::npos) << child;
        // Only with the box set does the grandparent's entry reach the child.
        EXPECT_EQ(child.find(L"(A;ID;FR;;;BU)") != std::wstring::npos, includeInheritable) << child;
    }
    // The whole change is one named write; nothing is written twice.
    machine.ResetCounters();
    ASSERT_TRUE(ApplyInheritanceAndEntries(engine, L"C:\\Data\\Sub", true, {bobInherited},
                                           L"Administrators"));
    EXPECT_EQ(Calls(Call::kSetFileSecurity), 0u);
    EXPECT_EQ(Calls(Call::kSetNamedSecurityInfo), 3u);  // owner, DACL, owner
}

}  // namespace
}  // namespace vm
