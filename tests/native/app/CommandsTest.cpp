// The command table of the main window: every entry of the shipped menus and
// every key has a row with an action that does something, and the actions
// run their sequences through the window's interface and the engine.
#include <gtest/gtest.h>

#include <map>

#include "CommandFixture.h"
#include "MenuResource.h"
#include "app/TrusteeMenu.h"
#include "bookmarks/BookmarkStore.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/DaclEdits.h"

namespace vm::test {
namespace {

using sim::Call;

void CollectIds(const std::vector<ResourceMenuItem>& items, std::vector<uint32_t>& ids) {
    for (const ResourceMenuItem& item : items) {
        if (item.entry.subMenu)
            CollectIds(item.items, ids);
        else if (!item.entry.separator)
            ids.push_back(item.entry.id);
    }
}

std::vector<uint32_t> IdsOf(const ResourceMenuItem& subMenu) {
    std::vector<uint32_t> ids;
    CollectIds(subMenu.items, ids);
    return ids;
}

void CollectTexts(const std::vector<ResourceMenuItem>& items, std::vector<std::string>& texts) {
    for (const ResourceMenuItem& item : items) {
        texts.push_back(item.text);
        CollectTexts(item.items, texts);
    }
}

TEST(CommandTable, EveryEntryOfTheMainWindowMenusHasARowWithAnAction) {
    const std::vector<ResourceMenuItem> menus = ShippedSubMenus();
    ASSERT_EQ(menus.size(), 6u);
    for (size_t subMenu : {0u, 1u}) {
        for (uint32_t id : IdsOf(menus[subMenu])) {
            const Command* command = FindCommand(id);
            ASSERT_NE(command, nullptr) << "no row for " << id;
            EXPECT_NE(command->action, nullptr) << id;
        }
    }
    // Bookmarks go into the main menu as 1324 + i.
    EXPECT_NE(FindCommand(ID_BOOKMARK_FIRST_ENTRY + kMaxBookmarks - 1), nullptr);
    EXPECT_EQ(FindCommand(ID_BOOKMARK_FIRST_ENTRY + kMaxBookmarks), nullptr);
    // The trustee and scope menus answer the windows that open them.
    for (uint32_t id : IdsOf(menus[2]))
        EXPECT_TRUE(IsTrusteeCommand(id)) << id;
    for (uint32_t id : IdsOf(menus[3]))
        EXPECT_TRUE(ScopeFromCommand(id).has_value()) << id;
}

// The key a menu text shows after its tab ("Ctrl+O").
std::optional<std::pair<uint32_t, bool>> ShownKey(const std::string& text) {
    static const std::map<std::string, std::pair<uint32_t, bool>> kNames = {
        {"Ctrl+O", {vk::kO, true}},       {"Ctrl+Enter", {vk::kReturn, true}},
        {"Ctrl+C", {vk::kC, true}},       {"Ctrl+V", {vk::kV, true}},
        {"Delete", {vk::kDelete, false}}, {"Ctrl+Tab", {vk::kTab, true}},
        {"F5", {vk::kF5, false}}};
    const size_t tab = text.find("\\t");
    if (tab == std::string::npos)
        return std::nullopt;
    const std::string name = text.substr(tab + 2);
    EXPECT_TRUE(kNames.contains(name) || name == "Alt+F4") << "unknown key " << name;
    if (!kNames.contains(name))
        return std::nullopt;  // Alt+F4 is the system's close
    return kNames.at(name);
}

TEST(CommandTable, EveryKeyAMenuShowsIsInTheKeyTable) {
    std::vector<std::string> texts;
    CollectTexts(ShippedSubMenus(), texts);
    int shown = 0;
    for (const std::string& text : texts) {
        const auto key = ShownKey(text);
        if (!key)
            continue;
        ++shown;
        const auto commands = MainWindowCommands();
        EXPECT_TRUE(std::any_of(commands.begin(), commands.end(), [&](const Command& command) {
            return command.key.virtualKey == key->first &&
                   command.key.ctrl != (key->second ? CtrlKey::kUp : CtrlKey::kDown);
        })) << text;
    }
    EXPECT_EQ(shown, 8);
}

TEST(CommandTable, EveryRowIsAMenuEntryAButtonOrAKey) {
    const std::vector<ResourceMenuItem> menus = ShippedSubMenus();
    std::vector<uint32_t> reachable = IdsOf(menus[0]);
    const std::vector<uint32_t> item = IdsOf(menus[1]);
    reachable.insert(reachable.end(), item.begin(), item.end());
    for (uint32_t button :
         {IDC_MAIN_ADD, IDC_MAIN_ALLOW, IDC_MAIN_READ_ONLY, IDC_MAIN_DENY, IDC_MAIN_CHANGE_OWNER,
          IDC_MAIN_ADVANCED, IDC_MAIN_BACK, IDC_MAIN_MENU_BUTTON})
        reachable.push_back(button);
    for (const Command& command : MainWindowCommands()) {
        const bool inMenuOrButton =
            std::find(reachable.begin(), reachable.end(), command.id) != reachable.end();
        EXPECT_TRUE(inMenuOrButton || command.key.virtualKey != 0 || command.lastId != 0)
            << command.id;
        EXPECT_EQ(FindCommand(command.id), &command) << "two rows for " << command.id;
    }
}

TEST(CommandTable, KeysAndTheirConditions) {
    MainWindowState browse;
    MainWindowState edit;
    edit.viewMode = ViewMode::kEdit;
    const auto idOf = [](uint32_t key, bool ctrl, const MainWindowState& state) {
        const Command* command = CommandForKey(key, ctrl, state);
        return command ? command->id : 0u;
    };
    EXPECT_EQ(idOf(vk::kTab, true, browse), ID_KEY_SWITCH_VIEW);
    EXPECT_EQ(idOf(vk::kTab, false, browse), 0u);
    EXPECT_EQ(idOf(vk::kReturn, true, browse), static_cast<uint32_t>(IDC_MAIN_ADVANCED));
    EXPECT_EQ(idOf(vk::kReturn, false, browse), 0u);
    MainWindowState typing = browse;
    typing.pathBarEditHasFocus = true;
    EXPECT_EQ(idOf(vk::kReturn, false, typing), ID_KEY_NAVIGATE_TYPED_PATH);
    EXPECT_EQ(idOf(vk::kReturn, true, typing), static_cast<uint32_t>(IDC_MAIN_ADVANCED));
    EXPECT_EQ(idOf(vk::kDelete, false, edit), ID_ITEM_REMOVE);
    EXPECT_EQ(idOf(vk::kDelete, true, edit), ID_ITEM_REMOVE);
    EXPECT_EQ(idOf(vk::kDelete, false, browse), 0u);
    EXPECT_EQ(idOf(vk::kA, true, browse), ID_KEY_SELECT_ALL);
    EXPECT_EQ(idOf(vk::kA, false, browse), 0u);
    EXPECT_EQ(idOf(vk::kO, true, edit), static_cast<uint32_t>(IDC_MAIN_ADD));
    EXPECT_EQ(idOf(vk::kO, true, browse), 0u);
    // Without a copy Paste does nothing, and so does its key.
    EXPECT_EQ(idOf(vk::kV, true, edit), 0u);
    edit.hasCopiedDescriptor = edit.hasCopiedOwnerName = true;
    EXPECT_EQ(idOf(vk::kV, true, edit), ID_ITEM_PASTE_SECURITY);
    EXPECT_EQ(idOf(vk::kF5, false, browse), ID_ITEM_REFRESH);
    EXPECT_EQ(idOf(vk::kF5, true, edit), ID_ITEM_REFRESH);
    // Copy acts on exactly one row, and so does its key.
    EXPECT_EQ(idOf(vk::kC, true, browse), 0u);
    browse.selection = {{0, L"C:\\Data", kKindFolder}};
    EXPECT_EQ(idOf(vk::kC, true, browse), ID_ITEM_COPY_SECURITY);
    EXPECT_TRUE(IsSwallowedKey(vk::kEscape));
    EXPECT_FALSE(IsSwallowedKey(vk::kTab));
}

// The states a user can bring the window into, roughly.
std::vector<MainWindowState> SampleStates() {
    std::vector<MainWindowState> states;
    const std::vector<std::vector<SelectedItem>> selections = {
        {},
        {{0, L"C:\\Data\\Music", kKindFolder}},
        {{1, L"C:\\Data\\notes.txt", kKindFile}},
        {{0, L"C:\\Data\\Music", kKindFolder}, {1, L"C:\\Data\\notes.txt", kKindFile}}};
    const std::vector<std::pair<std::wstring, bool>> folders = {
        {L"", true}, {L"C:\\Data", true}, {L"E:\\Photos", false}};
    for (ViewMode mode : {ViewMode::kEdit, ViewMode::kBrowse}) {
        for (const auto& [folder, ntfs] : folders) {
            for (const auto& selection : selections) {
                for (bool copied : {false, true}) {
                    MainWindowState state;
                    state.viewMode = mode;
                    state.currentFolder = folder;
                    state.currentFolderOnNtfs = ntfs;
                    state.selection = selection;
                    state.editListRowCount = 3;
                    state.currentListRowCount = 3;
                    state.hasCopiedDescriptor = copied;
                    state.hasCopiedOwnerName = copied;
                    states.push_back(state);
                }
            }
        }
    }
    return states;
}

// Every command a user can reach in a state (enabled menu entries, the
// buttons, the keys whose condition holds) must do something there: ask the
// window, or tell the user. Nothing is dropped silently.
TEST_F(CommandTest, NothingAUserCanReachDoesNothing) {
    const std::vector<ResourceMenuItem> menus = ShippedSubMenus();
    for (const MainWindowState& state : SampleStates()) {
        std::vector<uint32_t> reachable;
        for (size_t subMenu : {0u, 1u}) {
            const std::vector<uint32_t> ids = IdsOf(menus[subMenu]);
            for (uint32_t id : ids) {
                const Command* command = FindCommand(id);
                if (command && (!command->enabled || command->enabled(state)) &&
                    (!command->shown || command->shown(state)))
                    reachable.push_back(id);
            }
        }
        for (const Command& command : MainWindowCommands()) {
            if (command.key.virtualKey != 0 &&
                CommandForKey(command.key.virtualKey, command.key.ctrl == CtrlKey::kDown, state) ==
                    &command)
                reachable.push_back(command.id);
        }
        for (uint32_t button :
             {IDC_MAIN_ALLOW, IDC_MAIN_READ_ONLY, IDC_MAIN_DENY, IDC_MAIN_CHANGE_OWNER,
              IDC_MAIN_ADVANCED, IDC_MAIN_BACK, IDC_MAIN_MENU_BUTTON})
            reachable.push_back(button);
        if (state.EditListVisible())
            reachable.push_back(IDC_MAIN_ADD);  // the button is off in Browse Mode
        app.copyBuffer = {};
        if (state.hasCopiedDescriptor) {
            CopySecuritySettings(app.engine, app.copyBuffer, L"C:\\Data");
            ASSERT_TRUE(app.copyBuffer.CopiedDescriptor.has_value());
        }
        for (uint32_t id : reachable) {
            window.calls.clear();
            reporter.Clear();
            ASSERT_TRUE(Run(id, state)) << id;
            EXPECT_FALSE(window.calls.empty() && reporter.messages().empty())
                << "command " << id << " did nothing in mode " << static_cast<int>(state.viewMode)
                << " with " << state.selection.size() << " selected in \""
                << std::string(state.currentFolder.begin(), state.currentFolder.end()) << "\"";
        }
    }
}

TEST_F(CommandTest, AnIdThatIsNoCommandIsNotRun) {
    constexpr uint32_t kDialogOk = 1;  // IDOK: the dialog's, not a command
    EXPECT_FALSE(Run(kDialogOk, Browsing(L"C:\\Data")));
}

TEST_F(CommandTest, ReadOnlyRunsInsideOnePauseAndRefreshesEachRow) {
    window.options = QuickSetOptions{L"Everyone", 3};
    Run(IDC_MAIN_READ_ONLY,
        Browsing(L"C:\\Data", {Folder(4, L"C:\\Data\\Music"), File(7, L"C:\\Data\\notes.txt")}));
    EXPECT_EQ(window.calls.front(), L"options 1");
    EXPECT_EQ(window.calls[1], L"pause");
    EXPECT_EQ(window.calls.back(), L"resume");
    EXPECT_NE(std::find(window.calls.begin(), window.calls.end(), L"refresh row 7"),
              window.calls.end());
    EXPECT_EQ(machine.DaclOf(L"C:\\Data\\Music").acl->aces.size(), 1u);
    EXPECT_EQ(machine.DaclOf(L"C:\\Data\\notes.txt").acl->aces[0].flags, 0);  // files: no scope
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(CommandTest, OnlyFilesSelectedTellTheOptionsDialog) {
    Run(IDC_MAIN_DENY, Editing({File(0, L"C:\\Data\\notes.txt")}));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"options 2 files"});
}

TEST_F(CommandTest, RefusedEntryIsReportedWithTheItemAndTheSystemsReason) {
    window.options = QuickSetOptions{L"Everyone", 0};
    // The NULL DACL is written, the entry refused, the old list put back.
    machine.FailNthCall(Call::kSetFileSecurity, 2, err::kAccessDenied);
    const std::wstring before = machine.DaclSddlOf(L"C:\\Data\\Music");
    Run(IDC_MAIN_ALLOW, Browsing(L"C:\\Data", {Folder(0, L"C:\\Data\\Music")}));
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Music"), before);
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);
    EXPECT_NE(reporter.texts()[0].find(L"C:\\Data\\Music: Access is denied."), std::wstring::npos);
}

