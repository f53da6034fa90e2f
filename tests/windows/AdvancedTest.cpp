// The Advanced Security Settings window over a simulated machine, through
// the real dialog: its rows against what the object holds, ticking rights,
// scopes, entries added and removed, the inheritance question's three
// answers, a new owner, replacing child permissions in both modes and with
// Cancel in the middle, export and import, the entry clipboard, Enter, a
// file, the read-only view of a backup, and the pictures of all of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "advanced/AdvancedDlg.win32.h"
#include "app/AppContext.win32.h"
#include "app/Messages.h"
#include "app/PopupMenu.win32.h"
#include "framework/GdiPlus.h"
#include "harness/Harness.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/ProgressDlg.win32.h"
#include "security/SecurityAccess.h"

namespace h = vm::harness;

namespace vm {
namespace {

using sim::Call;

constexpr const wchar_t* kCaption = L"" STR_ADVANCED_CAPTION;

// A Win32 event the simulated machine's call hook waits on, so that a test
// can hold a worker inside a platform call.
class Gate {
  public:
    Gate() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() { CloseHandle(event_); }
    void Open() { SetEvent(event_); }
    void Wait() { WaitForSingleObject(event_, 20000); }

  private:
    HANDLE event_;
};

class AdvancedTest : public testing::Test {
  protected:
    AdvancedTest() : state(machine, reporter), context(state) {}

    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        bob = machine.AddLocalUser(L"Bob").ToString();
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.AddFolder(L"C:\\Data\\Projects", ProjectsSddl());
        for (const wchar_t* file : {L"a.txt", L"b.txt", L"c.txt"})
            machine.AddFile(std::wstring(L"C:\\Data\\Projects\\") + file);
        machine.AddFolder(L"C:\\Data\\Projects\\Sub");
        machine.AddFile(L"C:\\Data\\Projects\\Sub\\d.txt");
        machine.AddFolder(L"C:\\Data\\Other");
        machine.AddFile(L"C:\\Data\\notes.txt");
        state.OsVersion = 6.1f;
        ReadPlatformState(state);
        ui = std::make_unique<h::UiThread>([this] {
            InitShellState(context.shell, state.OsVersion);
            runner.Create();
        });
        ASSERT_TRUE(h::WaitFor([&] { return runner.Created(); }));
    }

    void TearDown() override {
        ui.reset();
        dialogs.clear();
    }

    std::wstring ProjectsSddl() const {
        return L"O:" + bob + L"D:AI(A;OICI;FA;;;" + bob +
               L")(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)";
    }

    // Opens the window on path (or a read-only view of descriptor), modal
    // on the UI thread; its handle.
    HWND Open(const std::wstring& path, const Bytes* descriptor = nullptr, bool container = true) {
        CAdvancedDlg* dialog = nullptr;
        runner.Run([&] {
            dialogs.push_back(
                descriptor ? std::make_unique<CAdvancedDlg>(context, path, *descriptor, container)
                           : std::make_unique<CAdvancedDlg>(context, path));
            dialog = dialogs.back().get();
            dialog->SetFileChooser([this](bool) { return chosenFile; });
        });
        runner.Start([dialog] { dialog->DoModal(nullptr); });
        HWND window = nullptr;
        EXPECT_TRUE(h::WaitFor([&] {
            window = dialog->hwnd();
            return window != nullptr && IsWindowVisible(window);
        }));
        current = dialog;
        list = h::FindControl(window, IDC_ADV_ACE_LIST);
        return window;
    }

    void Command(HWND window, UINT id) { h::Send(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    void WaitClosed(HWND window) {
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(window); }));
    }

