// The seam to the operating system: every call the engine and the windows make
// for security, accounts, privileges and the file system goes through one
// Platform. The Win32 implementation (platform/win32) calls the real API; the
// simulated machine (platform/sim) follows documented Windows semantics so
// that the engine can be tested on any host. Engine code receives the
// Platform it works on explicitly.
//
// Rules for implementations:
// - Results and failures are values (Windows error codes); nothing throws.
// - Variable-size results are returned whole; the Win32 implementation uses
//   the two-call pattern (ask for the size, allocate exactly that, ask again).
// - SIDs, ACLs and security descriptors travel as their binary Windows forms
//   (security descriptors self-relative); security/ holds the model that
//   reads and builds them.
// - Every method may be called from several threads at once. Privileges are
//   process-wide: all threads share the one process token.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Bytes.h"
#include "platform/ErrorText.h"
#include "platform/Result.h"

namespace vm {

// SECURITY_INFORMATION bits.
namespace secinfo {
inline constexpr uint32_t kOwner = 0x1;
inline constexpr uint32_t kGroup = 0x2;
inline constexpr uint32_t kDacl = 0x4;
inline constexpr uint32_t kSacl = 0x8;
inline constexpr uint32_t kUnprotectedDacl = 0x20000000;
inline constexpr uint32_t kProtectedDacl = 0x80000000;
}  // namespace secinfo

// File attribute bits (FILE_ATTRIBUTE_*).
namespace attr {
inline constexpr uint32_t kReadOnly = 0x1;
inline constexpr uint32_t kHidden = 0x2;
inline constexpr uint32_t kSystem = 0x4;
inline constexpr uint32_t kDirectory = 0x10;
inline constexpr uint32_t kArchive = 0x20;
inline constexpr uint32_t kNormal = 0x80;
inline constexpr uint32_t kReparsePoint = 0x400;
inline constexpr uint32_t kInvalid = 0xFFFFFFFF;  // INVALID_FILE_ATTRIBUTES
}  // namespace attr

// SID_NAME_USE.
enum class SidNameUse : uint32_t {
    kUser = 1,
    kGroup = 2,
    kDomain = 3,
    kAlias = 4,
    kWellKnownGroup = 5,
    kDeletedAccount = 6,
    kInvalid = 7,
    kUnknown = 8,
    kComputer = 9,
    kLabel = 10,
};

// LookupAccountNameW: the SID, the domain it was found in, and its kind.
struct AccountByName {
    Bytes sid;
    std::wstring domain;
    SidNameUse use = SidNameUse::kUnknown;
};

// LookupAccountSidW: the bare account name and its domain, given separately.
struct AccountBySid {
    std::wstring name;
    std::wstring domain;
    SidNameUse use = SidNameUse::kUnknown;
};

// LUID of a privilege.
struct Luid {
    uint32_t low = 0;
    int32_t high = 0;
    bool operator==(const Luid&) const = default;
};

// One group of the process token (SID_AND_ATTRIBUTES of TOKEN_GROUPS).
struct TokenGroupInfo {
    Bytes sid;
    uint32_t attributes = 0;
};

// Attributes of a token group (SE_GROUP_*).
namespace group_attr {
inline constexpr uint32_t kEnabled = 0x4;
inline constexpr uint32_t kUseForDenyOnly = 0x10;
inline constexpr uint32_t kIntegrity = 0x20;
inline constexpr uint32_t kLogonId = 0xC0000000;
}  // namespace group_attr

// What a call over a whole tree tells about each object it has dealt with
// (FN_PROGRESS): the object's path and the error for it (0: its security was
// set). Returning false cancels the rest (ProgressCancelOperation).
using TreeProgress = std::function<bool(const std::wstring& path, uint32_t error)>;

// An open process token. Closed exactly once when the holder goes away.
class TokenHandle {
  public:
    virtual ~TokenHandle() = default;
};

// Token access rights used by the program.
inline constexpr uint32_t kTokenAdjustPrivileges = 0x20;
inline constexpr uint32_t kTokenQuery = 0x8;

// One entry of a folder listing (WIN32_FIND_DATAW). Times are FILETIME values
// (100 ns units since 1601-01-01 UTC).
struct FindData {
    std::wstring name;
    uint32_t attributes = 0;
    uint64_t creationTime = 0;
    uint64_t lastWriteTime = 0;
    uint64_t size = 0;
};

// INHERITED_FROMW: for one ACE, how many generations up its source is
// (0: explicit, -1: unknown) and the ancestor's name where the system knows it.
struct InheritedFrom {
    int32_t generationGap = 0;
    std::wstring ancestorName;
};

// ACCESS_MODE of EXPLICIT_ACCESS.
namespace access_mode {
inline constexpr uint32_t kNotUsed = 0;
inline constexpr uint32_t kGrant = 1;
inline constexpr uint32_t kSet = 2;
inline constexpr uint32_t kDeny = 3;
inline constexpr uint32_t kRevoke = 4;
}  // namespace access_mode

// EXPLICIT_ACCESS_W with a trustee given by name (BuildExplicitAccessWithNameW).
struct ExplicitAccess {
    std::wstring trusteeName;
    uint32_t permissions = 0;
    uint32_t mode = access_mode::kNotUsed;
    uint32_t inheritance = 0;  // ACE flags: NO_INHERITANCE (0), OI, CI, ...
};

// An ACL as the named-object calls pass it: nullopt stands for a NULL ACL
// pointer (a NULL DACL when written as the DACL).
using OptionalAcl = std::optional<Bytes>;

class Platform {
  public:
    virtual ~Platform() = default;

