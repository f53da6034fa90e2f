#include "platform/ntfs/NtfsPlatform.h"

#include "platform/rules/GenericMapping.h"
#include "platform/rules/Paths.h"
#include "platform/rules/Token.h"

namespace vm::ntfs {

namespace {

template <class T>
Result<T> Fail(uint32_t error) {
    return Result<T>::Fail(error);
}

// The parts named by info of a whole descriptor, with the control bits that
// belong to them, as GetFileSecurityW returns them.
Bytes SelectParts(const SecurityDescriptor& whole, uint32_t info) {
    SecurityDescriptor parts;
    if (info & secinfo::kOwner)
        parts.owner = whole.owner;
    if (info & secinfo::kGroup)
        parts.group = whole.group;
    if (info & secinfo::kDacl) {
        parts.dacl = whole.dacl;
        parts.control |= whole.control & sd_control::kDaclBits;
    }
    if (info & secinfo::kSacl) {
        parts.sacl = whole.sacl;
        parts.control |= whole.control & kSaclControlBits;
    }
    return parts.ToSelfRelative();
}

// The process on Linux reaches the volume with every right; its token only
// has to behave as a handle.
class VolumeTokenHandle final : public TokenHandle {
  public:
    explicit VolumeTokenHandle(uint32_t access) : access_(access) {}
    uint32_t access() const { return access_; }

  private:
    uint32_t access_;
};

}  // namespace

bool NtfsPlatform::LoadInstallation() {
    for (wchar_t letter : store_.Letters()) {
        std::wstring root{letter, L':', L'\\'};
        auto windows = store_.Describe(root + L"Windows");
        if (!windows.ok() || !(windows->attributes & attr::kDirectory))
            continue;
        windowsDirectory_ = root + windows->name;
        auto sam = store_.LocalPath(windowsDirectory_ + L"\\System32\\config\\SAM");
        auto samHive = sam.ok() ? OpenHiveFile(*sam) : nullptr;
        if (!samHive)
            return false;
        std::wstring computerName;
        auto system = store_.LocalPath(windowsDirectory_ + L"\\System32\\config\\SYSTEM");
        if (auto systemHive = system.ok() ? OpenHiveFile(*system) : nullptr)
            computerName = ComputerNameFromSystemHive(*systemHive);
        return accounts_.AddFromSam(*samHive, computerName);
    }
    return false;
}

// ---- Security ---------------------------------------------------------------------------

Result<Bytes> NtfsPlatform::GetFileSecurity(const std::wstring& path, uint32_t info) {
    auto stored = store_.ReadDescriptor(path);
    if (!stored.ok())
        return stored;
    return SelectParts(*SecurityDescriptor::Parse(*stored), info);
}

Result<Bytes> NtfsPlatform::GetNamedSecurityInfo(const std::wstring& path, uint32_t info) {
    return GetFileSecurity(path, info);
}

// Stored as SetFileSecurityW stores it, by the shared rule (rules/GenericMapping.h):
// generic rights of the entries that take effect are mapped, nothing is
// merged with the parent and nothing propagates to the children.
Status NtfsPlatform::SetFileSecurity(const std::wstring& path, uint32_t info,
                                     const Bytes& descriptor) {
    auto parts = SecurityDescriptor::Parse(descriptor);
    if (!parts)
        return Status::Fail(err::kInvalidSecurityDescriptor);
    if (info & secinfo::kDacl)
        parts->dacl = rules::MapGenericRightsOnWrite(parts->dacl);
    return store_.WriteParts(path, info, *parts);
}

Status NtfsPlatform::SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                          const Bytes* ownerSid, const OptionalAcl* dacl) {
    (void)dacl;
    // A DACL written this way rebuilds inherited entries and propagates to
    // the children: the shared inheritance rules plug in here.
    if (info & (secinfo::kDacl | secinfo::kSacl))
        return Status::Fail(err::kCallNotImplemented);
    if (!(info & secinfo::kOwner))
        return Status::Fail(err::kInvalidParameter);
    if (!ownerSid)
        return Status::Fail(err::kInvalidParameter);
    auto owner = Sid::Parse(*ownerSid);
    if (!owner)
        return Status::Fail(err::kInvalidSid);
    SecurityDescriptor parts;
    parts.owner = owner;
    return store_.WriteParts(path, secinfo::kOwner, parts);
}

// Both need the shared inheritance rules.
Result<std::vector<InheritedFrom>> NtfsPlatform::GetInheritanceSource(const std::wstring&, bool,
                                                                      const Bytes&) {
    return Fail<std::vector<InheritedFrom>>(err::kCallNotImplemented);
}

Result<Bytes> NtfsPlatform::SetEntriesInAcl(const std::vector<ExplicitAccess>&,
                                            const OptionalAcl&) {
    return Fail<Bytes>(err::kCallNotImplemented);
}

// ---- Accounts ---------------------------------------------------------------------------

Result<AccountByName> NtfsPlatform::LookupAccountName(const std::wstring& name) {
    auto account = accounts_.FindByName(name);
    if (!account)
        return Fail<AccountByName>(err::kNoneMapped);
    return AccountByName{account->sid.ToBytes(), account->domain, account->use};
}

