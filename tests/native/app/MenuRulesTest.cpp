// What the command table makes of the shipped menus when they open: the main
// menu ([MAIN], sub-menu 0) and the item context menu (MainPop, 1).
#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "MenuResource.h"
#include "resources/resource.h"

namespace vm::test {
namespace {

constexpr size_t kMainMenu = 0;
constexpr size_t kItemMenu = 1;
constexpr size_t kClearAclPosition = 2;  // the "Clear Access Control List" sub-menu
constexpr size_t kSecurityEntries = 9;   // the item menu's security part

class MenuRules : public testing::Test {
  protected:
    // Browse Mode in a folder of C:, both halves of a copy held, the selected
    // rows folders.
    static MainWindowState ItemMenu(int selected, ViewMode mode = ViewMode::kBrowse) {
        MainWindowState state;
        state.viewMode = mode;
        state.currentFolder = L"C:\\Data";
        state.hasCopiedDescriptor = true;
        state.hasCopiedOwnerName = true;
        for (int row = 0; row < selected; ++row)
            state.selection.push_back({row, L"C:\\Data\\" + std::to_wstring(row), kKindFolder});
        return state;
    }

    std::vector<MenuEntryUpdate> Open(size_t subMenu, const MainWindowState& state) {
        return UpdateMenu(menus_[subMenu].entry.entries, state);
    }

    // The update of a command anywhere in the menu.
    MenuEntryUpdate Of(uint32_t id, size_t subMenu, const MainWindowState& state) {
        const auto found = Find(id, menus_[subMenu].entry.entries, Open(subMenu, state));
        EXPECT_TRUE(found.has_value()) << id << " is not in sub-menu " << subMenu;
        return found.value_or(MenuEntryUpdate{});
    }
    bool Enabled(uint32_t id, size_t subMenu, const MainWindowState& state) {
        const MenuEntryUpdate update = Of(id, subMenu, state);
        return update.enabled && !update.removed;
    }
    bool Removed(uint32_t id, size_t subMenu, const MainWindowState& state) {
        return Of(id, subMenu, state).removed;
    }

  private:
    static std::optional<MenuEntryUpdate> Find(uint32_t id, const std::vector<MenuEntry>& entries,
                                               const std::vector<MenuEntryUpdate>& updates) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].subMenu && entries[i].id == id)
                return updates[i];
            if (entries[i].subMenu) {
                if (auto inner = Find(id, entries[i].entries, updates[i].entries))
                    return inner;
            }
        }
        return std::nullopt;
    }

    std::vector<ResourceMenuItem> menus_ = ShippedSubMenus();
};

TEST_F(MenuRules, NothingSelectedDisablesEveryItemCommand) {
    const MainWindowState state = ItemMenu(0);
    for (uint32_t id : {ID_ITEM_PASTE_SECURITY, ID_ITEM_PROPERTIES, ID_ITEM_COPY_SECURITY,
                        ID_ITEM_INHERITANCE, ID_ITEM_OPEN, ID_ITEM_REMOVE, ID_ITEM_REPLACE_CHILDREN,
                        ID_ITEM_ADVANCED, ID_ITEM_SEND_TO_EDIT_VIEW})
        EXPECT_FALSE(Enabled(id, kItemMenu, state)) << id;
    for (uint32_t id : {ID_BOOKMARK_SELECTED, ID_BACKUP_CREATE})
        EXPECT_FALSE(Enabled(id, kMainMenu, state)) << id;
    EXPECT_FALSE(Open(kItemMenu, state)[kClearAclPosition].enabled);
    EXPECT_TRUE(Enabled(ID_ITEM_REFRESH, kItemMenu, state));
}

TEST_F(MenuRules, OneFolderSelectedEnablesTheSingleItemCommands) {
    const MainWindowState state = ItemMenu(1);
    for (uint32_t id : {ID_ITEM_COPY_SECURITY, ID_ITEM_PASTE_SECURITY, ID_ITEM_REPLACE_CHILDREN,
                        ID_ITEM_ADVANCED, ID_ITEM_INHERITANCE, ID_ITEM_PROPERTIES, ID_ITEM_OPEN})
        EXPECT_TRUE(Enabled(id, kItemMenu, state)) << id;
    EXPECT_TRUE(Open(kItemMenu, state)[kClearAclPosition].enabled);
}

TEST_F(MenuRules, SingleFileCannotReplaceChildPermissions) {
    MainWindowState state = ItemMenu(1);
    state.selection[0].kind = kKindFile;
    EXPECT_FALSE(Enabled(ID_ITEM_REPLACE_CHILDREN, kItemMenu, state));
    EXPECT_TRUE(Enabled(ID_ITEM_COPY_SECURITY, kItemMenu, state));
    // A folder that has vanished since the listing is still a folder.
    state.selection[0].kind = -kKindFolder;
    EXPECT_TRUE(Enabled(ID_ITEM_REPLACE_CHILDREN, kItemMenu, state));
}

TEST_F(MenuRules, SeveralSelectedDisableTheSingleItemCommandsOnly) {
    const MainWindowState state = ItemMenu(3);
    EXPECT_FALSE(Enabled(ID_ITEM_COPY_SECURITY, kItemMenu, state));
    EXPECT_FALSE(Enabled(ID_ITEM_REPLACE_CHILDREN, kItemMenu, state));
    EXPECT_FALSE(Enabled(ID_ITEM_ADVANCED, kItemMenu, state));
    EXPECT_TRUE(Enabled(ID_ITEM_PASTE_SECURITY, kItemMenu, state));
    EXPECT_TRUE(Enabled(ID_ITEM_INHERITANCE, kItemMenu, state));
}

