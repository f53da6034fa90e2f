#include "security/AccessEvaluation.h"

#include "security/SecurityAccess.h"

namespace vm {
namespace {

// Group membership is matched by bare name: "<name>" must occur in the group
// text exactly (case-sensitive); a deny entry also matches a deny-only group
// ("<name|deny-only>"), as AccessCheck counts those for deny entries only.
// An unresolved trustee shows as its SID string, which never occurs there.
bool NamesGroupOfUser(const std::wstring& trusteeName, const std::wstring& currentUserGroups,
                      bool denyEntry) {
    if (currentUserGroups.find(L"<" + trusteeName + L">") != std::wstring::npos)
        return true;
    return denyEntry &&
           currentUserGroups.find(L"<" + trusteeName + kDenyOnlyMark + L">") != std::wstring::npos;
}

bool EntryApplies(Platform& platform, const Ace& entry, const Sid& accountSid,
                  const std::wstring& currentUserGroups, bool useGroups, SidNameCache& names) {
    if (!entry.sid)
        return false;
    // A SID match decides alone, so its name is never looked up.
    if (*entry.sid == accountSid)
        return true;
    return useGroups && NamesGroupOfUser(names.Name(platform, *entry.sid), currentUserGroups,
                                         entry.type == ace_type::kAccessDenied);
}

// One token group as the group text shows it; empty for groups that take no
// part in access checks by name.
std::wstring TokenGroupText(Platform& platform, const TokenGroupInfo& group) {
    const bool denyOnly = (group.attributes & group_attr::kUseForDenyOnly) != 0;
    const bool enabled = (group.attributes & group_attr::kEnabled) != 0;
    if ((group.attributes & (group_attr::kIntegrity | group_attr::kLogonId)) != 0 ||
        (!enabled && !denyOnly))
        return {};
    auto sid = Sid::Parse(group.sid);
    if (!sid || *sid == sids::Everyone())
        return {};
    std::wstring name = BareAccountName(platform, *sid);
    if (name.empty())
        return {};
    return L"<" + name + (denyOnly ? kDenyOnlyMark : L"") + L">";
}

}  // namespace

std::wstring BuildCurrentUserGroups(Platform& platform, const std::wstring& userName) {
    std::wstring groups;
    if (auto tokenGroups = platform.GetTokenGroups(); tokenGroups.ok()) {
        for (const TokenGroupInfo& group : *tokenGroups)
            groups += TokenGroupText(platform, group);
    } else if (auto localGroups = platform.GetLocalGroupsOfUser(userName); localGroups.ok()) {
        for (const auto& group : *localGroups)
            groups += L"<" + group + L">";
    }
    std::wstring everyone = BareAccountName(platform, sids::Everyone());
    return groups + L"<" + (everyone.empty() ? std::wstring(kEveryone) : everyone) + L">";
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
