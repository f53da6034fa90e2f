#include "app/MenuRules.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vm {
namespace {

MenuState ItemMenu(int selected, int viewMode = kBrowseMode) {
    MenuState state;
    state.isItemContextMenu = true;
    state.selectedCount = selected;
    state.viewMode = viewMode;
    state.currentFolderEmpty = false;
    state.hasCopiedDescriptor = true;
    state.hasCopiedOwnerName = true;
    state.singleSelectionIsDirectory = true;
    return state;
}

bool DisablesPosition(const MenuAdjustments& a, int position) {
    return std::find(a.disablePositions.begin(), a.disablePositions.end(), position) !=
           a.disablePositions.end();
}

TEST(MenuRules, NothingSelectedInContextMenuDisablesEveryItemCommand) {
    auto a = AdjustMenuOnOpen(ItemMenu(0));
    for (uint32_t id :
         {cmd::kPasteSecurity, cmd::kProperties, cmd::kCopySecurity, cmd::kInheritance,
          cmd::kBookmarkSelected, cmd::kOpen, cmd::kRemoveFromList, cmd::kCreateBackup,
          cmd::kReplaceChildren, cmd::kItemAdvanced, cmd::kSendToEditView})
        EXPECT_TRUE(a.Disables(id)) << id;
    EXPECT_TRUE(DisablesPosition(a, kClearAclSubMenuPosition));
    EXPECT_FALSE(a.Disables(cmd::kRefresh));
}

TEST(MenuRules, OneFolderSelectedEnablesTheSingleItemCommands) {
    auto a = AdjustMenuOnOpen(ItemMenu(1));
    for (uint32_t id : {cmd::kCopySecurity, cmd::kPasteSecurity, cmd::kReplaceChildren,
                        cmd::kItemAdvanced, cmd::kInheritance, cmd::kProperties, cmd::kOpen})
        EXPECT_FALSE(a.Disables(id)) << id;
    EXPECT_TRUE(a.disablePositions.empty());
}

TEST(MenuRules, SingleFileCannotReplaceChildPermissions) {
    auto state = ItemMenu(1);
    state.singleSelectionIsDirectory = false;
    auto a = AdjustMenuOnOpen(state);
    EXPECT_TRUE(a.Disables(cmd::kReplaceChildren));
    EXPECT_FALSE(a.Disables(cmd::kCopySecurity));
}

TEST(MenuRules, SeveralSelectedDisableTheSingleItemCommandsOnly) {
    auto a = AdjustMenuOnOpen(ItemMenu(3));
    EXPECT_TRUE(a.Disables(cmd::kCopySecurity));
    EXPECT_TRUE(a.Disables(cmd::kReplaceChildren));
    EXPECT_TRUE(a.Disables(cmd::kItemAdvanced));
    EXPECT_FALSE(a.Disables(cmd::kPasteSecurity));
    EXPECT_FALSE(a.Disables(cmd::kInheritance));
}

TEST(MenuRules, PasteNeedsBothTheDaclAndTheOwnerName) {
    auto state = ItemMenu(2);
    state.hasCopiedDescriptor = false;
    EXPECT_TRUE(AdjustMenuOnOpen(state).Disables(cmd::kPasteSecurity));
    state = ItemMenu(2);
    state.hasCopiedOwnerName = false;
    EXPECT_TRUE(AdjustMenuOnOpen(state).Disables(cmd::kPasteSecurity));
}

TEST(MenuRules, MainMenuWithNothingSelectedKeepsTheClearAclPosition) {
    MenuState state = ItemMenu(0);
    state.isItemContextMenu = false;
    auto a = AdjustMenuOnOpen(state);
    EXPECT_TRUE(a.Disables(cmd::kCreateBackup));
    EXPECT_TRUE(a.disablePositions.empty());
    // Paste lives in the item menu only; another menu does not rule on it.
    EXPECT_FALSE(a.Disables(cmd::kPasteSecurity));
}

TEST(MenuRules, EditModeMarksItsEntryAndDropsBrowseOnlyCommands) {
    auto state = ItemMenu(1, kEditMode);
    state.editListRowCount = 0;
    auto a = AdjustMenuOnOpen(state);
    EXPECT_EQ(a.radioCommand, cmd::kEditMode);
    EXPECT_TRUE(a.Removes(cmd::kBookmarkCurrentDirectory));
    EXPECT_TRUE(a.Removes(cmd::kSendToEditView));
    EXPECT_FALSE(a.Removes(cmd::kRemoveFromList));
    EXPECT_TRUE(a.Disables(cmd::kBookmarkAll));
    EXPECT_FALSE(a.Disables(cmd::kAddItems));
    state.editListRowCount = 4;
    EXPECT_FALSE(AdjustMenuOnOpen(state).Disables(cmd::kBookmarkAll));
}

TEST(MenuRules, BrowseModeOnTheDriveList) {
    auto state = ItemMenu(1);
    state.currentFolderEmpty = true;
    auto a = AdjustMenuOnOpen(state);
    EXPECT_EQ(a.radioCommand, cmd::kBrowseMode);
    EXPECT_TRUE(a.Removes(cmd::kRemoveFromList));
    EXPECT_TRUE(a.Disables(cmd::kAddItems));
    EXPECT_TRUE(a.Disables(cmd::kInheritance));
    EXPECT_TRUE(a.Disables(cmd::kBookmarkCurrentDirectory));
    EXPECT_FALSE(a.Disables(cmd::kSendToEditView));
}

TEST(MenuRules, NonNtfsFolderDisablesTheSecurityPartOfTheItemMenu) {
    auto state = ItemMenu(1);
    state.currentFolderOnNtfs = false;
    auto a = AdjustMenuOnOpen(state);
    for (int position = 0; position < kItemMenuSecurityEntries; ++position)
        EXPECT_TRUE(DisablesPosition(a, position)) << position;
    EXPECT_FALSE(DisablesPosition(a, kItemMenuSecurityEntries));
    for (uint32_t id : {cmd::kBookmarkAll, cmd::kBookmarkCurrentDirectory, cmd::kBookmarkSelected,
                        cmd::kCreateBackup, cmd::kSendToEditView})
        EXPECT_TRUE(a.Disables(id)) << id;

    state.isItemContextMenu = false;
    EXPECT_TRUE(AdjustMenuOnOpen(state).disablePositions.empty());
}

TEST(MenuRules, NonNtfsMattersOnlyInBrowseModeWithAFolder) {
    auto state = ItemMenu(1, kEditMode);
    state.currentFolderOnNtfs = false;
    EXPECT_TRUE(AdjustMenuOnOpen(state).disablePositions.empty());
    state = ItemMenu(1);
    state.currentFolderOnNtfs = false;
    state.currentFolderEmpty = true;
    EXPECT_TRUE(AdjustMenuOnOpen(state).disablePositions.empty());
}

}  // namespace
}  // namespace vm