    // Apply, and wait until the window is usable again.
    void Apply(HWND window) {
        h::Click(h::FindControl(window, IDC_ADV_APPLY));
        EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(h::FindControl(window, IDC_ADV_ADD)); }));
        EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(list); }));
    }

    // A click on a cell as the list reports it to the window (NM_CLICK),
    // fromRight pixels left of the cell's right edge (0: its middle).
    void ClickCell(HWND window, int row, int column, int fromRight = 0) {
        runner.Run([&] {
            RECT cell{};
            cell.top = column;
            cell.left = LVIR_BOUNDS;
            SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&cell));
            NMITEMACTIVATE click{};
            click.hdr.hwndFrom = list;
            click.hdr.idFrom = IDC_ADV_ACE_LIST;
            click.hdr.code = NM_CLICK;
            click.iItem = row;
            click.iSubItem = column;
            click.ptAction = {fromRight > 0 ? cell.right - fromRight : (cell.left + cell.right) / 2,
                              (cell.top + cell.bottom) / 2};
            SendMessageW(window, WM_NOTIFY, IDC_ADV_ACE_LIST, reinterpret_cast<LPARAM>(&click));
        });
    }

    void Toggle(int row) {
        runner.Run([&] { current->List().Model()->ToggleEntry(static_cast<size_t>(row)); });
    }

    // Chooses a command of the popup that the code opens.
    void ChooseFromPopup(const std::function<void()>& open, UINT command,
                         const std::wstring& picture = L"") {
        runner.Start(open);
        auto popup = h::WaitForPopupMenu(ui->id());
        ASSERT_TRUE(popup.has_value());
        if (!picture.empty())
            h::SaveScreenshot(popup->window, picture);
        EXPECT_TRUE(h::ChoosePopupMenuCommand(*popup, command));
    }

    // The window on C:\Data\Projects with Everyone added, its Apply held
    // inside the worker's first look-up until the gate opens.
    HWND StartHeldApply(Gate& gate) {
        HWND window = Open(L"C:\\Data\\Projects");
        AddEntry(window, ID_TRUSTEE_EVERYONE);
        machine.SetCallHook([&gate](Call call, const std::wstring&) {
            if (call == Call::kLookupAccountName)
                gate.Wait();
        });
        h::Click(h::FindControl(window, IDC_ADV_APPLY));
        EXPECT_TRUE(h::WaitFor([&] { return !h::IsEnabled(list); }));
        return window;
    }

    void AddEntry(HWND window, UINT trustee) {
        ChooseFromPopup([this, window] { h::Click(h::FindControl(window, IDC_ADV_ADD)); }, trustee);
    }

    // The context menu, as a right click on the list opens it.
    std::optional<h::PopupMenu> OpenContextMenu() {
        runner.Start([this] {
            vm::PopupMenu(context, PopupSubMenu::kAdvanced, current->hwnd(),
                          TPM_LEFTALIGN | TPM_TOPALIGN);
        });
        return h::WaitForPopupMenu(ui->id());
    }

    std::vector<std::wstring> Names() {
        std::vector<std::wstring> names;
        for (int row = 0; row < h::ListViewRowCount(list); ++row) {
            if (!h::ListViewText(list, row, 0).empty())
                names.push_back(h::ListViewText(list, row, 2));
        }
        return names;
    }

    std::wstring Dacl(const std::wstring& path) { return machine.DaclSddlOf(path); }

    // A DACL's flags and its entries in sorted order: the order of explicit
    // entries of one kind is the engine's canonical order, not the rows'.
    static std::vector<std::wstring> Entries(const std::wstring& sddl) {
        std::vector<std::wstring> parts{sddl.substr(0, sddl.find(L'('))};
        for (size_t at = sddl.find(L'('); at != std::wstring::npos; at = sddl.find(L'(', at + 1))
            parts.push_back(sddl.substr(at, sddl.find(L')', at) - at + 1));
        std::sort(parts.begin() + 1, parts.end());
        return parts;
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    GdiplusSession gdiplus;
    AppState state;
    AppContext context;
    h::UiRunner runner;
    std::unique_ptr<h::UiThread> ui;
    std::vector<std::unique_ptr<CAdvancedDlg>> dialogs;
    CAdvancedDlg* current = nullptr;
    HWND list = nullptr;
    std::wstring bob;
    std::optional<std::wstring> chosenFile;
};

