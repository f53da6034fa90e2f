// Paths as the Win32 file functions take them beyond MAX_PATH. A full path
// of 260 characters or more is refused by the functions unless it carries
// the "\\?\" prefix ("\\?\UNC\server\share\..." for a share), and the
// prefix also takes share roots that some shell functions reject ("Maximum
// Path Length Limitation", Naming Files, Paths, and Namespaces). The prefix
// turns off the system's normalization, so it is put only before a path that
// needs none: absolute, backslashes only, no "." or ".." component, no empty
// component. Portable, so that the rule is tested natively.
#pragma once

#include <string>

namespace vm {

inline constexpr const wchar_t* kExtendedPrefix = L"\\\\?\\";
inline constexpr const wchar_t* kExtendedUncPrefix = L"\\\\?\\UNC\\";

// "C:\a" -> "\\?\C:\a", "\\server\share\a" -> "\\?\UNC\server\share\a";
// a path that already has a "\\?\" or "\\.\" prefix, or that needs the
// system's normalization (relative, "/", ".", ".."), comes back unchanged.
std::wstring ToExtendedPath(const std::wstring& path);

// The reverse, for names the system hands back: the path without a
// "\\?\" or "\\?\UNC\" prefix ("\\?\UNC\server\share" -> "\\server\share").
std::wstring FromExtendedPath(const std::wstring& path);

}  // namespace vm
