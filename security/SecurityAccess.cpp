#include "security/SecurityAccess.h"

#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

// The bare name of a SID (LookupAccountSidW); empty when it does not resolve,
// ERROR_NONE_MAPPED included.
std::wstring LookupBareName(Platform& platform, const Bytes& sid) {
    auto account = platform.LookupAccountSid(sid);
    return account.ok() ? account->name : std::wstring();
}

// The standard string form of a SID; our own conversion stands in when the
// system cannot give one, so an unresolvable trustee still shows something.
std::wstring StringSid(Platform& platform, const Bytes& sid) {
    auto text = platform.ConvertSidToStringSid(sid);
    if (text.ok())
        return *text;
    auto parsed = Sid::Parse(sid);
    return parsed ? parsed->ToString() : std::wstring();
}

}  // namespace

std::optional<Bytes> ReadDaclDescriptor(Platform& platform, const std::wstring& path) {
    auto descriptor = platform.GetFileSecurity(path, secinfo::kDacl);
    if (!descriptor.ok())
        return std::nullopt;
    return std::move(*descriptor);
}

std::wstring GetOwnerName(Platform& platform, const std::wstring& path) {
    auto descriptor = platform.GetNamedSecurityInfo(path, secinfo::kOwner);
    if (!descriptor.ok())
        return {};
    auto parsed = SecurityDescriptor::Parse(*descriptor);
    if (!parsed || !parsed->owner)
        return {};
    return LookupBareName(platform, parsed->owner->ToBytes());
}

std::wstring SidToName(Platform& platform, const Bytes& sid) {
    std::wstring text = StringSid(platform, sid);
    std::wstring name = LookupBareName(platform, sid);
    return name.empty() ? text : name;
}

std::optional<Bytes> NameToSid(Platform& platform, const std::wstring& name) {
    auto account = platform.LookupAccountName(name);
    if (!account.ok())
        return std::nullopt;
    return std::move(account->sid);
}

std::optional<AccountByName> LookupAccountNameTwoCall(Platform& platform,
                                                      const std::wstring& name) {
    auto account = platform.LookupAccountName(name);
    if (!account.ok())
        return std::nullopt;
    return std::move(*account);
}

bool EnablePrivilege(Platform& platform, bool enable, const std::wstring& privilegeName,
                     TokenHandle& token) {
    auto luid = platform.LookupPrivilegeValue(privilegeName);
    if (!luid.ok())
        return false;
    // The value says whether the privilege was assigned; only the call's
    // success counts (a privilege the token lacks is not a failure here).
    return platform.AdjustTokenPrivilege(token, *luid, enable).ok();
}

}  // namespace vm
