// The main window over a simulated machine: browsing, the status columns,
// the quick commands and their refusals, view modes, sorting, the popup
// menus. The window runs on a UI thread of this program; the test thread
// drives it with messages and reads the simulated machine's security.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>

#include "app/AppContext.win32.h"
#include "app/KRVDlg.win32.h"
#include "app/PopupMenu.win32.h"
#include "app/QuickCommands.h"
#include "framework/GdiPlus.h"
#include "harness/Harness.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/AccessEvaluation.h"

namespace h = vm::harness;

namespace vm {
namespace {

constexpr int kBrowseOwner = 4;
constexpr int kBrowseAccess = 3;

class MainWindowTest : public testing::Test {
  protected:
    MainWindowTest() : state(machine, reporter), context(state) {}

    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'E', L"FAT32");
        machine.AddLocalUser(L"Bob");
        const std::wstring bob = machine.SidOf(L"Bob").ToString();
        machine.AddFolder(L"C:\\Data", L"O:" + bob + L"D:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.AddFolder(L"C:\\Data\\Photos");
        machine.AddFolder(L"C:\\Data\\Music");
        machine.AddFile(L"C:\\Data\\notes.txt", L"O:BAD:(A;;0x1200a9;;;WD)");
        machine.AddFolder(L"C:\\Empty");
        machine.AddFolder(L"E:\\Photos");
        machine.AddFile(L"E:\\Photos\\cat.jpg");
        state.OsVersion = 6.1f;
        ReadPlatformState(state);
        ui = std::make_unique<h::UiThread>([this] {
            InitShellState(context.shell, state.OsVersion);
            LoadStatusPictures(context.shell.pictures);
            runner.Create();
            dialog = std::make_unique<CKRVDlg>(context);
            dialog->CreateModeless(nullptr);
        });
        window = ui->WaitForWindow(L"Velmora");
        ASSERT_NE(window, nullptr);
        browse = h::FindControl(window, IDC_MAIN_BROWSE_LIST);
        edit = h::FindControl(window, IDC_MAIN_EDIT_LIST);
    }

    void TearDown() override {
        ui.reset();
        dialog.reset();
    }

    void Browse(const std::wstring& folder) {
        runner.Run([&] { dialog->NavigateTo(folder); });
        WaitForStatusCells(browse);
    }

    // The access and owner cells are read in the background.
    void WaitForStatusCells(HWND list) {
        EXPECT_TRUE(h::WaitFor([&] {
            for (int row = 0; row < h::ListViewRowCount(list); ++row) {
                if (h::ListViewText(list, row, kBrowseOwner).empty())
                    return false;
            }
            return true;
        }));
    }

    std::wstring AccessTextOf(const std::wstring& path) {
        return AccessLevelText(GetAccessLevel(machine, state.user, path));
    }

    void PostCommand(int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    std::vector<std::wstring> Column(HWND list, int column) {
        std::vector<std::wstring> texts;
        for (int row = 0; row < h::ListViewRowCount(list); ++row)
            texts.push_back(h::ListViewText(list, row, column));
        return texts;
    }

    // Answers the Options dialog: the trustee and the scope radio button.
    void AnswerOptions(const std::wstring& caption, const std::wstring& trustee, int scopeRadio) {
        HWND options = ui->WaitForWindow(caption);
        ASSERT_NE(options, nullptr) << "no window " << ToUtf8(caption);
        SetWindowTextW(h::FindControl(options, IDC_OPTIONS_TRUSTEE_NAME), trustee.c_str());
        h::Click(h::FindControl(options, scopeRadio));
        h::Click(h::FindControl(options, IDOK));
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(options); }));
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    GdiplusSession gdiplus;  // outlives the pictures of the context
    AppState state;
    AppContext context;
    h::UiRunner runner;
    std::unique_ptr<CKRVDlg> dialog;
    std::unique_ptr<h::UiThread> ui;
    HWND window = nullptr;
    HWND browse = nullptr;
    HWND edit = nullptr;
};

