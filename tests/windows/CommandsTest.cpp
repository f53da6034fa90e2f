// The main window's item commands over the simulated machine: copy, paste
// and the security clipboard's indicator, the "Clear Access Control List"
// question, "Inheritance Permissions" with its wait window, "Replace all
// child object permissions", adding through the file-and-folder dialog, and
// Properties.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <fstream>

#include "MenuWindowsFixture.h"

#include <commctrl.h>
#include "app/PopupMenu.win32.h"
#include "platform/Utf16.h"
#include "resources/strings.h"

namespace vm::test {
namespace {

// A door a worker waits at until the test opens it.
class Gate {
  public:
    void Wait() {
        std::unique_lock lock(mutex_);
        reached_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
    }
    bool Reached() {
        std::lock_guard lock(mutex_);
        return reached_;
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool reached_ = false;
    bool open_ = false;
};

class CommandsTest : public MenuWindowsTest {
  protected:
    void PrepareContext() override {
        for (const wchar_t* file : {L"a.txt", L"b.txt", L"c.txt"})
            machine.AddFile(std::wstring(L"C:\\Data\\") + file, L"O:BUD:PAI(A;;FA;;;WD)");
    }

    int RowOf(HWND list, const std::wstring& name) {
        for (int row = 0; row < h::ListViewRowCount(list); ++row) {
            if (h::ListViewText(list, row, 0) == name)
                return row;
        }
        return -1;
    }
    void Select(HWND list, std::initializer_list<const wchar_t*> names) {
        std::vector<int> rows;
        for (const wchar_t* name : names)
            rows.push_back(RowOf(list, name));
        h::SelectListViewRows(list, rows);
    }

    // The item context menu as it opens now.
    bool PasteEnabledInItemMenu() {
        runner.Start([this] {
            PopupMenu(context, PopupSubMenu::kItem, window, TPM_LEFTALIGN | TPM_TOPALIGN, true);
        });
        auto popup = h::WaitForPopupMenu(ui->id());
        EXPECT_TRUE(popup.has_value());
        if (!popup)
            return false;
        const bool enabled = h::IsMenuCommandEnabled(popup->menu, ID_ITEM_PASTE_SECURITY);
        h::DismissPopupMenu(*popup);
        return enabled;
    }

    // A message box of the UI thread with this caption, answered.
    void Answer(const std::wstring& caption, int button, const std::wstring& picture = L"") {
        HWND box = WaitForOtherWindow(caption);
        ASSERT_NE(box, nullptr) << ToUtf8(caption);
        if (!picture.empty())
            h::SaveScreenshot(box, picture);
        h::Click(h::FindControl(box, button));
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(box); }));
    }

    HWND Indicator() const { return h::FindControl(window, IDC_MAIN_CLIPBOARD); }
};

