#include "platform/ntfs/VolumeAccounts.h"

#include <algorithm>
#include <array>

#include "platform/TextCase.h"
#include "platform/Utf16.h"

namespace vm::ntfs {

namespace {

constexpr uint64_t kNtAuthority = 5;
constexpr uint32_t kBuiltinRid = 32;
constexpr uint32_t kNonUniqueRid = 21;  // SECURITY_NT_NON_UNIQUE: S-1-5-21-...

const wchar_t* const kNtAuthorityDomain = L"NT AUTHORITY";
const wchar_t* const kBuiltinDomain = L"BUILTIN";

struct WellKnownEntry {
    uint64_t authority;
    std::array<uint32_t, 2> subs;
    size_t subCount;
    const wchar_t* name;
    const wchar_t* domain;
    SidNameUse use;
};

// Well-known SIDs (MS-DTYP 2.4.2.4) that Windows resolves and the shared
// account table does not carry, with the names LookupAccountSidW gives on
// an English system.
constexpr WellKnownEntry kMoreWellKnown[] = {
    {2, {0}, 1, L"LOCAL", L"", SidNameUse::kWellKnownGroup},
    {3, {4}, 1, L"OWNER RIGHTS", L"", SidNameUse::kWellKnownGroup},
    {5, {2}, 1, L"NETWORK", kNtAuthorityDomain, SidNameUse::kWellKnownGroup},
    {5, {3}, 1, L"BATCH", kNtAuthorityDomain, SidNameUse::kWellKnownGroup},
    {5, {6}, 1, L"SERVICE", kNtAuthorityDomain, SidNameUse::kWellKnownGroup},
    {5, {7}, 1, L"ANONYMOUS LOGON", kNtAuthorityDomain, SidNameUse::kWellKnownGroup},
    {5, {10}, 1, L"SELF", kNtAuthorityDomain, SidNameUse::kWellKnownGroup},
    {5, {15}, 1, L"This Organization", kNtAuthorityDomain, SidNameUse::kWellKnownGroup},
    {5, {19}, 1, L"LOCAL SERVICE", kNtAuthorityDomain, SidNameUse::kWellKnownGroup},
    {5, {20}, 1, L"NETWORK SERVICE", kNtAuthorityDomain, SidNameUse::kWellKnownGroup},
    {5, {32, 548}, 2, L"Account Operators", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 549}, 2, L"Server Operators", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 550}, 2, L"Print Operators", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 551}, 2, L"Backup Operators", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 555}, 2, L"Remote Desktop Users", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 556}, 2, L"Network Configuration Operators", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 558}, 2, L"Performance Monitor Users", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 559}, 2, L"Performance Log Users", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 562}, 2, L"Distributed COM Users", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 568}, 2, L"IIS_IUSRS", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 569}, 2, L"Cryptographic Operators", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 573}, 2, L"Event Log Readers", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 578}, 2, L"Hyper-V Administrators", kBuiltinDomain, SidNameUse::kAlias},
    {5, {32, 580}, 2, L"Remote Management Users", kBuiltinDomain, SidNameUse::kAlias},
    {15,
     {2, 1},
     2,
     L"ALL APPLICATION PACKAGES",
     L"APPLICATION PACKAGE AUTHORITY",
     SidNameUse::kWellKnownGroup},
    {15,
     {2, 2},
     2,
     L"ALL RESTRICTED APPLICATION PACKAGES",
     L"APPLICATION PACKAGE AUTHORITY",
     SidNameUse::kWellKnownGroup},
    {16, {4096}, 1, L"Low Mandatory Level", L"Mandatory Label", SidNameUse::kLabel},
    {16, {8192}, 1, L"Medium Mandatory Level", L"Mandatory Label", SidNameUse::kLabel},
    {16, {12288}, 1, L"High Mandatory Level", L"Mandatory Label", SidNameUse::kLabel},
    {16, {16384}, 1, L"System Mandatory Level", L"Mandatory Label", SidNameUse::kLabel},
};

VolumeAccount FromSim(const rules::Account& account) {
    return {account.sid, account.name, account.domain, account.use};
}

