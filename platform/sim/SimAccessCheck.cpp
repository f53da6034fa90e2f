#include "platform/sim/SimAccessCheck.h"

namespace vm::sim {

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

}  // namespace

uint32_t MapGenericFileRights(uint32_t mask) {
    const GenericMapping& map = kFileGenericMapping;
    uint32_t generic = access::kGenericAll | access::kGenericExecute | access::kGenericWrite |
                       access::kGenericRead;
    uint32_t mapped = mask & ~generic;
    if (mask & access::kGenericRead)
        mapped |= map.read;
    if (mask & access::kGenericWrite)
        mapped |= map.write;
    if (mask & access::kGenericExecute)
        mapped |= map.execute;
    if (mask & access::kGenericAll)
        mapped |= map.all;
    return mapped;
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
    // The owner may always read and change the DACL.
    if (owner && token.MatchesForAllow(*owner))
        remaining &= ~(access::kReadControl | access::kWriteDac);
    for (const Ace& ace : dacl.acl->aces) {
        if (remaining == 0)
            break;
        if (ace.IsInheritOnly() || !ace.sid)
            continue;
        // Generic bits in a stored entry count as the rights they stand for.
        uint32_t mask = MapGenericFileRights(ace.mask);
        if (ace.type == ace_type::kAccessAllowed && token.MatchesForAllow(*ace.sid)) {
            remaining &= ~mask;
        } else if (ace.type == ace_type::kAccessDenied && token.MatchesForDeny(*ace.sid)) {
            // A deny entry refuses any requested right not yet granted.
            if (remaining & mask)
                return remaining;
        }
    }
    return remaining;
}

}  // namespace vm::sim