TEST_F(MainWindowTest, FirstStartShowsTheDrivesInBrowseModeCentred) {
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 1150);
    EXPECT_EQ(rect.bottom - rect.top, 688);
    EXPECT_TRUE(h::IsVisible(browse));
    EXPECT_FALSE(h::IsVisible(edit));
    EXPECT_EQ(h::ListViewRowCount(browse), 2);
    EXPECT_FALSE(h::IsEnabled(h::FindControl(window, IDC_MAIN_BACK)));
    EXPECT_FALSE(h::IsEnabled(h::FindControl(window, IDC_MAIN_ADD)));
    EXPECT_FALSE(h::IsVisible(h::FindControl(window, IDC_MAIN_NON_NTFS)));
    EXPECT_EQ(h::WindowText(h::FindControl(window, IDC_MAIN_STATUS)), L"Selected 0 / Total 2");
    h::SaveScreenshot(window, L"main-browse-drives");
}

TEST_F(MainWindowTest, BrowsingAFolderShowsOwnersAccessAndFileSystem) {
    Browse(L"C:\\Data");
    EXPECT_EQ(Column(browse, 0), (std::vector<std::wstring>{L"Music", L"Photos", L"notes.txt"}));
    EXPECT_EQ(Column(browse, kBrowseOwner),
              (std::vector<std::wstring>{L"Administrators", L"Administrators", L"Administrators"}));
    EXPECT_EQ(h::ListViewText(browse, 0, kBrowseAccess), L"Allowed");
    EXPECT_EQ(h::ListViewText(browse, 2, kBrowseAccess), L"Read Only");
    EXPECT_EQ(h::ListViewText(browse, 2, 5), L"NTFS");
    EXPECT_TRUE(h::IsEnabled(h::FindControl(window, IDC_MAIN_BACK)));
    EXPECT_EQ(h::WindowText(h::FindControl(window, IDC_MAIN_STATUS)), L"Selected 0 / Total 3");
    h::SaveScreenshot(window, L"main-browse-folder");

    runner.Run([&] { dialog->GoBack(); });
    EXPECT_EQ(Column(browse, 0), (std::vector<std::wstring>{L"Data", L"Empty"}));
    runner.Run([&] { dialog->GoBack(); });
    EXPECT_EQ(h::ListViewRowCount(browse), 2);
    EXPECT_FALSE(h::IsEnabled(h::FindControl(window, IDC_MAIN_BACK)));
}

TEST_F(MainWindowTest, ReadOnlyForEveryoneOnTwoFoldersWithAScope) {
    Browse(L"C:\\Data");
    h::SelectListViewRows(browse, {0, 1});
    PostCommand(IDC_MAIN_READ_ONLY);
    AnswerOptions(L"Options - Read Only", L"Everyone", IDC_OPTIONS_SCOPE_FIRST + 1);
    for (const wchar_t* path : {L"C:\\Data\\Music", L"C:\\Data\\Photos"}) {
        auto dacl = machine.DaclOf(path);
        ASSERT_TRUE(dacl.acl.has_value()) << ToUtf8(path);
        ASSERT_EQ(dacl.acl->aces.size(), 1u);
        // 0x800000A8 written; NTFS stores GENERIC_READ mapped (FILE_GENERIC_READ).
        EXPECT_EQ(dacl.acl->aces[0].mask, 0x1200A9u);
        EXPECT_EQ(dacl.acl->aces[0].flags, 3);
        EXPECT_EQ(dacl.acl->aces[0].sid, sids::Everyone());
        EXPECT_EQ(machine.OwnerNameOf(path), L"Administrators");
    }
    EXPECT_EQ(h::ListViewText(browse, 0, kBrowseAccess), AccessTextOf(L"C:\\Data\\Music"));
    EXPECT_EQ(h::ListViewText(browse, 1, kBrowseAccess), AccessTextOf(L"C:\\Data\\Photos"));
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\notes.txt"), L"D:(A;;0x1200a9;;;WD)");
    EXPECT_TRUE(reporter.texts().empty());
}

