// A simulated Windows machine behind the platform seam: NTFS and FAT volumes
// with folders, files and junctions, the accounts of the computer and its
// domain, one process token with groups and privileges, and the security
// calls with Windows' access checks, owner rules and inheritance. Every call
// is counted per kind, and faults can be injected.
//
// Scenarios are written compactly; objects take an SDDL string:
//
//   vm::sim::SimPlatform machine;          // user "Alice", elevated admin
//   machine.AddVolume(L'C', L"NTFS");      // root: Administrators, SYSTEM full
//   machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)");  // as written
//   machine.AddFile(L"C:\\Data\\a.txt");   // no SDDL: inherits from its folder
//   machine.AddLocalUser(L"Bob");
//   machine.FailNthCall(vm::sim::Call::kSetFileSecurity, 2, vm::err::kAccessDenied);
//   ... run the engine on machine ...
//   EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), L"O:BAD:AI(A;ID;FA;;;BA)");
//   EXPECT_EQ(machine.CallCount(vm::sim::Call::kSetFileSecurity), 2u);
//
// An SDDL string given to Add* is stored exactly as written (owner, DACL and
// its P/AI/AR flags); a missing "O:" gives the token's default owner; an
// empty string makes the object as Windows creates one without a security
// descriptor: default owner and the entries inherited from the parent folder.
// Missing parent folders are created that way too. Scenario set-up and the
// inspection helpers are not counted and ignore faults and access checks.
//
// Documented choices where Windows leaves room:
// - SetFileSecurityW and SetNamedSecurityInfoW map the generic rights of
//   every entry that takes effect on the object, in place; inherit-only
//   entries keep them (SimGenericMapping.h says which observations of Windows
//   this follows). The access check takes each entry's mask as stored.
// - SetNamedSecurityInfoW with DACL_SECURITY_INFORMATION and neither
//   PROTECTED_ nor UNPROTECTED_DACL_SECURITY_INFORMATION writes the DACL
//   unprotected (the descriptor it builds has no SE_DACL_PROTECTED bit).
// - Security calls on a junction act on the junction itself; junctions are
//   followed only as inner components of a path and by FindFiles.
// - SetNamedSecurityInfoW with an unprotected DACL needs READ_CONTROL on the
//   object as well as on its parent: rebuilding the inherited entries needs
//   the object's owner and group (CREATOR OWNER, CREATOR GROUP).
// - TreeResetNamedSecurityInfoW resets junctions' own DACLs but does not walk
//   into them, as the propagation does.
// - NetUserGetLocalGroups finds a user of the domain only as "CORP\name".
//
// Thread-safe: one lock guards the machine; two machines share nothing.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/rules/Accounts.h"
#include "platform/rules/Token.h"
#include "security/SecurityDescriptor.h"

