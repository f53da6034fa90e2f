// What the main window's decisions read: the view mode, the folder Browse
// Mode shows, the selection of the current list as the commands see it, and
// the few facts about the lists, the copy buffer and the keyboard focus that
// menus and keys depend on. The window keeps the view part as it changes and
// fills the rest when a command, a key or a menu needs it, so that no
// decision reads a widget.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "lists/ItemRecord.h"

namespace vm {

enum class ViewMode : int { kEdit = kEditMode, kBrowse = kBrowseMode };

// The view mode the window starts in (StartViewMode), and the settings value
// of a view mode.
inline ViewMode StartingViewMode(const Settings& settings) {
    return static_cast<ViewMode>(StartViewMode(settings));
}
inline int SettingOfViewMode(ViewMode mode) {
    return static_cast<int>(mode);
}

// One selected row of the current list.
struct SelectedItem {
    int row = 0;
    std::wstring path;
    int32_t kind = kKindFile;  // ItemRecord kind, negative while the path is missing

    bool IsFile() const { return std::abs(kind) == kKindFile; }
};

struct MainWindowState {
    ViewMode viewMode = ViewMode::kBrowse;
    std::wstring currentFolder;  // shown in Browse Mode; empty: the drive list
    bool currentFolderOnNtfs = true;
    std::vector<SelectedItem> selection;  // of the current list, ascending rows
    int currentListRowCount = 0;
    int editListRowCount = 0;
    bool hasCopiedDescriptor = false;
    bool hasCopiedOwnerName = false;
    bool pathBarEditHasFocus = false;   // the keyboard focus is in the path bar's edit field
    bool demonstrationMachine = false;  // the demonstration program (velmora-demo.exe)

    bool EditListVisible() const { return viewMode == ViewMode::kEdit; }
    bool BrowseListVisible() const { return viewMode == ViewMode::kBrowse; }
    bool ShowsDriveList() const { return BrowseListVisible() && currentFolder.empty(); }
    // The "Non-NTFS Volume" indicator: Browse Mode in a folder of a volume
    // that keeps no security.
    bool NonNtfsIndicatorVisible() const;
    int SelectedCount() const { return static_cast<int>(selection.size()); }
    bool SingleSelectionIsDirectory() const;
    bool AllSelectedAreFiles() const;
};

}  // namespace vm
