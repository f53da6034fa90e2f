#include "backup/RestoreModel.h"

#include "security/Rights.h"
#include "security/SecurityAccess.h"
#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

constexpr size_t kRootLabel = 0;
constexpr size_t kSystemFolderLabel = 1;
constexpr size_t kSystemMarkLabel = 2;

std::wstring RootOf(wchar_t letter) {
    return std::wstring(1, letter) + L":\\";
}

wchar_t UpperAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool IsNtfs(const std::wstring& fileSystem) {
    std::wstring upper;
    for (wchar_t c : fileSystem)
        upper += UpperAscii(c);
    return upper == L"NTFS";
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/' || c == L':';
}

struct ResetCandidate {
    std::wstring path;
    std::wstring label;
    int defaultId;
    int32_t kind;
};

std::vector<ResetCandidate> ResetCandidates(Platform& platform) {
    std::wstring windows = platform.GetWindowsDirectory();
    wchar_t systemLetter = windows.empty() ? 0 : UpperAscii(windows[0]);
    std::wstring root = ResourceListItem(kResetLabels, kRootLabel);
    std::wstring folder = ResourceListItem(kResetLabels, kSystemFolderLabel);
    std::vector<ResetCandidate> candidates;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (letter == systemLetter) {
            candidates.push_back({RootOf(letter),
                                  root + ResourceListItem(kResetLabels, kSystemMarkLabel),
                                  kDefaultSystemDriveDescriptor, kKindDriveRoot});
        } else {
            candidates.push_back(
                {RootOf(letter), root, kDefaultDriveRootDescriptor, kKindDriveRoot});
        }
    }
    candidates.push_back({windows, folder, kDefaultSystemFolderDescriptor, kKindFolder});
    candidates.push_back(
        {platform.GetSystemDirectory(), folder, kDefaultSystemFolderDescriptor, kKindFolder});
    // Only a 64-bit system has the 32-bit system directory.
    if (auto wow64 = platform.GetSystemWow64Directory(); wow64.ok())
        candidates.push_back({*wow64, folder, kDefaultSystemFolderDescriptor, kKindFolder});
    return candidates;
}

}  // namespace

std::wstring RestoreRow::AccessText() const {
    if (access < 0)
        return {};
    return AccessLevelText(static_cast<AccessLevel>(access));
}

std::wstring FileNamePart(const std::wstring& path) {
    size_t start = 0;
    for (size_t i = 1; i < path.size(); ++i) {
        if (IsSeparator(path[i - 1]) && !IsSeparator(path[i]))
            start = i;
    }
    return path.substr(start);
}

int32_t KindOfPath(Platform& platform, const std::wstring& path) {
    if (path.size() == 3)
        return kKindDriveRoot;
    return platform.PathIsDirectory(path) ? kKindFolder : kKindFile;
}

int32_t AccessFromStoredDescriptor(Platform& platform, const UserIdentity& user,
                                   const Bytes& descriptor, SidNameCache& names) {
    auto accountSid = names.AccountSid(platform, user.CurrentUserName);
    if (!accountSid)
        return kAccessUnknown;
    auto parsed = SecurityDescriptor::Parse(descriptor);
    if (!parsed)
        return kAccessUnknown;
    uint32_t allow = 0;
    uint32_t deny = 0;
    if (!GetAccessMasksOfDescriptor(platform, *parsed, *accountSid, user.CurrentUserGroups, allow,
                                    deny, true, names))
        return static_cast<int32_t>(AccessLevel::kAllowed);  // NULL or absent DACL
    return static_cast<int32_t>(AccessLevelFromMasks(allow, deny));
}

std::vector<RestoreRow> RowsFromBackup(Platform& platform, const UserIdentity& user,
                                       std::vector<BackupItem> items) {
    SidNameCache names;
    std::vector<RestoreRow> rows;
    for (BackupItem& item : items) {
        RestoreRow row;
        row.row = static_cast<int32_t>(rows.size());
        row.kind = KindOfPath(platform, item.path);
        row.name = FileNamePart(item.path);
        row.owner = std::move(item.owner);
        row.access = AccessFromStoredDescriptor(platform, user, item.descriptor, names);
        row.descriptor = std::move(item.descriptor);
        row.path = std::move(item.path);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<RestoreRow> BuildResetRows(Platform& platform, const UserIdentity& user,
                                       const DefaultDescriptors& defaults,
                                       const FileSystemTable& fileSystems) {
    SidNameCache names;
    std::vector<RestoreRow> rows;
    for (ResetCandidate& candidate : ResetCandidates(platform)) {
        if (candidate.path.empty() || !platform.PathFileExists(candidate.path))
            continue;
        RestoreRow row;
        row.row = static_cast<int32_t>(rows.size());
        row.kind = candidate.kind;
        row.name = std::move(candidate.label);
        row.access = static_cast<int32_t>(GetAccessLevel(platform, user, candidate.path, &names));
        row.owner = GetOwnerName(platform, candidate.path);
        row.status = fileSystems.ForPath(candidate.path);
        if (IsNtfs(row.status))
            row.descriptor = defaults.ById(candidate.defaultId);
        row.path = std::move(candidate.path);
        rows.push_back(std::move(row));
    }
    return rows;
}

bool CopyRowSettings(const RestoreRow& row, CopyBuffer& buffer) {
    if (!row.descriptor)
        return false;
    buffer.CopiedDescriptor = row.descriptor;
    buffer.CopiedOwnerName = row.owner;
    return true;
}

std::wstring BackupClipboardText(const std::wstring& path) {
    return path + L" " + kBackupMarker;
}

}  // namespace vm
