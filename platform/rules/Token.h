// A process token: the user, the groups with their
// attributes, and the privileges held and enabled. There is one token per
// machine, shared by every thread, as the primary token of a process is.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "security/Sid.h"

namespace vm::rules {

// Privilege names and their LUIDs as LookupPrivilegeValueW gives them.
namespace privilege {
inline constexpr const wchar_t* kSecurity = L"SeSecurityPrivilege";
inline constexpr const wchar_t* kTakeOwnership = L"SeTakeOwnershipPrivilege";
inline constexpr const wchar_t* kBackup = L"SeBackupPrivilege";
inline constexpr const wchar_t* kRestore = L"SeRestorePrivilege";
inline constexpr const wchar_t* kChangeNotify = L"SeChangeNotifyPrivilege";
}  // namespace privilege

// The LUID of a privilege name (case-insensitive), or nullopt for a name the
// system does not know (ERROR_NO_SUCH_PRIVILEGE).
std::optional<Luid> PrivilegeLuid(const std::wstring& name);
// The canonical name of a LUID, or empty.
std::wstring PrivilegeName(Luid luid);

// One group of the token (TOKEN_GROUPS attributes).
struct TokenGroup {
    Sid sid;
    bool enabled = true;    // SE_GROUP_ENABLED
    bool denyOnly = false;  // SE_GROUP_USE_FOR_DENY_ONLY
    bool mayOwn = false;    // SE_GROUP_OWNER
};

struct TokenPrivilege {
    std::wstring name;  // canonical spelling
    bool enabled = false;
};

struct Token {
    Sid user;
    std::vector<TokenGroup> groups;
    std::vector<TokenPrivilege> privileges;  // the privileges held
    // The owner given to objects the process creates (TokenOwner): the
    // Administrators group for an elevated administrator, else the user.
    Sid defaultOwner;

    // Whether an allow entry for sid applies: the user or an enabled group.
    bool MatchesForAllow(const Sid& sid) const;
    // Whether a deny entry for sid applies: also deny-only groups.
    bool MatchesForDeny(const Sid& sid) const;
    // Whether sid may be set as owner without SeRestorePrivilege: the user or
    // a group with SE_GROUP_OWNER.
    bool MayOwn(const Sid& sid) const;
    bool Holds(const std::wstring& privilegeName) const;
    bool Enabled(const std::wstring& privilegeName) const;
    // Switches a held privilege; false when the token does not hold it.
    bool Adjust(const std::wstring& privilegeName, bool enable);
};

// The privileges of a filtered (not elevated) token of an administrator or a
// standard user, and of a full (elevated) administrator token; only
// SeChangeNotifyPrivilege (and for the full token SeImpersonate and
// SeCreateGlobal) start enabled.
std::vector<TokenPrivilege> StandardUserPrivileges();
std::vector<TokenPrivilege> ElevatedAdminPrivileges();

}  // namespace vm::rules