// Where a bare name is looked for: well-known first, then BUILTIN, then the
// computer's own accounts (LookupAccountNameW's order).
int SearchRank(const std::wstring& domain) {
    if (domain.empty() || domain == kNtAuthorityDomain)
        return 0;
    return domain == kBuiltinDomain ? 1 : 2;
}

std::wstring Joined(const std::wstring& keyPath, const std::wstring& name) {
    return keyPath + L"\\" + name;
}

// The key of one alias below an Aliases key: its RID as eight upper-case
// hexadecimal digits ("00000220").
std::wstring AliasKeyName(uint32_t rid) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring name(8, L'0');
    for (int i = 7; i >= 0; --i, rid >>= 4)
        name[static_cast<size_t>(i)] = kDigits[rid & 0xF];
    return name;
}

// The accounts under one "Names" key: each sub-key is an account name, the
// type of its default value the account's RID. An alias gets the members its
// C value lists (none when the value is missing or damaged).
void AddNamed(const RegistryHive& sam, const std::wstring& namesKey, const Sid& domainSid,
              const std::wstring& domain, SidNameUse use, std::vector<VolumeAccount>& out) {
    auto names = sam.SubKeys(namesKey);
    if (!names)
        return;
    for (const auto& name : *names) {
        auto rid = sam.Value(Joined(namesKey, name), L"");
        if (!rid)
            continue;
        std::vector<uint32_t> subs = domainSid.subAuthorities();
        subs.push_back(rid->type);
        VolumeAccount account{Sid(domainSid.authority(), std::move(subs)), name, domain, use, {}};
        if (use == SidNameUse::kAlias) {
            std::wstring aliasesKey = namesKey.substr(0, namesKey.rfind(L'\\'));
            auto c = sam.Value(Joined(aliasesKey, AliasKeyName(rid->type)), L"C");
            if (auto members = c ? AliasMembersFromC(c->data) : std::nullopt)
                account.members = std::move(*members);
        }
        out.push_back(std::move(account));
    }
}

}  // namespace

VolumeAccounts::VolumeAccounts() {
    for (const auto& entry : kMoreWellKnown) {
        std::vector<uint32_t> subs(entry.subs.begin(), entry.subs.begin() + entry.subCount);
        accounts_.push_back(
            {Sid(entry.authority, std::move(subs)), entry.name, entry.domain, entry.use});
    }
}

std::optional<Sid> MachineSidFromAccountV(std::span<const uint8_t> v) {
    // S-1-5-21-x-y-z: revision 1, four sub-authorities, authority 5, then 21.
    static constexpr uint8_t kPrefix[] = {1, 4, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0};
    constexpr size_t kSidSize = 24;
    if (v.size() < kSidSize)
        return std::nullopt;
    for (size_t at = v.size() - kSidSize + 1; at-- > 0;) {
        if (std::equal(std::begin(kPrefix), std::end(kPrefix), v.begin() + at))
            return Sid::Parse(v.subspan(at, kSidSize));
    }
    return std::nullopt;
}

std::optional<std::vector<Sid>> AliasMembersFromC(std::span<const uint8_t> c) {
    constexpr size_t kHeaderSize = 52;
    if (c.size() < kHeaderSize)
        return std::nullopt;
    uint64_t offset = kHeaderSize + uint64_t{ReadLe32(c, 40)};
    uint64_t size = ReadLe32(c, 44);
    uint32_t count = ReadLe32(c, 48);
    if (offset > c.size() || size > c.size() - offset)
        return std::nullopt;
    std::span<const uint8_t> list =
        c.subspan(static_cast<size_t>(offset), static_cast<size_t>(size));
    std::vector<Sid> members;
    size_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        // Each SID: revision, sub-authority count, 6-byte authority, then
        // four bytes per sub-authority (MS-DTYP 2.4.2.2).
        if (list.size() - at < 8)
            return std::nullopt;
        size_t length = 8 + 4 * size_t{list[at + 1]};
        if (list.size() - at < length)
            return std::nullopt;
        auto sid = Sid::Parse(list.subspan(at, length));
        if (!sid)
            return std::nullopt;
        members.push_back(std::move(*sid));
        at += length;
    }
    return members;
}

