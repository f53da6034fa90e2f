#include "platform/rules/AccessCheck.h"

#include <algorithm>

namespace vm::rules {

namespace {

// What an enabled SeBackupPrivilege grants to an open with backup intent
// ("Back up files and directories": READ_CONTROL, ACCESS_SYSTEM_SECURITY,
// FILE_GENERIC_READ, FILE_TRAVERSE, per the privilege constants docs).
constexpr uint32_t kBackupRights = access::kReadControl | right::kAccessSystemSecurity |
                                   access::kFileGenericRead | right::kTraverse;
// What an enabled SeRestorePrivilege grants to an open with backup intent
// (WRITE_DAC, WRITE_OWNER, ACCESS_SYSTEM_SECURITY, FILE_GENERIC_WRITE,
// FILE_ADD_FILE, FILE_ADD_SUBDIRECTORY, DELETE).
constexpr uint32_t kRestoreRights = access::kWriteDac | access::kWriteOwner |
                                    right::kAccessSystemSecurity | access::kFileGenericWrite |
                                    right::kAddFile | right::kAddSubdirectory | access::kDelete;

// Rights the privileges of the token take off the request before the DACL
// is looked at (MS-DTYP 2.5.3.2: privileges are checked first).
uint32_t GrantedByPrivileges(const Token& token, OpenIntent intent) {
    uint32_t granted = 0;
    if (token.Enabled(privilege::kSecurity))
        granted |= right::kAccessSystemSecurity;
    if (token.Enabled(privilege::kTakeOwnership))
        granted |= access::kWriteOwner;
    if (intent == OpenIntent::kBackup) {
        if (token.Enabled(privilege::kBackup))
            granted |= kBackupRights;
        if (token.Enabled(privilege::kRestore))
            granted |= kRestoreRights;
    }
    return granted;
}

// An allow or deny entry that applies to the object itself.
bool TakesEffect(const Ace& ace) {
    return ace.sid && !ace.IsInheritOnly() &&
           (ace.type == ace_type::kAccessAllowed || ace.type == ace_type::kAccessDenied);
}

bool HoldsOwnerRightsEntry(const std::vector<Ace>& aces) {
    return std::any_of(aces.begin(), aces.end(), [](const Ace& ace) {
        return TakesEffect(ace) && *ace.sid == OwnerRightsSid();
    });
}

// An OWNER RIGHTS entry stands for the owner: it applies when the owner's
// SID would.
bool AppliesToAllow(const Ace& ace, const std::optional<Sid>& owner, const Token& token) {
    if (*ace.sid == OwnerRightsSid())
        return owner && token.MatchesForAllow(*owner);
    return token.MatchesForAllow(*ace.sid);
}

bool AppliesToDeny(const Ace& ace, const std::optional<Sid>& owner, const Token& token) {
    if (*ace.sid == OwnerRightsSid())
        return owner && token.MatchesForDeny(*owner);
    return token.MatchesForDeny(*ace.sid);
}

}  // namespace

const Sid& OwnerRightsSid() {
    static const Sid sid(3, {4});
    return sid;
}

uint32_t DeniedRights(const std::optional<Sid>& owner, const AclSlot& dacl, const Token& token,
                      uint32_t desired, OpenIntent intent) {
    uint32_t remaining = MapGenericFileRights(desired);
    remaining &= ~GrantedByPrivileges(token, intent);
    // ACCESS_SYSTEM_SECURITY comes only from SeSecurityPrivilege.
    if (remaining & right::kAccessSystemSecurity)
        return remaining;
    // No DACL or a NULL DACL: every right is granted.
    if (!dacl.present || !dacl.acl)
        return 0;
    const auto& aces = dacl.acl->aces;
    // The owner may always read and change the DACL, unless the DACL holds
    // OWNER RIGHTS entries: then those entries decide ("Well-known SIDs":
    // OWNER_RIGHTS, Windows Vista and later; MS-DTYP 2.5.3.2).
    if (owner && token.MatchesForAllow(*owner) && !HoldsOwnerRightsEntry(aces))
        remaining &= ~(access::kReadControl | access::kWriteDac);
    for (const Ace& ace : aces) {
        if (remaining == 0)
            break;
        if (!TakesEffect(ace))
            continue;
        if (ace.type == ace_type::kAccessAllowed && AppliesToAllow(ace, owner, token)) {
            remaining &= ~ace.mask;
        } else if (ace.type == ace_type::kAccessDenied && AppliesToDeny(ace, owner, token)) {
            // A deny entry refuses any requested right not yet granted.
            if (remaining & ace.mask)
                return remaining;
        }
    }
    return remaining;
}

}  // namespace vm::rules
