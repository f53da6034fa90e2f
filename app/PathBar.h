// The entries of the Browse Mode path bar and how they follow navigation:
// Desktop, Computer, one entry per drive, and at most one entry for the
// current folder right after its drive. The window keeps its combo box in
// step by applying the same changes (removed / inserted / selected index).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vm {

enum class PathBarPlace { kDesktop, kComputer, kDrive, kFolder };

struct PathBarEntry {
    PathBarPlace place = PathBarPlace::kFolder;
    std::wstring displayName;
    std::wstring path;  // empty for the Desktop and Computer entries
    int indent = 0;
};

inline constexpr size_t kDesktopEntry = 0;
inline constexpr size_t kComputerEntry = 1;
inline constexpr size_t kFirstDriveEntry = 2;

// Desktop (indent 0), Computer (indent 1), then the drives (indent 2).
struct DriveName {
    std::wstring root;         // "C:\"
    std::wstring displayName;  // the shell's name of the drive
};
std::vector<PathBarEntry> InitialPathBarEntries(const std::wstring& desktopName,
                                                const std::wstring& computerName,
                                                const std::vector<DriveName>& drives);

struct PathBarChange {
    std::optional<size_t> removed;   // the previous folder entry, deleted first
    std::optional<size_t> inserted;  // index of the new folder entry
    std::optional<size_t> selected;  // entry to select, if any
};

// After a navigation to folder: drop the previous folder entry; find the
// first drive entry that agrees with the folder in its first three
// characters (without regard to case); select it for a drive root, otherwise
// insert the folder after it (indent 3) and select that. Nothing is selected
// when no drive agrees.
PathBarChange SynchronisePathBar(std::vector<PathBarEntry>& entries, const std::wstring& folder);

}  // namespace vm
