#include "security/SecurityAccess.h"

#include "platform/TextCase.h"
#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

struct FixedAccount {
    const wchar_t* name;
    Sid (*sid)();
};

const FixedAccount kFixedAccounts[] = {
    {kAdministrators, sids::Administrators},
    {kEveryone, sids::Everyone},
    {kSystemAccount, sids::System},
    {kUsers, sids::Users},
    {kTrustedInstaller, sids::TrustedInstaller},
};

const FixedAccount* FindFixedAccount(const std::wstring& name) {
    // The short form is rewritten only as written exactly so (SetOwner's rule).
    const std::wstring full = name == kShortTrustedInstaller ? kTrustedInstaller : name;
    for (const FixedAccount& account : kFixedAccounts) {
        if (EqualsIgnoringCase(full, account.name))
            return &account;
    }
    return nullptr;
}

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

std::optional<Sid> WellKnownSidOfName(const std::wstring& name) {
    const FixedAccount* fixed = FindFixedAccount(name);
    return fixed ? std::optional<Sid>(fixed->sid()) : std::nullopt;
}

Result<Sid> AccountSidOfName(Platform& platform, const std::wstring& name) {
    if (name.empty())
        return Result<Sid>::Fail(err::kNoneMapped);
    if (auto known = WellKnownSidOfName(name))
        return *known;
    auto account = platform.LookupAccountName(name);
    if (!account.ok())
        return Result<Sid>::Fail(account.error());
    auto sid = Sid::Parse(account->sid);
    if (!sid)
        return Result<Sid>::Fail(err::kInvalidSid);
    return *sid;
}

std::optional<Sid> ReadOwnerSid(Platform& platform, const std::wstring& path) {
    auto bytes = platform.GetNamedSecurityInfo(path, secinfo::kOwner);
    if (!bytes.ok())
        return std::nullopt;
    auto descriptor = SecurityDescriptor::Parse(*bytes);
    if (!descriptor)
        return std::nullopt;
    return descriptor->owner;
}

std::wstring BareAccountName(Platform& platform, const Sid& sid) {
    return LookupBareName(platform, sid.ToBytes());
}

std::wstring SidString(Platform& platform, const Sid& sid) {
    return StringSid(platform, sid.ToBytes());
}

std::optional<Bytes> ReadDaclDescriptor(Platform& platform, const std::wstring& path) {
    auto descriptor = platform.GetFileSecurity(path, secinfo::kDacl);
    if (!descriptor.ok())
        return std::nullopt;
    return std::move(*descriptor);
}

std::wstring GetOwnerName(Platform& platform, const std::wstring& path) {
    auto owner = ReadOwnerSid(platform, path);
    return owner ? LookupBareName(platform, owner->ToBytes()) : std::wstring();
}

std::wstring SidToName(Platform& platform, const Bytes& sid) {
    std::wstring text = StringSid(platform, sid);
    std::wstring name = LookupBareName(platform, sid);
    return name.empty() ? text : name;
}

std::optional<Bytes> NameToSid(Platform& platform, const std::wstring& name) {
    auto sid = AccountSidOfName(platform, name);
    if (!sid.ok())
        return std::nullopt;
    return sid->ToBytes();
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
