#include "platform/rules/Accounts.h"

#include <algorithm>

#include "platform/rules/Paths.h"

namespace vm::rules {

namespace {

constexpr uint64_t kNtAuthority = 5;
constexpr uint32_t kBuiltinDomainRid = 32;

Account WellKnown(Sid sid, const std::wstring& name, const std::wstring& domain, SidNameUse use) {
    Account account;
    account.sid = std::move(sid);
    account.name = name;
    account.domain = domain;
    account.use = use;
    return account;
}

bool IsGroupUse(SidNameUse use) {
    return use == SidNameUse::kGroup || use == SidNameUse::kAlias;
}

}  // namespace

const std::vector<uint32_t>& ComputerDomainSubAuthorities() {
    static const std::vector<uint32_t> subs{21, 1004336348, 1177238915, 682003330};
    return subs;
}

const std::vector<uint32_t>& DomainSubAuthorities() {
    static const std::vector<uint32_t> subs{21, 3623811015, 3361044348, 30300820};
    return subs;
}

Accounts::Accounts() {
    // Names and domains as LookupAccountSidW reports them on an English system.
    Add(WellKnown(sids::Everyone(), L"Everyone", L"", SidNameUse::kWellKnownGroup));
    Add(WellKnown(sids::CreatorOwner(), L"CREATOR OWNER", L"", SidNameUse::kWellKnownGroup));
    Add(WellKnown(Sid(3, {1}), L"CREATOR GROUP", L"", SidNameUse::kWellKnownGroup));
    Add(WellKnown(sids::System(), L"SYSTEM", L"NT AUTHORITY", SidNameUse::kWellKnownGroup));
    Add(WellKnown(sids::AuthenticatedUsers(), L"Authenticated Users", L"NT AUTHORITY",
                  SidNameUse::kWellKnownGroup));
    Add(WellKnown(Sid(kNtAuthority, {4}), L"INTERACTIVE", L"NT AUTHORITY",
                  SidNameUse::kWellKnownGroup));
    Add(WellKnown(sids::Administrators(), L"Administrators", L"BUILTIN", SidNameUse::kAlias));
    Add(WellKnown(sids::Users(), L"Users", L"BUILTIN", SidNameUse::kAlias));
    Add(WellKnown(Sid(kNtAuthority, {kBuiltinDomainRid, 546}), L"Guests", L"BUILTIN",
                  SidNameUse::kAlias));
    Add(WellKnown(sids::TrustedInstaller(), L"TrustedInstaller", L"NT SERVICE",
                  SidNameUse::kWellKnownGroup));
}

Sid Accounts::Add(Account account) {
    accounts_.push_back(std::move(account));
    return accounts_.back().sid;
}

Sid Accounts::NextSid(const std::vector<uint32_t>& domainSubs) {
    std::vector<uint32_t> subs = domainSubs;
    subs.push_back(nextRid_++);
    return Sid(kNtAuthority, std::move(subs));
}

Sid Accounts::AddLocalUser(const std::wstring& name) {
    return Add(
        WellKnown(NextSid(ComputerDomainSubAuthorities()), name, kComputerName, SidNameUse::kUser));
}

Sid Accounts::AddLocalGroup(const std::wstring& name) {
    return Add(WellKnown(NextSid(ComputerDomainSubAuthorities()), name, kComputerName,
                         SidNameUse::kAlias));
}

Sid Accounts::AddDomainUser(const std::wstring& name) {
    return Add(WellKnown(NextSid(DomainSubAuthorities()), name, kDomainName, SidNameUse::kUser));
}

Sid Accounts::AddDomainGroup(const std::wstring& name) {
    return Add(WellKnown(NextSid(DomainSubAuthorities()), name, kDomainName, SidNameUse::kGroup));
}

bool Accounts::AddMember(const std::wstring& groupName, const std::wstring& memberName) {
    const Account* member = FindByName(memberName);
    const Account* group = FindByName(groupName);
    if (!member || !group || !IsGroupUse(group->use))
        return false;
    Sid memberSid = member->sid;
    for (auto& account : accounts_) {
        if (&account == group) {
            account.members.push_back(memberSid);
            return true;
        }
    }
    return false;
}

bool Accounts::AddMember(const Sid& group, const Sid& member) {
    for (auto& account : accounts_) {
        if (account.sid == group && IsGroupUse(account.use)) {
            account.members.push_back(member);
            return true;
        }
    }
    return false;
}

std::optional<Sid> Accounts::Delete(const std::wstring& name) {
    const Account* found = FindByName(name);
    if (!found)
        return std::nullopt;
    Sid sid = found->sid;
    std::erase_if(accounts_, [&](const Account& a) { return a.sid == sid; });
    for (auto& account : accounts_)
        std::erase(account.members, sid);
    return sid;
}

const Account* Accounts::FindByName(const std::wstring& name) const {
    size_t slash = name.find(L'\\');
    if (slash != std::wstring::npos) {
        std::wstring domain = name.substr(0, slash);
        std::wstring bare = name.substr(slash + 1);
        for (const auto& account : accounts_) {
            if (SameName(account.domain, domain) && SameName(account.name, bare))
                return &account;
        }
        return nullptr;
    }
    // A bare name: well-known and BUILTIN first, then the computer, then the
    // domain. Service accounts ("NT SERVICE\...") resolve only with their
    // prefix, which is why callers spell TrustedInstaller out in full.
    const wchar_t* order[] = {L"", L"NT AUTHORITY", L"BUILTIN", kComputerName, kDomainName};
    for (const wchar_t* domain : order) {
        for (const auto& account : accounts_) {
            if (SameName(account.domain, domain) && SameName(account.name, name))
                return &account;
        }
    }
    // Then the other domains a machine description may name, as trusted
    // domains are searched after the computer's own.
    for (const auto& account : accounts_) {
        bool searched = std::any_of(std::begin(order), std::end(order),
                                    [&](const wchar_t* d) { return SameName(account.domain, d); });
        if (!searched && SameName(account.name, name))
            return &account;
    }
    return nullptr;
}

bool Accounts::Insert(Account account) {
    for (const auto& existing : accounts_) {
        bool sameName =
            SameName(existing.domain, account.domain) && SameName(existing.name, account.name);
        if (existing.sid == account.sid || sameName)
            return false;
    }
    const auto& subs = account.sid.subAuthorities();
    for (const auto* domain : {&ComputerDomainSubAuthorities(), &DomainSubAuthorities()}) {
        bool inDomain = account.sid.authority() == kNtAuthority &&
                        subs.size() == domain->size() + 1 &&
                        std::equal(domain->begin(), domain->end(), subs.begin());
        if (inDomain && subs.back() >= nextRid_)
            nextRid_ = subs.back() + 1;
    }
    Add(std::move(account));
    return true;
}

void Accounts::Clear() {
    accounts_.clear();
}

const Account* Accounts::FindBySid(const Sid& sid) const {
    for (const auto& account : accounts_) {
        if (account.sid == sid)
            return &account;
    }
    return nullptr;
}

std::vector<const Account*> Accounts::GroupsOf(const Sid& sid) const {
    std::vector<Sid> holders{sid};
    std::vector<const Account*> groups;
    // Grow the set of holders until no group adds a new one (nesting).
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& account : accounts_) {
            if (!IsGroupUse(account.use))
                continue;
            bool already = std::find(groups.begin(), groups.end(), &account) != groups.end();
            if (already)
                continue;
            for (const auto& member : account.members) {
                if (std::find(holders.begin(), holders.end(), member) != holders.end()) {
                    groups.push_back(&account);
                    holders.push_back(account.sid);
                    grew = true;
                    break;
                }
            }
        }
    }
    std::vector<const Account*> ordered;
    for (const auto& account : accounts_) {
        if (std::find(groups.begin(), groups.end(), &account) != groups.end())
            ordered.push_back(&account);
    }
    return ordered;
}

}  // namespace vm::rules
