// The Windows headers the Win32 layer needs, included in one place. The
// headers define function-name macros (GetFileSecurity -> GetFileSecurityW
// and so on) that would rename the methods of vm::Platform in some
// translation units and not in others; they are undefined here, and Win32
// code calls the W functions by their full names.
#pragma once

#include <windows.h>

#include <aclapi.h>
#include <lm.h>
#include <sddl.h>
#include <shlwapi.h>

#undef GetFileSecurity
#undef SetFileSecurity
#undef GetNamedSecurityInfo
#undef SetNamedSecurityInfo
#undef GetInheritanceSource
#undef TreeResetNamedSecurityInfo
#undef SetEntriesInAcl
#undef LookupAccountName
#undef LookupAccountSid
#undef ConvertSidToStringSid
#undef GetUserName
#undef LookupPrivilegeValue
#undef PathFileExists
#undef PathIsDirectory
#undef GetFileAttributes
#undef GetLogicalDriveStrings
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef GetSystemWow64Directory
