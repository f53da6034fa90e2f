// The platform seam over the real Windows API. Variable-size results use the
// two-call pattern (ask for the size, allocate exactly that much zero-filled,
// ask again); every block the system or we allocate is held by an owner.
// Paths go to the file functions with the "\?" prefix (platform/
// ExtendedPath.h), so that paths beyond MAX_PATH and share roots work.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Handles.h"

namespace vm::win32 {

// An open process token.
class Win32Token final : public TokenHandle {
  public:
    explicit Win32Token(HANDLE handle) : handle_(handle) {}
    HANDLE get() const { return handle_.get(); }

  private:
    UniqueHandle handle_;
};

// Whether this process runs under Wine, which lacks some security functions
// (GetInheritanceSourceW aborts the process there).
bool RunningOnWine();

class Win32Platform final : public Platform {
  public:
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
    std::wstring ErrorText(uint32_t code) override;
};

}  // namespace vm::win32
