// Which entries of a popup menu of the main window are enabled, removed or
// radio-marked when it opens (WM_INITMENUPOPUP). The window gathers the state
// below and applies the answer to the menu that is opening; a command that is
// not in that menu is left alone, as EnableMenuItem/DeleteMenu by command do.
#pragma once

#include <cstdint>
#include <vector>

#include "app/Settings.h"

namespace vm {

// Command ids of the menus of the main window (menu resource 158).
namespace cmd {
inline constexpr uint32_t kItemAdvanced = 32786;
inline constexpr uint32_t kCopySecurity = 32788;
inline constexpr uint32_t kPasteSecurity = 32789;
inline constexpr uint32_t kInheritance = 32790;
inline constexpr uint32_t kReplaceChildren = 32791;
inline constexpr uint32_t kProperties = 32792;
inline constexpr uint32_t kBookmarkSelected = 32806;
inline constexpr uint32_t kBookmarkAll = 32807;
inline constexpr uint32_t kBookmarkCurrentDirectory = 32808;
inline constexpr uint32_t kEditMode = 32818;
inline constexpr uint32_t kBrowseMode = 32819;
inline constexpr uint32_t kAddItems = 32820;
inline constexpr uint32_t kCreateBackup = 32821;
inline constexpr uint32_t kRemoveFromList = 32830;
inline constexpr uint32_t kRefresh = 32831;
inline constexpr uint32_t kOpen = 32832;
inline constexpr uint32_t kSendToEditView = 32840;
}  // namespace cmd

// Position of the "Clear Access Control List" sub-menu in the item context
// menu, and how many leading entries form its security part.
inline constexpr int kClearAclSubMenuPosition = 2;
inline constexpr int kItemMenuSecurityEntries = 9;

struct MenuState {
    bool isItemContextMenu = false;  // the opening menu's first entry is 32786
    int selectedCount = 0;           // selected rows of the current list
    bool singleSelectionIsDirectory = false;
    bool hasCopiedDescriptor = false;
    bool hasCopiedOwnerName = false;
    int viewMode = kBrowseMode;
    int editListRowCount = 0;
    bool currentFolderEmpty = true;  // Browse Mode shows the drive list
    bool currentFolderOnNtfs = true;
};

struct MenuAdjustments {
    std::vector<uint32_t> disableCommands;
    std::vector<int> disablePositions;  // positions in the opening menu
    std::vector<uint32_t> removeCommands;
    uint32_t radioCommand = 0;  // the view-mode entry that gets the radio mark

    bool Disables(uint32_t command) const;
    bool Removes(uint32_t command) const;
};

MenuAdjustments AdjustMenuOnOpen(const MenuState& state);

}  // namespace vm