TEST_F(AdvancedTest, OpensOnAFolderWithItsRowsOwnerAndInheritance) {
    HWND window = Open(L"C:\\Data\\Projects");
    EXPECT_EQ(h::ListViewColumnTitles(list),
              (std::vector<std::wstring>{L"", L"Type", L"", L"Allow", L"Deny", L"Inherited From",
                                         L"Apply to"}));
    ASSERT_EQ(h::ListViewRowCount(list), 3);
    EXPECT_EQ(h::ListViewRow(list, 0),
              (std::vector<std::wstring>{L"+", L"Allow", L"Bob", L"", L"", L"",
                                         L"This folder,subfolders and files"}));
    EXPECT_EQ(h::ListViewText(list, 1, 2), L"Administrators");
    EXPECT_EQ(h::ListViewText(list, 2, 5), L"C:\\Data\\");
    EXPECT_EQ(h::WindowText(h::FindControl(window, IDC_ADV_OBJECT_NAME)), L"C:\\Data\\Projects");
    EXPECT_EQ(h::WindowText(h::FindControl(window, IDC_ADV_OWNER)), L"Bob");
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_ADV_INHERIT), BST_CHECKED);
    EXPECT_FALSE(h::IsEnabled(h::FindControl(window, IDOK)));
    EXPECT_FALSE(h::IsEnabled(h::FindControl(window, IDC_ADV_APPLY)));
    EXPECT_TRUE(h::IsVisible(h::FindControl(window, IDC_ADV_REPLACE_CHILDREN)));
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 760);
    EXPECT_EQ(rect.bottom - rect.top, 640);
    EXPECT_GE(SendMessageW(list, LVM_GETCOLUMNWIDTH, 6, 0), 190);  // wider when its texts need it
    h::SaveScreenshot(window, L"advanced-folder");

    // Enter neither applies nor closes.
    Toggle(0);
    ClickCell(window, 1, 3);
    SetFocus(list);
    h::Send(window, WM_COMMAND, MAKEWPARAM(LOWORD(h::Send(window, DM_GETDEFID)), BN_CLICKED), 0);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    h::Pump(h::milliseconds(200));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(Dacl(L"C:\\Data\\Projects"),
              L"D:AI(A;OICI;FA;;;" + bob + L")(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)");
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);
}

TEST_F(AdvancedTest, TickingRightsScopesAddingAndRemovingAreWrittenOnApply) {
    HWND window = Open(L"C:\\Data\\Projects");
    Toggle(0);  // Bob's fourteen rights below him
    ASSERT_EQ(h::ListViewRowCount(list), 3 + 14);
    EXPECT_EQ(h::ListViewText(list, 1, 2), L"Full control");
    EXPECT_EQ(h::ListViewText(list, 1, 3), L"*");
    ClickCell(window, 1, 3);   // Allow "Full control" off: every Allow cell clears
    ClickCell(window, 3, 3);   // "List folder / read data"
    ClickCell(window, 12, 4);  // Deny "Read permissions"
    EXPECT_EQ(h::ListViewText(list, 3, 3), L"*");
    EXPECT_EQ(h::ListViewText(list, 12, 4), L"*");
    // The list tells the window by a posted message.
    EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(h::FindControl(window, IDC_ADV_APPLY)); }));
    h::SaveScreenshot(window, L"advanced-rights");
    Toggle(15);  // Administrators, inherited: its cells do not change
    ClickCell(window, 16, 3);
    EXPECT_EQ(h::ListViewText(list, 16, 3), L"*");
    Toggle(15);

    AddEntry(window, ID_TRUSTEE_EVERYONE);
    EXPECT_EQ(h::ListViewText(list, 0, 2), L"Everyone");
    EXPECT_EQ(h::ListViewSelectedRows(list), std::vector<int>{0});
    Toggle(0);  // closed again; the arrow is on the entry's "Apply to" cell
    ChooseFromPopup([this, window] { ClickCell(window, 0, 6, 8); }, ID_SCOPE_FOLDER_SUBFOLDERS,
                    L"advanced-apply-to");
    EXPECT_EQ(h::ListViewText(list, 0, 6), L"This folder and subfolders");
    // A click further left in the cell only selects.
    runner.Start([this, window] { ClickCell(window, 0, 6, 60); });
    EXPECT_FALSE(h::WaitForPopupMenu(ui->id(), h::milliseconds(500)).has_value());

    // Users (inherited) cannot be removed; Administrators is explicit after a convert only.
    h::SelectListViewRows(list, {h::ListViewRowCount(list) - 1});
    h::Click(h::FindControl(window, IDC_ADV_REMOVE));
    EXPECT_EQ(Names().size(), 4u);
    Apply(window);
    EXPECT_EQ(Entries(Dacl(L"C:\\Data\\Projects")),
              Entries(L"D:AI(D;OICI;RC;;;" + bob + L")(A;CI;FA;;;WD)(A;OICI;0x100001;;;" + bob +
                      L")(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)"));
    EXPECT_FALSE(h::IsEnabled(h::FindControl(window, IDC_ADV_APPLY)));
    EXPECT_EQ(h::ListViewRowCount(list),
              5);  // read back: Everyone, Bob allow, Bob deny, two inherited

    h::SelectListViewRows(list, {0});
    ASSERT_EQ(h::ListViewText(list, 0, 2), L"Bob");
    h::Click(h::FindControl(window, IDC_ADV_REMOVE));
    h::Click(h::FindControl(window, IDOK));
    WaitClosed(window);
    EXPECT_EQ(Entries(Dacl(L"C:\\Data\\Projects")),
              Entries(L"D:AI(A;CI;FA;;;WD)(A;OICI;0x100001;;;" + bob +
                      L")(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)"));
}

