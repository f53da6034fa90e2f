// A Platform whose every call fails with ERROR_CALL_NOT_IMPLEMENTED; tests
// override the few calls they need.
#pragma once

#include "platform/Platform.h"

namespace vm::fakes {

class StubPlatform : public Platform {
  public:
    static constexpr uint32_t kNo = err::kCallNotImplemented;

    Result<Bytes> GetFileSecurity(const std::wstring&, uint32_t) override {
        return Result<Bytes>::Fail(kNo);
    }
    Status SetFileSecurity(const std::wstring&, uint32_t, const Bytes&) override {
        return Status::Fail(kNo);
    }
    Result<Bytes> GetNamedSecurityInfo(const std::wstring&, uint32_t) override {
        return Result<Bytes>::Fail(kNo);
    }
    Status SetNamedSecurityInfo(const std::wstring&, uint32_t, const Bytes*,
                                const OptionalAcl*) override {
        return Status::Fail(kNo);
    }
    Result<std::vector<InheritedFrom>> GetInheritanceSource(const std::wstring&, bool,
                                                            const Bytes&) override {
        return Result<std::vector<InheritedFrom>>::Fail(kNo);
    }
    Result<Bytes> SetEntriesInAcl(const std::vector<ExplicitAccess>&, const OptionalAcl&) override {
        return Result<Bytes>::Fail(kNo);
    }
    Result<AccountByName> LookupAccountName(const std::wstring&) override {
        return Result<AccountByName>::Fail(kNo);
    }
    Result<AccountBySid> LookupAccountSid(const Bytes&) override {
        return Result<AccountBySid>::Fail(kNo);
    }
    Result<std::wstring> ConvertSidToStringSid(const Bytes&) override {
        return Result<std::wstring>::Fail(kNo);
    }
    Result<std::wstring> GetUserName() override { return Result<std::wstring>::Fail(kNo); }
    Result<std::vector<std::wstring>> GetLocalGroupsOfUser(const std::wstring&) override {
        return Result<std::vector<std::wstring>>::Fail(kNo);
    }
    Result<std::unique_ptr<TokenHandle>> OpenProcessToken(uint32_t) override {
        return Result<std::unique_ptr<TokenHandle>>::Fail(kNo);
    }
    Result<Luid> LookupPrivilegeValue(const std::wstring&) override {
        return Result<Luid>::Fail(kNo);
    }
    Result<bool> AdjustTokenPrivilege(TokenHandle&, Luid, bool) override {
        return Result<bool>::Fail(kNo);
    }
    bool PathFileExists(const std::wstring&) override { return false; }
    Result<uint32_t> GetFileAttributes(const std::wstring&) override {
        return Result<uint32_t>::Fail(kNo);
    }
    Result<std::vector<FindData>> FindFiles(const std::wstring&) override {
        return Result<std::vector<FindData>>::Fail(kNo);
    }
    Result<std::wstring> GetVolumeFileSystemName(const std::wstring&) override {
        return Result<std::wstring>::Fail(kNo);
    }
    std::vector<std::wstring> GetLogicalDriveStrings() override { return {}; }
    std::wstring GetWindowsDirectory() override { return {}; }
    std::wstring GetSystemDirectory() override { return {}; }
    Result<std::wstring> GetSystemWow64Directory() override {
        return Result<std::wstring>::Fail(kNo);
    }
};

}  // namespace vm::fakes