namespace vm::sim {

// The machine's accounts and token are those of the shared Windows rules.
using rules::Account;
using rules::Accounts;
using rules::kComputerName;
using rules::kDomainName;
using rules::Token;
using rules::TokenGroup;
using rules::TokenPrivilege;
namespace privilege = rules::privilege;

// One kind per Platform method.
enum class Call : size_t {
    kGetFileSecurity,
    kSetFileSecurity,
    kGetNamedSecurityInfo,
    kSetNamedSecurityInfo,
    kGetInheritanceSource,
    kSetEntriesInAcl,
    kLookupAccountName,
    kLookupAccountSid,
    kConvertSidToStringSid,
    kGetUserName,
    kGetLocalGroupsOfUser,
    kOpenProcessToken,
    kLookupPrivilegeValue,
    kAdjustTokenPrivilege,
    kPathFileExists,
    kGetFileAttributes,
    kFindFiles,
    kGetVolumeFileSystemName,
    kGetLogicalDriveStrings,
    kGetWindowsDirectory,
    kGetSystemDirectory,
    kGetSystemWow64Directory,
    kTreeResetNamedSecurityInfo,
    kGetTokenGroups,
    kCount
};
inline constexpr size_t kCallKinds = static_cast<size_t>(Call::kCount);
// The Win32 name of the call ("GetFileSecurityW", ...).
const char* CallName(Call call);

// A path through a loop of junctions (ERROR_CANT_RESOLVE_FILENAME).
inline constexpr uint32_t kCantResolveFilename = 1921;
// NetUserGetLocalGroups for an unknown user (NERR_UserNotFound).
inline constexpr uint32_t kNerrUserNotFound = 2221;

class SimPlatform final : public Platform {
  public:
    // A machine with the well-known accounts, the local user "Alice"
    // (member of Administrators and Users) running an elevated process,
    // Windows in C:\Windows (not created until a volume C: exists and
    // SetWindowsDirectory asks for it), 64-bit, and no volumes.
    SimPlatform();
    ~SimPlatform() override;
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    // ---- Volumes and objects ---------------------------------------------
    // A drive. Volumes other than "NTFS" have no security: their security
    // calls fail with ERROR_NOT_SUPPORTED. The NTFS root gets rootSddl, or
    // by default owner Administrators and full control for Administrators
    // and SYSTEM, read and execute for Users, all inherited by everything.
    void AddVolume(wchar_t letter, const std::wstring& fileSystem,
                   const std::wstring& rootSddl = L"");
    // Objects by full path (see the header comment for the SDDL rules). An
    // existing object of the same name is replaced. Returns false for a bad
    // path, a missing volume, a parent that is a file, or a bad SDDL string.
    bool AddFolder(const std::wstring& path, const std::wstring& sddl = L"");
    bool AddFile(const std::wstring& path, const std::wstring& sddl = L"", uint64_t size = 0);
    // A junction (folder with FILE_ATTRIBUTE_REPARSE_POINT) pointing at target.
    bool AddJunction(const std::wstring& path, const std::wstring& target,
                     const std::wstring& sddl = L"");
    // Removes an object and everything below it. False when it does not exist.
    bool Remove(const std::wstring& path);
    // Attribute bits to add (hidden, system, read-only; the kind bits stay).
    bool SetAttributes(const std::wstring& path, uint32_t attributes);
    bool SetTimes(const std::wstring& path, uint64_t creationTime, uint64_t lastWriteTime);
    // Replaces owner and DACL state without any check (SDDL as for Add*).
    bool SetSecurity(const std::wstring& path, const std::wstring& sddl);
    bool SetSecurity(const std::wstring& path, const SecurityDescriptor& descriptor);

    // GetWindowsDirectory's answer; creates the Windows, System32 and (on a
    // 64-bit machine) SysWOW64 folders where the volume exists.
    void SetWindowsDirectory(const std::wstring& path);
    void Set64Bit(bool is64Bit);

    // ---- Inspection (not counted) -----------------------------------------
    bool Exists(const std::wstring& path) const;
    std::optional<Sid> OwnerOf(const std::wstring& path) const;
    // The owner's bare name, or the SID string when it does not resolve.
    std::wstring OwnerNameOf(const std::wstring& path) const;
    // Owner, DACL and control (DACL bits only) of the object, or nullopt.
    std::optional<SecurityDescriptor> DescriptorOf(const std::wstring& path) const;
    AclSlot DaclOf(const std::wstring& path) const;
    uint16_t DaclControlOf(const std::wstring& path) const;
    // "O:...D:..." of the object; empty when it does not exist.
    std::wstring SddlOf(const std::wstring& path) const;
    std::wstring DaclSddlOf(const std::wstring& path) const;  // "D:..." only
    // Names of the objects below path (full paths), parents before children.
    std::vector<std::wstring> ListTree(const std::wstring& path) const;

    // ---- Accounts ---------------------------------------------------------
    Sid AddLocalUser(const std::wstring& name);
    Sid AddLocalGroup(const std::wstring& name);
    Sid AddDomainUser(const std::wstring& name);
    Sid AddDomainGroup(const std::wstring& name);
    // Group membership (names as LookupAccountNameW takes them).
    bool AddToGroup(const std::wstring& member, const std::wstring& group);
    // The account stops resolving; its SID stays wherever it is used.
    std::optional<Sid> DeleteAccount(const std::wstring& name);
    // The SID of a name (test helper); an empty Sid when the name is unknown.
    Sid SidOf(const std::wstring& name) const;
    std::optional<Account> FindAccount(const std::wstring& name) const;