// The keys reach the rows as the list reports them (LVN_KEYDOWN): Space
// opens the focused entry and ticks the focused right's Allow cell, the
// arrows move the focus, Delete removes only what may be removed.
TEST_F(AdvancedTest, KeysOpenAnEntryTickARightAndRemoveExplicitEntries) {
    HWND window = Open(L"C:\\Data\\Projects");
    const auto press = [this](WPARAM key) { h::Send(list, WM_KEYDOWN, key, 0); };
    h::SelectListViewRows(list, {0});
    press(VK_SPACE);
    ASSERT_EQ(h::ListViewRowCount(list), 3 + 14);
    press(VK_DOWN);
    press(VK_DOWN);
    ASSERT_EQ(h::ListViewText(list, 2, 2), L"Traverse folder / execute file");
    press(VK_SPACE);  // Full control held it: both clear
    EXPECT_NE(h::ListViewText(list, 2, 3), L"*");
    EXPECT_NE(h::ListViewText(list, 1, 3), L"*");
    EXPECT_EQ(h::ListViewText(list, 3, 3), L"*");
    EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(h::FindControl(window, IDC_ADV_APPLY)); }));

    // Delete with an inherited entry focused removes nothing.
    h::SelectListViewRows(list, {h::ListViewRowCount(list) - 1});
    press(VK_DELETE);
    EXPECT_EQ(Names().size(), 3u);
    h::SelectListViewRows(list, {0});
    press(VK_DELETE);  // Bob goes with his fourteen rights
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Administrators", L"Users"}));
    EXPECT_EQ(h::ListViewRowCount(list), 2);
    Apply(window);
    EXPECT_EQ(Dacl(L"C:\\Data\\Projects"), L"D:AI(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)");
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);
}

TEST_F(AdvancedTest, ClearingInheritanceWithEachAnswerOfTheQuestion) {
    struct Case {
        int button;  // of the question
        std::wstring dacl;
        int rows;
    };
    const std::wstring bobEntry = L"(A;OICI;FA;;;" + bob + L")";
    const Case cases[] = {
        {IDOK, L"D:PAI(A;OICI;0x1200a9;;;BU)" + bobEntry + L"(A;OICI;FA;;;BA)", 3},
        {IDC_REMOVE_INHERIT_REMOVE, L"D:PAI" + bobEntry, 1},
        {IDCANCEL, L"D:PAI" + bobEntry, 3},
    };
    for (const Case& answer : cases) {
        machine.SetSecurity(L"C:\\Data\\Projects", ProjectsSddl());
        HWND window = Open(L"C:\\Data\\Projects");
        runner.Start([window] { h::Click(h::FindControl(window, IDC_ADV_INHERIT)); });
        HWND question = ui->WaitForWindow(L"" STR_INHERIT_TIP_CAPTION);
        ASSERT_NE(question, nullptr);
        if (answer.button == IDOK)
            h::SaveScreenshot(question, L"inheritance-question");
        EXPECT_EQ(h::WindowText(h::FindControl(question, IDC_REMOVE_INHERIT_TEXT)),
                  L"" STR_INHERIT_TIP_WARNING);
        h::Click(h::FindControl(question, answer.button));
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(question); }));
        EXPECT_EQ(h::ListViewRowCount(list), answer.rows);
        EXPECT_EQ(IsDlgButtonChecked(window, IDC_ADV_INHERIT), BST_UNCHECKED);
        EXPECT_TRUE(h::IsEnabled(h::FindControl(window, IDOK)));
        Apply(window);
        EXPECT_EQ(Entries(Dacl(L"C:\\Data\\Projects")), Entries(answer.dacl)) << answer.button;
        h::Click(h::FindControl(window, IDCANCEL));
        WaitClosed(window);
    }
}