Result<AccountBySid> NtfsPlatform::LookupAccountSid(const Bytes& sid) {
    auto parsed = Sid::Parse(sid);
    if (!parsed || parsed->length() != sid.size())
        return Fail<AccountBySid>(err::kInvalidSid);
    auto account = accounts_.FindBySid(*parsed);
    if (!account)
        return Fail<AccountBySid>(err::kNoneMapped);
    return AccountBySid{account->name, account->domain, account->use};
}

Result<std::wstring> NtfsPlatform::ConvertSidToStringSid(const Bytes& sid) {
    auto parsed = Sid::Parse(sid);
    if (!parsed)
        return Fail<std::wstring>(err::kInvalidSid);
    return parsed->ToString();
}

// Whose access is evaluated, and the groups it has, come with the access
// check.
Result<std::wstring> NtfsPlatform::GetUserName() {
    return Fail<std::wstring>(err::kCallNotImplemented);
}

Result<std::vector<std::wstring>> NtfsPlatform::GetLocalGroupsOfUser(const std::wstring&) {
    return Fail<std::vector<std::wstring>>(err::kCallNotImplemented);
}

// ---- Privileges -------------------------------------------------------------------------

Result<std::unique_ptr<TokenHandle>> NtfsPlatform::OpenProcessToken(uint32_t desiredAccess) {
    return std::unique_ptr<TokenHandle>(std::make_unique<VolumeTokenHandle>(desiredAccess));
}

Result<Luid> NtfsPlatform::LookupPrivilegeValue(const std::wstring& name) {
    auto luid = rules::PrivilegeLuid(name);
    if (!luid)
        return Fail<Luid>(err::kNoSuchPrivilege);
    return *luid;
}

// The volume checks no rights, so every privilege counts as held.
Result<bool> NtfsPlatform::AdjustTokenPrivilege(TokenHandle& token, Luid privilege, bool) {
    auto* handle = dynamic_cast<VolumeTokenHandle*>(&token);
    if (!handle)
        return Fail<bool>(err::kInvalidHandle);
    if (!(handle->access() & kTokenAdjustPrivileges))
        return Fail<bool>(err::kAccessDenied);
    if (rules::PrivilegeName(privilege).empty())
        return Fail<bool>(err::kNoSuchPrivilege);
    return true;
}

// ---- File system ------------------------------------------------------------------------

bool NtfsPlatform::PathFileExists(const std::wstring& path) {
    return store_.LocalPath(path).ok();
}

Result<uint32_t> NtfsPlatform::GetFileAttributes(const std::wstring& path) {
    return store_.Attributes(path);
}

Result<std::vector<FindData>> NtfsPlatform::FindFiles(const std::wstring& pattern) {
    using Entries = std::vector<FindData>;
    size_t slash = pattern.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return Fail<Entries>(err::kInvalidName);
    std::wstring folderPath = pattern.substr(0, slash + 1);
    std::wstring namePattern = pattern.substr(slash + 1);
    auto listed = store_.List(folderPath);
    if (!listed.ok())
        return Fail<Entries>(listed.error() == err::kFileNotFound ? err::kPathNotFound
                                                                  : listed.error());
    Entries entries;
    // NTFS lists "." and ".." first in every folder but a root.
    auto parsed = rules::ParsePath(folderPath);
    if (parsed && !parsed->IsRoot()) {
        auto self = store_.Describe(folderPath);
        auto parent = store_.Describe(folderPath + L"..");
        for (auto [name, data] : {std::pair{L".", &self}, std::pair{L"..", &parent}}) {
            if (data->ok() && rules::MatchesPattern(namePattern, name)) {
                FindData dot = **data;
                dot.name = name;
                entries.push_back(std::move(dot));
            }
        }
    }
    for (auto& entry : *listed) {
        if (rules::MatchesPattern(namePattern, entry.name))
            entries.push_back(std::move(entry));
    }
    if (entries.empty())
        return Fail<Entries>(err::kFileNotFound);
    return entries;
}

Result<std::wstring> NtfsPlatform::GetVolumeFileSystemName(const std::wstring& rootPath) {
    auto parsed = rules::ParsePath(rootPath);
    if (!parsed || !parsed->IsRoot())
        return Fail<std::wstring>(err::kInvalidName);
    if (!store_.HasVolume(parsed->drive))
        return Fail<std::wstring>(err::kPathNotFound);
    return std::wstring(L"NTFS");
}

std::vector<std::wstring> NtfsPlatform::GetLogicalDriveStrings() {
    std::vector<std::wstring> drives;
    for (wchar_t letter : store_.Letters())
        drives.push_back(std::wstring{letter, L':', L'\\'});
    return drives;
}

std::wstring NtfsPlatform::GetWindowsDirectory() {
    return windowsDirectory_;
}

std::wstring NtfsPlatform::GetSystemDirectory() {
    return windowsDirectory_ + L"\\System32";
}

// A 32-bit installation has no SysWOW64 folder.
Result<std::wstring> NtfsPlatform::GetSystemWow64Directory() {
    auto wow64 = store_.Describe(windowsDirectory_ + L"\\SysWOW64");
    if (!wow64.ok() || !(wow64->attributes & attr::kDirectory))
        return Fail<std::wstring>(err::kCallNotImplemented);
    return windowsDirectory_ + L"\\" + wow64->name;
}

}  // namespace vm::ntfs
