#include "app/Commands.h"

#include "backup/BackupCommands.h"
#include "bookmarks/BookmarkStore.h"
#include "resources/resource.h"

namespace vm {

namespace {

// ---- Rules ----------------------------------------------------------------------------
// Security commands are off in a folder of a volume without security.

bool AnySelected(const MainWindowState& s) {
    return !s.selection.empty();
}
bool OneSelected(const MainWindowState& s) {
    return s.selection.size() == 1;
}
bool OnSecurityVolume(const MainWindowState& s) {
    return !s.NonNtfsIndicatorVisible();
}
bool AnySelectedOnSecurityVolume(const MainWindowState& s) {
    return AnySelected(s) && OnSecurityVolume(s);
}
bool OneSelectedOnSecurityVolume(const MainWindowState& s) {
    return OneSelected(s) && OnSecurityVolume(s);
}
bool OneDirectoryOnSecurityVolume(const MainWindowState& s) {
    return s.SingleSelectionIsDirectory() && OnSecurityVolume(s);
}
bool HoldsCopy(const MainWindowState& s) {
    return s.hasCopiedDescriptor && s.hasCopiedOwnerName;
}
bool CanPaste(const MainWindowState& s) {
    return HoldsCopy(s) && AnySelectedOnSecurityVolume(s);
}
// Drive roots are what the drive list shows, and they inherit nothing.
bool CanResetInheritance(const MainWindowState& s) {
    return AnySelectedOnSecurityVolume(s) && !s.ShowsDriveList();
}
bool CanBookmarkAll(const MainWindowState& s) {
    return s.EditListVisible() ? s.editListRowCount > 0 : OnSecurityVolume(s);
}
bool InFolderOnSecurityVolume(const MainWindowState& s) {
    return !s.currentFolder.empty() && OnSecurityVolume(s);
}
bool EditListVisible(const MainWindowState& s) {
    return s.EditListVisible();
}
bool BrowseListVisible(const MainWindowState& s) {
    return s.BrowseListVisible();
}
bool PathBarEditHasFocus(const MainWindowState& s) {
    return s.pathBarEditHasFocus;
}
bool OnDemonstrationMachine(const MainWindowState& s) {
    return s.demonstrationMachine;
}
bool Never(const MainWindowState&) {
    return false;
}

// ---- The table --------------------------------------------------------------------------
constexpr uint32_t kLastBookmarkCommand = ID_BOOKMARK_FIRST_ENTRY + kMaxBookmarks - 1;

// clang-format off
constexpr Command kCommands[] = {
    // Tool bar and the buttons of the strip.
    {.id = IDC_MAIN_ADD, .action = AddItems,
     .key = {vk::kO, CtrlKey::kDown, EditListVisible}},
    {.id = IDC_MAIN_ALLOW, .action = AllowAccess},
    {.id = IDC_MAIN_READ_ONLY, .action = GrantReadOnly},
    {.id = IDC_MAIN_DENY, .action = DenyAccess},
    {.id = IDC_MAIN_CHANGE_OWNER, .action = ChangeOwner},
    {.id = IDC_MAIN_ADVANCED, .action = OpenAdvanced,
     .key = {vk::kReturn, CtrlKey::kDown}},
    {.id = IDC_MAIN_BACK, .action = GoBack},
    {.id = IDC_MAIN_MENU_BUTTON, .action = ShowMainMenu},

    // Item context menu ("MainPop").
    {.id = ID_ITEM_ADVANCED, .action = OpenAdvanced,
     .enabled = OneSelectedOnSecurityVolume},
    {.id = ID_ITEM_NULL_DACL, .action = ClearDacl,
     .enabled = AnySelectedOnSecurityVolume},
    {.id = ID_ITEM_EMPTY_DACL, .action = ClearDacl,
     .enabled = AnySelectedOnSecurityVolume},
    // Copy does nothing unless exactly one row is selected: so does its key.
    {.id = ID_ITEM_COPY_SECURITY, .action = CopySecurity,
     .enabled = OneSelectedOnSecurityVolume, .key = {vk::kC, CtrlKey::kDown, OneSelected}},
    // Without a copy, Paste does nothing: so does its key.
    {.id = ID_ITEM_PASTE_SECURITY, .action = PasteSecurity, .enabled = CanPaste,
     .key = {vk::kV, CtrlKey::kDown, HoldsCopy}},
    {.id = ID_ITEM_INHERITANCE, .action = ResetInheritance,
     .enabled = CanResetInheritance},
    {.id = ID_ITEM_REPLACE_CHILDREN, .action = ReplaceChildren,
     .enabled = OneDirectoryOnSecurityVolume},
    {.id = ID_ITEM_OPEN, .action = OpenSelected, .enabled = AnySelected},
    {.id = ID_ITEM_REMOVE, .action = RemoveSelected, .enabled = AnySelected,
     .shown = EditListVisible, .key = {vk::kDelete, CtrlKey::kAny, EditListVisible}},
    {.id = ID_ITEM_SEND_TO_EDIT_VIEW, .action = SendToEditView,
     .enabled = AnySelectedOnSecurityVolume, .shown = BrowseListVisible},
    {.id = ID_VIEW_EDIT_MODE, .action = ShowEditMode, .checked = EditListVisible},
    {.id = ID_VIEW_BROWSE_MODE, .action = ShowBrowseMode, .checked = BrowseListVisible},
    {.id = ID_ITEM_REFRESH, .action = RefreshView, .key = {vk::kF5}},
    {.id = ID_ITEM_PROPERTIES, .action = ShowProperties, .enabled = AnySelected},

    // Main menu ("[MAIN]").
    {.id = ID_ITEM_ADD, .action = AddItems, .enabled = EditListVisible},
    {.id = ID_BACKUP_CREATE, .action = CreateBackup,
     .enabled = AnySelectedOnSecurityVolume},
    {.id = ID_BACKUP_RESTORE, .action = RestoreFromBackupFile},
    {.id = ID_BACKUP_RESET, .action = ResetSecuritySettings},
    {.id = ID_BOOKMARK_SELECTED, .action = BookmarkItems,
     .enabled = AnySelectedOnSecurityVolume},
    {.id = ID_BOOKMARK_ALL, .action = BookmarkItems, .enabled = CanBookmarkAll},
    {.id = ID_BOOKMARK_CURRENT_DIRECTORY, .action = BookmarkItems,
     .enabled = InFolderOnSecurityVolume, .shown = BrowseListVisible},
    // "..." stands for "no bookmarks yet" and is never chosen.
    {.id = ID_BOOKMARK_PLACEHOLDER, .action = ShowBookmarkManager, .enabled = Never},
    {.id = ID_BOOKMARK_MANAGER, .action = ShowBookmarkManager},
    {.id = ID_BOOKMARK_FIRST_ENTRY, .action = OpenBookmarkOfCommand,
     .lastId = kLastBookmarkCommand},
    {.id = ID_APP_CHECK_UPDATES, .action = CheckForUpdates},
    {.id = ID_APP_ABOUT, .action = ShowAbout},
    {.id = ID_DEMO_RESET, .action = ResetDemonstrationMachine, .shown = OnDemonstrationMachine},
    {.id = ID_APP_EXIT, .action = Exit},

    // Keys without a menu entry.
    {.id = ID_KEY_SWITCH_VIEW, .action = SwitchViewMode, .key = {vk::kTab, CtrlKey::kDown}},
    {.id = ID_KEY_SELECT_ALL, .action = SelectAll, .key = {vk::kA, CtrlKey::kDown}},
    {.id = ID_KEY_NAVIGATE_TYPED_PATH, .action = NavigateToTypedPath,
     .key = {vk::kReturn, CtrlKey::kUp, PathBarEditHasFocus}},
};
// clang-format on

bool Holds(StateRule rule, const MainWindowState& state) {
    return rule == nullptr || rule(state);
}

bool CtrlMatches(CtrlKey wanted, bool ctrlDown) {
    return wanted == CtrlKey::kAny || (wanted == CtrlKey::kDown) == ctrlDown;
}

// A sub-menu stays usable while anything in it is.
bool AnyEntryEnabled(const std::vector<MenuEntry>& entries,
                     const std::vector<MenuEntryUpdate>& updates) {
    if (entries.empty())
        return true;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].separator && updates[i].enabled && !updates[i].removed)
            return true;
    }
    return false;
}

