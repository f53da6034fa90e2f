// Path arithmetic and folder reading of the Browse Mode: roots, the folder
// one level up, the listing of a folder and the volume test. Paths are
// Windows paths ("C:\Data\x.txt") on every host.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/TextCase.h"

namespace vm {

// PathIsRootW: "C:\", "\", "\\server" and "\\server\share".
bool PathIsRoot(const std::wstring& path);

// The folder the back button goes to: the drive list (nullopt) from a root,
// otherwise the path cut at its last "\" ("C:" becomes "C:\"). A trailing
// "\" of a typed folder does not count as a level.
std::optional<std::wstring> FolderAbove(const std::wstring& folder);

// The FindFirstFileW pattern for every entry of a folder.
std::wstring FolderSearchPattern(const std::wstring& folder);

// The folder with exactly one "\" between it and name.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The rows of the drive list: "C:\" for each logical drive string.
std::vector<std::wstring> DriveRootPaths(Platform& platform);

// Full paths of a folder's entries in the order the file system returns
// them, "." and ".." left out, hidden and system entries kept. Empty when the
// folder cannot be read.
std::vector<std::wstring> ListFolderPaths(Platform& platform, const std::wstring& folder);

// The file-system name of a path's volume (its first three characters) is
// "NTFS", compared without regard to case.
bool IsOnNtfs(Platform& platform, const std::wstring& path);

}  // namespace vm
