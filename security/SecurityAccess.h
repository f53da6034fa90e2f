// The lowest layer of the engine: reading a path's DACL descriptor and owner,
// account names and SIDs both ways, and switching a privilege of the process
// token. Stateless free functions over a Platform; failures are results
// (empty text, nullopt, false), never messages.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "security/Sid.h"

namespace vm {

// Fixed account names of the engine and its callers. They are the English
// names of well-known accounts, which Windows localizes ("Administratoren",
// "Jeder" on a German system: MS-LSAT 3.1.1.1.1), so the engine never looks
// them up by name: AccountSidOfName turns them into their SIDs.
inline constexpr const wchar_t* kAdministrators = L"Administrators";
inline constexpr const wchar_t* kEveryone = L"Everyone";
inline constexpr const wchar_t* kSystemAccount = L"SYSTEM";
inline constexpr const wchar_t* kUsers = L"Users";
inline constexpr const wchar_t* kTrustedInstaller = L"NT Service\\TrustedInstaller";
// The short form SetOwner turns into kTrustedInstaller.
inline constexpr const wchar_t* kShortTrustedInstaller = L"TrustedInstaller";
inline constexpr const wchar_t* kTakeOwnershipPrivilege = L"SeTakeOwnershipPrivilege";
inline constexpr const wchar_t* kRestorePrivilege = L"SeRestorePrivilege";

// The well-known SID a fixed name stands for, as CreateWellKnownSid builds
// it (MS-DTYP 2.4.2.4): "Administrators" S-1-5-32-544, "Everyone" S-1-1-0,
// "SYSTEM" S-1-5-18, "Users" S-1-5-32-545 and "NT Service\TrustedInstaller"
// the service SID S-1-5-80-956008885-..., compared without regard to case as
// account names are; the short "TrustedInstaller" only as written exactly so.
// nullopt for any other name.
std::optional<Sid> WellKnownSidOfName(const std::wstring& name);

// The SID of an account name: a fixed name by its well-known SID, any other
// through LookupAccountNameW (its error, ERROR_NONE_MAPPED for an unknown
// name; ERROR_NONE_MAPPED for an empty one).
Result<Sid> AccountSidOfName(Platform& platform, const std::wstring& name);

// The owner SID of a path (GetNamedSecurityInfoW, OWNER_SECURITY_INFORMATION);
// nullopt when it cannot be read.
std::optional<Sid> ReadOwnerSid(Platform& platform, const std::wstring& path);

// LookupAccountSidW's bare account name of a SID; empty when it does not
// resolve (ERROR_NONE_MAPPED included).
std::wstring BareAccountName(Platform& platform, const Sid& sid);

// The standard string form of a SID (ConvertSidToStringSidW, our own
// conversion when the system gives none).
std::wstring SidString(Platform& platform, const Sid& sid);

// GetFileSecurityW(path, DACL_SECURITY_INFORMATION) with the two-call
// pattern: the self-relative descriptor, or nullopt.
std::optional<Bytes> ReadDaclDescriptor(Platform& platform, const std::wstring& path);

// The owner's bare account name; empty when the owner cannot be read or
// resolved (ERROR_NONE_MAPPED included).
std::wstring GetOwnerName(Platform& platform, const std::wstring& path);

// The bare account name of a SID, or the SID's string form when it does not
// resolve (an account that no longer exists shows as its SID string).
std::wstring SidToName(Platform& platform, const Bytes& sid);

// The SID of an account name (AccountSidOfName) as bytes; nullopt on failure.
std::optional<Bytes> NameToSid(Platform& platform, const std::wstring& name);

// The two-call LookupAccountNameW as it stands: SID, domain and use, or
// nullopt. The engine resolves names with AccountSidOfName.
std::optional<AccountByName> LookupAccountNameTwoCall(Platform& platform, const std::wstring& name);

// LookupPrivilegeValueW + AdjustTokenPrivileges on an open token. True when
// the adjustment call succeeded, also for a privilege the token lacks.
bool EnablePrivilege(Platform& platform, bool enable, const std::wstring& privilegeName,
                     TokenHandle& token);

}  // namespace vm
