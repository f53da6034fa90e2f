#include "security/Ownership.h"

#include "security/SecurityAccess.h"

namespace vm {
namespace {

void EnableOrTell(Engine& engine, bool enable, const wchar_t* privilege, TokenHandle* token) {
    bool switched = token && EnablePrivilege(engine.platform(), enable, privilege, *token);
    if (enable && !switched)
        engine.reporter().Tell(kNotAdministratorMessage);
}

// Steps between switching SeTakeOwnershipPrivilege on and off again, under
// the engine's token lock: the token is shared by every thread of the
// process, so another call's switch-off must not land before this write.
void WriteOwnerWithPrivileges(Engine& engine, const std::wstring& path, const Bytes& ownerSid) {
    Platform& platform = engine.platform();
    std::lock_guard lock(engine.tokenMutex());
    auto token = platform.OpenProcessToken(kTokenAdjustPrivileges);
    TokenHandle* handle = token.ok() ? token->get() : nullptr;
    EnableOrTell(engine, true, kTakeOwnershipPrivilege, handle);
    EnableOrTell(engine, true, kRestorePrivilege, handle);
    // The write is attempted even without the privileges: the system then
    // accepts only owners the running account may set by itself.
    platform.SetNamedSecurityInfo(path, secinfo::kOwner, &ownerSid, nullptr);
    // SeRestorePrivilege stays on for the rest of the process's life.
    EnableOrTell(engine, false, kTakeOwnershipPrivilege, handle);
}

}  // namespace

void SetOwner(Engine& engine, const std::wstring& path, const std::wstring& accountName) {
    Platform& platform = engine.platform();
    if (!platform.PathFileExists(path))
        return;
    std::wstring name = accountName == kShortTrustedInstaller ? kTrustedInstaller : accountName;
    if (name.empty())
        return;
    auto account = LookupAccountNameTwoCall(platform, name);
    if (!account)
        return;
    WriteOwnerWithPrivileges(engine, path, account->sid);
}

}  // namespace vm