TEST_F(MainWindowTest, UnknownTrusteeChangesNothingAndSaysWhy) {
    Browse(L"C:\\Data");
    const std::wstring before = machine.SddlOf(L"C:\\Data\\Music");
    h::SelectListViewRows(browse, {0});
    PostCommand(IDC_MAIN_ALLOW);
    AnswerOptions(L"Options - Allow Access", L"NoSuchAccount", IDC_OPTIONS_SCOPE_FIRST);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Music"), before);
    ASSERT_EQ(reporter.texts().size(), 1u);
    EXPECT_EQ(reporter.texts()[0], TrusteeNotFoundMessage(L"NoSuchAccount"));
}

TEST_F(MainWindowTest, NothingSelectedRefusesBeforeTheOptions) {
    Browse(L"C:\\Data");
    PostCommand(IDC_MAIN_DENY);
    EXPECT_TRUE(h::WaitFor([&] { return !reporter.texts().empty(); }));
    EXPECT_EQ(reporter.texts()[0], kSelectAtLeastOneMessage);
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);
}

TEST_F(MainWindowTest, Fat32FolderShowsTheIndicatorAndRefusesQuickCommands) {
    Browse(L"E:\\Photos");
    HWND indicator = h::FindControl(window, IDC_MAIN_NON_NTFS);
    EXPECT_TRUE(h::IsVisible(indicator));
    h::SelectListViewRows(browse, {0});
    PostCommand(IDC_MAIN_ALLOW);
    EXPECT_TRUE(h::WaitFor([&] { return !reporter.texts().empty(); }));
    EXPECT_EQ(reporter.texts()[0], kNtfsOnlyMessage);
    EXPECT_EQ(ui->WaitForWindow(L"Options - Allow Access", h::milliseconds(300)), nullptr);
    h::SaveScreenshot(window, L"main-browse-fat32");

    h::SendMenuCommand(window, ID_VIEW_EDIT_MODE);
    EXPECT_FALSE(h::IsVisible(indicator));
    h::SendMenuCommand(window, ID_VIEW_BROWSE_MODE);
    EXPECT_TRUE(h::IsVisible(indicator));
}

TEST_F(MainWindowTest, EmptyFolderHasNoRows) {
    Browse(L"C:\\Empty");
    EXPECT_EQ(h::ListViewRowCount(browse), 0);
    EXPECT_EQ(h::WindowText(h::FindControl(window, IDC_MAIN_STATUS)), L"Selected 0 / Total 0");
    h::SaveScreenshot(window, L"main-browse-empty");
}

TEST_F(MainWindowTest, HeaderClickSortsByNameThenReverses) {
    Browse(L"C:\\Data");
    NMLISTVIEW click{};
    click.hdr.hwndFrom = browse;
    click.hdr.idFrom = IDC_MAIN_BROWSE_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 0;
    // Name is the sort column already: the first click reverses it.
    h::Send(window, WM_NOTIFY, IDC_MAIN_BROWSE_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Column(browse, 0), (std::vector<std::wstring>{L"notes.txt", L"Photos", L"Music"}));
    h::Send(window, WM_NOTIFY, IDC_MAIN_BROWSE_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Column(browse, 0), (std::vector<std::wstring>{L"Music", L"Photos", L"notes.txt"}));
}