bool VolumeAccounts::AddFromSam(const RegistryHive& sam, const std::wstring& computerName) {
    const std::wstring account = L"SAM\\Domains\\Account";
    auto v = sam.Value(account, L"V");
    auto machine = v ? MachineSidFromAccountV(v->data) : std::nullopt;
    if (!machine || machine->subAuthorities().front() != kNonUniqueRid)
        return false;
    machineSid_ = machine;
    AddNamed(sam, L"SAM\\Domains\\Builtin\\Aliases\\Names", Sid(kNtAuthority, {kBuiltinRid}),
             kBuiltinDomain, SidNameUse::kAlias, accounts_);
    AddNamed(sam, account + L"\\Users\\Names", *machine, computerName, SidNameUse::kUser,
             accounts_);
    AddNamed(sam, account + L"\\Groups\\Names", *machine, computerName, SidNameUse::kGroup,
             accounts_);
    AddNamed(sam, account + L"\\Aliases\\Names", *machine, computerName, SidNameUse::kAlias,
             accounts_);
    return true;
}

std::optional<VolumeAccount> VolumeAccounts::FindByName(const std::wstring& name) const {
    if (const rules::Account* known = wellKnown_.FindByName(name))
        return FromSim(*known);
    size_t slash = name.find(L'\\');
    if (slash != std::wstring::npos) {
        std::wstring_view domain = std::wstring_view(name).substr(0, slash);
        std::wstring_view bare = std::wstring_view(name).substr(slash + 1);
        for (const auto& account : accounts_) {
            if (EqualsIgnoringCase(account.domain, domain) &&
                EqualsIgnoringCase(account.name, bare))
                return account;
        }
        return std::nullopt;
    }
    for (int rank = 0; rank <= 2; ++rank) {
        for (const auto& account : accounts_) {
            if (SearchRank(account.domain) == rank && EqualsIgnoringCase(account.name, name))
                return account;
        }
    }
    return std::nullopt;
}

std::optional<VolumeAccount> VolumeAccounts::FindBySid(const Sid& sid) const {
    if (const rules::Account* known = wellKnown_.FindBySid(sid))
        return FromSim(*known);
    for (const auto& account : accounts_) {
        if (account.sid == sid)
            return account;
    }
    return std::nullopt;
}

std::wstring ComputerNameFromSystemHive(const RegistryHive& system) {
    auto current = system.Value(L"Select", L"Current");
    if (!current || current->data.size() < 4)
        return L"";
    uint32_t set = ReadLe32(current->data, 0);
    if (set == 0 || set > 999)
        return L"";
    std::wstring number = std::to_wstring(set);
    std::wstring key = L"ControlSet" + std::wstring(3 - number.size(), L'0') + number +
                       L"\\Control\\ComputerName\\ComputerName";
    auto name = system.Value(key, L"ComputerName");
    if (!name)
        return L"";
    std::wstring text = FromUtf16LeBytes(name->data);
    return text.substr(0, text.find(L'\0'));
}

std::vector<std::wstring> VolumeAccounts::LocalGroupsOf(const Sid& user) const {
    // The BUILTIN aliases were added first, so the SAM's order is kept. A
    // name is given as LookupAccountSidW gives it, so that the program's
    // group test, which compares names, finds the entries of the alias.
    std::vector<std::wstring> names;
    for (const auto& alias : accounts_) {
        if (alias.use != SidNameUse::kAlias ||
            std::find(alias.members.begin(), alias.members.end(), user) == alias.members.end())
            continue;
        auto shown = FindBySid(alias.sid);
        names.push_back(shown ? shown->name : alias.name);
    }
    return names;
}

std::optional<VolumeAccount> VolumeAccounts::BuiltinAdministrator() const {
    constexpr uint32_t kAdministratorRid = 500;
    if (!machineSid_)
        return std::nullopt;
    std::vector<uint32_t> subs = machineSid_->subAuthorities();
    subs.push_back(kAdministratorRid);
    return FindBySid(Sid(machineSid_->authority(), std::move(subs)));
}

}  // namespace vm::ntfs
