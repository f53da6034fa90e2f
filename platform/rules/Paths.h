// Win32 path rules: full paths ("C:\Data\a.txt")
// split into a drive letter and components, compared the way NTFS compares
// names (case-insensitive, case-preserving), and FindFirstFileW patterns.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vm::rules {

// A full path taken apart. Empty components ("C:\\a\\\\b") are dropped and
// "." / ".." are resolved, as Win32 path normalisation does.
struct ParsedPath {
    wchar_t drive = 0;  // upper case
    std::vector<std::wstring> components;

    bool IsRoot() const { return components.empty(); }
};

// nullopt for anything that is not "X:" or "X:\..." (relative paths, UNC).
std::optional<ParsedPath> ParsePath(const std::wstring& path);

// "C:\" for a root, "C:\a\b" otherwise (no trailing backslash).
std::wstring JoinPath(wchar_t drive, const std::vector<std::wstring>& components);

// The name as NTFS compares it: simple upper-casing of ASCII and Latin-1.
std::wstring FoldCase(const std::wstring& name);
bool SameName(const std::wstring& a, const std::wstring& b);

// FindFirstFileW wildcard match of one name: '*' any run, '?' one character,
// and "*.*" matches every name (also names without a dot).
bool MatchesPattern(const std::wstring& pattern, const std::wstring& name);

}  // namespace vm::rules