    // ---- Security of file-system objects ----------------------------------
    // GetFileSecurityW: a self-relative descriptor with the parts named by info.
    virtual Result<Bytes> GetFileSecurity(const std::wstring& path, uint32_t info) = 0;
    // SetFileSecurityW: writes the parts of a self-relative descriptor named by
    // info (the DACL with the DACL bits of its control word). No propagation.
    virtual Status SetFileSecurity(const std::wstring& path, uint32_t info,
                                   const Bytes& descriptor) = 0;
    // GetNamedSecurityInfoW(SE_FILE_OBJECT): the parts named by info, returned
    // as one self-relative descriptor.
    virtual Result<Bytes> GetNamedSecurityInfo(const std::wstring& path, uint32_t info) = 0;
    // SetNamedSecurityInfoW(SE_FILE_OBJECT). With kOwner, ownerSid is the new
    // owner. With kDacl, dacl is the new DACL (nullopt: NULL DACL); info may
    // add kProtectedDacl or kUnprotectedDacl. An unprotected DACL makes the
    // system rebuild the inherited entries and propagate to the children.
    virtual Status SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                        const Bytes* ownerSid, const OptionalAcl* dacl) = 0;
    // GetInheritanceSourceW for a DACL (bytes of the ACL) of a file-system
    // object, with the file generic mapping. One result per ACE of acl.
    virtual Result<std::vector<InheritedFrom>> GetInheritanceSource(const std::wstring& path,
                                                                    bool isContainer,
                                                                    const Bytes& acl) = 0;
    // TreeResetNamedSecurityInfoW(SE_FILE_OBJECT) for the DACL, KeepExplicit
    // FALSE: dacl becomes path's DACL as SetNamedSecurityInfoW writes it
    // (info may add kProtectedDacl or kUnprotectedDacl), and every object
    // below loses its explicit entries and takes what its parent now passes
    // on, each object written once. progress hears of every object, path
    // included. ERROR_CANCELLED when progress cancelled;
    // ERROR_CALL_NOT_IMPLEMENTED where the system lacks the call (callers
    // then reset object by object).
    virtual Status TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                              const OptionalAcl& dacl,
                                              const TreeProgress& progress) {
        (void)path, (void)info, (void)dacl, (void)progress;
        return Status::Fail(err::kCallNotImplemented);
    }
    // SetEntriesInAclW: merges the entries into oldAcl (nullopt: NULL ACL) and
    // returns the new ACL's bytes.
    virtual Result<Bytes> SetEntriesInAcl(const std::vector<ExplicitAccess>& entries,
                                          const OptionalAcl& oldAcl) = 0;

    // ---- Accounts ---------------------------------------------------------
    // LookupAccountNameW on the local system (null system name).
    virtual Result<AccountByName> LookupAccountName(const std::wstring& name) = 0;
    // LookupAccountSidW on the local system. ERROR_NONE_MAPPED for unknown SIDs.
    virtual Result<AccountBySid> LookupAccountSid(const Bytes& sid) = 0;
    // ConvertSidToStringSidW.
    virtual Result<std::wstring> ConvertSidToStringSid(const Bytes& sid) = 0;
    // GetUserNameW: the bare name of the user running the process.
    virtual Result<std::wstring> GetUserName() = 0;
    // GetTokenInformation(TokenGroups) of the process token: the groups
    // Windows checks access against, deny-only ones marked. Platforms without
    // a token say ERROR_CALL_NOT_IMPLEMENTED.
    virtual Result<std::vector<TokenGroupInfo>> GetTokenGroups() {
        return Result<std::vector<TokenGroupInfo>>::Fail(err::kCallNotImplemented);
    }
    // NetUserGetLocalGroups(null server, level 0, LG_INCLUDE_INDIRECT).
    virtual Result<std::vector<std::wstring>> GetLocalGroupsOfUser(const std::wstring& user) = 0;

    // ---- Privileges of the process token ----------------------------------
    // OpenProcessToken(GetCurrentProcess(), desiredAccess).
    virtual Result<std::unique_ptr<TokenHandle>> OpenProcessToken(uint32_t desiredAccess) = 0;
    // LookupPrivilegeValueW(null system, name).
    virtual Result<Luid> LookupPrivilegeValue(const std::wstring& name) = 0;
    // AdjustTokenPrivileges for one privilege (enabled or not). Succeeds also
    // when the token does not hold the privilege; the value then is false
    // (ERROR_NOT_ALL_ASSIGNED as last error), true when it was assigned.
    virtual Result<bool> AdjustTokenPrivilege(TokenHandle& token, Luid privilege, bool enable) = 0;

    // ---- File system ------------------------------------------------------
    // Whether the path names an existing file, folder or drive root (the
    // question PathFileExistsW answers; Win32 asks GetFileAttributesW, which
    // takes long paths and share roots alike).
    virtual bool PathFileExists(const std::wstring& path) = 0;
    // GetFileAttributesW.
    virtual Result<uint32_t> GetFileAttributes(const std::wstring& path) = 0;
    // FindFirstFileW / FindNextFileW over a pattern such as L"C:\\Data\\*.*",
    // in the order the file system returns entries ("." and ".." included
    // where Windows returns them).
    virtual Result<std::vector<FindData>> FindFiles(const std::wstring& pattern) = 0;
    // GetVolumeInformationW(rootPath): the file-system name ("NTFS", "FAT32").
    virtual Result<std::wstring> GetVolumeFileSystemName(const std::wstring& rootPath) = 0;
    // GetLogicalDriveStringsW: "C:\" and so on, in the system's order.
    virtual std::vector<std::wstring> GetLogicalDriveStrings() = 0;
    // GetWindowsDirectoryW, GetSystemDirectoryW, GetSystemWow64DirectoryW (the
    // last fails with ERROR_CALL_NOT_IMPLEMENTED on a 32-bit system).
    virtual std::wstring GetWindowsDirectory() = 0;
    virtual std::wstring GetSystemDirectory() = 0;
    virtual Result<std::wstring> GetSystemWow64Directory() = 0;

    // ---- Messages ---------------------------------------------------------
    // The system's text for an error code (FormatMessageW); the seam's own
    // English texts where the platform has no message table.
    virtual std::wstring ErrorText(uint32_t code) { return DescribeError(code); }

    // PathIsDirectoryW.
    bool PathIsDirectory(const std::wstring& path) {
        auto attributes = GetFileAttributes(path);
        return attributes.ok() && (*attributes & attr::kDirectory) != 0;
    }
};

}  // namespace vm
