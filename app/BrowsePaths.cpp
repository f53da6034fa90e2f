#include "app/BrowsePaths.h"

#include "lists/ItemListModel.h"

#include <algorithm>
#include <cwctype>

namespace vm {

namespace {

bool IsDriveLetterRoot(const std::wstring& path) {
    return path.size() == 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

// "\\server" or "\\server\share", nothing after the share name.
bool IsUncRoot(const std::wstring& path) {
    if (path.size() < 3 || path[0] != L'\\' || path[1] != L'\\')
        return false;
    const std::wstring rest = path.substr(2);
    if (rest.empty() || rest.front() == L'\\' || rest.back() == L'\\')
        return false;
    return std::count(rest.begin(), rest.end(), L'\\') <= 1;
}

}  // namespace

bool PathIsRoot(const std::wstring& path) {
    return path == L"\\" || IsDriveLetterRoot(path) || IsUncRoot(path);
}

std::optional<std::wstring> FolderAbove(const std::wstring& folder) {
    if (folder.empty() || PathIsRoot(folder))
        return std::nullopt;
    std::wstring path = folder;
    if (path.back() == L'\\')
        path.pop_back();
    const size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos)
        return std::nullopt;
    path.resize(cut);
    if (path.size() == 2)
        path += L'\\';
    return path;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\')
        return folder + name;
    return folder + L'\\' + name;
}

std::wstring FolderSearchPattern(const std::wstring& folder) {
    return JoinPath(folder, L"*.*");
}

std::vector<std::wstring> DriveRootPaths(Platform& platform) {
    std::vector<std::wstring> roots;
    for (const auto& drive : platform.GetLogicalDriveStrings()) {
        if (drive.size() >= 2)
            roots.push_back(drive.substr(0, 2) + L'\\');
    }
    return roots;
}

std::vector<std::wstring> ListFolderPaths(Platform& platform, const std::wstring& folder) {
    std::vector<std::wstring> paths;
    for (auto& entry : ReadFolderEntries(platform, folder))
        paths.push_back(std::move(entry.path));
    return paths;
}

bool IsOnNtfs(Platform& platform, const std::wstring& path) {
    auto name = platform.GetVolumeFileSystemName(path.substr(0, 3));
    return name.ok() && EqualsIgnoringCase(*name, L"NTFS");
}

}  // namespace vm