// Keys as the keyboard sends them, to the window in the foreground.
void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST_F(MainWindowTest, CtrlTabSwitchesTheViewModeAndDeleteRemovesOnlyInEditMode) {
    Browse(L"C:\\Data");
    h::SelectListViewRows(browse, {0, 1, 2});
    h::SendMenuCommand(window, ID_ITEM_SEND_TO_EDIT_VIEW);
    EXPECT_EQ(h::ListViewRowCount(edit), 3);
    SetForegroundWindow(window);
    ASSERT_TRUE(h::WaitFor([&] { return GetForegroundWindow() == window; }));
    runner.Run([&] { SetFocus(browse); });
    PressKeys({VK_DELETE});
    h::Pump(h::milliseconds(200));
    EXPECT_EQ(h::ListViewRowCount(browse), 3);

    PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(h::WaitFor([&] { return context.settings.viewMode == kEditMode; }));
    EXPECT_TRUE(h::IsVisible(edit));
    EXPECT_FALSE(h::IsVisible(browse));
    EXPECT_TRUE(h::IsEnabled(h::FindControl(window, IDC_MAIN_ADD)));
    WaitForStatusCells(edit);
    h::SelectListViewRows(edit, {1});
    h::SaveScreenshot(window, L"main-edit-mode");
    runner.Run([&] { SetFocus(edit); });
    PressKeys({VK_DELETE});
    EXPECT_TRUE(h::WaitFor([&] { return h::ListViewRowCount(edit) == 2; }));
    EXPECT_EQ(Column(edit, 0), (std::vector<std::wstring>{L"Music", L"notes.txt"}));

    PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(h::WaitFor([&] { return context.settings.viewMode == kBrowseMode; }));
    EXPECT_TRUE(h::IsVisible(browse));
}

