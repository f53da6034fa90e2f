#include "app/MenuRules.h"

#include <algorithm>
#include <initializer_list>

namespace vm {

namespace {

void Disable(MenuAdjustments& out, std::initializer_list<uint32_t> commands) {
    for (uint32_t command : commands)
        out.disableCommands.push_back(command);
}

// Nothing is selected: every command that needs an item is off.
void DisableItemCommands(MenuAdjustments& out) {
    Disable(out, {cmd::kCopySecurity, cmd::kInheritance, cmd::kBookmarkSelected, cmd::kOpen,
                  cmd::kRemoveFromList, cmd::kCreateBackup});
}

void ApplySelectionRules(const MenuState& state, MenuAdjustments& out) {
    const bool none = state.selectedCount == 0;
    if (state.isItemContextMenu) {
        if (!state.hasCopiedDescriptor || !state.hasCopiedOwnerName || none)
            Disable(out, {cmd::kPasteSecurity});
        if (none) {
            out.disablePositions.push_back(kClearAclSubMenuPosition);
            Disable(out, {cmd::kProperties});
        }
    }
    if (none)
        DisableItemCommands(out);
    if (state.selectedCount == 1 && !state.singleSelectionIsDirectory)
        Disable(out, {cmd::kReplaceChildren});
    // Copy, replace-children and the Advanced window work on exactly one item.
    if (state.selectedCount != 1)
        Disable(out, {cmd::kCopySecurity, cmd::kReplaceChildren, cmd::kItemAdvanced});
}

void ApplyEditModeRules(const MenuState& state, MenuAdjustments& out) {
    out.radioCommand = cmd::kEditMode;
    out.removeCommands.push_back(cmd::kBookmarkCurrentDirectory);
    out.removeCommands.push_back(cmd::kSendToEditView);
    if (state.editListRowCount == 0)
        Disable(out, {cmd::kBookmarkAll});
}

void ApplyBrowseModeRules(const MenuState& state, MenuAdjustments& out) {
    Disable(out, {cmd::kAddItems});
    out.radioCommand = cmd::kBrowseMode;
    out.removeCommands.push_back(cmd::kRemoveFromList);
    if (state.selectedCount == 0)
        Disable(out, {cmd::kSendToEditView});
    if (state.currentFolderEmpty)
        Disable(out, {cmd::kInheritance});
    if (!state.currentFolderEmpty && !state.currentFolderOnNtfs) {
        // Security commands make no sense on a volume without ACLs.
        if (state.isItemContextMenu) {
            for (int position = 0; position < kItemMenuSecurityEntries; ++position)
                out.disablePositions.push_back(position);
        }
        Disable(out, {cmd::kBookmarkAll, cmd::kBookmarkCurrentDirectory, cmd::kBookmarkSelected,
                      cmd::kCreateBackup, cmd::kSendToEditView});
    }
}

bool Contains(const std::vector<uint32_t>& list, uint32_t command) {
    return std::find(list.begin(), list.end(), command) != list.end();
}

}  // namespace

bool MenuAdjustments::Disables(uint32_t command) const {
    return Contains(disableCommands, command);
}

bool MenuAdjustments::Removes(uint32_t command) const {
    return Contains(removeCommands, command);
}

MenuAdjustments AdjustMenuOnOpen(const MenuState& state) {
    MenuAdjustments out;
    ApplySelectionRules(state, out);
    if (state.viewMode == kEditMode)
        ApplyEditModeRules(state, out);
    else
        ApplyBrowseModeRules(state, out);
    if (state.currentFolderEmpty)
        Disable(out, {cmd::kBookmarkCurrentDirectory});
    return out;
}

}  // namespace vm