TEST_F(MenuRules, PasteNeedsBothTheDaclAndTheOwnerName) {
    MainWindowState state = ItemMenu(2);
    state.hasCopiedDescriptor = false;
    EXPECT_FALSE(Enabled(ID_ITEM_PASTE_SECURITY, kItemMenu, state));
    state = ItemMenu(2);
    state.hasCopiedOwnerName = false;
    EXPECT_FALSE(Enabled(ID_ITEM_PASTE_SECURITY, kItemMenu, state));
}

TEST_F(MenuRules, MainMenuWithNothingSelectedKeepsItsSubMenusOpen) {
    MainWindowState state = ItemMenu(0);
    // The one entry shown in the demonstration program only.
    state.demonstrationMachine = true;
    EXPECT_FALSE(Enabled(ID_BACKUP_CREATE, kMainMenu, state));
    // Restoring, resetting and the bookmark manager need no selection.
    for (const MenuEntryUpdate& update : Open(kMainMenu, state))
        EXPECT_FALSE(update.removed);
    EXPECT_TRUE(Enabled(ID_BACKUP_RESTORE, kMainMenu, state));
    EXPECT_TRUE(Enabled(ID_BOOKMARK_MANAGER, kMainMenu, state));
}

TEST_F(MenuRules, EditModeMarksItsEntryAndDropsBrowseOnlyCommands) {
    MainWindowState state = ItemMenu(1, ViewMode::kEdit);
    state.editListRowCount = 0;
    EXPECT_TRUE(Of(ID_VIEW_EDIT_MODE, kItemMenu, state).checked);
    EXPECT_FALSE(Of(ID_VIEW_BROWSE_MODE, kItemMenu, state).checked);
    EXPECT_TRUE(Removed(ID_BOOKMARK_CURRENT_DIRECTORY, kMainMenu, state));
    EXPECT_TRUE(Removed(ID_ITEM_SEND_TO_EDIT_VIEW, kItemMenu, state));
    EXPECT_FALSE(Removed(ID_ITEM_REMOVE, kItemMenu, state));
    EXPECT_FALSE(Enabled(ID_BOOKMARK_ALL, kMainMenu, state));
    EXPECT_TRUE(Enabled(ID_ITEM_ADD, kMainMenu, state));
    state.editListRowCount = 4;
    EXPECT_TRUE(Enabled(ID_BOOKMARK_ALL, kMainMenu, state));
}

TEST_F(MenuRules, BrowseModeOnTheDriveList) {
    MainWindowState state = ItemMenu(1);
    state.currentFolder.clear();
    EXPECT_TRUE(Of(ID_VIEW_BROWSE_MODE, kMainMenu, state).checked);
    EXPECT_TRUE(Removed(ID_ITEM_REMOVE, kItemMenu, state));
    EXPECT_FALSE(Enabled(ID_ITEM_ADD, kMainMenu, state));
    EXPECT_FALSE(Enabled(ID_ITEM_INHERITANCE, kItemMenu, state));
    EXPECT_FALSE(Enabled(ID_BOOKMARK_CURRENT_DIRECTORY, kMainMenu, state));
    EXPECT_TRUE(Enabled(ID_ITEM_SEND_TO_EDIT_VIEW, kItemMenu, state));
}

TEST_F(MenuRules, NonNtfsFolderDisablesTheSecurityPartOfTheItemMenu) {
    MainWindowState state = ItemMenu(1);
    state.currentFolderOnNtfs = false;
    const std::vector<MenuEntryUpdate> item = Open(kItemMenu, state);
    const std::vector<MenuEntry> entries = ShippedSubMenus()[kItemMenu].entry.entries;
    for (size_t position = 0; position < kSecurityEntries; ++position) {
        if (!entries[position].separator) {
            EXPECT_FALSE(item[position].enabled) << position;
        }
    }
    EXPECT_TRUE(item[kSecurityEntries].enabled);  // "Open"
    for (uint32_t id :
         {ID_BOOKMARK_ALL, ID_BOOKMARK_CURRENT_DIRECTORY, ID_BOOKMARK_SELECTED, ID_BACKUP_CREATE})
        EXPECT_FALSE(Enabled(id, kMainMenu, state)) << id;
    EXPECT_FALSE(Enabled(ID_ITEM_SEND_TO_EDIT_VIEW, kItemMenu, state));
}

TEST_F(MenuRules, NonNtfsMattersOnlyInBrowseModeWithAFolder) {
    MainWindowState state = ItemMenu(1, ViewMode::kEdit);
    state.currentFolderOnNtfs = false;
    EXPECT_TRUE(Enabled(ID_ITEM_ADVANCED, kItemMenu, state));
    EXPECT_TRUE(Open(kItemMenu, state)[kClearAclPosition].enabled);
    state = ItemMenu(1);
    state.currentFolderOnNtfs = false;
    state.currentFolder.clear();
    EXPECT_TRUE(Enabled(ID_ITEM_ADVANCED, kItemMenu, state));
    EXPECT_TRUE(Open(kItemMenu, state)[kClearAclPosition].enabled);
}

}  // namespace
}  // namespace vm::test