// The button and Ctrl+Enter open the Advanced window, Ctrl+C copies the one
// selected row: no command answers with a message instead of its window.
TEST_F(MainWindowTest, ButtonsAndKeysReachTheirWindows) {
    Browse(L"C:\\Data");
    h::SelectListViewRows(browse, {0});
    const auto advancedWindow = [] { return FindWindowW(nullptr, L"" STR_ADVANCED_CAPTION); };
    const auto closeAdvanced = [&] {
        HWND advanced = nullptr;
        EXPECT_TRUE(h::WaitFor([&] { return (advanced = advancedWindow()) != nullptr; }));
        PostMessageW(advanced, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(h::WaitFor([&] { return advancedWindow() == nullptr; }));
    };
    PostCommand(IDC_MAIN_ADVANCED);
    closeAdvanced();
    SetForegroundWindow(window);
    ASSERT_TRUE(h::WaitFor([&] { return GetForegroundWindow() == window; }));
    runner.Run([&] { SetFocus(browse); });
    PressKeys({VK_CONTROL, VK_RETURN});
    closeAdvanced();
    SetForegroundWindow(window);
    ASSERT_TRUE(h::WaitFor([&] { return GetForegroundWindow() == window; }));
    runner.Run([&] { SetFocus(browse); });
    PressKeys({VK_CONTROL, 'C'});
    EXPECT_TRUE(h::WaitFor([&] {
        return h::WindowText(h::FindControl(window, IDC_MAIN_CLIPBOARD)) == L"C:\\Data\\Music";
    }));
    EXPECT_TRUE(reporter.texts().empty());
    EXPECT_TRUE(h::IsVisible(window));
}

TEST_F(MainWindowTest, PathBarFollowsNavigationAndNavigates) {
    HWND pathBar = h::FindControl(window, IDC_MAIN_PATH_BAR);
    const auto count = [&] { return static_cast<int>(h::Send(pathBar, CB_GETCOUNT)); };
    const auto selected = [&] { return static_cast<int>(h::Send(pathBar, CB_GETCURSEL)); };
    EXPECT_EQ(count(), 4);  // Desktop, Computer, C:, E:
    EXPECT_EQ(selected(), 1);
    Browse(L"C:\\Data\\Photos");
    EXPECT_EQ(count(), 5);
    EXPECT_EQ(selected(), 3);

    // Choosing the drive's entry drops the folder's entry.
    h::Send(pathBar, CB_SETCURSEL, 2);
    h::Send(window, WM_COMMAND, MAKEWPARAM(IDC_MAIN_PATH_BAR, CBN_SELCHANGE),
            reinterpret_cast<LPARAM>(pathBar));
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(dialog->CurrentFolder(), L"C:\\");
    EXPECT_EQ(Column(browse, 0), (std::vector<std::wstring>{L"Data", L"Empty"}));

    // A typed folder and Enter.
    HWND typed = reinterpret_cast<HWND>(h::Send(pathBar, CBEM_GETEDITCONTROL));
    SetForegroundWindow(window);
    ASSERT_TRUE(h::WaitFor([&] { return GetForegroundWindow() == window; }));
    runner.Run([&] {
        SetFocus(typed);
        SetWindowTextW(typed, L"C:\\Data");
    });
    PressKeys({VK_RETURN});
    EXPECT_TRUE(h::WaitFor([&] { return dialog->CurrentFolder() == L"C:\\Data"; }));
    EXPECT_TRUE(h::IsVisible(window)) << "Enter must not close the window";
    runner.Run([&] { SetWindowTextW(typed, L"C:\\Nowhere"); });
    PressKeys({VK_RETURN});
    h::Pump(h::milliseconds(200));
    EXPECT_EQ(dialog->CurrentFolder(), L"C:\\Data");
    // A typed path longer than MAX_PATH is taken whole.
    std::wstring deep = L"C:\\Data";
    while (deep.size() < 300)
        deep += L"\\" + std::wstring(40, L'd');
    machine.AddFolder(deep);
    runner.Run([&] { SetWindowTextW(typed, deep.c_str()); });
    PressKeys({VK_RETURN});
    EXPECT_TRUE(h::WaitFor([&] { return dialog->CurrentFolder() == deep; }));
}

// A change in the shown folder made by another program refreshes the list:
// the window registers for the shell's notifications with the new delivery
// and reads each with SHChangeNotification_Lock. (Wine sends only the
// shell-level ones, announced with SHChangeNotify, as here; Windows also
// reports the file system's own, at interrupt level, which no test here can
// make.) The folder exists on the real disk too, for the shell, and on the
// simulated machine, for the list.
TEST_F(MainWindowTest, AChangeAnnouncedByTheShellRefreshesTheShownFolder) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder =
        std::wstring(temp) + L"velmora-shell-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(machine.AddFolder(folder));
    machine.AddFile(folder + L"\\first.txt");
    Browse(folder);
    ASSERT_EQ(Column(browse, 0), std::vector<std::wstring>{L"first.txt"});
    const std::wstring created = folder + L"\\second.txt";
    machine.AddFile(created);
    CloseHandle(CreateFileW(created.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    // Windows tells a one-level registration of changes to the folder's
    // items; Wine matches it only against the folder itself, so the change
    // is announced on the folder.
    SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSH,
                   win32::RunningOnWine() ? folder.c_str() : created.c_str(), nullptr);
    EXPECT_TRUE(h::WaitFor([&] { return h::ListViewRowCount(browse) == 2; }));
    EXPECT_EQ(Column(browse, 0), (std::vector<std::wstring>{L"first.txt", L"second.txt"}));
    DeleteFileW(created.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(MainWindowTest, DoubleClickOnADeniedFolderAsksFirst) {
    machine.SetSecurity(L"C:\\Data\\Photos", L"O:BAD:P(D;;FA;;;WD)");
    Browse(L"C:\\Data");
    ASSERT_EQ(h::ListViewText(browse, 1, 0), L"Photos");
    ASSERT_EQ(h::ListViewText(browse, 1, kBrowseAccess), L"Denied");
    NMITEMACTIVATE activate{};
    activate.hdr.hwndFrom = browse;
    activate.hdr.idFrom = IDC_MAIN_BROWSE_LIST;
    activate.hdr.code = NM_DBLCLK;
    activate.iItem = 1;
    reporter.ScriptAnswer(Answer::kNo);
    h::Send(window, WM_NOTIFY, IDC_MAIN_BROWSE_LIST, reinterpret_cast<LPARAM>(&activate));
    EXPECT_EQ(dialog->CurrentFolder(), L"C:\\Data");
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].buttons, MessageButtons::kYesNo);

    reporter.ScriptAnswer(Answer::kYes);
    h::Send(window, WM_NOTIFY, IDC_MAIN_BROWSE_LIST, reinterpret_cast<LPARAM>(&activate));
    EXPECT_EQ(dialog->CurrentFolder(), L"C:\\Data\\Photos");

    // An allowed folder opens without a question.
    runner.Run([&] { dialog->GoBack(); });
    activate.iItem = 0;
    h::Send(window, WM_NOTIFY, IDC_MAIN_BROWSE_LIST, reinterpret_cast<LPARAM>(&activate));
    EXPECT_EQ(dialog->CurrentFolder(), L"C:\\Data\\Music");
    EXPECT_EQ(reporter.messages().size(), 2u);
}

TEST_F(MainWindowTest, ToolBarFollowsTheWindowWidth) {
    const auto resize = [&](int width, int height) {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        h::Send(window, WM_NULL);
    };
    const auto widthOf = [&](int id) {
        RECT rect{};
        GetWindowRect(h::FindControl(window, id), &rect);
        return rect.right - rect.left;
    };
    const int side = [&] {
        RECT rect{};
        GetWindowRect(h::FindControl(window, IDC_MAIN_ADD), &rect);
        return rect.bottom - rect.top;
    }();
    resize(700, 500);
    EXPECT_EQ(dialog->ToolbarLayoutIndex(), 1);
    EXPECT_EQ(widthOf(IDC_MAIN_ADD), side);
    EXPECT_EQ(widthOf(IDC_MAIN_CHANGE_OWNER), side);
    EXPECT_EQ(widthOf(IDC_MAIN_ADVANCED), side);
    EXPECT_GT(widthOf(IDC_MAIN_ALLOW), side);
    EXPECT_TRUE(h::IsVisible(h::FindControl(window, IDC_MAIN_SEPARATOR1)));
    h::SaveScreenshot(window, L"main-700-pixels");

    resize(560, 400);
    EXPECT_EQ(dialog->ToolbarLayoutIndex(), 2);
    for (int id : kToolbarButtonIds)
        EXPECT_EQ(widthOf(id), side) << id;
    EXPECT_FALSE(h::IsVisible(h::FindControl(window, IDC_MAIN_SEPARATOR2)));

    resize(100, 100);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 320);
    EXPECT_EQ(rect.bottom - rect.top, 300);
    EXPECT_EQ(context.settings.windowRight - context.settings.windowLeft, 320);

    resize(1000, 600);
    EXPECT_EQ(dialog->ToolbarLayoutIndex(), 0);
    EXPECT_TRUE(h::IsVisible(h::FindControl(window, IDC_MAIN_SEPARATOR2)));
}