TEST_F(CommandTest, ItemLeftWithoutADaclIsToldLoudly) {
    window.options = QuickSetOptions{L"Everyone", 0};
    machine.FailNthCall(Call::kSetFileSecurity, 2, err::kAccessDenied);
    machine.FailNthCall(Call::kSetFileSecurity, 3, err::kNotEnoughMemory);
    Run(IDC_MAIN_ALLOW, Browsing(L"C:\\Data", {Folder(0, L"C:\\Data\\Music")}));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kWarning);
    EXPECT_EQ(reporter.texts()[0].rfind(L"These items could not be given their previous", 0), 0u);
}

TEST_F(CommandTest, QuickCommandsRefuseOnAVolumeWithoutSecurityBeforeAsking) {
    Run(IDC_MAIN_ALLOW, Browsing(L"E:\\Photos", {Folder(0, L"E:\\Photos")}, false));
    Run(IDC_MAIN_CHANGE_OWNER, Browsing(L"E:\\Photos", {Folder(0, L"E:\\Photos")}, false));
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(reporter.texts(), (std::vector<std::wstring>{kNtfsOnlyMessage, kNtfsOnlyMessage}));
    // The same volume gathered in Edit Mode has no indicator: the command runs.
    Run(IDC_MAIN_ALLOW, Editing({Folder(0, L"E:\\Photos")}));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"options 0"});
}

