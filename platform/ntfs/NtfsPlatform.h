// The platform seam over NTFS volumes mounted on Linux: security reads and
// writes go to the volume store, accounts come from the installation's own
// hives, folders are listed with POSIX calls.
//
// The volume stores what it is given and applies none of Windows' rules.
// Those rules live in platform/rules, shared with the simulated machine. The
// generic mapping of a DACL write is taken from there already; the
// others (SetNamedSecurityInfoW's rebuilding of inherited entries and
// propagation to the children, GetInheritanceSourceW, SetEntriesInAclW,
// the access check and the account whose access it evaluates) are not yet
// shared: the calls that need them fail with ERROR_CALL_NOT_IMPLEMENTED
// rather than do something of their own.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/ntfs/NtfsStore.h"
#include "platform/ntfs/VolumeAccounts.h"

namespace vm::ntfs {

class NtfsPlatform final : public Platform {
  public:
    NtfsPlatform() = default;

    // Set-up, before the platform is used: volumes first, then accounts.
    NtfsStore& store() { return store_; }
    VolumeAccounts& accounts() { return accounts_; }
    // Looks for Windows on the mapped volumes (the first with a \Windows
    // folder, in letter order), makes it the Windows directory and reads
    // its SAM and SYSTEM hives. False when no volume holds a readable SAM
    // hive: then only the well-known accounts resolve.
    bool LoadInstallation();

    Result<Bytes> GetFileSecurity(const std::wstring& path, uint32_t info) override;
    Status SetFileSecurity(const std::wstring& path, uint32_t info,
                           const Bytes& descriptor) override;
    Result<Bytes> GetNamedSecurityInfo(const std::wstring& path, uint32_t info) override;
    Status SetNamedSecurityInfo(const std::wstring& path, uint32_t info, const Bytes* ownerSid,
                                const OptionalAcl* dacl) override;
    Result<std::vector<InheritedFrom>> GetInheritanceSource(const std::wstring& path,
                                                            bool isContainer,
                                                            const Bytes& acl) override;
    Result<Bytes> SetEntriesInAcl(const std::vector<ExplicitAccess>& entries,
                                  const OptionalAcl& oldAcl) override;
    Result<AccountByName> LookupAccountName(const std::wstring& name) override;
    Result<AccountBySid> LookupAccountSid(const Bytes& sid) override;
    Result<std::wstring> ConvertSidToStringSid(const Bytes& sid) override;
    Result<std::wstring> GetUserName() override;
    Result<std::vector<std::wstring>> GetLocalGroupsOfUser(const std::wstring& user) override;
    Result<std::unique_ptr<TokenHandle>> OpenProcessToken(uint32_t desiredAccess) override;
    Result<Luid> LookupPrivilegeValue(const std::wstring& name) override;
    Result<bool> AdjustTokenPrivilege(TokenHandle& token, Luid privilege, bool enable) override;
    bool PathFileExists(const std::wstring& path) override;
    Result<uint32_t> GetFileAttributes(const std::wstring& path) override;
    Result<std::vector<FindData>> FindFiles(const std::wstring& pattern) override;
    Result<std::wstring> GetVolumeFileSystemName(const std::wstring& rootPath) override;
    std::vector<std::wstring> GetLogicalDriveStrings() override;
    std::wstring GetWindowsDirectory() override;
    std::wstring GetSystemDirectory() override;
    Result<std::wstring> GetSystemWow64Directory() override;

  private:
    NtfsStore store_;
    VolumeAccounts accounts_;
    std::wstring windowsDirectory_ = L"C:\\Windows";
};

}  // namespace vm::ntfs
