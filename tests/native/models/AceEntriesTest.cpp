#include <gtest/gtest.h>

#include "advanced/AceEntries.h"
#include "platform/Reporter.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "security/Engine.h"
#include "security/Sddl.h"

namespace vm {

// Readable failures: name, type, scope, masks and the inherited flag.
void PrintTo(const AceEntry& e, std::ostream* out) {
    *out << "{" << ToUtf8(e.name) << " type " << int(e.type) << " scope " << int(e.scope)
         << std::hex << " allow 0x" << e.allow << " deny 0x" << e.deny << std::dec
         << (e.inherited ? " inherited" : "") << "}";
}

namespace {

AceEntry Allow(const std::wstring& name, uint32_t mask, uint8_t scope, int inherited = 0) {
    return {name, inherited, 0, scope, mask, 0, L""};
}
AceEntry Deny(const std::wstring& name, uint32_t mask, uint8_t scope) {
    return {name, 0, 1, scope, 0, mask, L""};
}

class AceEntriesTest : public ::testing::Test {
  protected:
    AceEntriesTest() : engine(machine, reporter) {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddLocalUser(L"Bob");
    }
    // An object whose DACL is empty and protected, as Apply leaves it
    // before the rows are written back.
    void PrepareEmpty(const std::wstring& path) { machine.AddFolder(path, L"O:BAD:P"); }
    const std::vector<Ace>& Written(const std::wstring& path) {
        dacl = machine.DaclOf(path);
        return dacl.acl->aces;
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    Engine engine;
    AclSlot dacl;
};

// ---- Reading -------------------------------------------------------------

TEST_F(AceEntriesTest, ReadsEntriesWithWidenedMasksScopesAndSources) {
    machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;GA;;;BA)(D;;0x80;;;WD)");
    machine.AddFolder(L"C:\\Data\\Sub");  // inherits BA from C:\Data
    LoadedAceEntries explicitOnes = LoadAceEntries(machine, L"C:\\Data", nullptr, false);
    EXPECT_TRUE(explicitOnes.isContainer);
    ASSERT_EQ(explicitOnes.result, 2);
    EXPECT_EQ(explicitOnes.entries[0], Allow(L"Administrators", 0x100F01FF, 3));
    EXPECT_EQ(explicitOnes.entries[1], Deny(L"Everyone", 0x80, 0));