TEST_F(AdvancedTest, ChangeOwnerToEveryoneIsWrittenOnlyByApply) {
    HWND window = Open(L"C:\\Data\\Projects");
    ChooseFromPopup([window] { h::Click(h::FindControl(window, IDC_ADV_CHANGE_OWNER)); },
                    ID_TRUSTEE_EVERYONE);
    EXPECT_EQ(h::WindowText(h::FindControl(window, IDC_ADV_OWNER)), L"Everyone");
    EXPECT_TRUE(h::IsEnabled(h::FindControl(window, IDOK)));
    EXPECT_TRUE(machine.SddlOf(L"C:\\Data\\Projects").starts_with(L"O:" + bob));
    EXPECT_EQ(h::ListViewRowCount(list), 3);  // no entry was added
    Apply(window);
    EXPECT_TRUE(machine.SddlOf(L"C:\\Data\\Projects").starts_with(L"O:WD"));
    // The next '+' adds an entry again.
    AddEntry(window, ID_TRUSTEE_SYSTEM);
    EXPECT_EQ(h::ListViewText(list, 0, 2), L"SYSTEM");
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);
}

TEST_F(AdvancedTest, TheWaitingPictureShowsWhileTheWorkerWrites) {
    Gate gate;
    HWND window = StartHeldApply(gate);
    EXPECT_FALSE(h::IsEnabled(h::FindControl(window, IDC_ADV_ADD)));
    EXPECT_FALSE(h::IsEnabled(h::FindControl(window, IDC_ADV_CHANGE_OWNER)));
    int frame = 0;
    EXPECT_TRUE(h::WaitFor([&] {
        runner.Run([&] { frame = current->List().BusyFrame(); });
        return frame >= 1;
    }));
    h::SaveScreenshot(window, L"advanced-busy");
    gate.Open();
    EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(list); }));
    machine.SetCallHook(nullptr);
    EXPECT_EQ(h::ListViewText(list, 0, 2), L"Bob");  // read back in the engine's order
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);
}

TEST_F(AdvancedTest, CancelDuringApplyStopsBeforeTheWriteAndReenables) {
    const std::wstring before = machine.SddlOf(L"C:\\Data\\Projects");
    Gate gate;
    HWND window = StartHeldApply(gate);
    h::Click(h::FindControl(window, IDCANCEL));  // does not close while the worker runs
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(h::IsEnabled(list));
    EXPECT_TRUE(h::IsEnabled(h::FindControl(window, IDC_ADV_APPLY)));
    gate.Open();
    h::Pump(h::milliseconds(300));
    machine.SetCallHook(nullptr);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Projects"), before);  // stopped at its safe point
    EXPECT_EQ(h::ListViewText(list, 0, 2), L"Everyone");       // the edit is still there
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);
}

// Every object below the folder, with what it holds.
std::map<std::wstring, std::wstring> TreeBelow(sim::SimPlatform& machine,
                                               const std::wstring& root) {
    std::map<std::wstring, std::wstring> tree;
    for (const std::wstring& path : machine.ListTree(root)) {
        if (path != root)
            tree[path] = machine.SddlOf(path);
    }
    return tree;
}

