// What the current user may do with a path, as the lists show it ("Allowed",
// "Read Only", "Denied"). The evaluation is the program's own, not an
// AccessCheck: it ORs the masks of every entry that names the user's SID or,
// by bare name, one of the user's groups; allow and deny entries go into
// separate masks. ACE flags are not looked at and generic bits are not mapped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "security/Rights.h"
#include "security/SecurityDescriptor.h"
#include "security/SidNameCache.h"

namespace vm {

// The bits "Allowed" requires: read/list, write/add file, append/add
// subfolder, read and write EA, execute/traverse, read and write attributes,
// READ_CONTROL and SYNCHRONIZE. Neither DELETE, FILE_DELETE_CHILD, WRITE_DAC
// nor WRITE_OWNER.
inline constexpr uint32_t kFullUseMask = 0x1201BF;
inline constexpr uint32_t kReadDataBit = 0x1;

// Who runs the program, read once at start-up and then only read.
struct UserIdentity {
    std::wstring CurrentUserName;
    // "<G1><G2>...<Everyone>": each group of the user in angle brackets,
    // Everyone always last; a deny-only group as "<G|deny-only>".
    std::wstring CurrentUserGroups;
};

// Marks a group of the token that counts for deny entries only
// (SE_GROUP_USE_FOR_DENY_ONLY). "|" cannot occur in an account name, so the
// marked text never matches an allow entry's "<name>".
inline constexpr const wchar_t* kDenyOnlyMark = L"|deny-only";

// The groups Windows checks the user's access against: those of the process
// token (GetTokenInformation, TokenGroups) in the token's order, enabled
// groups as "<name>", deny-only ones as "<name|deny-only>", logon and
// integrity SIDs and groups without a name left out; then Everyone under
// the name the system gives it ("<Everyone>", "<Jeder>"). A domain user's
// local groups are found this way too, which NetUserGetLocalGroups with the
// bare name does not. Where the token cannot be read, the local groups of
// userName (NetUserGetLocalGroups, LG_INCLUDE_INDIRECT) stand in.
std::wstring BuildCurrentUserGroups(Platform& platform, const std::wstring& userName);

// ORs the masks of the applying entries into allowMask and denyMask (the
// caller zeroes them). False when the account's SID cannot be looked up, the
// DACL cannot be read, the DACL is NULL or absent; true otherwise, also for
// an empty DACL. A null cache means one private to this call.
bool GetAccessMasks(Platform& platform, const std::wstring& path, const std::wstring& accountName,
                    const std::wstring& currentUserGroups, uint32_t& allowMask, uint32_t& denyMask,
                    bool useGroups, SidNameCache* names = nullptr);

// The same rule over a descriptor already in hand (a stored backup row):
// false for a NULL or absent DACL, true otherwise.
bool GetAccessMasksOfDescriptor(Platform& platform, const SecurityDescriptor& descriptor,
                                const Sid& accountSid, const std::wstring& currentUserGroups,
                                uint32_t& allowMask, uint32_t& denyMask, bool useGroups,
                                SidNameCache& names);

// The level of two masks, tested in this order: read data not allowed, read
// data denied ("Denied"); any bit of kFullUseMask not allowed ("Read Only");
// else "Allowed". Deny bits other than read data never change the level.
AccessLevel AccessLevelFromMasks(uint32_t allowMask, uint32_t denyMask);

// The current user's level for a path; "Allowed" whenever GetAccessMasks
// fails (a NULL DACL, and every read failure).
AccessLevel GetAccessLevel(Platform& platform, const UserIdentity& user, const std::wstring& path,
                           SidNameCache* names = nullptr);

}  // namespace vm
