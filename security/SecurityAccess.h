// The lowest layer of the engine: reading a path's DACL descriptor and owner,
// account names and SIDs both ways, and switching a privilege of the process
// token. Stateless free functions over a Platform; failures are results
// (empty text, nullopt, false), never messages.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

namespace vm {

// Fixed account names of the engine and its callers.
inline constexpr const wchar_t* kAdministrators = L"Administrators";
inline constexpr const wchar_t* kEveryone = L"Everyone";
inline constexpr const wchar_t* kSystemAccount = L"SYSTEM";
inline constexpr const wchar_t* kTrustedInstaller = L"NT Service\\TrustedInstaller";
inline constexpr const wchar_t* kTakeOwnershipPrivilege = L"SeTakeOwnershipPrivilege";
inline constexpr const wchar_t* kRestorePrivilege = L"SeRestorePrivilege";

// GetFileSecurityW(path, DACL_SECURITY_INFORMATION) with the two-call
// pattern: the self-relative descriptor, or nullopt.
std::optional<Bytes> ReadDaclDescriptor(Platform& platform, const std::wstring& path);

// The owner's bare account name; empty when the owner cannot be read or
// resolved (ERROR_NONE_MAPPED included).
std::wstring GetOwnerName(Platform& platform, const std::wstring& path);

// The bare account name of a SID, or the SID's string form when it does not
// resolve (an account that no longer exists shows as its SID string).
std::wstring SidToName(Platform& platform, const Bytes& sid);

// LookupAccountNameW into a SID; nullopt on failure.
std::optional<Bytes> NameToSid(Platform& platform, const std::wstring& name);

// The two-call LookupAccountNameW: SID, domain and use, or nullopt.
std::optional<AccountByName> LookupAccountNameTwoCall(Platform& platform,
                                                      const std::wstring& name);

// LookupPrivilegeValueW + AdjustTokenPrivileges on an open token. True when
// the adjustment call succeeded, also for a privilege the token lacks.
bool EnablePrivilege(Platform& platform, bool enable, const std::wstring& privilegeName,
                     TokenHandle& token);

}  // namespace vm