TEST_F(CommandsTest, CopyFromAFolderPastesOntoThreeFilesAndTheIndicatorNamesIt) {
    machine.SetSecurity(L"C:\\Data", L"O:" + machine.SidOf(L"Bob").ToString() +
                                         L"D:PAI(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)");
    EXPECT_FALSE(h::IsEnabled(Indicator()));
    Browse(L"C:\\");
    Select(browse, {L"Data"});
    h::SendMenuCommand(window, ID_ITEM_COPY_SECURITY);
    EXPECT_EQ(h::WindowText(Indicator()), L"C:\\Data");
    EXPECT_TRUE(h::IsEnabled(Indicator()));
    h::SaveScreenshot(window, L"clipboard-indicator");

    Browse(L"C:\\Data");
    Select(browse, {L"a.txt", L"b.txt", L"c.txt"});
    EXPECT_TRUE(PasteEnabledInItemMenu());
    h::SendMenuCommand(window, ID_ITEM_PASTE_SECURITY);
    for (const wchar_t* file : {L"a.txt", L"b.txt", L"c.txt"}) {
        const std::wstring path = std::wstring(L"C:\\Data\\") + file;
        EXPECT_EQ(machine.DaclSddlOf(path), machine.DaclSddlOf(L"C:\\Data")) << ToUtf8(path);
        EXPECT_EQ(machine.OwnerNameOf(path), L"Bob");
    }
    EXPECT_EQ(h::WindowText(Indicator()), L"C:\\Data");

    // A click names the source once a double click is no longer possible.
    h::Click(Indicator());
    EXPECT_TRUE(h::WaitFor([&] { return reporter.recorded.texts().size() == 1; }));
    EXPECT_EQ(reporter.recorded.texts(), std::vector<std::wstring>{L"C:\\Data"});
    EXPECT_EQ(reporter.recorded.messages()[0].icon, MessageIcon::kInformation);

    // A double click (down, up, double click, up) discards the copied DACL
    // and tells nothing.
    const LPARAM point = MAKELPARAM(5, 5);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(Indicator(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    EXPECT_TRUE(h::WaitFor([&] { return !h::IsEnabled(Indicator()); }));
    EXPECT_EQ(h::WindowText(Indicator()), L"");
    h::Pump(h::milliseconds(GetDoubleClickTime() + 200));
    EXPECT_EQ(reporter.recorded.texts().size(), 1u);
    EXPECT_FALSE(PasteEnabledInItemMenu());
    EXPECT_FALSE(state.copyBuffer.CopiedDescriptor.has_value());
    EXPECT_EQ(state.copyBuffer.CopiedOwnerName, L"Bob");
}

TEST_F(CommandsTest, NullDaclAnsweredNoChangesNothingAndYesLeavesItOpenToAll) {
    const std::wstring before = machine.SddlOf(L"C:\\Data\\a.txt");
    Browse(L"C:\\Data");
    Select(browse, {L"a.txt", L"c.txt"});
    PostCommand(ID_ITEM_NULL_DACL);
    Answer(L"Clear Access Control List", IDNO, L"null-dacl-question");
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), before);

    PostCommand(ID_ITEM_NULL_DACL);
    Answer(L"Clear Access Control List", IDYES);
    EXPECT_TRUE(h::WaitFor([&] { return !machine.DaclOf(L"C:\\Data\\c.txt").acl.has_value(); }));
    for (const wchar_t* path : {L"C:\\Data\\a.txt", L"C:\\Data\\c.txt"}) {
        EXPECT_FALSE(machine.DaclOf(path).acl.has_value()) << ToUtf8(path);
        EXPECT_EQ(machine.OwnerNameOf(path), L"Administrators");
    }
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\b.txt"), before);
    // The rows show the new owner.
    EXPECT_TRUE(h::WaitFor(
        [&] { return h::ListViewText(browse, RowOf(browse, L"a.txt"), 4) == L"Administrators"; }));
}

TEST_F(CommandsTest, InheritancePassesOverADriveRootAndResetsTheRest) {
    const std::wstring rootBefore = machine.SddlOf(L"C:\\");
    runner.Run([&] {
        for (const wchar_t* path : {L"C:\\", L"C:\\Data\\a.txt", L"C:\\Data\\b.txt"})
            dialog->EditList().AppendRow(path);
        dialog->SetViewMode(ViewMode::kEdit);
    });
    h::SelectListViewRows(edit, {0, 1, 2});
    h::SendMenuCommand(window, ID_ITEM_INHERITANCE);  // returns once the wait window closed
    EXPECT_EQ(machine.SddlOf(L"C:\\"), rootBefore);
    for (const wchar_t* path : {L"C:\\Data\\a.txt", L"C:\\Data\\b.txt"}) {
        EXPECT_EQ(machine.OwnerNameOf(path), L"Administrators");
        EXPECT_EQ(machine.DaclSddlOf(path), machine.DaclSddlOf(L"C:\\Data\\notes.txt"))
            << ToUtf8(path);
    }
    EXPECT_TRUE(reporter.recorded.messages().empty());
}