TEST_F(AdvancedTest, ReplacingChildPermissionsInBothModes) {
    for (UINT mode : {IDC_REPLACE_WITH_INHERITABLE, IDC_REPLACE_COPY_FROM_OBJECT}) {
        // Children with explicit entries of their own.
        for (const wchar_t* child : {L"a.txt", L"Sub", L"Sub\\d.txt"})
            machine.SetSecurity(std::wstring(L"C:\\Data\\Projects\\") + child,
                                L"O:" + bob + L"D:PAI(A;;FA;;;" + bob + L")");
        HWND window = Open(L"C:\\Data\\Projects");
        AddEntry(window, ID_TRUSTEE_EVERYONE);
        h::Click(h::FindControl(window, IDC_ADV_REPLACE_CHILDREN));
        runner.Start([window] { h::Click(h::FindControl(window, IDOK)); });
        HWND question = ui->WaitForWindow(L"" STR_REPLACE_CHILDREN_CAPTION);
        ASSERT_NE(question, nullptr);
        if (mode == IDC_REPLACE_WITH_INHERITABLE)
            h::SaveScreenshot(question, L"replace-children");
        h::Click(h::FindControl(question, mode));
        WaitClosed(window);  // written, replaced below, closed by OK
        const std::wstring folderDacl = Dacl(L"C:\\Data\\Projects");
        EXPECT_NE(folderDacl.find(L";;;WD)"), std::wstring::npos);
        for (const auto& [path, sddl] : TreeBelow(machine, L"C:\\Data\\Projects")) {
            if (mode == IDC_REPLACE_COPY_FROM_OBJECT) {
                EXPECT_EQ(Dacl(path), folderDacl) << ToUtf8(path);
            } else {
                // The explicit entry each child had is gone; Everyone comes from above.
                EXPECT_EQ(sddl.find(L"(A;;FA;;;" + bob + L")"), std::wstring::npos) << ToUtf8(path);
                EXPECT_NE(Dacl(path).find(L"ID;FA;;;WD)"), std::wstring::npos) << ToUtf8(path);
            }
        }
    }
}

TEST_F(AdvancedTest, ProgressShowsTheCountsAndCancelStopsBetweenEntries) {
    const std::map<std::wstring, std::wstring> before = TreeBelow(machine, L"C:\\Data\\Projects");
    // The walk is held at the first write to its second entry.
    Gate gate;
    std::set<std::wstring> written;
    machine.SetCallHook([&](Call call, const std::wstring& path) {
        const bool write = call == Call::kSetFileSecurity || call == Call::kSetNamedSecurityInfo;
        if (!write || !path.starts_with(L"C:\\Data\\Projects\\"))
            return;
        if (written.insert(path).second && written.size() == 2)
            gate.Wait();
    });
    runner.Start([this] {
        RunPropagationWindow(state.engine, nullptr, nullptr, L"C:\\Data\\Projects",
                             PropagationMode::kCopyFromFolder);
    });
    HWND progress = ui->WaitForWindow(L"" STR_PROGRESS_CAPTION);
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(h::WaitFor([&] {
        return h::WindowText(h::FindControl(progress, IDC_PROGRESS_TEXT)) ==
               L"" STR_PROGRESS_TEXT L" (4 Files, 1 Folders)";
    }));
    EXPECT_TRUE(h::WaitFor([&] {
        return !h::WindowText(h::FindControl(progress, IDC_PROGRESS_ENTRY)).empty() &&
               h::WindowText(h::FindControl(progress, IDC_PROGRESS_ENTRY)) != L"...";
    }));
    float position = 0;
    runner.Run([&] {
        position = static_cast<CZOLProgressCtrl*>(
                       CWnd::FromHandle(h::FindControl(progress, IDC_PROGRESS_BAR)))
                       ->Pos();
    });
    EXPECT_EQ(position, 20.0f);  // one of five entries done
    h::SaveScreenshot(progress, L"progress-replace");
    h::Click(h::FindControl(progress, IDCANCEL));
    EXPECT_TRUE(IsWindow(progress));  // Cancel only asks the walk to stop
    gate.Open();
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(progress); }));
    machine.SetCallHook(nullptr);
    // Each object is either as it was or fully the folder's: none half-written.
    const std::wstring folderDacl = Dacl(L"C:\\Data\\Projects");
    int changed = 0;
    for (const auto& [path, sddl] : TreeBelow(machine, L"C:\\Data\\Projects")) {
        if (sddl == before.at(path))
            continue;
        ++changed;
        EXPECT_EQ(Dacl(path), folderDacl) << ToUtf8(path);
    }
    EXPECT_EQ(changed, 2);  // the entry done and the one in progress
}