TEST_F(MainWindowTest, ChangeOwnerFromTheTrusteeMenu) {
    Browse(L"C:\\Data");
    h::SelectListViewRows(browse, {2});
    PostCommand(IDC_MAIN_CHANGE_OWNER);
    auto popup = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(popup.has_value());
    EXPECT_TRUE(h::MenuHasCommand(popup->menu, ID_TRUSTEE_TRUSTEDINSTALLER));
    h::SaveScreenshot(popup->window, L"menu-trustee");
    ASSERT_TRUE(h::ChoosePopupMenuCommand(*popup, ID_TRUSTEE_SYSTEM));
    EXPECT_TRUE(
        h::WaitFor([&] { return machine.OwnerNameOf(L"C:\\Data\\notes.txt") == L"SYSTEM"; }));
    EXPECT_TRUE(h::WaitFor([&] { return h::ListViewText(browse, 2, kBrowseOwner) == L"SYSTEM"; }));
}

// The trustee menus name the current user and leave out TrustedInstaller
// before Windows Vista; the main menu lists the bookmarks.
TEST_F(MainWindowTest, SubMenusArePreparedBeforeTheyOpen) {
    const auto prepared = [&](PopupSubMenu subMenu, float osVersion) {
        state.OsVersion = osVersion;
        HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUP_MENUS));
        PrepareSubMenu(context, subMenu, GetSubMenu(menu, static_cast<int>(subMenu)));
        return menu;
    };
    HMENU menu = prepared(PopupSubMenu::kTrustee, 6.1f);
    EXPECT_EQ(h::MenuCommandText(GetSubMenu(menu, 2), ID_TRUSTEE_CURRENT_USER),
              L"Current User - Alice");
    EXPECT_TRUE(h::MenuHasCommand(GetSubMenu(menu, 2), ID_TRUSTEE_TRUSTEDINSTALLER));
    DestroyMenu(menu);
    menu = prepared(PopupSubMenu::kAdvanced, 5.1f);
    EXPECT_EQ(h::MenuCommandText(GetSubMenu(menu, 4), ID_TRUSTEE_CURRENT_USER),
              L"Current User - Alice");
    EXPECT_FALSE(h::MenuHasCommand(GetSubMenu(menu, 4), ID_TRUSTEE_TRUSTEDINSTALLER));
    DestroyMenu(menu);

    context.bookmarks.entries = {{0, L"Work"}, {2, L"Photos"}};
    menu = prepared(PopupSubMenu::kMain, 6.1f);
    EXPECT_EQ(h::MenuCommandText(GetSubMenu(menu, 0), ID_BOOKMARK_FIRST_ENTRY + 1), L"Photos");
    EXPECT_FALSE(h::MenuHasCommand(GetSubMenu(menu, 0), ID_BOOKMARK_PLACEHOLDER));
    DestroyMenu(menu);
}

