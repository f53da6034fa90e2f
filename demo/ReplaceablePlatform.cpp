#include "demo/ReplaceablePlatform.h"

namespace vm::demo {

ReplaceablePlatform::ReplaceablePlatform(std::unique_ptr<sim::SimPlatform> machine)
    : machine_(std::move(machine)) {}

std::unique_ptr<sim::SimPlatform> ReplaceablePlatform::Replace(
    std::unique_ptr<sim::SimPlatform> machine) {
    std::lock_guard waiting(turnstile_);
    std::unique_lock lock(mutex_);
    machine_.swap(machine);
    return machine;
}

Result<Bytes> ReplaceablePlatform::GetFileSecurity(const std::wstring& path, uint32_t info) {
    return Forward([&](Platform& m) { return m.GetFileSecurity(path, info); });
}

Status ReplaceablePlatform::SetFileSecurity(const std::wstring& path, uint32_t info,
                                            const Bytes& descriptor) {
    return Forward([&](Platform& m) { return m.SetFileSecurity(path, info, descriptor); });
}

Result<Bytes> ReplaceablePlatform::GetNamedSecurityInfo(const std::wstring& path, uint32_t info) {
    return Forward([&](Platform& m) { return m.GetNamedSecurityInfo(path, info); });
}

Status ReplaceablePlatform::SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                                 const Bytes* ownerSid, const OptionalAcl* dacl) {
    return Forward([&](Platform& m) { return m.SetNamedSecurityInfo(path, info, ownerSid, dacl); });
}

Result<std::vector<InheritedFrom>> ReplaceablePlatform::GetInheritanceSource(
    const std::wstring& path, bool isContainer, const Bytes& acl) {
    return Forward([&](Platform& m) { return m.GetInheritanceSource(path, isContainer, acl); });
}

Result<Bytes> ReplaceablePlatform::SetEntriesInAcl(const std::vector<ExplicitAccess>& entries,
                                                   const OptionalAcl& oldAcl) {
    return Forward([&](Platform& m) { return m.SetEntriesInAcl(entries, oldAcl); });
}

Result<AccountByName> ReplaceablePlatform::LookupAccountName(const std::wstring& name) {
    return Forward([&](Platform& m) { return m.LookupAccountName(name); });
}

Result<AccountBySid> ReplaceablePlatform::LookupAccountSid(const Bytes& sid) {
    return Forward([&](Platform& m) { return m.LookupAccountSid(sid); });
}

Result<std::wstring> ReplaceablePlatform::ConvertSidToStringSid(const Bytes& sid) {
    return Forward([&](Platform& m) { return m.ConvertSidToStringSid(sid); });
}

Result<std::wstring> ReplaceablePlatform::GetUserName() {
    return Forward([&](Platform& m) { return m.GetUserName(); });
}

Result<std::vector<std::wstring>> ReplaceablePlatform::GetLocalGroupsOfUser(
    const std::wstring& user) {
    return Forward([&](Platform& m) { return m.GetLocalGroupsOfUser(user); });
}

Result<std::unique_ptr<TokenHandle>> ReplaceablePlatform::OpenProcessToken(uint32_t desiredAccess) {
    return Forward([&](Platform& m) { return m.OpenProcessToken(desiredAccess); });
}

Result<Luid> ReplaceablePlatform::LookupPrivilegeValue(const std::wstring& name) {
    return Forward([&](Platform& m) { return m.LookupPrivilegeValue(name); });
}

Result<bool> ReplaceablePlatform::AdjustTokenPrivilege(TokenHandle& token, Luid privilege,
                                                       bool enable) {
    return Forward([&](Platform& m) { return m.AdjustTokenPrivilege(token, privilege, enable); });
}

bool ReplaceablePlatform::PathFileExists(const std::wstring& path) {
    return Forward([&](Platform& m) { return m.PathFileExists(path); });
}

Result<uint32_t> ReplaceablePlatform::GetFileAttributes(const std::wstring& path) {
    return Forward([&](Platform& m) { return m.GetFileAttributes(path); });
}

Result<std::vector<FindData>> ReplaceablePlatform::FindFiles(const std::wstring& pattern) {
    return Forward([&](Platform& m) { return m.FindFiles(pattern); });
}

Result<std::wstring> ReplaceablePlatform::GetVolumeFileSystemName(const std::wstring& rootPath) {
    return Forward([&](Platform& m) { return m.GetVolumeFileSystemName(rootPath); });
}

std::vector<std::wstring> ReplaceablePlatform::GetLogicalDriveStrings() {
    return Forward([&](Platform& m) { return m.GetLogicalDriveStrings(); });
}

std::wstring ReplaceablePlatform::GetWindowsDirectory() {
    return Forward([&](Platform& m) { return m.GetWindowsDirectory(); });
}

std::wstring ReplaceablePlatform::GetSystemDirectory() {
    return Forward([&](Platform& m) { return m.GetSystemDirectory(); });
}

Result<std::wstring> ReplaceablePlatform::GetSystemWow64Directory() {
    return Forward([&](Platform& m) { return m.GetSystemWow64Directory(); });
}

std::wstring ReplaceablePlatform::ErrorText(uint32_t code) {
    return Forward([&](Platform& m) { return m.ErrorText(code); });
}

}  // namespace vm::demo