TEST_F(AdvancedTest, ExportThenImportIntoAnotherFoldersWindow) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "velmora-advanced-export";
    std::filesystem::create_directories(folder);
    const std::wstring file = (folder / L"projects.sd").wstring();
    HWND window = Open(L"C:\\Data\\Projects");
    // Pending changes first: refused, no file.
    AddEntry(window, ID_TRUSTEE_EVERYONE);
    chosenFile = file;
    Command(window, ID_SD_EXPORT);
    EXPECT_EQ(reporter.texts().back(), L"" STR_SAVE_CHANGES_FIRST);
    EXPECT_FALSE(std::filesystem::exists(folder / L"projects.sd"));
    h::Click(h::FindControl(window, IDC_ADV_RELOAD));  // changes dropped
    Command(window, ID_SD_EXPORT);
    EXPECT_TRUE(std::filesystem::exists(folder / L"projects.sd"));
    // A folder that does not exist: the file error, nothing written.
    reporter.Clear();
    chosenFile = (folder / L"missing" / L"x.sd").wstring();
    Command(window, ID_SD_EXPORT);
    ASSERT_EQ(reporter.texts().size(), 1u);
    EXPECT_NE(reporter.texts()[0].find(L"missing"), std::wstring::npos);
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);

    HWND other = Open(L"C:\\Data\\Other");
    const int rowsBefore = h::ListViewRowCount(list);
    chosenFile = file;
    Command(other, ID_SD_IMPORT);
    EXPECT_EQ(h::ListViewRowCount(list), rowsBefore + 3);
    EXPECT_EQ(h::ListViewText(list, 0, 2), L"Bob");
    EXPECT_EQ(h::ListViewText(list, 1, 5), L"Parent Object");
    EXPECT_TRUE(h::IsEnabled(h::FindControl(other, IDC_ADV_APPLY)));
    // A file that is no descriptor adds nothing.
    std::filesystem::path junk = folder / L"junk.sd";
    FILE* out = _wfopen(junk.wstring().c_str(), L"wb");
    fputs("junk", out);
    fclose(out);
    chosenFile = junk.wstring();
    Command(other, ID_SD_IMPORT);
    EXPECT_EQ(h::ListViewRowCount(list), rowsBefore + 3);
    reporter.Clear();
    chosenFile = (folder / L"none.sd").wstring();
    Command(other, ID_SD_IMPORT);
    ASSERT_EQ(reporter.texts().size(), 1u);
    EXPECT_EQ(reporter.texts()[0], *chosenFile + L" was not found.");
    h::Click(h::FindControl(other, IDCANCEL));
    WaitClosed(other);
    std::filesystem::remove_all(folder);
}

TEST_F(AdvancedTest, CopiedEntriesPasteIntoAnotherItemsWindow) {
    HWND window = Open(L"C:\\Data\\Projects");
    auto before = OpenContextMenu();
    ASSERT_TRUE(before.has_value());
    EXPECT_FALSE(h::IsMenuCommandEnabled(before->menu, ID_ACE_PASTE));  // nothing copied yet
    h::DismissPopupMenu(*before);
    h::SelectListViewRows(list, {0, 1, 2});
    Command(window, ID_ACE_COPY);
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);

    HWND other = Open(L"C:\\Data\\notes.txt");
    Command(other, ID_ACE_PASTE);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Users", L"Administrators", L"Bob",
                                                  L"Administrators", L"Users"}));
    EXPECT_EQ(h::ListViewSelectedRows(list), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(h::ListViewText(list, 0, 5), L"");  // pasted explicit
    Apply(other);
    EXPECT_EQ(
        Entries(Dacl(L"C:\\Data\\notes.txt")),
        Entries(L"D:AI(A;OICI;FA;;;" + bob +
                L")(A;OICI;0x1200a9;;;BU)(A;OICI;FA;;;BA)(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)"));
    h::Click(h::FindControl(other, IDCANCEL));
    WaitClosed(other);
}