// The user closes the wait window while the worker is inside the first item:
// that item is finished, the others are left as they were.
TEST_F(CommandsTest, ClosingTheWaitWindowEarlyStopsAfterTheItemInHand) {
    const std::wstring before = machine.SddlOf(L"C:\\Data\\b.txt");
    Browse(L"C:\\Data");
    Select(browse, {L"a.txt", L"b.txt", L"c.txt"});
    Gate gate;
    // The worker's first write of a.txt waits (the rows' own reads go on).
    machine.SetCallHook([&](sim::Call call, const std::wstring& path) {
        const bool write =
            call == sim::Call::kSetNamedSecurityInfo || call == sim::Call::kSetFileSecurity;
        if (write && path == L"C:\\Data\\a.txt" && !gate.Reached())
            gate.Wait();
    });
    PostCommand(ID_ITEM_INHERITANCE);
    HWND wait = WaitForOtherWindow(L"Please Wait...");
    ASSERT_NE(wait, nullptr);
    ASSERT_TRUE(h::WaitFor([&] { return gate.Reached(); }));
    h::Close(wait);
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(wait); }));
    gate.Open();
    // The item in hand is finished; give the worker time to go wrong.
    EXPECT_TRUE(h::WaitFor([&] {
        return machine.OwnerNameOf(L"C:\\Data\\a.txt") == L"Administrators" &&
               machine.DaclSddlOf(L"C:\\Data\\a.txt") == machine.DaclSddlOf(L"C:\\Data\\notes.txt");
    }));
    h::Pump(h::milliseconds(500));
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\b.txt"), before);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\c.txt"), before);
    EXPECT_TRUE(h::IsEnabled(window));
    machine.SetCallHook(nullptr);
}

TEST_F(CommandsTest, ReplaceChildrenFromTheMainWindowCopiesTheFoldersList) {
    Browse(L"C:\\");
    Select(browse, {L"Data"});
    PostCommand(ID_ITEM_REPLACE_CHILDREN);
    HWND question = WaitForOtherWindow(L"" STR_REPLACE_CHILDREN_CAPTION);
    ASSERT_NE(question, nullptr);
    h::Click(h::FindControl(question, IDC_REPLACE_COPY_FROM_OBJECT));
    EXPECT_TRUE(h::WaitFor(
        [&] { return machine.DaclSddlOf(L"C:\\Data\\a.txt") == machine.DaclSddlOf(L"C:\\Data"); }));
    EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(window); }));
    for (const wchar_t* path : {L"C:\\Data\\b.txt", L"C:\\Data\\Music", L"C:\\Data\\notes.txt"})
        EXPECT_EQ(machine.DaclSddlOf(path), machine.DaclSddlOf(L"C:\\Data")) << ToUtf8(path);
}

// The "Please Wait..." window made on the window's thread, seen by a hook
// there (it may come and go between two looks of a test).
class WaitWindowWatch {
  public:
    explicit WaitWindowWatch(DWORD uiThread) {
        seen_ = false;
        hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, uiThread);
    }
    ~WaitWindowWatch() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
    }
    bool Seen() const { return seen_; }

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
            if (!IS_INTRESOURCE(create.lpszName) && create.lpszName != nullptr &&
                std::wstring(create.lpszName) == L"Please Wait...")
                seen_ = true;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline std::atomic<bool> seen_{false};
    HHOOK hook_ = nullptr;
};

// A real folder of count files (the dialog shows the disk), and the same
// folder on the simulated machine (the list reads it).
std::wstring MakeFolderOfFiles(sim::SimPlatform& machine, const std::wstring& parent,
                               const std::wstring& name, int count) {
    const std::wstring path = parent + L"\\" + name;
    std::filesystem::create_directories(std::filesystem::path(path));
    for (size_t end = path.find(L'\\', 3);; end = path.find(L'\\', end + 1)) {
        machine.AddFolder(path.substr(0, end));
        if (end == std::wstring::npos)
            break;
    }
    for (int i = 0; i < count; ++i) {
        const std::wstring file = path + L"\\file" + std::to_wstring(1000 + i) + L".txt";
        std::ofstream(std::filesystem::path(file)) << "x";
        machine.AddFile(file);
    }
    return path;
}

