#include "security/Ownership.h"

#include "security/SecurityAccess.h"

namespace vm {
namespace {

void SwitchOnOrTell(Engine& engine, const wchar_t* privilege, TokenHandle* token) {
    if (!token || !EnablePrivilege(engine.platform(), true, privilege, *token))
        engine.reporter().Tell(kNotAdministratorMessage);
}

// The owner write inside a privilege scope. It is attempted even without the
// privileges: the system then accepts only owners the running account may
// set by itself.
Status WriteOwner(Engine& engine, const std::wstring& path, const Bytes& ownerSid) {
    OwnerPrivilegeScope privileges(engine);
    return engine.platform().SetNamedSecurityInfo(path, secinfo::kOwner, &ownerSid, nullptr);
}

}  // namespace

OwnerPrivilegeScope::OwnerPrivilegeScope(Engine& engine) : engine_(engine) {
    Engine::TokenState& state = engine_.tokenState();
    std::lock_guard lock(state.mutex);
    if (state.holders++ > 0)
        return;
    auto token = engine_.platform().OpenProcessToken(kTokenAdjustPrivileges);
    if (token.ok())
        state.token = std::move(*token);
    SwitchOnOrTell(engine_, kTakeOwnershipPrivilege, state.token.get());
    SwitchOnOrTell(engine_, kRestorePrivilege, state.token.get());
}

OwnerPrivilegeScope::~OwnerPrivilegeScope() {
    Engine::TokenState& state = engine_.tokenState();
    std::lock_guard lock(state.mutex);
    if (--state.holders > 0)
        return;
    // SeRestorePrivilege stays on for the rest of the process's life.
    if (state.token)
        EnablePrivilege(engine_.platform(), false, kTakeOwnershipPrivilege, *state.token);
    state.token.reset();
}

Status SetOwnerSid(Engine& engine, const std::wstring& path, const Bytes& ownerSid) {
    if (!engine.platform().PathFileExists(path))
        return Status::Fail(err::kFileNotFound);
    return WriteOwner(engine, path, ownerSid);
}

Status SetOwnerSid(Engine& engine, const std::wstring& path, const Sid& ownerSid) {
    return SetOwnerSid(engine, path, ownerSid.ToBytes());
}

Status SetOwner(Engine& engine, const std::wstring& path, const std::wstring& accountName) {
    if (!engine.platform().PathFileExists(path))
        return Status::Fail(err::kFileNotFound);
    // "TrustedInstaller" and the other fixed names resolve by their SIDs.
    auto sid = AccountSidOfName(engine.platform(), accountName);
    if (!sid.ok())
        return sid.status();
    return WriteOwner(engine, path, sid->ToBytes());
}

std::optional<Sid> TakeOwnership(Engine& engine, const std::wstring& path) {
    std::optional<Sid> previous = ReadOwnerSid(engine.platform(), path);
    SetOwner(engine, path, kAdministrators);
    return previous;
}

Status GiveOwnerBack(Engine& engine, const std::wstring& path, const std::optional<Sid>& previous) {
    if (!previous)
        return Status::Fail(err::kNoneMapped);
    return SetOwnerSid(engine, path, *previous);
}

}  // namespace vm