    // ---- The process token ------------------------------------------------
    // The user running the process; its groups are rebuilt from the
    // accounts (Everyone, Authenticated Users, INTERACTIVE, its local and
    // domain groups) with the current elevation.
    bool SetTokenUser(const std::wstring& name);
    // A full administrator token: Administrators enabled and may own, the
    // administrator privileges held (SeTakeOwnership, SeRestore, SeBackup
    // and the others off). Default.
    void SetTokenElevated();
    // A filtered token: Administrators deny-only, the standard user's
    // privileges only.
    void SetTokenNotElevated();
    // Direct access for unusual tokens. SetTokenUser, SetTokenElevated,
    // SetTokenNotElevated and AddToGroup rebuild the token and drop these.
    void SetTokenGroups(std::vector<TokenGroup> groups);
    void SetTokenPrivilege(const std::wstring& name, bool held, bool enabled);
    bool PrivilegeEnabled(const std::wstring& name) const;
    bool PrivilegeHeld(const std::wstring& name) const;
    Token TokenSnapshot() const;
    // Token handles handed out and not yet closed.
    int OpenTokenHandles() const;

    // ---- The whole machine (machine description files) ----------------------
    // Not counted; no faults or access checks apply.
    struct VolumeInfo {
        wchar_t letter = 0;
        std::wstring fileSystem;
    };
    enum class ObjectKind { kFolder, kFile, kJunction };
    struct ObjectInfo {
        std::wstring path;  // "C:\" for a root
        ObjectKind kind = ObjectKind::kFolder;
        uint32_t attributes = 0;
        uint64_t creationTime = 0;
        uint64_t lastWriteTime = 0;
        uint64_t size = 0;
        std::wstring junctionTarget;
        // Owner, group, DACL and the DACL bits of the control word; none on
        // a volume without security.
        std::optional<SecurityDescriptor> security;
        std::optional<Bytes> content;
    };
    std::vector<VolumeInfo> Volumes() const;
    // Every object, roots included: each volume's root, then its tree with
    // parents before children and siblings in listing order.
    std::vector<ObjectInfo> Objects() const;
    std::vector<Account> AccountList() const;
    std::wstring WindowsDirectoryPath() const;
    bool Is64Bit() const;
    bool IsElevated() const;
    // Replaces the whole account table, the well-known accounts included.
    // False, with nothing changed, when two accounts share a SID or a name
    // within a domain. The token is left as it is.
    bool ReplaceAccounts(const std::vector<Account>& accounts);
    // Takes the token as given; elevated is what later rebuilds of it use.
    void SetToken(Token token, bool elevated);
    // The bytes of a file (its size follows them); false for a folder, a
    // junction or a missing path. A file without content has none.
    bool SetFileContent(const std::wstring& path, Bytes content);
    std::optional<Bytes> FileContent(const std::wstring& path) const;

    // ---- Instruments --------------------------------------------------------
    uint64_t CallCount(Call call) const;
    uint64_t TotalCalls() const;
    // Objects whose security the calls wrote: one per SetFileSecurityW or
    // owner write, and for a named DACL write or a tree reset every object
    // it rewrote, the propagation to the subtree included. What a
    // propagating write really costs on Windows, where a call count hides it.
    uint64_t ObjectsTouched() const;
    void ResetCounters();
    // The nth call of the kind from now on (1: the next one) fails with error
    // and does nothing else.
    void FailNthCall(Call call, uint64_t n, uint32_t error);
    // Every call of the kind from now on fails with error.
    void FailEveryCall(Call call, uint32_t error);
    // The object refuses these rights to every caller, whatever its DACL and
    // the privileges: security reads (READ_CONTROL), DACL writes (WRITE_DAC),
    // owner writes (WRITE_OWNER), listing (FILE_LIST_DIRECTORY = 1).
    void DenyAccess(const std::wstring& path, uint32_t rights);
    // Removes every injected fault and refusal.
    void ClearFaults();
    // Called at the start of every counted call, outside the lock, so that a
    // test can change the machine between two calls of the engine.
    using CallHook = std::function<void(Call, const std::wstring& path)>;
    void SetCallHook(CallHook hook);