TEST_F(CommandsTest, AddingMoreThan300NamesShowsTheWaitWindowAnd300DoNot) {
    runner.Run([&] { dialog->SetViewMode(ViewMode::kEdit); });
    int expectedRows = 0;
    for (const int count : {300, 301}) {
        const std::wstring many =
            MakeFolderOfFiles(machine, folder, L"many" + std::to_wstring(count), count);
        runner.Run([&] { context.settings.openPath = many; });
        WaitWindowWatch watch(ui->id());
        PostCommand(IDC_MAIN_ADD);
        HWND picker = WaitForOtherWindow(L"Add Files or Folders");
        ASSERT_NE(picker, nullptr);
        HWND shown = nullptr;
        ASSERT_TRUE(h::WaitFor([&] {
            HWND view = h::FindControl(picker, 1121);
            shown = view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
            return shown != nullptr && h::ListViewRowCount(shown) == count;
        }));
        LVITEMW all{};
        all.stateMask = all.state = LVIS_SELECTED;
        SendMessageW(shown, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&all));
        PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDC_FILEDLG_ADD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(h::FindControl(picker, IDC_FILEDLG_ADD)));
        expectedRows += count;
        EXPECT_TRUE(h::WaitFor([&] { return h::ListViewRowCount(edit) == expectedRows; }))
            << count << " names";
        EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(window); }));
        EXPECT_EQ(watch.Seen(), count > 300) << count << " names";
        EXPECT_EQ(context.settings.openPath, many);
    }
    EXPECT_EQ(h::ListViewText(edit, 0, 0), L"file1000.txt");
}

// Keys as the user presses them: they reach the window's key handler
// through the keyboard, not as commands sent to it.
void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *--it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST_F(CommandsTest, CtrlCCopiesAndCtrlOAddsOnlyInEditMode) {
    Browse(L"C:\\Data");
    Select(browse, {L"Music"});
    SetForegroundWindow(window);
    ASSERT_TRUE(h::WaitFor([&] { return GetForegroundWindow() == window; }));
    runner.Run([&] { SetFocus(browse); });
    PressKeys({VK_CONTROL, 'C'});
    EXPECT_TRUE(h::WaitFor([&] { return h::WindowText(Indicator()) == L"C:\\Data\\Music"; }));

    PressKeys({VK_CONTROL, 'O'});  // Browse Mode: nothing
    h::Pump(h::milliseconds(300));
    EXPECT_TRUE(h::IsEnabled(window));

    runner.Run([&] { dialog->SetViewMode(ViewMode::kEdit); });
    runner.Run([&] { SetFocus(edit); });
    PressKeys({VK_CONTROL, 'O'});
    HWND picker = WaitForOtherWindow(L"Add Files or Folders");
    ASSERT_NE(picker, nullptr);
    PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(picker); }));
    EXPECT_EQ(h::ListViewRowCount(edit), 0);
}

TEST_F(CommandsTest, PropertiesOpenTheShellsSheet) {
    // Real files: the shell knows nothing of the simulated machine.
    const std::wstring file = folder + L"\\report.txt";
    std::ofstream(std::filesystem::path(file)) << "text";
    runner.Run([&] {
        dialog->EditList().AppendRow(file);
        dialog->SetViewMode(ViewMode::kEdit);
    });
    h::SelectListViewRows(edit, {0});
    const auto before = h::TopLevelWindowsOfProcess(GetCurrentProcessId());
    PostCommand(ID_ITEM_PROPERTIES);
    HWND sheet = nullptr;
    h::WaitFor(
        [&] {
            for (HWND candidate : h::TopLevelWindowsOfProcess(GetCurrentProcessId())) {
                if (IsWindowVisible(candidate) &&
                    std::find(before.begin(), before.end(), candidate) == before.end())
                    sheet = candidate;
            }
            return sheet != nullptr;
        },
        h::milliseconds(5000));
    // The main window goes on either way.
    EXPECT_TRUE(h::WaitFor([&] { return h::IsEnabled(window) || sheet != nullptr; }));
    if (!sheet) {
        // Wine's SHMultiFileProperties is a stub, and its context menu's
        // "properties" finds no pages for a plain file.
        GTEST_SKIP() << "this system's shell shows no property sheet for files";
    }
    h::Close(sheet);
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(sheet) || !IsWindowVisible(sheet); }));
}

}  // namespace
}  // namespace vm::test
