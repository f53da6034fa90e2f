#include "security/AccessEvaluation.h"

#include "security/SecurityAccess.h"

namespace vm {
namespace {

// Group membership is matched by bare name: "<name>" must occur in the group
// text exactly (case-sensitive). An unresolved trustee shows as its SID
// string, which never occurs there.
bool NamesGroupOfUser(const std::wstring& trusteeName, const std::wstring& currentUserGroups) {
    return currentUserGroups.find(L"<" + trusteeName + L">") != std::wstring::npos;
}

bool EntryApplies(Platform& platform, const Ace& entry, const Sid& accountSid,
                  const std::wstring& currentUserGroups, bool useGroups, SidNameCache& names) {
    if (!entry.sid)
        return false;
    // A SID match decides alone, so its name is never looked up.
    if (*entry.sid == accountSid)
        return true;
    return useGroups && NamesGroupOfUser(names.Name(platform, *entry.sid), currentUserGroups);
}

}  // namespace

std::wstring BuildCurrentUserGroups(Platform& platform, const std::wstring& userName) {
    std::wstring groups;
    auto localGroups = platform.GetLocalGroupsOfUser(userName);
    if (localGroups.ok()) {
        for (const auto& group : *localGroups)
            groups += L"<" + group + L">";
    }
    return groups + L"<" + kEveryone + L">";
}

std::wstring SidNameCache::Name(Platform& platform, const Sid& sid) {
    {
        std::lock_guard lock(mutex_);
        if (auto found = names_.find(sid); found != names_.end())
            return found->second;
    }
    // Looked up without the lock: a domain lookup may take long, and two
    // threads resolving the same SID at once only cost one extra lookup.
    std::wstring name = SidToName(platform, sid.ToBytes());
    std::lock_guard lock(mutex_);
    return names_.emplace(sid, std::move(name)).first->second;
}

std::optional<Sid> SidNameCache::AccountSid(Platform& platform, const std::wstring& accountName) {
    {
        std::lock_guard lock(mutex_);
        if (auto found = accountSids_.find(accountName); found != accountSids_.end())
            return found->second;
    }
    auto account = LookupAccountNameTwoCall(platform, accountName);
    if (!account)
        return std::nullopt;
    auto sid = Sid::Parse(account->sid);
    if (!sid)
        return std::nullopt;
    std::lock_guard lock(mutex_);
    return accountSids_.emplace(accountName, *sid).first->second;
}

bool GetAccessMasksOfDescriptor(Platform& platform, const SecurityDescriptor& descriptor,
                                const Sid& accountSid, const std::wstring& currentUserGroups,
                                uint32_t& allowMask, uint32_t& denyMask, bool useGroups,
                                SidNameCache& names) {
    // No list to walk: a NULL DACL (everybody may do everything) or no DACL.
    if (!descriptor.dacl.acl)
        return false;
    // Entries are taken in any order and whatever their flags: inherit-only
    // entries and entries that reach only children count alike.
    for (const Ace& entry : descriptor.dacl.acl->aces) {
        if (!EntryApplies(platform, entry, accountSid, currentUserGroups, useGroups, names))
            continue;
        if (entry.type == ace_type::kAccessDenied)
            denyMask |= entry.mask;
        else
            allowMask |= entry.mask;
    }
    return true;
}

bool GetAccessMasks(Platform& platform, const std::wstring& path, const std::wstring& accountName,
                    const std::wstring& currentUserGroups, uint32_t& allowMask, uint32_t& denyMask,
                    bool useGroups, SidNameCache* names) {
    SidNameCache ownNames;
    SidNameCache& cache = names ? *names : ownNames;
    auto accountSid = cache.AccountSid(platform, accountName);
    if (!accountSid)
        return false;
    auto bytes = ReadDaclDescriptor(platform, path);
    if (!bytes)
        return false;
    auto descriptor = SecurityDescriptor::Parse(*bytes);
    if (!descriptor)
        return false;
    return GetAccessMasksOfDescriptor(platform, *descriptor, *accountSid, currentUserGroups,
                                      allowMask, denyMask, useGroups, cache);
}

AccessLevel AccessLevelFromMasks(uint32_t allowMask, uint32_t denyMask) {
    if ((allowMask & kReadDataBit) == 0)
        return AccessLevel::kDenied;
    if ((denyMask & kReadDataBit) != 0)
        return AccessLevel::kDenied;
    if ((allowMask & kFullUseMask) != kFullUseMask)
        return AccessLevel::kReadOnly;
    return AccessLevel::kAllowed;
}

AccessLevel GetAccessLevel(Platform& platform, const UserIdentity& user, const std::wstring& path,
                           SidNameCache* names) {
    uint32_t allowMask = 0;
    uint32_t denyMask = 0;
    if (!GetAccessMasks(platform, path, user.CurrentUserName, user.CurrentUserGroups, allowMask,
                        denyMask, true, names))
        return AccessLevel::kAllowed;
    return AccessLevelFromMasks(allowMask, denyMask);
}

}  // namespace vm