    LoadedAceEntries inherited = LoadAceEntries(machine, L"C:\\Data\\Sub", nullptr, false);
    ASSERT_GE(inherited.result, 1);
    const AceEntry& first = inherited.entries[0];
    EXPECT_EQ(first.inherited, 1);
    EXPECT_EQ(first.inheritedFrom, L"C:\\Data\\");
    EXPECT_EQ(first.scope & 0x10, 0);
}

TEST_F(AceEntriesTest, DescriptorsInMemoryShowParentObjectAndAreChecked) {
    Bytes sd =
        *SddlToBytes(L"D:(A;OICIID;FA;;;SY)(OA;;RC;;;WD)(A;;0x1200a9;;;S-1-5-21-9-9-9-1234)");
    LoadedAceEntries loaded = LoadAceEntries(machine, L"", &sd, true);
    // The object entry gets no row and is not counted.
    ASSERT_EQ(loaded.result, 2);
    EXPECT_EQ(loaded.entries[0].inheritedFrom, L"Parent Object");
    EXPECT_EQ(loaded.entries[0].name, L"SYSTEM");
    EXPECT_EQ(loaded.entries[1].name, L"S-1-5-21-9-9-9-1234");  // no such account
    EXPECT_EQ(machine.CallCount(sim::Call::kGetInheritanceSource), 0u);

    Bytes truncated(sd.begin(), sd.begin() + 30);
    EXPECT_EQ(LoadAceEntries(machine, L"", &truncated, true).result, kAcesNoDacl);
    Bytes tiny{1, 0, 4};
    EXPECT_EQ(LoadAceEntries(machine, L"", &tiny, true).result, kAcesNoDacl);
}

TEST_F(AceEntriesTest, ResultsAndEmptyListTexts) {
    machine.AddFolder(L"C:\\Null", L"O:BAD:NO_ACCESS_CONTROL");
    machine.AddFolder(L"C:\\Empty", L"O:BAD:P");
    machine.AddFolder(L"C:\\Locked", L"O:BAD:(A;;FA;;;BA)");
    machine.DenyAccess(L"C:\\Locked", 0x20000);
    int nullResult = LoadAceEntries(machine, L"C:\\Null", nullptr, false).result;
    int emptyResult = LoadAceEntries(machine, L"C:\\Empty", nullptr, false).result;
    int lockedResult = LoadAceEntries(machine, L"C:\\Locked", nullptr, false).result;
    EXPECT_EQ(nullResult, kAcesNoDacl);
    EXPECT_EQ(emptyResult, 0);
    EXPECT_EQ(lockedResult, kAcesUnreadable);
    EXPECT_EQ(EmptyListText(nullResult), kNullDaclText);
    EXPECT_EQ(EmptyListText(emptyResult), kEmptyDaclText);
    EXPECT_EQ(EmptyListText(lockedResult), kCannotViewPermissionsText);
    EXPECT_EQ(EmptyListText(3), L"");
    EXPECT_NE(std::wstring(kNullDaclText).find(L"object\u2019s owner"), std::wstring::npos);
    EXPECT_NE(std::wstring(kNullDaclText).find(L"object.\n\nWarning"), std::wstring::npos);
}

// ---- Merging ----------------------------------------------------------------

struct MergeCase {
    const char* what;
    std::vector<AceEntry> input;
    std::vector<AceEntry> expected;
};

TEST(MergeAceEntries, JoinsRecordsOfOneTrustee) {
    const std::vector<MergeCase> cases = {
        {"scopes differ only: joined scope",
         {Allow(L"Everyone", 0x1200A9, 0), Allow(L"everyone", 0x1200A9, 11)},
         {Allow(L"Everyone", 0x1200A9, 3)}},
        {"three scopes joined",
         {Allow(L"Everyone", 0x1200A9, 0), Allow(L"Everyone", 0x1200A9, 11),
          Allow(L"Everyone", 0x1200A9, 9)},
         {Allow(L"Everyone", 0x1200A9, 3)}},
        {"different rights, neither scope covers",
         {Allow(L"Everyone", 0x1F01FF, 0), Allow(L"Everyone", 0x120089, 11)},
         {Allow(L"Everyone", 0x1F01FF, 0), Allow(L"Everyone", 0x120089, 11)}},
        {"covered subset disappears",
         {Allow(L"Everyone", 0xF01FF, 3), Allow(L"Everyone", 0x20089, 11)},
         {Allow(L"Everyone", 0xF01FF, 3)}},
        {"SYNCHRONIZE is above the compared bits",
         {Allow(L"Everyone", 0x1F01FF, 3), Allow(L"Everyone", 0x120089, 11)},
         {Allow(L"Everyone", 0x1F01FF, 3), Allow(L"Everyone", 0x120089, 11)}},
        {"equal scopes join rights",
         {Allow(L"Bob", 0x1, 3), Allow(L"Bob", 0x2, 3)},
         {Allow(L"Bob", 0x3, 3)}},
        {"allow and deny never merge",
         {Allow(L"Users", 0x1200A9, 3), Deny(L"Users", 0x1200A9, 3)},
         {Allow(L"Users", 0x1200A9, 3), Deny(L"Users", 0x1200A9, 3)}},
        {"inherited and explicit never merge",
         {Allow(L"Users", 0x1200A9, 3, 1), Allow(L"Users", 0x1200A9, 3)},
         {Allow(L"Users", 0x1200A9, 3, 1), Allow(L"Users", 0x1200A9, 3)}},
        {"other trustees keep their order",
         {Allow(L"A", 1, 0), Allow(L"B", 1, 0), Allow(L"A", 1, 11), Allow(L"C", 2, 0)},
         {Allow(L"A", 1, 3), Allow(L"B", 1, 0), Allow(L"C", 2, 0)}},
        {"deny masks join in the deny field",
         {Deny(L"Bob", 0x1, 0), Deny(L"Bob", 0x2, 0)},
         {Deny(L"Bob", 0x3, 0)}},
    };
    for (const MergeCase& c : cases) {
        std::vector<AceEntry> entries = c.input;
        MergeAceEntries(entries);
        EXPECT_EQ(entries, c.expected) << c.what;
    }
}

// ---- Writing back ---------------------------------------------------------

TEST_F(AceEntriesTest, SameScopeRowsBecomeOneAllowEntryWithSynchronize) {
    PrepareEmpty(L"C:\\W");
    EXPECT_EQ(ApplyAceEntries(engine, L"C:\\W", {Allow(L"Bob", 0x1, 0), Allow(L"Bob", 0x2, 0)}), 1);
    const auto& aces = Written(L"C:\\W");
    ASSERT_EQ(aces.size(), 1u);
    EXPECT_EQ(aces[0].mask, 0x100003u);
    EXPECT_EQ(aces[0].flags, 0);
    EXPECT_EQ(aces[0].type, ace_type::kAccessAllowed);
}

TEST_F(AceEntriesTest, DifferentScopesGiveOneEntryPerScope) {
    PrepareEmpty(L"C:\\W");
    ApplyAceEntries(engine, L"C:\\W", {Allow(L"Bob", 0xF01FF, 0), Allow(L"Bob", 0x120089, 11)});
    const auto& aces = Written(L"C:\\W");
    ASSERT_EQ(aces.size(), 2u);
    std::vector<std::pair<uint8_t, uint32_t>> got;
    for (const Ace& ace : aces)
        got.push_back({ace.flags, ace.mask});
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::pair<uint8_t, uint32_t>>{{0, 0x1F01FF}, {11, 0x120089}}));
}

