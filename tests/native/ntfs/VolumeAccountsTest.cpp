#include <gtest/gtest.h>

#include "native/ntfs/FakeHive.h"
#include "platform/Utf16.h"

namespace vm::ntfs {
namespace {

using testing::FakeHive;

const Sid kMachine(5, {21, 1111, 2222, 3333});

// The domain V value: unrelated bytes, then the machine SID at its end.
Bytes AccountV(const Sid& machine, size_t leading = 40) {
    Bytes v(leading, 0xAB);
    machine.AppendTo(v);
    return v;
}

FakeHive SamWith(const std::vector<std::pair<std::wstring, uint32_t>>& users) {
    FakeHive sam;
    sam.Set(L"SAM\\Domains\\Account", L"V", 3, AccountV(kMachine));
    for (const auto& [name, rid] : users)
        sam.Set(L"SAM\\Domains\\Account\\Users\\Names\\" + name, L"", rid);
    sam.Set(L"SAM\\Domains\\Account\\Groups\\Names\\None", L"", 513);
    sam.Set(L"SAM\\Domains\\Account\\Aliases\\Names\\Auditors", L"", 1005);
    sam.Set(L"SAM\\Domains\\Builtin\\Aliases\\Names\\Administratoren", L"", 544);
    sam.Set(L"SAM\\Domains\\Builtin\\Aliases\\Names\\Hyper-V-Admins", L"", 578);
    return sam;
}

Sid Local(uint32_t rid) {
    auto subs = kMachine.subAuthorities();
    subs.push_back(rid);
    return Sid(5, subs);
}

void PutLe32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// An alias's C value as Windows writes it: the 52-byte header, a name, then
// the member SIDs one after the other.
Bytes AliasC(uint32_t rid, const std::vector<Sid>& members) {
    Bytes c(52, 0);
    PutLe32(c, 0, rid);
    Bytes name = {'A', 0, 'B', 0};
    PutLe32(c, 16, 0);
    PutLe32(c, 20, static_cast<uint32_t>(name.size()));
    c.insert(c.end(), name.begin(), name.end());
    Bytes list;
    for (const Sid& member : members)
        member.AppendTo(list);
    PutLe32(c, 40, static_cast<uint32_t>(name.size()));
    PutLe32(c, 44, static_cast<uint32_t>(list.size()));
    PutLe32(c, 48, static_cast<uint32_t>(members.size()));
    c.insert(c.end(), list.begin(), list.end());
    return c;
}

TEST(MachineSidTest, IsTheLastMachineSidInTheDomainValue) {
    EXPECT_EQ(MachineSidFromAccountV(AccountV(kMachine)), kMachine);
    EXPECT_EQ(MachineSidFromAccountV(AccountV(kMachine, 0)), kMachine);
    // One followed by padding, and an older one before it.
    Bytes v = AccountV(Sid(5, {21, 7, 8, 9}));
    kMachine.AppendTo(v);
    v.push_back(0);
    EXPECT_EQ(MachineSidFromAccountV(v), kMachine);
    Bytes cut = AccountV(kMachine);
    cut.pop_back();
    EXPECT_FALSE(MachineSidFromAccountV(cut));
    EXPECT_FALSE(MachineSidFromAccountV(Bytes(23, 1)));
    EXPECT_FALSE(MachineSidFromAccountV({}));
}

TEST(VolumeAccountsTest, WellKnownAccountsResolveWithoutAHive) {
    VolumeAccounts accounts;
    EXPECT_EQ(accounts.FindByName(L"administrators")->sid, sids::Administrators());
    EXPECT_EQ(accounts.FindByName(L"NT SERVICE\\TrustedInstaller")->sid, sids::TrustedInstaller());
    EXPECT_EQ(accounts.FindBySid(Sid(5, {20}))->name, L"NETWORK SERVICE");
    EXPECT_EQ(accounts.FindBySid(Sid(16, {12288}))->use, SidNameUse::kLabel);
    EXPECT_EQ(accounts.FindByName(L"ALL APPLICATION PACKAGES")->sid, Sid(15, {2, 1}));
    EXPECT_FALSE(accounts.FindByName(L"Alice"));
    EXPECT_FALSE(accounts.MachineSid());
}

TEST(VolumeAccountsTest, SamAccountsGetTheMachineSidAndTheirRids) {
    VolumeAccounts accounts;
    ASSERT_TRUE(
        accounts.AddFromSam(SamWith({{L"Administrator", 500}, {L"Alice", 1001}}), L"WINBOX"));
    EXPECT_EQ(accounts.MachineSid(), kMachine);
    auto alice = accounts.FindByName(L"alice");
    ASSERT_TRUE(alice);
    EXPECT_EQ(alice->sid, Local(1001));
    EXPECT_EQ(alice->domain, L"WINBOX");
    EXPECT_EQ(alice->use, SidNameUse::kUser);
    EXPECT_EQ(accounts.FindBySid(Local(500))->name, L"Administrator");
    EXPECT_EQ(accounts.FindByName(L"WINBOX\\Administrator")->sid, Local(500));
    EXPECT_FALSE(accounts.FindByName(L"OTHER\\Administrator"));
    EXPECT_EQ(accounts.FindBySid(Local(513))->use, SidNameUse::kGroup);
    EXPECT_EQ(accounts.FindByName(L"Auditors")->sid, Local(1005));
    EXPECT_EQ(accounts.FindByName(L"Auditors")->use, SidNameUse::kAlias);
}

TEST(VolumeAccountsTest, LocalisedBuiltinNamesResolveButTheEnglishNameIsShown) {
    VolumeAccounts accounts;
    ASSERT_TRUE(accounts.AddFromSam(SamWith({}), L"WINBOX"));
    EXPECT_EQ(accounts.FindByName(L"Administratoren")->sid, sids::Administrators());
    EXPECT_EQ(accounts.FindByName(L"BUILTIN\\Hyper-V-Admins")->sid, Sid(5, {32, 578}));
    EXPECT_EQ(accounts.FindBySid(sids::Administrators())->name, L"Administrators");
    EXPECT_EQ(accounts.FindBySid(Sid(5, {32, 578}))->name, L"Hyper-V Administrators");
}

TEST(VolumeAccountsTest, BareNamesPreferWellKnownThenBuiltinThenTheComputer) {
    VolumeAccounts accounts;
    // Local accounts named like a well-known one and like a BUILTIN alias.
    ASSERT_TRUE(
        accounts.AddFromSam(SamWith({{L"SYSTEM", 1002}, {L"Backup Operators", 1003}}), L"WINBOX"));
    EXPECT_EQ(accounts.FindByName(L"SYSTEM")->sid, sids::System());
    EXPECT_EQ(accounts.FindByName(L"Backup Operators")->sid, Sid(5, {32, 551}));
    EXPECT_EQ(accounts.FindByName(L"WINBOX\\SYSTEM")->sid, Local(1002));
}

TEST(VolumeAccountsTest, AHiveWithoutAMachineSidAddsNothing) {
    VolumeAccounts accounts;
    FakeHive noV = SamWith({{L"Alice", 1001}});
    noV.Set(L"SAM\\Domains\\Account", L"V", 3, Bytes(12, 0));
    EXPECT_FALSE(accounts.AddFromSam(noV, L"WINBOX"));
    FakeHive otherAuthority;
    otherAuthority.Set(L"SAM\\Domains\\Account", L"V", 3, AccountV(Sid(5, {32, 1, 2, 3})));
    otherAuthority.Set(L"SAM\\Domains\\Account\\Users\\Names\\Alice", L"", 1001);
    EXPECT_FALSE(accounts.AddFromSam(otherAuthority, L"WINBOX"));
    EXPECT_FALSE(accounts.AddFromSam(FakeHive(), L"WINBOX"));
    EXPECT_FALSE(accounts.FindByName(L"Alice"));
    EXPECT_FALSE(accounts.MachineSid());
}

TEST(VolumeAccountsTest, ComputerNameComesFromTheCurrentControlSet) {
    FakeHive system;
    auto name = [](const std::wstring& text) {
        Bytes bytes = ToUtf16LeBytes(text);
        bytes.push_back(0);
        bytes.push_back(0);
        return bytes;
    };
    system.Set(L"Select", L"Current", 4, Bytes{2, 0, 0, 0});
    system.Set(L"ControlSet001\\Control\\ComputerName\\ComputerName", L"ComputerName", 1,
               name(L"OLDNAME"));
    system.Set(L"ControlSet002\\Control\\ComputerName\\ComputerName", L"ComputerName", 1,
               name(L"WINBOX"));
    EXPECT_EQ(ComputerNameFromSystemHive(system), L"WINBOX");
    system.Set(L"Select", L"Current", 4, Bytes{3, 0, 0, 0});
    EXPECT_EQ(ComputerNameFromSystemHive(system), L"");
    system.Set(L"Select", L"Current", 4, Bytes{1, 0});
    EXPECT_EQ(ComputerNameFromSystemHive(system), L"");
    EXPECT_EQ(ComputerNameFromSystemHive(FakeHive()), L"");
}

TEST(AliasMembersTest, MembersAreReadWithEveryLengthChecked) {
    Bytes c = AliasC(544, {Local(500), Local(1001), sids::Everyone()});
    EXPECT_EQ(AliasMembersFromC(c), (std::vector<Sid>{Local(500), Local(1001), sids::Everyone()}));
    EXPECT_EQ(AliasMembersFromC(AliasC(545, {})), std::vector<Sid>{});
    Bytes cut = c;
    cut.pop_back();  // the last SID is short
    EXPECT_FALSE(AliasMembersFromC(cut));
    Bytes moreThanListed = c;
    PutLe32(moreThanListed, 48, 4);
    EXPECT_FALSE(AliasMembersFromC(moreThanListed));
    Bytes outside = c;
    PutLe32(outside, 40, 0xFFFFFFF0u);  // an offset that wraps past the end
    EXPECT_FALSE(AliasMembersFromC(outside));
    Bytes tooLong = c;
    PutLe32(tooLong, 44, 0xFFFFFFFFu);
    EXPECT_FALSE(AliasMembersFromC(tooLong));
    Bytes badSid = c;
    badSid[52 + 4] = 16;  // the first SID claims 16 sub-authorities
    EXPECT_FALSE(AliasMembersFromC(badSid));
    EXPECT_FALSE(AliasMembersFromC(Bytes(51, 0)));
}

TEST(VolumeAccountsTest, LocalGroupsOfAUserComeFromTheAliasMembers) {
    FakeHive sam = SamWith({{L"Administrator", 500}, {L"Alice", 1001}, {L"Bob", 1002}});
    sam.Set(L"SAM\\Domains\\Builtin\\Aliases\\Names\\Users", L"", 545);
    sam.Set(L"SAM\\Domains\\Builtin\\Aliases\\00000220", L"C", 3,
            AliasC(544, {Local(500), Local(1001)}));
    sam.Set(L"SAM\\Domains\\Builtin\\Aliases\\00000221", L"C", 3,
            AliasC(545, {Local(1001), Local(1002), Sid(5, {11})}));
    sam.Set(L"SAM\\Domains\\Account\\Aliases\\000003ED", L"C", 3, AliasC(1005, {Local(1002)}));
    // A damaged value gives the alias no members, and nothing else is lost.
    sam.Set(L"SAM\\Domains\\Builtin\\Aliases\\00000242", L"C", 3, Bytes(10, 0xFF));
    VolumeAccounts accounts;
    ASSERT_TRUE(accounts.AddFromSam(sam, L"WINBOX"));
    // Localised alias names come back as LookupAccountSidW shows them.
    EXPECT_EQ(accounts.LocalGroupsOf(Local(1001)),
              (std::vector<std::wstring>{L"Administrators", L"Users"}));
    EXPECT_EQ(accounts.LocalGroupsOf(Local(1002)),
              (std::vector<std::wstring>{L"Users", L"Auditors"}));
    EXPECT_TRUE(accounts.LocalGroupsOf(Local(1234)).empty());
    EXPECT_EQ(accounts.BuiltinAdministrator()->name, L"Administrator");
    EXPECT_FALSE(VolumeAccounts().BuiltinAdministrator());
}

}  // namespace
}  // namespace vm::ntfs