TEST_F(CommandTest, AdvancedOpensOnExactlyOneItemOfAVolumeWithSecurityThenRefreshesIt) {
    Run(ID_ITEM_ADVANCED, Browsing(L"C:\\Data", {Folder(2, L"C:\\Data\\Music"),
                                                   File(3, L"C:\\Data\\notes.txt")}));
    Run(IDC_MAIN_ADVANCED, Browsing(L"C:\\Data"));
    Run(IDC_MAIN_ADVANCED, Browsing(L"E:\\Photos", {Folder(0, L"E:\\Photos")}, false));
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(reporter.texts(), (std::vector<std::wstring>{L"" STR_SELECT_ONLY_ONE,
                                                           L"" STR_SELECT_ONLY_ONE,
                                                           kNtfsOnlyMessage}));
    Run(IDC_MAIN_ADVANCED, Browsing(L"C:\\Data", {File(3, L"C:\\Data\\notes.txt")}));
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"advanced C:\\Data\\notes.txt", L"pause",
                                                       L"refresh row 3", L"resume"}));
}

TEST_F(CommandTest, ChangeOwnerAsksTheMenuFirstAndReportsWhatItCouldNotChange) {
    Run(IDC_MAIN_CHANGE_OWNER, Browsing(L"C:\\Data"));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"trustee menu"});  // cancelled
    EXPECT_TRUE(reporter.messages().empty());

    window.calls.clear();
    window.trusteeCommand = ID_TRUSTEE_SYSTEM;
    Run(IDC_MAIN_CHANGE_OWNER,
        Browsing(L"C:\\Data", {File(2, L"C:\\Data\\notes.txt"), File(3, L"C:\\Data\\gone.txt")}));
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\notes.txt"), L"SYSTEM");
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"trustee menu", L"pause", L"owner 2 SYSTEM",
                                                       L"owner 3 ", L"resume"}));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_NE(reporter.texts()[0].find(L"C:\\Data\\gone.txt: The system cannot find the file"),
              std::wstring::npos);
}

