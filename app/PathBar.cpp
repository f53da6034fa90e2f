#include "app/PathBar.h"

#include "app/BrowsePaths.h"

namespace vm {

namespace {

constexpr int kFolderIndent = 3;
constexpr size_t kDrivePrefixLength = 3;

bool SameDrive(const std::wstring& a, const std::wstring& b) {
    return EqualsIgnoringCase(a.substr(0, kDrivePrefixLength), b.substr(0, kDrivePrefixLength));
}

std::optional<size_t> RemoveFolderEntry(std::vector<PathBarEntry>& entries) {
    for (size_t i = kFirstDriveEntry; i < entries.size(); ++i) {
        if (!PathIsRoot(entries[i].path)) {
            entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<PathBarEntry> InitialPathBarEntries(const std::wstring& desktopName,
                                                const std::wstring& computerName,
                                                const std::vector<DriveName>& drives) {
    std::vector<PathBarEntry> entries{{PathBarPlace::kDesktop, desktopName, L"", 0},
                                      {PathBarPlace::kComputer, computerName, L"", 1}};
    for (const auto& drive : drives)
        entries.push_back({PathBarPlace::kDrive, drive.displayName, drive.root, 2});
    return entries;
}

PathBarChange SynchronisePathBar(std::vector<PathBarEntry>& entries, const std::wstring& folder) {
    PathBarChange change;
    change.removed = RemoveFolderEntry(entries);
    for (size_t i = kFirstDriveEntry; i < entries.size(); ++i) {
        if (!SameDrive(entries[i].path, folder))
            continue;
        if (PathIsRoot(folder)) {
            change.selected = i;
        } else {
            entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                           {PathBarPlace::kFolder, folder, folder, kFolderIndent});
            change.inserted = i + 1;
            change.selected = i + 1;
        }
        break;
    }
    return change;
}

}  // namespace vm
