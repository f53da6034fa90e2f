// What the current user may do with a path, as the lists show it ("Allowed",
// "Read Only", "Denied"). The evaluation is the program's own, not an
// AccessCheck: it ORs the masks of every entry that names the user's SID or,
// by bare name, one of the user's groups; allow and deny entries go into
// separate masks. ACE flags are not looked at and generic bits are not mapped.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "security/Rights.h"
#include "security/SecurityDescriptor.h"

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
    // "<G1><G2>...<Everyone>": each local group of the user in angle
    // brackets, "<Everyone>" always last.
    std::wstring CurrentUserGroups;
};

// NetUserGetLocalGroups(LG_INCLUDE_INDIRECT) of the user in the order
// returned, each as "<name>", then "<Everyone>" (also when the query fails).
std::wstring BuildCurrentUserGroups(Platform& platform, const std::wstring& userName);

// Resolved names shared across the rows of one list fill or refresh: each
// distinct SID is looked up once, and the account SID of the user once.
// Results are exactly those of SidToName and the two-call LookupAccountNameW.
// Safe to share between threads; keep it only as long as the fill, so that
// renamed accounts show their new names on the next one.
class SidNameCache {
  public:
    std::wstring Name(Platform& platform, const Sid& sid);
    // The SID of an account name; failures are not kept.
    std::optional<Sid> AccountSid(Platform& platform, const std::wstring& accountName);

  private:
    std::mutex mutex_;
    std::map<Sid, std::wstring> names_;
    std::map<std::wstring, Sid> accountSids_;
};

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
