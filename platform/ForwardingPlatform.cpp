#include "platform/ForwardingPlatform.h"

namespace vm {

Result<Bytes> ForwardingPlatform::GetFileSecurity(const std::wstring& path, uint32_t info) {
    return Forward([&](Platform& target) { return target.GetFileSecurity(path, info); });
}
Status ForwardingPlatform::SetFileSecurity(const std::wstring& path, uint32_t info,
                                           const Bytes& descriptor) {
    return Forward(
        [&](Platform& target) { return target.SetFileSecurity(path, info, descriptor); });
}
Result<Bytes> ForwardingPlatform::GetNamedSecurityInfo(const std::wstring& path, uint32_t info) {
    return Forward([&](Platform& target) { return target.GetNamedSecurityInfo(path, info); });
}
Status ForwardingPlatform::SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                                const Bytes* ownerSid, const OptionalAcl* dacl) {
    return Forward(
        [&](Platform& target) { return target.SetNamedSecurityInfo(path, info, ownerSid, dacl); });
}
Result<std::vector<InheritedFrom>> ForwardingPlatform::GetInheritanceSource(
    const std::wstring& path, bool isContainer, const Bytes& acl) {
    return Forward(
        [&](Platform& target) { return target.GetInheritanceSource(path, isContainer, acl); });
}
Status ForwardingPlatform::TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                                      const OptionalAcl& dacl,
                                                      const TreeProgress& progress) {
    return Forward([&](Platform& target) {
        return target.TreeResetNamedSecurityInfo(path, info, dacl, progress);
    });
}
Result<Bytes> ForwardingPlatform::SetEntriesInAcl(const std::vector<ExplicitAccess>& entries,
                                                  const OptionalAcl& oldAcl) {
    return Forward([&](Platform& target) { return target.SetEntriesInAcl(entries, oldAcl); });
}
Result<AccountByName> ForwardingPlatform::LookupAccountName(const std::wstring& name) {
    return Forward([&](Platform& target) { return target.LookupAccountName(name); });
}
Result<AccountBySid> ForwardingPlatform::LookupAccountSid(const Bytes& sid) {
    return Forward([&](Platform& target) { return target.LookupAccountSid(sid); });
}
Result<std::wstring> ForwardingPlatform::ConvertSidToStringSid(const Bytes& sid) {
    return Forward([&](Platform& target) { return target.ConvertSidToStringSid(sid); });
}
Result<std::wstring> ForwardingPlatform::GetUserName() {
    return Forward([&](Platform& target) { return target.GetUserName(); });
}
Result<std::vector<TokenGroupInfo>> ForwardingPlatform::GetTokenGroups() {
    return Forward([&](Platform& target) { return target.GetTokenGroups(); });
}
Result<std::vector<std::wstring>> ForwardingPlatform::GetLocalGroupsOfUser(
    const std::wstring& user) {
    return Forward([&](Platform& target) { return target.GetLocalGroupsOfUser(user); });
}
Result<std::unique_ptr<TokenHandle>> ForwardingPlatform::OpenProcessToken(uint32_t desiredAccess) {
    return Forward([&](Platform& target) { return target.OpenProcessToken(desiredAccess); });
}
Result<Luid> ForwardingPlatform::LookupPrivilegeValue(const std::wstring& name) {
    return Forward([&](Platform& target) { return target.LookupPrivilegeValue(name); });
}
Result<bool> ForwardingPlatform::AdjustTokenPrivilege(TokenHandle& token, Luid privilege,
                                                      bool enable) {
    return Forward(
        [&](Platform& target) { return target.AdjustTokenPrivilege(token, privilege, enable); });
}
bool ForwardingPlatform::PathFileExists(const std::wstring& path) {
    return Forward([&](Platform& target) { return target.PathFileExists(path); });
}
Result<uint32_t> ForwardingPlatform::GetFileAttributes(const std::wstring& path) {
    return Forward([&](Platform& target) { return target.GetFileAttributes(path); });
}
Result<std::vector<FindData>> ForwardingPlatform::FindFiles(const std::wstring& pattern) {
    return Forward([&](Platform& target) { return target.FindFiles(pattern); });
}
Result<std::wstring> ForwardingPlatform::GetVolumeFileSystemName(const std::wstring& rootPath) {
    return Forward([&](Platform& target) { return target.GetVolumeFileSystemName(rootPath); });
}
std::vector<std::wstring> ForwardingPlatform::GetLogicalDriveStrings() {
    return Forward([&](Platform& target) { return target.GetLogicalDriveStrings(); });
}
std::wstring ForwardingPlatform::GetWindowsDirectory() {
    return Forward([&](Platform& target) { return target.GetWindowsDirectory(); });
}
std::wstring ForwardingPlatform::GetSystemDirectory() {
    return Forward([&](Platform& target) { return target.GetSystemDirectory(); });
}
Result<std::wstring> ForwardingPlatform::GetSystemWow64Directory() {
    return Forward([&](Platform& target) { return target.GetSystemWow64Directory(); });
}
std::wstring ForwardingPlatform::ErrorText(uint32_t code) {
    return Forward([&](Platform& target) { return target.ErrorText(code); });
}

}  // namespace vm
