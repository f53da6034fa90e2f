// The accounts of a Windows installation seen from outside it: the
// well-known accounts by name, and, where the installation's registry hives
// are readable, its local users, local groups and BUILTIN aliases from the
// SAM hive (Windows\System32\config\SAM) with the computer's name from the
// SYSTEM hive. Lookups follow LookupAccountNameW / LookupAccountSidW on that
// machine: a bare name is looked for among the well-known accounts, then
// BUILTIN, then the computer's accounts; "DOMAIN\name" only in that domain.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/rules/Accounts.h"
#include "security/Sid.h"

namespace vm::ntfs {

// One registry value: its type (REG_*, or any number: the SAM keeps RIDs
// there) and its bytes.
struct HiveValue {
    uint32_t type = 0;
    Bytes data;
};

// A registry hive, read-only, as far as the account reader needs it. Key
// paths are relative to the hive's root key, names separated by '\'.
class RegistryHive {
  public:
    virtual ~RegistryHive() = default;
    // The names of the key's sub-keys; nullopt when there is no such key.
    virtual std::optional<std::vector<std::wstring>> SubKeys(const std::wstring& keyPath) const = 0;
    // A value of the key ("" is the default value); nullopt when the key or
    // the value does not exist.
    virtual std::optional<HiveValue> Value(const std::wstring& keyPath,
                                           const std::wstring& name) const = 0;
};

struct VolumeAccount {
    Sid sid;
    std::wstring name;
    std::wstring domain;
    SidNameUse use = SidNameUse::kUnknown;
    // An alias (local group): the SIDs of its members.
    std::vector<Sid> members;
};

class VolumeAccounts {
  public:
    // The well-known accounts and BUILTIN aliases, names as an English
    // system gives them.
    VolumeAccounts();

    // Adds the local users, groups and aliases of a SAM hive, in the domain
    // computerName ("" when the name is unknown). False, and nothing added,
    // when the hive has no account domain with a machine SID.
    bool AddFromSam(const RegistryHive& sam, const std::wstring& computerName);

    // "name" or "DOMAIN\name", without regard to case.
    std::optional<VolumeAccount> FindByName(const std::wstring& name) const;
    // The first account with the SID: well-known names before the hive's.
    std::optional<VolumeAccount> FindBySid(const Sid& sid) const;
    // S-1-5-21-x-y-z of the installation, once a SAM hive was read.
    const std::optional<Sid>& MachineSid() const { return machineSid_; }
    // NetUserGetLocalGroups of a user: the aliases (BUILTIN, then the
    // computer's) that list the SID among their members, named as
    // FindBySid names them. (A local group cannot hold another one, and
    // global groups are not followed.)
    std::vector<std::wstring> LocalGroupsOf(const Sid& user) const;
    // The installation's built-in administrator (the computer's RID 500,
    // under whatever name it has), when the SAM hive was read.
    std::optional<VolumeAccount> BuiltinAdministrator() const;

  private:
    rules::Accounts wellKnown_;
    std::vector<VolumeAccount> accounts_;
    std::optional<Sid> machineSid_;
};

// The computer's name from a SYSTEM hive (the control set "Select\Current"
// names), or "" when the hive does not hold one.
std::wstring ComputerNameFromSystemHive(const RegistryHive& system);

// The machine SID held at the end of the V value of SAM\Domains\Account.
std::optional<Sid> MachineSidFromAccountV(std::span<const uint8_t> v);

// The members of an alias from the C value of its SAM key (Aliases\<RID>):
// a 52-byte header whose offsets count from its end; at 40 the offset of
// the member SIDs, at 44 their size in bytes, at 48 their number. nullopt
// when any of it lies outside the value or a SID does not parse.
std::optional<std::vector<Sid>> AliasMembersFromC(std::span<const uint8_t> c);

// The hives of the installation on a mapped volume, read with libhivex:
// nullptr when the file is missing or no hive.
std::unique_ptr<RegistryHive> OpenHiveFile(const std::string& localPath);

}  // namespace vm::ntfs
