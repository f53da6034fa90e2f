// A Platform that passes every call on to another one. Platforms that watch,
// guard or redirect the calls (the command line's write log, undo journal
// and dry run; the demonstration's replaceable machine) derive from it and
// override only the calls they change.
#pragma once

#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vm {

class ForwardingPlatform : public Platform {
  public:
    explicit ForwardingPlatform(Platform& inner) : inner_(&inner) {}
    // The platform given at construction.
    Platform& inner() const { return *inner_; }

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

  protected:
    // For a platform that chooses its target per call (Target below).
    ForwardingPlatform() = default;

    // What a forwarded call holds while it runs: nothing here; a platform
    // whose target can be replaced meanwhile returns a shared lock.
    using CallScope = std::shared_lock<std::shared_mutex>;
    virtual CallScope EnterCall() { return CallScope(); }
    // The platform a call goes to, asked once per call inside its scope.
    virtual Platform& Target() { return *inner_; }

  private:
    template <class Call>
    auto Forward(Call&& call) {
        CallScope scope = EnterCall();
        return call(Target());
    }

    Platform* inner_ = nullptr;
};

}  // namespace vm
