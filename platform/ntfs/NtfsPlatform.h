// The platform seam over NTFS volumes mounted on Linux: security reads and
// writes go to the volume store, accounts come from the installation's own
// hives, folders are listed with POSIX calls.
//
// The volume stores what it is given and applies none of Windows' rules;
// they come from platform/rules, the very code the simulated machine runs:
// generic rights mapped on every DACL write, SetNamedSecurityInfoW's rebuild
// of inherited entries and its propagation to everything below,
// GetInheritanceSourceW, SetEntriesInAclW. The process on Linux reaches the
// volume with every right, as an administrator with the backup and restore
// privileges does on Windows, so no access check refuses a call.
#pragma once

#include <map>
#include <mutex>
#include <optional>
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

    // Whose access the program evaluates (GetUserNameW, and the groups of
    // NetUserGetLocalGroups): an account name as LookupAccountNameW takes it.
    // ERROR_NONE_MAPPED, nothing changed, when it is no account. Without
    // this, a member of Administrators: the installation's built-in
    // administrator, or the Administrators group itself when no SAM hive
    // was read.
    Status EvaluateAs(const std::wstring& accountName);

    // While on, descriptors and folder names read are kept per path for
    // runs that only read (showing a large folder reads each descriptor
    // once); any write through the platform drops what was kept, and so
    // does switching it off.
    void KeepReads(bool on);

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

    // The descriptor of path as stored (kept while KeepReads is on).
    Result<Bytes> ReadStored(const std::wstring& path);
    // The path with every name as stored (kept while KeepReads is on).
    Result<std::wstring> StoredPathOf(const std::wstring& path);

  private:
    class Store;
    void DropKeptReads();

    NtfsStore store_;
    VolumeAccounts accounts_;
    std::wstring windowsDirectory_ = L"C:\\Windows";
    std::optional<std::wstring> evaluatedAccount_;

    std::mutex keptMutex_;
    bool keepReads_ = false;
    std::map<std::wstring, Bytes> keptDescriptors_;
    std::map<std::wstring, std::wstring> keptStoredPaths_;
};

}  // namespace vm::ntfs