// The main menu and the item menu as the window enables them, and a picture
// of every popup.
TEST_F(MainWindowTest, PopupMenusFollowTheSelectionAndTheMode) {
    Browse(L"C:\\Data");
    PostCommand(IDC_MAIN_MENU_BUTTON);
    auto main = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(main.has_value());
    EXPECT_FALSE(h::IsMenuCommandEnabled(main->menu, ID_ITEM_ADD));
    EXPECT_TRUE(h::IsMenuCommandEnabled(main->menu, ID_BOOKMARK_CURRENT_DIRECTORY));
    h::SaveScreenshot(main->window, L"menu-main");
    h::DismissPopupMenu(*main);

    h::SelectListViewRows(browse, {0});
    const struct {
        PopupSubMenu subMenu;
        const wchar_t* name;
    } menus[] = {{PopupSubMenu::kItem, L"menu-item"},
                 {PopupSubMenu::kApplyTo, L"menu-apply-to"},
                 {PopupSubMenu::kAdvanced, L"menu-advanced"},
                 {PopupSubMenu::kRestore, L"menu-restore"}};
    for (const auto& each : menus) {
        runner.Start([&, subMenu = each.subMenu] {
            PopupMenu(context, subMenu, window, TPM_LEFTALIGN | TPM_TOPALIGN, true);
        });
        auto popup = h::WaitForPopupMenu(ui->id());
        ASSERT_TRUE(popup.has_value()) << ToUtf8(each.name);
        if (each.subMenu == PopupSubMenu::kItem) {
            EXPECT_TRUE(h::IsMenuCommandEnabled(popup->menu, ID_ITEM_ADVANCED));
            EXPECT_FALSE(h::IsMenuCommandEnabled(popup->menu, ID_ITEM_PASTE_SECURITY));
            EXPECT_FALSE(h::MenuHasCommand(popup->menu, ID_ITEM_REMOVE));
            EXPECT_TRUE(h::IsMenuCommandChecked(popup->menu, ID_VIEW_BROWSE_MODE));
        }
        h::SaveScreenshot(popup->window, each.name);
        h::DismissPopupMenu(*popup);
        EXPECT_TRUE(h::WaitFor([&] { return !h::WaitForPopupMenu(ui->id(), h::milliseconds(0)); }));
    }
}

}  // namespace
}  // namespace vm
