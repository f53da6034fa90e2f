// Words and forms shared by the reader and the writer of machine description
// files (platform/sim/MachineFile.h describes the statements).
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "security/SecurityDescriptor.h"

namespace vm::sim::machine_format {

inline constexpr const wchar_t* kMachine = L"machine";
inline constexpr const wchar_t* kWindows = L"windows";
inline constexpr const wchar_t* kArchitecture = L"architecture";
inline constexpr const wchar_t* kAccount = L"account";
inline constexpr const wchar_t* kMember = L"member";
inline constexpr const wchar_t* kUser = L"user";
inline constexpr const wchar_t* kTokenGroup = L"token-group";
inline constexpr const wchar_t* kPrivilege = L"privilege";
inline constexpr const wchar_t* kDefaultOwner = L"default-owner";
inline constexpr const wchar_t* kDescriptor = L"descriptor";
inline constexpr const wchar_t* kVolume = L"volume";
inline constexpr const wchar_t* kFolder = L"folder";
inline constexpr const wchar_t* kFile = L"file";
inline constexpr const wchar_t* kData = L"data";
inline constexpr const wchar_t* kJunction = L"junction";

inline constexpr const wchar_t* k64Bit = L"64-bit";
inline constexpr const wchar_t* k32Bit = L"32-bit";
inline constexpr const wchar_t* kElevated = L"elevated";
inline constexpr const wchar_t* kFiltered = L"filtered";
inline constexpr const wchar_t* kEnabled = L"enabled";
inline constexpr const wchar_t* kDisabled = L"disabled";
inline constexpr const wchar_t* kDenyOnly = L"deny-only";
inline constexpr const wchar_t* kOwner = L"owner";
inline constexpr const wchar_t* kNoSecurity = L"-";
inline constexpr const wchar_t* kBinaryPrefix = L"binary:";
inline constexpr wchar_t kAliasMark = L'@';

// Bytes of file content per data line (76 base64 characters).
inline constexpr size_t kDataBytesPerLine = 57;

// SID_NAME_USE as a word ("user", "well-known-group") and back.
const wchar_t* UseName(SidNameUse use);
std::optional<SidNameUse> UseFromName(const std::wstring& name);

// The part of a descriptor an object keeps: owner, group, DACL and the DACL
// bits of the control word (DACL_PRESENT follows from the DACL).
SecurityDescriptor StoredPart(SecurityDescriptor descriptor);

// A descriptor as its SDDL text when that reads back to the same stored
// part, else as "binary:" and base64 of its self-relative bytes.
std::wstring SecurityText(const SecurityDescriptor& descriptor);
// Either form back (not "-", not an alias); nullopt with a message on error.
std::optional<SecurityDescriptor> ParseSecurityText(const std::wstring& text, std::wstring* error);

}  // namespace vm::sim::machine_format