TEST_F(AceEntriesTest, CoveredRowsAreAbsorbedAndCaseCountsForNames) {
    PrepareEmpty(L"C:\\W");
    // Scope 3 full control covers the read row of scope 11 of the same name;
    // "bob" is another spelling and is written on its own.
    ApplyAceEntries(
        engine, L"C:\\W",
        {Allow(L"Bob", 0xF01FF, 3), Allow(L"Bob", 0x20089, 11), Allow(L"bob", 0x20089, 11)});
    const auto& aces = Written(L"C:\\W");
    ASSERT_EQ(aces.size(), 2u);
}

TEST_F(AceEntriesTest, NewEntriesDenyEntriesAndInheritedRows) {
    PrepareEmpty(L"C:\\W");
    AceEntry added = NewAceEntry(L"Bob");
    EXPECT_EQ(added, Allow(L"Bob", 0xF01FF, 3));
    ApplyAceEntries(
        engine, L"C:\\W",
        {added, Deny(L"Everyone", 0x1F01FF, 0), Allow(L"SYSTEM", 0x1F01FF, 3, /*inherited=*/1)});
    const auto& aces = Written(L"C:\\W");
    ASSERT_EQ(aces.size(), 2u);
    EXPECT_EQ(aces[0].type, ace_type::kAccessDenied);  // canonical order: deny first
    EXPECT_EQ(aces[0].mask, 0x1F01FFu);                // as read, never opened
    EXPECT_EQ(aces[1].mask, 0x1F01FFu);
    EXPECT_EQ(aces[1].flags, 3);
}

TEST_F(AceEntriesTest, UnresolvableNamesAreDroppedSilently) {
    PrepareEmpty(L"C:\\W");
    EXPECT_EQ(ApplyAceEntries(engine, L"C:\\W", {Allow(L"S-1-5-21-1-2-3-999", 0x1, 0)}), 0);
    EXPECT_TRUE(Written(L"C:\\W").empty());
    EXPECT_TRUE(reporter.messages().empty());
}

TEST(AceEntryTexts, DisplayNameDropsEverythingUpToTheLastBackslash) {
    EXPECT_EQ(DisplayName(L"NT Service\\TrustedInstaller"), L"TrustedInstaller");
    EXPECT_EQ(DisplayName(L"Everyone"), L"Everyone");
    EXPECT_EQ(DisplayName(L"a\\b\\"), L"");
}

}  // namespace
}  // namespace vm
