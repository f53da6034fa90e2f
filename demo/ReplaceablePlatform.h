// A Platform that passes every call to a simulated machine which can be
// replaced while the program runs (the demonstration machine put back as
// shipped). The windows and the engine hold this one Platform for the whole
// run; worker threads may be calling it when the machine is replaced, so
// every call holds a shared lock and the replacement an exclusive one: a call
// sees the old machine or the new one, never half of each. A replacement
// waiting for its turn holds back new calls (readers alone would never leave
// it a gap).
#pragma once

#include <memory>
#include <mutex>
#include <shared_mutex>
#include <utility>

#include "platform/Platform.h"
#include "platform/sim/SimPlatform.h"

namespace vm::demo {

class ReplaceablePlatform final : public Platform {
  public:
    explicit ReplaceablePlatform(std::unique_ptr<sim::SimPlatform> machine);

    // Puts this machine in place of the current one and returns the one it
    // replaced (destroyed by the caller, outside the lock). A token handle
    // opened on the old machine is refused by the new one (ERROR_INVALID_HANDLE).
    std::unique_ptr<sim::SimPlatform> Replace(std::unique_ptr<sim::SimPlatform> machine);

    // Runs read(const sim::SimPlatform&) on the current machine, which
    // stays in place meanwhile.
    template <class Reader>
    auto Inspect(Reader&& read) const {
        std::shared_lock lock = SharedLock();
        return std::forward<Reader>(read)(std::as_const(*machine_));
    }

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
    std::wstring ErrorText(uint32_t code) override;

  private:
    // Runs call(sim::SimPlatform&) on the current machine under the shared lock.
    template <class Function>
    auto Forward(Function&& call) {
        std::shared_lock lock = SharedLock();
        return std::forward<Function>(call)(*machine_);
    }

    // Passes the turnstile (held by a waiting replacement) first.
    std::shared_lock<std::shared_mutex> SharedLock() const {
        { std::lock_guard pass(turnstile_); }
        return std::shared_lock(mutex_);
    }

    mutable std::mutex turnstile_;
    mutable std::shared_mutex mutex_;
    std::unique_ptr<sim::SimPlatform> machine_;
};

}  // namespace vm::demo