    // ---- Platform -----------------------------------------------------------
    Result<Bytes> GetFileSecurity(const std::wstring& path, uint32_t info) override;
    Status SetFileSecurity(const std::wstring& path, uint32_t info,
                           const Bytes& descriptor) override;
    Result<Bytes> GetNamedSecurityInfo(const std::wstring& path, uint32_t info) override;
    Status SetNamedSecurityInfo(const std::wstring& path, uint32_t info, const Bytes* ownerSid,
                                const OptionalAcl* dacl) override;
    Result<std::vector<InheritedFrom>> GetInheritanceSource(const std::wstring& path,
                                                            bool isContainer,
                                                            const Bytes& acl) override;
    Status TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                      const OptionalAcl& dacl,
                                      const TreeProgress& progress) override;
    Result<Bytes> SetEntriesInAcl(const std::vector<ExplicitAccess>& entries,
                                  const OptionalAcl& oldAcl) override;
    Result<AccountByName> LookupAccountName(const std::wstring& name) override;
    Result<AccountBySid> LookupAccountSid(const Bytes& sid) override;
    Result<std::wstring> ConvertSidToStringSid(const Bytes& sid) override;
    Result<std::wstring> GetUserName() override;
    Result<std::vector<TokenGroupInfo>> GetTokenGroups() override;
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

    struct Node;
    struct Volume;

  private:
    // The machine as platform/rules sees a store of secured objects.
    class Store;

    struct Fault {
        uint64_t atCall = 0;  // 0: every call
        uint32_t error = 0;
    };

    // Counts the call, runs the hook and returns an injected error (0: none).
    uint32_t Enter(Call call, const std::wstring& path);

    // Everything below needs mutex_ held.
    Node* Find(const std::wstring& path, uint32_t* error) const;
    Node* FindForSecurity(const std::wstring& path, uint32_t* error) const;
    Node* Create(const std::wstring& path, bool isContainer, uint32_t attributes);
    bool AddObject(const std::wstring& path, bool isContainer, uint32_t attributes,
                   const std::wstring& sddl, Node** made);
    void Remove(Node& node);
    bool IsSecured(const Node& node) const;
    bool ApplySddl(Node& node, const std::wstring& sddl);
    bool ApplyDescriptor(Node& node, const SecurityDescriptor& descriptor);
    void InheritFromParent(Node& node);
    uint32_t Check(const Node& node, uint32_t desired, bool backupIntent) const;
    std::wstring PathOf(const Node& node) const;
    uint32_t CheckNewOwner(const Sid& owner) const;
    Bytes ReadSecurity(const Node& node, uint32_t info) const;
    Result<Bytes> ReadSecurityCall(Call call, const std::wstring& path, uint32_t info);
    void WriteDaclWithPropagation(Node& node, const AclSlot& dacl, bool isProtected);
    void RebuildToken();

    mutable std::mutex mutex_;
    std::map<wchar_t, std::unique_ptr<Volume>> volumes_;
    Accounts accounts_;
    Token token_;
    Sid tokenUser_;
    bool elevated_ = true;
    bool is64Bit_ = true;
    std::wstring windowsDirectory_ = L"C:\\Windows";

    std::array<std::atomic<uint64_t>, kCallKinds> counts_{};
    std::atomic<uint64_t> objectsTouched_{0};
    std::array<uint64_t, kCallKinds> seen_{};  // calls since the machine started
    std::array<std::vector<Fault>, kCallKinds> faults_{};
    CallHook hook_;
    std::shared_ptr<std::atomic<int>> openTokens_;
};

}  // namespace vm::sim