TEST_F(AdvancedTest, AFileHasSixColumnsNoReplaceBoxAndNoScopes) {
    HWND window = Open(L"C:\\Data\\notes.txt");
    EXPECT_EQ(h::ListViewColumnCount(list), 6);
    EXPECT_FALSE(h::IsVisible(h::FindControl(window, IDC_ADV_REPLACE_CHILDREN)));
    Toggle(0);
    EXPECT_EQ(h::ListViewRowCount(list), 2 + 13);
    h::SelectListViewRows(list, {0});
    auto popup = OpenContextMenu();
    ASSERT_TRUE(popup.has_value());
    bool scopeGreyed = false;
    for (int i = 0; i < GetMenuItemCount(popup->menu); ++i) {
        if (GetSubMenu(popup->menu, i) != nullptr &&
            GetMenuItemID(GetSubMenu(popup->menu, i), 0) == ID_SCOPE_THIS_FOLDER_ONLY)
            scopeGreyed =
                (GetMenuState(popup->menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0;
    }
    EXPECT_TRUE(scopeGreyed);
    h::DismissPopupMenu(*popup);
    AddEntry(window, ID_TRUSTEE_EVERYONE);
    Apply(window);
    EXPECT_NE(Dacl(L"C:\\Data\\notes.txt").find(L"(A;OICI;FA;;;WD)"), std::wstring::npos);
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);
}

TEST_F(AdvancedTest, ReadOnlyViewOfABackedUpDescriptor) {
    const Bytes backup = *machine.GetFileSecurity(L"C:\\Data\\Projects", secinfo::kDacl);
    machine.SetSecurity(L"C:\\Data\\Projects", L"O:BAD:P(A;;FA;;;BA)");
    HWND window = Open(L"C:\\Data\\Projects", &backup, true);
    for (int id : {IDC_ADV_ADD, IDC_ADV_REMOVE, IDC_ADV_RELOAD, IDC_ADV_INHERIT,
                   IDC_ADV_REPLACE_CHILDREN, IDC_ADV_CHANGE_OWNER, IDOK, IDC_ADV_APPLY})
        EXPECT_FALSE(h::IsVisible(h::FindControl(window, id))) << id;
    EXPECT_EQ(h::ListViewRowCount(list), 3);  // the backup's entries, not the object's
    EXPECT_EQ(h::ListViewText(list, 1, 5), L"Parent Object");
    Toggle(0);
    ClickCell(window, 1, 3);
    EXPECT_EQ(h::ListViewText(list, 1, 3), L"*");  // clicks change nothing
    h::SelectListViewRows(list, {0});
    auto popup = OpenContextMenu();
    ASSERT_TRUE(popup.has_value());
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(popup->menu); ++i)
        ids.push_back(GetMenuItemID(popup->menu, i));
    EXPECT_EQ(ids, (std::vector<UINT>{ID_ACE_EXPAND_COLLAPSE, ID_ACE_COPY, 0, ID_SD_EXPORT}));
    h::DismissPopupMenu(*popup);
    h::SaveScreenshot(window, L"advanced-read-only");
    EXPECT_EQ(Dacl(L"C:\\Data\\Projects"), L"D:P(A;;FA;;;BA)");
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);
}

TEST_F(AdvancedTest, AnEmptyDaclIsAppliedAndShownAsOne) {
    HWND window = Open(L"C:\\Data\\Projects");
    Command(window, ID_ACE_CREATE_EMPTY_DACL);
    EXPECT_EQ(h::ListViewRowCount(list), 0);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_ADV_INHERIT), BST_UNCHECKED);
    Apply(window);
    EXPECT_EQ(Dacl(L"C:\\Data\\Projects"), L"D:PAI");
    runner.Run([&] { EXPECT_EQ(current->List().EmptyText(), L"" STR_EMPTY_DACL_TEXT); });
    h::SaveScreenshot(window, L"advanced-empty-dacl");
    h::Click(h::FindControl(window, IDCANCEL));
    WaitClosed(window);
}

}  // namespace
}  // namespace vm
