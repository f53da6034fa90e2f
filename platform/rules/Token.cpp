#include "platform/rules/Token.h"

#include <algorithm>
#include <array>

#include "platform/rules/Paths.h"

namespace vm::rules {

namespace {

struct PrivilegeEntry {
    const wchar_t* name;
    uint32_t low;
};

// The LUIDs of the well-known privileges (winnt.h SE_*_PRIVILEGE values).
constexpr std::array<PrivilegeEntry, 34> kPrivileges{{
    {L"SeCreateTokenPrivilege", 2},
    {L"SeAssignPrimaryTokenPrivilege", 3},
    {L"SeLockMemoryPrivilege", 4},
    {L"SeIncreaseQuotaPrivilege", 5},
    {L"SeMachineAccountPrivilege", 6},
    {L"SeTcbPrivilege", 7},
    {L"SeSecurityPrivilege", 8},
    {L"SeTakeOwnershipPrivilege", 9},
    {L"SeLoadDriverPrivilege", 10},
    {L"SeSystemProfilePrivilege", 11},
    {L"SeSystemtimePrivilege", 12},
    {L"SeProfileSingleProcessPrivilege", 13},
    {L"SeIncreaseBasePriorityPrivilege", 14},
    {L"SeCreatePagefilePrivilege", 15},
    {L"SeCreatePermanentPrivilege", 16},
    {L"SeBackupPrivilege", 17},
    {L"SeRestorePrivilege", 18},
    {L"SeShutdownPrivilege", 19},
    {L"SeDebugPrivilege", 20},
    {L"SeAuditPrivilege", 21},
    {L"SeSystemEnvironmentPrivilege", 22},
    {L"SeChangeNotifyPrivilege", 23},
    {L"SeRemoteShutdownPrivilege", 24},
    {L"SeUndockPrivilege", 25},
    {L"SeSyncAgentPrivilege", 26},
    {L"SeEnableDelegationPrivilege", 27},
    {L"SeManageVolumePrivilege", 28},
    {L"SeImpersonatePrivilege", 29},
    {L"SeCreateGlobalPrivilege", 30},
    {L"SeTrustedCredManAccessPrivilege", 31},
    {L"SeRelabelPrivilege", 32},
    {L"SeIncreaseWorkingSetPrivilege", 33},
    {L"SeTimeZonePrivilege", 34},
    {L"SeCreateSymbolicLinkPrivilege", 35},
}};

TokenPrivilege Off(const wchar_t* name) {
    return {name, false};
}
TokenPrivilege On(const wchar_t* name) {
    return {name, true};
}

}  // namespace

std::optional<Luid> PrivilegeLuid(const std::wstring& name) {
    for (const auto& entry : kPrivileges) {
        if (SameName(entry.name, name))
            return Luid{entry.low, 0};
    }
    return std::nullopt;
}

std::wstring PrivilegeName(Luid luid) {
    for (const auto& entry : kPrivileges) {
        if (luid == Luid{entry.low, 0})
            return entry.name;
    }
    return {};
}

bool Token::MatchesForAllow(const Sid& sid) const {
    if (sid == user)
        return true;
    return std::any_of(groups.begin(), groups.end(), [&](const TokenGroup& g) {
        return g.sid == sid && g.enabled && !g.denyOnly;
    });
}

bool Token::MatchesForDeny(const Sid& sid) const {
    if (sid == user)
        return true;
    return std::any_of(groups.begin(), groups.end(), [&](const TokenGroup& g) {
        return g.sid == sid && (g.enabled || g.denyOnly);
    });
}

bool Token::MayOwn(const Sid& sid) const {
    if (sid == user)
        return true;
    return std::any_of(groups.begin(), groups.end(), [&](const TokenGroup& g) {
        return g.sid == sid && g.mayOwn && g.enabled && !g.denyOnly;
    });
}

bool Token::Holds(const std::wstring& privilegeName) const {
    return std::any_of(privileges.begin(), privileges.end(),
                       [&](const TokenPrivilege& p) { return SameName(p.name, privilegeName); });
}

bool Token::Enabled(const std::wstring& privilegeName) const {
    return std::any_of(privileges.begin(), privileges.end(), [&](const TokenPrivilege& p) {
        return p.enabled && SameName(p.name, privilegeName);
    });
}

bool Token::Adjust(const std::wstring& privilegeName, bool enable) {
    for (auto& p : privileges) {
        if (SameName(p.name, privilegeName)) {
            p.enabled = enable;
            return true;
        }
    }
    return false;
}

std::vector<TokenPrivilege> StandardUserPrivileges() {
    return {Off(L"SeShutdownPrivilege"), On(L"SeChangeNotifyPrivilege"), Off(L"SeUndockPrivilege"),
            Off(L"SeIncreaseWorkingSetPrivilege"), Off(L"SeTimeZonePrivilege")};
}

std::vector<TokenPrivilege> ElevatedAdminPrivileges() {
    return {Off(L"SeIncreaseQuotaPrivilege"),
            Off(L"SeSecurityPrivilege"),
            Off(L"SeTakeOwnershipPrivilege"),
            Off(L"SeLoadDriverPrivilege"),
            Off(L"SeSystemProfilePrivilege"),
            Off(L"SeSystemtimePrivilege"),
            Off(L"SeProfileSingleProcessPrivilege"),
            Off(L"SeIncreaseBasePriorityPrivilege"),
            Off(L"SeCreatePagefilePrivilege"),
            Off(L"SeBackupPrivilege"),
            Off(L"SeRestorePrivilege"),
            Off(L"SeShutdownPrivilege"),
            Off(L"SeDebugPrivilege"),
            Off(L"SeSystemEnvironmentPrivilege"),
            On(L"SeChangeNotifyPrivilege"),
            Off(L"SeRemoteShutdownPrivilege"),
            Off(L"SeUndockPrivilege"),
            Off(L"SeManageVolumePrivilege"),
            On(L"SeImpersonatePrivilege"),
            On(L"SeCreateGlobalPrivilege"),
            Off(L"SeIncreaseWorkingSetPrivilege"),
            Off(L"SeTimeZonePrivilege"),
            Off(L"SeCreateSymbolicLinkPrivilege")};
}

}  // namespace vm::rules