TEST_F(CommandTest, ChangeOwnerThroughThePickerStopsOnAnEmptyName) {
    window.trusteeCommand = ID_TRUSTEE_ADVANCED;
    Run(IDC_MAIN_CHANGE_OWNER, Browsing(L"C:\\Data", {File(2, L"C:\\Data\\notes.txt")}));
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"trustee menu", L"picker"}));
    window.calls.clear();
    window.pickedAccount = L"Bob";
    Run(IDC_MAIN_CHANGE_OWNER, Browsing(L"C:\\Data", {File(2, L"C:\\Data\\notes.txt")}));
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\notes.txt"), L"Bob");
}

TEST_F(CommandTest, PasteWritesTheCopyOntoEachRowAndRefreshesIt) {
    ASSERT_GT(CopySecuritySettings(app.engine, app.copyBuffer, L"C:\\Data"), 0u);
    Run(ID_ITEM_PASTE_SECURITY,
        Editing({File(0, L"C:\\Data\\notes.txt"), File(1, L"C:\\Data\\missing.txt")}));
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\notes.txt"), machine.DaclSddlOf(L"C:\\Data"));
    EXPECT_EQ(window.calls,
              (std::vector<std::wstring>{L"pause", L"refresh row 0", L"refresh row 1", L"resume"}));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_NE(reporter.texts()[0].find(L"C:\\Data\\missing.txt: "), std::wstring::npos);
}

TEST_F(CommandTest, RowCommandsFollowTheViewMode) {
    const std::vector<SelectedItem> two = {Folder(0, L"C:\\Data\\Music"),
                                           File(1, L"C:\\Data\\notes.txt")};
    Run(ID_ITEM_SEND_TO_EDIT_VIEW, Browsing(L"C:\\Data", two));
    Run(ID_ITEM_SEND_TO_EDIT_VIEW, Editing(two));     // already there
    Run(ID_ITEM_REMOVE, Browsing(L"C:\\Data", two));  // a folder's listing keeps its rows
    Run(ID_ITEM_REMOVE, Editing(two));
    Run(ID_KEY_SWITCH_VIEW, Editing());
    Run(ID_KEY_SWITCH_VIEW, Browsing(L""));
    EXPECT_EQ(window.calls,
              (std::vector<std::wstring>{L"append C:\\Data\\Music", L"append C:\\Data\\notes.txt",
                                         L"remove", L"view browse", L"view edit"}));
}

}  // namespace
}  // namespace vm::test
