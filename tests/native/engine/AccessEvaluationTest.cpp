// The current user's access level and the names it looks up, on the
// simulated machine. Alice is in Administrators (BA) and Users (BU).
#include "EngineFixture.h"

namespace vm {
namespace {

using sim::Call;

class AccessEvaluation : public EngineTest {
  protected:
    AccessLevel LevelOfDacl(const std::wstring& dacl) {
        std::wstring path = L"C:\\f" + std::to_wstring(++counter_) + L".txt";
        EXPECT_TRUE(machine.AddFile(path, L"O:BA" + dacl)) << ToUtf8(dacl);
        return LevelOf(path);
    }
    std::wstring AliceSid() { return machine.SidOf(L"Alice").ToString(); }

  private:
    int counter_ = 0;
};

TEST_F(AccessEvaluation, GroupTextListsTheTokensGroupsThenEveryone) {
    EXPECT_EQ(BuildCurrentUserGroups(machine, L"Alice"),
              L"<Authenticated Users><INTERACTIVE><Administrators><Users><Everyone>");
    // Without the token, the local groups of the user stand in.
    machine.FailEveryCall(Call::kGetTokenGroups, err::kAccessDenied);
    EXPECT_EQ(BuildCurrentUserGroups(machine, L"Alice"), L"<Administrators><Users><Everyone>");
    machine.FailEveryCall(Call::kGetLocalGroupsOfUser, err::kAccessDenied);
    EXPECT_EQ(BuildCurrentUserGroups(machine, L"Alice"), L"<Everyone>");
}

// A domain user in the local Administrators group through a domain group:
// NetUserGetLocalGroups with the bare name finds no such local user, the
// token has every group Windows checks.
TEST_F(AccessEvaluation, ADomainUsersLocalGroupsComeFromTheToken) {
    machine.AddDomainUser(L"dana");
    machine.AddDomainGroup(L"Admins");
    machine.AddToGroup(L"CORP\\dana", L"CORP\\Admins");
    machine.AddToGroup(L"CORP\\Admins", L"Administrators");
    ASSERT_TRUE(machine.SetTokenUser(L"CORP\\dana"));
    UserIdentity dana{L"dana", BuildCurrentUserGroups(machine, L"dana")};
    EXPECT_NE(dana.CurrentUserGroups.find(L"<Administrators>"), std::wstring::npos);
    EXPECT_NE(dana.CurrentUserGroups.find(L"<Admins>"), std::wstring::npos);
    machine.AddFile(L"C:\\admins.txt", L"O:BAD:(A;;FA;;;BA)");
    EXPECT_EQ(GetAccessLevel(machine, dana, L"C:\\admins.txt"), AccessLevel::kAllowed);
}

// Without elevation Administrators is a deny-only group: it counts for deny
// entries and not for allow entries, as AccessCheck counts it.
TEST_F(AccessEvaluation, DenyOnlyGroupsCountForDenyEntriesOnly) {
    machine.SetTokenNotElevated();
    UserIdentity alice{L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
    EXPECT_NE(alice.CurrentUserGroups.find(L"<Administrators|deny-only>"), std::wstring::npos);
    EXPECT_EQ(alice.CurrentUserGroups.find(L"<Administrators>"), std::wstring::npos);
    // Users may read the DACL; only Administrators would grant the rest.
    machine.AddFile(L"C:\\a.txt", L"O:BAD:(A;;FA;;;BA)(A;;RC;;;BU)");
    EXPECT_EQ(GetAccessLevel(machine, alice, L"C:\\a.txt"), AccessLevel::kDenied);
    machine.AddFile(L"C:\\b.txt", L"O:BAD:(A;;FA;;;BU)(D;;FR;;;BA)");
    EXPECT_EQ(GetAccessLevel(machine, alice, L"C:\\b.txt"), AccessLevel::kDenied);
    machine.AddFile(L"C:\\c.txt", L"O:BAD:(A;;FA;;;BU)");
    EXPECT_EQ(GetAccessLevel(machine, alice, L"C:\\c.txt"), AccessLevel::kAllowed);
}

TEST_F(AccessEvaluation, NullEmptyAndUnreadableDacls) {
    EXPECT_EQ(LevelOfDacl(L"D:"), AccessLevel::kDenied);
    EXPECT_EQ(LevelOfDacl(L"D:NO_ACCESS_CONTROL"), AccessLevel::kAllowed);
    machine.AddFile(L"C:\\locked.txt", L"O:BAD:(A;;FA;;;BA)");
    machine.DenyAccess(L"C:\\locked.txt", 0x20000);  // READ_CONTROL
    EXPECT_EQ(LevelOf(L"C:\\locked.txt"), AccessLevel::kAllowed);
    EXPECT_EQ(LevelOf(L"C:\\missing.txt"), AccessLevel::kAllowed);
}

TEST_F(AccessEvaluation, EntriesMatchBySidOrGroupName) {
    // Everyone: read data, read EA, execute, read attributes, READ_CONTROL, SYNCHRONIZE.
    EXPECT_EQ(LevelOfDacl(L"D:(A;;0x1200A9;;;WD)"), AccessLevel::kReadOnly);
    // A group of the user gets everything and DELETE; the user's own SID is denied write.
    EXPECT_EQ(LevelOfDacl(L"D:(A;;0x1301BF;;;BU)(D;;0x2;;;" + AliceSid() + L")"),
              AccessLevel::kAllowed);
    EXPECT_EQ(LevelOfDacl(L"D:(A;;FA;;;" + AliceSid() + L")(D;;0x1;;;WD)"), AccessLevel::kDenied);
    // Entries of accounts the user is not: nothing allowed.
    EXPECT_EQ(LevelOfDacl(L"D:(A;;FA;;;SY)"), AccessLevel::kDenied);
}

TEST_F(AccessEvaluation, FlagsAndOrderAreIgnoredAndGenericBitsNotMapped) {
    EXPECT_EQ(LevelOfDacl(L"D:(A;;GA;;;BA)"), AccessLevel::kDenied);
    EXPECT_EQ(LevelOfDacl(L"D:(A;;GA;;;BA)(A;;FR;;;WD)"), AccessLevel::kReadOnly);
    EXPECT_EQ(LevelOfDacl(L"D:(A;OICIIO;FA;;;BA)"), AccessLevel::kAllowed);
    EXPECT_EQ(LevelOfDacl(L"D:(A;ID;FA;;;BA)(D;ID;0x1;;;BU)"), AccessLevel::kDenied);
}

TEST_F(AccessEvaluation, UnresolvedTrusteeAppliesOnlyBySid) {
    Sid gone = machine.AddLocalUser(L"Gone");
    machine.DeleteAccount(L"Gone");
    EXPECT_EQ(LevelOfDacl(L"D:(A;;FA;;;" + gone.ToString() + L")"), AccessLevel::kDenied);
    uint32_t allow = 0;
    uint32_t deny = 0;
    machine.AddFile(L"C:\\g.txt", L"O:BAD:(A;;FA;;;" + gone.ToString() + L")");
    // The account name no longer resolves, so its own entry cannot be matched.
    EXPECT_FALSE(GetAccessMasks(machine, L"C:\\g.txt", L"Gone", L"<Everyone>", allow, deny, true));
}

TEST_F(AccessEvaluation, DomainGroupWithTheNameOfALocalGroupCounts) {
    machine.AddLocalGroup(L"Editors");
    machine.AddToGroup(L"Alice", L"Editors");
    // Same bare name in the domain; Alice is not a member of it.
    std::wstring domainEditors = machine.AddDomainGroup(L"Editors").ToString();
    ASSERT_NE(domainEditors, machine.SidOf(L"VMPC\\Editors").ToString());
    EXPECT_EQ(LevelOfDacl(L"D:(A;;FA;;;" + domainEditors + L")"), AccessLevel::kAllowed);
}

TEST_F(AccessEvaluation, MasksOnlyAccumulate) {
    machine.AddFile(L"C:\\m.txt", L"O:BAD:(A;;0x1;;;WD)(D;;0x2;;;BU)");
    uint32_t allow = 0x100;
    uint32_t deny = 0x400;
    ASSERT_TRUE(GetAccessMasks(machine, L"C:\\m.txt", L"Alice",
                               L"<Administrators><Users><Everyone>", allow, deny, true));
    EXPECT_EQ(allow, 0x101u);
    EXPECT_EQ(deny, 0x402u);
    allow = deny = 0;
    ASSERT_TRUE(GetAccessMasks(machine, L"C:\\m.txt", L"Alice", L"", allow, deny, false));
    EXPECT_EQ(allow | deny, 0u);  // without groups only SID matches count
}

// Name lookups: at most one per distinct SID of a DACL, none for entries of
// the user's own SID, and one per SID for a whole list fill with a cache.
TEST_F(AccessEvaluation, NameLookupsPerDistinctSid) {
    std::wstring dacl = L"D:(A;;FR;;;" + AliceSid() + L")(A;;FR;;;" + AliceSid() + L")";
    for (int i = 0; i < 3; ++i)
        dacl += L"(A;;FR;;;BU)(D;;0x2;;;WD)(A;OICI;FA;;;SY)";
    for (int i = 0; i < 10; ++i)
        machine.AddFile(L"C:\\row" + std::to_wstring(i), L"O:BA" + dacl);
    UserIdentity alice = Alice();

    machine.ResetCounters();
    EXPECT_EQ(GetAccessLevel(machine, alice, L"C:\\row0"), AccessLevel::kReadOnly);
    EXPECT_EQ(Calls(Call::kLookupAccountSid), 3u);   // BU, WD, SY
    EXPECT_EQ(Calls(Call::kLookupAccountName), 1u);  // Alice

    machine.ResetCounters();
    SidNameCache fill;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(GetAccessLevel(machine, alice, L"C:\\row" + std::to_wstring(i), &fill),
                  AccessLevel::kReadOnly);
    }
    EXPECT_EQ(Calls(Call::kLookupAccountSid), 3u);
    EXPECT_EQ(Calls(Call::kLookupAccountName), 1u);
}

}  // namespace
}  // namespace vm