MenuEntryUpdate UpdateOf(const MenuEntry& entry, const MainWindowState& state) {
    MenuEntryUpdate update;
    if (entry.subMenu) {
        update.entries = UpdateMenu(entry.entries, state);
        update.enabled = AnyEntryEnabled(entry.entries, update.entries);
        return update;
    }
    const Command* command = entry.separator ? nullptr : FindCommand(entry.id);
    if (!command)
        return update;
    update.enabled = Holds(command->enabled, state);
    update.removed = !Holds(command->shown, state);
    update.checked = command->checked != nullptr && command->checked(state);
    return update;
}

}  // namespace

std::span<const Command> MainWindowCommands() {
    return kCommands;
}

const Command* FindCommand(uint32_t id) {
    for (const Command& command : kCommands) {
        if (command.Covers(id))
            return &command;
    }
    return nullptr;
}

bool RunCommand(uint32_t id, CommandContext& context) {
    const Command* command = FindCommand(id);
    if (!command)
        return false;
    context.commandId = id;
    command->action(context);
    return true;
}

const Command* CommandForKey(uint32_t virtualKey, bool ctrlDown, const MainWindowState& state) {
    for (const Command& command : kCommands) {
        const KeyBinding& key = command.key;
        if (key.virtualKey == virtualKey && virtualKey != 0 && CtrlMatches(key.ctrl, ctrlDown) &&
            Holds(key.when, state))
            return &command;
    }
    return nullptr;
}

std::vector<MenuEntryUpdate> UpdateMenu(const std::vector<MenuEntry>& entries,
                                        const MainWindowState& state) {
    std::vector<MenuEntryUpdate> updates;
    updates.reserve(entries.size());
    for (const MenuEntry& entry : entries)
        updates.push_back(UpdateOf(entry, state));
    return updates;
}

}  // namespace vm
