// Making a named account the owner of a path. Used as a command of its own
// and as the first half of the temporary ownership that precedes every DACL
// rewrite: "Administrators" becomes the owner, the DACL is written (an owner
// may always do that), and where the caller says so the previous owner comes
// back.
#pragma once

#include <optional>
#include <string>

#include "security/Engine.h"
#include "security/SecurityAccess.h"

namespace vm {

inline constexpr const wchar_t* kNotAdministratorMessage =
    L"You must logged on as Administrator.\n";

// Nothing happens for a missing path, an empty name or a name that does not
// resolve. Otherwise SeTakeOwnershipPrivilege and SeRestorePrivilege are
// switched on (a failure is told once per privilege and the write is still
// attempted), the owner is written, and SeTakeOwnershipPrivilege is switched
// off again; SeRestorePrivilege stays on for the life of the process.
// "TrustedInstaller" (exactly so) stands for "NT Service\TrustedInstaller".
// The outcome of the owner write; without one, ERROR_FILE_NOT_FOUND for a
// missing path and the look-up's error (ERROR_NONE_MAPPED) for a name that
// does not resolve.
Status SetOwner(Engine& engine, const std::wstring& path, const std::wstring& accountName);

// SetOwner with the account's SID already looked up (a walk that sets the
// same owner on many objects resolves the name once).
Status SetOwnerSid(Engine& engine, const std::wstring& path, const Bytes& ownerSid);
Status SetOwnerSid(Engine& engine, const std::wstring& path, const Sid& ownerSid);

// The first half of temporary ownership: the path's owner as it stands, by
// SID (nullopt when it cannot be read), and then "Administrators" as owner.
// Owners are carried by SID, never by bare name: a domain account's name may
// resolve to a local account of the same name, or not at all.
std::optional<Sid> TakeOwnership(Engine& engine, const std::wstring& path);

// The second half: the previous owner back by SID. An owner that could not
// be read leaves "Administrators" in place (ERROR_NONE_MAPPED).
Status GiveOwnerBack(Engine& engine, const std::wstring& path, const std::optional<Sid>& previous);

// Keeps SeTakeOwnershipPrivilege and SeRestorePrivilege on while it lives.
// The first scope of the engine opens the token and switches both on
// (telling "You must logged on as Administrator.\n" once for each that
// fails); the last one switches SeTakeOwnershipPrivilege off and closes the
// token. Owner writes happen only inside a scope, so no thread's switch-off
// can come between another thread's switch-on and its write. A run of many
// owner changes holds one scope around all of them.
class OwnerPrivilegeScope {
  public:
    explicit OwnerPrivilegeScope(Engine& engine);
    ~OwnerPrivilegeScope();
    OwnerPrivilegeScope(const OwnerPrivilegeScope&) = delete;
    OwnerPrivilegeScope& operator=(const OwnerPrivilegeScope&) = delete;

  private:
    Engine& engine_;
};

}  // namespace vm
