// A table of accounts as the local security authority keeps it: the well-known accounts with their
// real SIDs, local users and groups of the computer, users and groups of its
// domain, and accounts deleted since (their SIDs no longer resolve). Lookups
// behave as LookupAccountNameW / LookupAccountSidW on the local system: the
// bare name and the domain come back separately, and a bare name is searched
// in the order well-known, BUILTIN, computer, domain.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "security/Sid.h"

namespace vm::rules {

inline constexpr const wchar_t* kComputerName = L"VMPC";
inline constexpr const wchar_t* kDomainName = L"CORP";

struct Account {
    Sid sid;
    std::wstring name;
    std::wstring domain;
    SidNameUse use = SidNameUse::kUnknown;
    // Local groups and domain groups: the SIDs of their direct members.
    std::vector<Sid> members;
};

class Accounts {
  public:
    // The well-known accounts and the BUILTIN groups, no users.
    Accounts();

    // Each returns the new account's SID (next relative id of its domain).
    Sid AddLocalUser(const std::wstring& name);
    Sid AddLocalGroup(const std::wstring& name);
    Sid AddDomainUser(const std::wstring& name);
    Sid AddDomainGroup(const std::wstring& name);
    // Adds a member (any account name LookupAccountName accepts) to a group.
    // False when either name is unknown or the group is not a group.
    bool AddMember(const std::wstring& groupName, const std::wstring& memberName);
    // The same by SID; the member need not be an account of this table.
    bool AddMember(const Sid& group, const Sid& member);
    // Removes the account; objects and entries keep its SID. Returns the SID.
    std::optional<Sid> Delete(const std::wstring& name);
    // An account with a SID of its own (a machine description's). False when
    // its SID, or its name within its domain, is taken. Later Add* calls
    // number past its relative id.
    bool Insert(Account account);
    // Removes every account, the well-known ones included.
    void Clear();
    // Every account in the order of creation.
    const std::vector<Account>& All() const { return accounts_; }

    // "name" or "DOMAIN\name", case-insensitive. Pointers stay valid until
    // the next change of the table.
    const Account* FindByName(const std::wstring& name) const;
    const Account* FindBySid(const Sid& sid) const;

    // Groups (local and domain) that hold sid directly or through other
    // groups, each once, in the order the groups were created.
    std::vector<const Account*> GroupsOf(const Sid& sid) const;

  private:
    Sid Add(Account account);
    Sid NextSid(const std::vector<uint32_t>& domainSubs);

    std::vector<Account> accounts_;
    uint32_t nextRid_ = 1001;
};

// Domain parts of the computer's and the domain's account SIDs (S-1-5-21-x-y-z).
const std::vector<uint32_t>& ComputerDomainSubAuthorities();
const std::vector<uint32_t>& DomainSubAuthorities();

}  // namespace vm::rules
