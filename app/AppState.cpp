#include "app/AppState.h"

#include <cwctype>

namespace vm {

namespace {

std::optional<size_t> DriveIndex(wchar_t letter) {
    const auto upper = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(letter)));
    if (upper < L'A' || upper > L'Z')
        return std::nullopt;
    return static_cast<size_t>(upper - L'A');
}

const std::wstring& EmptyName() {
    static const std::wstring empty;
    return empty;
}

}  // namespace

// Only the letters the system reports (GetLogicalDriveStrings, as
// GetLogicalDrives): asking every letter from A to Z touches drives that are
// not there, and an empty floppy or card drive can answer with a "no disk"
// box (SetErrorMode docs).
FileSystemTable FileSystemTable::Read(Platform& platform) {
    FileSystemTable table;
    for (const std::wstring& root : platform.GetLogicalDriveStrings()) {
        if (root.size() < 2 || root[1] != L':' || !DriveIndex(root[0]))
            continue;
        auto name = platform.GetVolumeFileSystemName(std::wstring{root[0], L':', L'\\'});
        if (name.ok())
            table.Set(root[0], *name);
    }
    return table;
}

const std::wstring& FileSystemTable::ForPath(const std::wstring& path) const {
    if (path.size() < 2 || path[1] != L':')
        return EmptyName();
    auto index = DriveIndex(path[0]);
    return index ? names_[*index] : EmptyName();
}

void FileSystemTable::Set(wchar_t driveLetter, std::wstring name) {
    if (auto index = DriveIndex(driveLetter))
        names_[*index] = std::move(name);
}

ProgramFiles ProgramFilesFor(const std::wstring& programPath) {
    ProgramFiles files;
    const size_t cut = programPath.rfind(L'\\');
    files.directory = cut == std::wstring::npos ? std::wstring() : programPath.substr(0, cut);
    // PathRemoveFileSpecW keeps the backslash of a root ("C:\").
    if (files.directory.size() == 2 && files.directory[1] == L':')
        files.directory += L'\\';
    const std::wstring base = !files.directory.empty() && files.directory.back() == L'\\'
                                  ? files.directory
                                  : files.directory + L'\\';
    files.bookmarkFile = base + L"Bookmark";
    files.settingsFile = base + L"KRV.ini";
    return files;
}

void ReadPlatformState(AppState& state) {
    auto user = state.platform().GetUserName();
    state.user.CurrentUserName = user.ok() ? *user : std::wstring();
    state.fileSystems = FileSystemTable::Read(state.platform());
}

}  // namespace vm
