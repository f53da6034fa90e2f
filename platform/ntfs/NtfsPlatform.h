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

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/ntfs/NtfsStore.h"
#include "platform/ntfs/VolumeAccounts.h"
#include "security/SecurityDescriptor.h"

namespace vm::ntfs {

class NtfsPlatform final : public Platform {
  public:
    NtfsPlatform() = default;
    // Writes an owner still held (see KeepReads).
    ~NtfsPlatform() override;
    NtfsPlatform(const NtfsPlatform&) = delete;
    NtfsPlatform& operator=(const NtfsPlatform&) = delete;

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

    // While on, descriptors, stored names and the names listed are kept per
    // path, and
    // what a write through the platform stored is kept in its place (a
    // write that would change nothing is left out), so that a run reads
    // each object once. For runs of one program that has the volume to
    // itself (velmora-cli): changes made by others meanwhile go unseen. A
    // DACL written by name, which reaches the objects below, drops
    // everything kept; so does switching it off.
    // An owner written alone by name is held meanwhile: reads see it at
    // once, and it reaches the volume with the object's next write (one
    // write for both, as the engine's copy of a folder's DACL writes the
    // owner and then the DACL of each entry) or before any other object is
    // read or written, at the latest when this is switched off. A held
    // owner that the volume then refuses is told by TakeLostWrites.
    void KeepReads(bool on);
    // The objects whose held owner could not be written, with the error;
    // forgotten once taken.
    std::vector<std::pair<std::wstring, uint32_t>> TakeLostWrites();
    // While on, FindFiles lists names with the folder and reparse point
    // attributes only (no other attribute bits, no times, no sizes), from
    // one listing of the folder and no call per entry: what the tree walks
    // need, at the cost of one read per folder.
    void SetLeanListings(bool on);

    Result<Bytes> GetFileSecurity(const std::wstring& path, uint32_t info) override;
    Status SetFileSecurity(const std::wstring& path, uint32_t info,
                           const Bytes& descriptor) override;
    Result<Bytes> GetNamedSecurityInfo(const std::wstring& path, uint32_t info) override;
    Status SetNamedSecurityInfo(const std::wstring& path, uint32_t info, const Bytes* ownerSid,
                                const OptionalAcl* dacl) override;
    // TreeResetNamedSecurityInfoW by the shared rules: the object and
    // everything below, each written once.
    Status TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                      const OptionalAcl& dacl,
                                      const TreeProgress& progress) override;
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

    // The descriptor of path as stored (kept while KeepReads is on), as
    // bytes and read.
    Result<Bytes> ReadStored(const std::wstring& path);
    Result<SecurityDescriptor> ReadParsed(const std::wstring& path);
    // The path with every name as stored (kept while KeepReads is on).
    Result<std::wstring> StoredPathOf(const std::wstring& path);

  private:
    class Store;
    void DropKeptReads();
    struct KeptDescriptor {
        Bytes bytes;
        SecurityDescriptor parsed;
    };
    std::optional<KeptDescriptor> Kept(const std::wstring& path);
    Result<KeptDescriptor> ReadKept(const std::wstring& path);
    void KeepWritten(const std::wstring& path, const Result<Bytes>& written);
    // The objects of a listing are there for the rest of the run.
    void KeepListed(const std::wstring& folderPath, const std::vector<NamedEntry>& names);
    Status WriteParts(const std::wstring& path, uint32_t info, const SecurityDescriptor& parts);
    Result<std::vector<FindData>> LeanList(const std::wstring& folderPath);
    // An owner written alone, held while reads are kept.
    Status HoldOwner(const std::wstring& path, const SecurityDescriptor& parts);
    // Writes the held owner unless it is path's (nullptr: in any case).
    void WriteHeldExcept(const std::wstring* path);
    // What the volume stores for path when its owner is held.
    std::optional<Bytes> HeldOnVolume(const std::wstring& path);
    bool KeepingReads();

    NtfsStore store_;
    VolumeAccounts accounts_;
    std::wstring windowsDirectory_ = L"C:\\Windows";
    std::optional<std::wstring> evaluatedAccount_;

    std::atomic<bool> leanListings_{false};
    std::mutex keptMutex_;
    bool keepReads_ = false;
    std::map<std::wstring, KeptDescriptor> keptDescriptors_;
    std::map<std::wstring, std::wstring> keptStoredPaths_;
    std::set<std::wstring> keptNames_;
    // The object whose owner is held: its kept descriptor holds the owner,
    // onVolume what the volume stores.
    struct HeldOwnerWrite {
        std::wstring path;
        Bytes onVolume;
    };
    std::optional<HeldOwnerWrite> held_;
    std::vector<std::pair<std::wstring, uint32_t>> lostWrites_;
};

}  // namespace vm::ntfs
