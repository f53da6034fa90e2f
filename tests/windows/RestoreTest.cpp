// The Restore window over a simulated machine, through the real dialog: a
// backup of a folder, a file and a drive root restored byte for byte, a row
// whose path is gone and a refused write, reset mode with one box ticked,
// two windows at once, closing one in the middle of a run, the row commands
// and the files a reader must refuse, a copied row pasted in the main window,
// the read-only Advanced window on a row, and the pictures of all of it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "app/AppContext.win32.h"
#include "app/KRVDlg.win32.h"
#include "backup/BackupFile.h"
#include "backup/RestoreDlg.win32.h"
#include "files/FileIo.h"
#include "framework/GdiPlus.h"
#include "harness/Harness.h"
#include "platform/sim/SimPlatform.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/Sddl.h"
#include "security/SecurityDescriptor.h"

#include <dlgs.h>  // the open dialog's controls, after <windows.h>

namespace h = vm::harness;

namespace vm {
namespace {

using sim::Call;

// A Win32 event the simulated machine's call hook waits on, so that a test
// can hold the restore worker inside a platform call.
class Gate {
  public:
    Gate() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() { CloseHandle(event_); }
    void Open() { SetEvent(event_); }
    void Wait() { WaitForSingleObject(event_, 20000); }

  private:
    HANDLE event_;
};

std::wstring TempFile(const std::wstring& name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"velmora-restore-" + std::to_wstring(GetCurrentProcessId()) +
           L"-" + name;
}

class RestoreTest : public testing::Test {
  protected:
    RestoreTest() : state(machine, reporter), context(state) {}

    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'D', L"NTFS");
        machine.AddVolume(L'E', L"FAT32");
        machine.SetWindowsDirectory(L"C:\\Windows");
        bob = machine.AddLocalUser(L"Bob").ToString();
        machine.AddFolder(L"C:\\Data", L"O:" + bob + L"D:P(A;OICI;FA;;;" + bob + L")(A;;FR;;;WD)");
        machine.AddFile(L"C:\\Data\\a.txt", L"O:SYD:P(D;;0x116;;;BU)(A;;FA;;;SY)(A;;FA;;;BA)");
        machine.SetSecurity(L"D:\\", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.AddFile(L"C:\\Data\\gone.txt", L"O:BAD:(A;;FA;;;BA)");
        machine.AddFile(L"C:\\Data\\locked.txt", L"O:BAD:P(A;;FA;;;BA)");
        state.OsVersion = 6.1f;
        ReadPlatformState(state);
        state.user = {L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
        state.defaultDescriptors = DefaultDescriptors::FromTables();
        ui = std::make_unique<h::UiThread>([this] {
            InitShellState(context.shell, state.OsVersion);
            BuildExtensionIconCache(context.shell.iconCache);
            LoadStatusPictures(context.shell.pictures);
            runner.Create();
        });
        ASSERT_TRUE(h::WaitFor([&] { return runner.Created(); }));
    }

    void TearDown() override {
        runner.Run([] { CloseRestoreWindows(); });
        ui.reset();
        mainDialog.reset();
        for (const std::wstring& file : files)
            DeleteFileW(file.c_str());
    }

    std::wstring Backup(const std::wstring& name, const std::vector<std::wstring>& paths) {
        files.push_back(TempFile(name));
        EXPECT_TRUE(WriteBackupFile(machine, files.back(), paths, L"2026-12-08 16:30:00").ok());
        return files.back();
    }

    // Opens a window as the main window's commands do; its handle.
    HWND Open(RestoreMode mode, const std::wstring& file, CRestoreDlg** dialog = nullptr) {
        CRestoreDlg* opened = nullptr;
        runner.Run([&] {
            opened = OpenRestoreWindow(context, nullptr, mode, file,
                                       [this](const std::wstring& text) { shownSource = text; });
            if (opened)
                opened->SetRowViewer([this](const ItemRecord& record) { viewed = record.path; });
        });
        EXPECT_NE(opened, nullptr);
        if (dialog)
            *dialog = opened;
        return opened ? opened->hwnd() : nullptr;
    }

    // The main window, then a Restore window opened by its command 32822
    // with the file typed into the open dialog, as a user does: the
    // Restore window's handle. Its rows are shown by the real Advanced
    // window and its copies name their item on the main window's indicator.
    HWND OpenThroughMainWindow(const std::wstring& file) {
        runner.Run([this] {
            mainDialog = std::make_unique<CKRVDlg>(context);
            mainDialog->CreateModeless(nullptr);
        });
        mainWindow = ui->WaitForWindow(L"Velmora");
        EXPECT_NE(mainWindow, nullptr);
        PostMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(ID_BACKUP_RESTORE, 0), 0);
        HWND chooser = nullptr;
        EXPECT_TRUE(h::WaitFor([&] {
            for (HWND candidate : h::TopLevelWindowsOfThread(ui->id())) {
                if (candidate != mainWindow && IsWindowVisible(candidate) &&
                    h::ClassName(candidate) == L"#32770")
                    chooser = candidate;
            }
            return chooser != nullptr;
        }));
        if (!chooser)
            return nullptr;
        HWND name = h::FindControl(chooser, cmb13);
        if (!name)
            name = h::FindControl(chooser, edt1);
        EXPECT_NE(name, nullptr);
        h::Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        h::Click(h::FindControl(chooser, IDOK));
        return ui->WaitForWindow(L"" STR_RESTORE_CAPTION);
    }

    // Sends a list notification on the UI thread without waiting: the
    // window may open something modal.
    void StartListNotification(HWND window, UINT code, int row) {
        runner.Start([window, code, row] {
            NMITEMACTIVATE item{};
            item.hdr.hwndFrom = h::FindControl(window, IDC_RESTORE_LIST);
            item.hdr.idFrom = IDC_RESTORE_LIST;
            item.hdr.code = code;
            item.iItem = row;
            SendMessageW(window, WM_NOTIFY, IDC_RESTORE_LIST, reinterpret_cast<LPARAM>(&item));
        });
    }

    // Ctrl+C in the list, as the list reports it (LVN_KEYDOWN, Ctrl down).
    void PressCtrlC(HWND window) {
        runner.Run([window] {
            BYTE keys[256] = {};
            GetKeyboardState(keys);
            const BYTE control = keys[VK_CONTROL];
            keys[VK_CONTROL] = 0x80;
            SetKeyboardState(keys);
            NMLVKEYDOWN key{};
            key.hdr.hwndFrom = h::FindControl(window, IDC_RESTORE_LIST);
            key.hdr.idFrom = IDC_RESTORE_LIST;
            key.hdr.code = LVN_KEYDOWN;
            key.wVKey = 'C';
            SendMessageW(window, WM_NOTIFY, IDC_RESTORE_LIST, reinterpret_cast<LPARAM>(&key));
            keys[VK_CONTROL] = control;
            SetKeyboardState(keys);
        });
    }

    uint64_t SecurityWrites() const {
        return machine.CallCount(Call::kSetFileSecurity) +
               machine.CallCount(Call::kSetNamedSecurityInfo) +
               machine.CallCount(Call::kTreeResetNamedSecurityInfo);
    }

    void RunAndWait(HWND window) {
        h::Click(h::FindControl(window, IDC_RESTORE_RUN));
        EXPECT_TRUE(
            h::WaitFor([&] { return h::IsEnabled(h::FindControl(window, IDC_RESTORE_RUN)); }));
        EXPECT_TRUE(
            h::WaitFor([&] { return h::IsVisible(h::FindControl(window, IDC_RESTORE_LIST)); }));
    }

    std::wstring StatusOf(HWND window, const std::wstring& path) {
        HWND list = h::FindControl(window, IDC_RESTORE_LIST);
        for (int row = 0; row < h::ListViewRowCount(list); ++row) {
            if (h::ListViewText(list, row, 1) == path)
                return h::ListViewText(list, row, 2);
        }
        return L"(no row)";
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    GdiplusSession gdiplus;  // outlives the pictures of the context
    AppState state;
    AppContext context;
    std::unique_ptr<CKRVDlg> mainDialog;  // outlives the UI thread's windows
    std::unique_ptr<h::UiThread> ui;
    h::UiRunner runner;
    HWND mainWindow = nullptr;
    std::wstring bob;
    std::vector<std::wstring> files;
    std::wstring shownSource;
    std::wstring viewed;
};

TEST_F(RestoreTest, BackupRestoredByteForByteWithMissingAndRefusedRowsTold) {
    const std::vector<std::wstring> paths{L"C:\\Data", L"C:\\Data\\a.txt", L"D:\\",
                                          L"C:\\Data\\gone.txt", L"C:\\Data\\locked.txt"};
    std::vector<std::wstring> before;
    for (const std::wstring& path : paths)
        before.push_back(machine.SddlOf(path));
    const std::wstring file = Backup(L"round.SBAK", paths);

    for (const wchar_t* path : {L"C:\\Data", L"C:\\Data\\a.txt", L"D:\\"})
        machine.SetSecurity(path, L"O:SYD:(A;OICI;FA;;;WD)");
    machine.Remove(L"C:\\Data\\gone.txt");
    machine.SetSecurity(L"C:\\Data\\locked.txt", L"O:BAD:P(A;;FR;;;BU)");
    const std::wstring lockedBefore = machine.SddlOf(L"C:\\Data\\locked.txt");
    // The second write of its DACL (after the NULL DACL) is refused.
    int writes = 0;
    machine.SetCallHook([this, &writes](Call call, const std::wstring& path) {
        if (call == Call::kSetFileSecurity && path == L"C:\\Data\\locked.txt" && ++writes == 2)
            machine.FailNthCall(Call::kSetFileSecurity, 1, 5);  // ERROR_ACCESS_DENIED
    });

    HWND window = Open(RestoreMode::kFile, file);
    HWND list = h::FindControl(window, IDC_RESTORE_LIST);
    EXPECT_EQ(h::WindowText(window), L"Restore");
    EXPECT_EQ(h::ListViewColumnTitles(list),
              (std::vector<std::wstring>{L"Name", L"Full path", L"Status",
                                         L"Access rights of current user", L"Owner"}));
    ASSERT_EQ(h::ListViewRowCount(list), 5) << testing::PrintToString(h::ListViewRows(list));
    EXPECT_EQ(h::ListViewRow(list, 0)[0], L"Data");
    EXPECT_EQ(h::ListViewRow(list, 0)[4], L"Bob");
    EXPECT_EQ(h::ListViewRow(list, 2)[0], L"D:\\");
    EXPECT_FALSE(h::IsVisible(h::FindControl(window, IDC_RESTORE_PROGRESS)));
    h::SaveScreenshot(window, L"restore-file-mode");

    RunAndWait(window);
    machine.SetCallHook(nullptr);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(machine.SddlOf(paths[i]), before[i]) << paths[i];
        EXPECT_EQ(StatusOf(window, paths[i]), L"Succeed");
    }
    EXPECT_EQ(StatusOf(window, L"C:\\Data\\gone.txt"), L"File not found");
    EXPECT_EQ(StatusOf(window, L"C:\\Data\\locked.txt"), L"Failed");
    // The refused row keeps its previous DACL, never the NULL one between.
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\locked.txt"),
              lockedBefore.substr(lockedBefore.find(L"D:")));
}

TEST_F(RestoreTest, ResetModeListsRootsAndSystemFoldersAndWritesOnlyTheTickedRow) {
    const std::wstring fatBefore = machine.SddlOf(L"E:\\");
    const std::wstring cBefore = machine.SddlOf(L"C:\\");
    machine.SetSecurity(L"D:\\", L"O:BAD:(A;OICI;FA;;;WD)");
    CRestoreDlg* dialog = nullptr;
    HWND window = Open(RestoreMode::kReset, L"", &dialog);
    HWND list = h::FindControl(window, IDC_RESTORE_LIST);
    EXPECT_FALSE(h::IsVisible(h::FindControl(window, IDC_RESTORE_OPEN)));
    EXPECT_EQ(h::ListViewColumnTitle(list, 2), L"File system");
    std::vector<std::vector<std::wstring>> rows = h::ListViewRows(list);
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0][0], L"Root directory(SYSTEM)");
    EXPECT_EQ(rows[1][1], L"D:\\");
    EXPECT_EQ(rows[2][2], L"FAT32");
    EXPECT_EQ(rows[3][1], L"C:\\Windows");
    EXPECT_EQ(rows[3][0], L"System Folder");

    // D:\ and the FAT volume ticked: only D:\ has a default to write.
    runner.Run([&] {
        dialog->List().SetChecked(1, true);
        dialog->List().SetChecked(2, true);
    });
    h::SaveScreenshot(window, L"restore-reset-mode");
    RunAndWait(window);
    EXPECT_EQ(machine.DaclSddlOf(L"D:\\"),
              DescriptorToSddl(*SecurityDescriptor::Parse(*state.defaultDescriptors.driveRoot)));
    EXPECT_EQ(machine.SddlOf(L"E:\\"), fatBefore);
    EXPECT_EQ(machine.SddlOf(L"C:\\"), cBefore);
    EXPECT_EQ(h::ListViewText(list, 1, 2), L"NTFS");  // no per-row result in reset mode
}

TEST_F(RestoreTest, ClosingOneOfTwoWindowsDuringItsRunStopsAtARowBoundary) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < 6; ++i) {
        paths.push_back(L"C:\\Data\\f" + std::to_wstring(i) + L".txt");
        machine.AddFile(paths.back(), L"O:BAD:P(A;;FA;;;BA)");
    }
    const std::wstring file = Backup(L"six.SBAK", paths);
    for (const std::wstring& path : paths)
        machine.SetSecurity(path, L"O:SYD:P(A;;FA;;;WD)");

    HWND first = Open(RestoreMode::kFile, file);
    HWND second = Open(RestoreMode::kFile, file);
    ASSERT_NE(first, second);
    EXPECT_EQ(OpenRestoreWindows().size(), 2u);

    // Hold the worker inside the second row's stored-descriptor write.
    Gate entered;
    Gate release;
    machine.SetCallHook([&](Call call, const std::wstring& path) {
        if (call == Call::kSetFileSecurity && path == paths[1]) {
            entered.Open();
            release.Wait();
        }
    });
    h::Click(h::FindControl(first, IDC_RESTORE_RUN));
    entered.Wait();
    EXPECT_TRUE(h::IsVisible(h::FindControl(first, IDC_RESTORE_PROGRESS)));
    EXPECT_FALSE(h::IsEnabled(h::FindControl(first, IDC_RESTORE_RUN)));
    h::SaveScreenshot(first, L"restore-running");
    // The close waits for the row in progress; let it finish a moment later.
    std::thread opener([&] {
        Sleep(300);
        release.Open();
    });
    h::Close(first);
    opener.join();
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(first); }));
    machine.SetCallHook(nullptr);
    EXPECT_EQ(machine.SddlOf(paths[0]), L"O:BAD:P(A;;FA;;;BA)");
    EXPECT_EQ(machine.SddlOf(paths[1]), L"O:BAD:P(A;;FA;;;BA)");  // the row in progress ends whole
    EXPECT_EQ(machine.SddlOf(paths[2]), L"O:SYD:P(A;;FA;;;WD)");  // no row after it
    EXPECT_EQ(OpenRestoreWindows().size(), 1u);

    // The other window is untouched and still works.
    RunAndWait(second);
    EXPECT_EQ(machine.SddlOf(paths[5]), L"O:BAD:P(A;;FA;;;BA)");
}

TEST_F(RestoreTest, RowCommandsNeedExactlyOneRowAndCopyFillsTheCopyBuffer) {
    const std::wstring file = Backup(L"copy.SBAK", {L"C:\\Data", L"C:\\Data\\a.txt"});
    CRestoreDlg* dialog = nullptr;
    HWND window = Open(RestoreMode::kFile, file, &dialog);
    HWND list = h::FindControl(window, IDC_RESTORE_LIST);

    h::SelectListViewRows(list, {0, 1});
    ASSERT_EQ(h::ListViewSelectedRows(list), (std::vector<int>{0, 1}));
    runner.Run([&] { ASSERT_EQ(dialog->List().SelectedRecords().size(), 2u); });
    h::Send(window, WM_COMMAND, ID_RESTORE_COPY_SECURITY);
    h::Send(window, WM_COMMAND, ID_RESTORE_ADVANCED);
    EXPECT_FALSE(state.copyBuffer.CopiedDescriptor.has_value());
    EXPECT_TRUE(shownSource.empty());

    h::SelectListViewRows(list, {1});
    h::Send(window, WM_COMMAND, ID_RESTORE_COPY_SECURITY);
    ASSERT_TRUE(state.copyBuffer.CopiedDescriptor.has_value());
    EXPECT_EQ(*state.copyBuffer.CopiedDescriptor,
              CollectBackupItems(machine, {L"C:\\Data\\a.txt"})[0].descriptor);
    EXPECT_EQ(state.copyBuffer.CopiedOwnerName, L"SYSTEM");
    EXPECT_EQ(shownSource, L"C:\\Data\\a.txt (Backup)");

    // Ctrl+C in the list copies the selected row as 32823 does.
    state.copyBuffer = {};
    h::SelectListViewRows(list, {0});
    PressCtrlC(window);
    EXPECT_EQ(state.copyBuffer.CopiedOwnerName, L"Bob");
    EXPECT_EQ(shownSource, L"C:\\Data (Backup)");

    // A double click selects its row first, then the window shows the
    // selected row.
    h::SelectListViewRows(list, {1});
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = IDC_RESTORE_LIST;
    click.hdr.code = NM_DBLCLK;
    click.iItem = 1;
    h::Send(window, WM_NOTIFY, IDC_RESTORE_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(viewed, L"C:\\Data\\a.txt");
}

TEST_F(RestoreTest, RowCopiedWithCtrlCPastesItsStoredSecurityInTheMainWindow) {
    const std::wstring storedDacl = machine.DaclSddlOf(L"C:\\Data");
    const std::wstring file = Backup(L"paste.SBAK", {L"C:\\Data", L"C:\\Data\\a.txt"});
    // What the folder holds now is not what the backup holds.
    machine.SetSecurity(L"C:\\Data", L"O:SYD:(A;OICI;FA;;;WD)");
    HWND window = OpenThroughMainWindow(file);
    ASSERT_NE(window, nullptr);
    HWND list = h::FindControl(window, IDC_RESTORE_LIST);
    HWND indicator = h::FindControl(mainWindow, IDC_MAIN_CLIPBOARD);
    EXPECT_FALSE(h::IsEnabled(indicator));

    h::SelectListViewRows(list, {0});
    PressCtrlC(window);
    EXPECT_EQ(h::WindowText(indicator), L"C:\\Data (Backup)");
    EXPECT_TRUE(h::IsEnabled(indicator));

    runner.Run([&] { mainDialog->NavigateTo(L"C:\\Data"); });
    HWND browse = h::FindControl(mainWindow, IDC_MAIN_BROWSE_LIST);
    int target = -1;
    for (int row = 0; row < h::ListViewRowCount(browse); ++row) {
        if (h::ListViewText(browse, row, 0) == L"a.txt")
            target = row;
    }
    ASSERT_GE(target, 0);
    h::SelectListViewRows(browse, {target});
    h::SendMenuCommand(mainWindow, ID_ITEM_PASTE_SECURITY);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\a.txt"), storedDacl);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\a.txt"), L"Bob");
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), L"O:SYD:(A;OICI;FA;;;WD)");  // the source untouched
    EXPECT_EQ(h::WindowText(indicator), L"C:\\Data (Backup)");
}

TEST_F(RestoreTest, DoubleClickAndPopupCommandShowARowInTheReadOnlyAdvancedWindow) {
    const std::wstring file = Backup(L"view.SBAK", {L"C:\\Data", L"C:\\Data\\a.txt"});
    machine.SetSecurity(L"C:\\Data", L"O:SYD:P(A;;FA;;;BA)");
    machine.SetSecurity(L"C:\\Data\\a.txt", L"O:SYD:P(A;;FA;;;BA)");
    const std::wstring folderNow = machine.SddlOf(L"C:\\Data");
    const std::wstring fileNow = machine.SddlOf(L"C:\\Data\\a.txt");
    HWND window = OpenThroughMainWindow(file);
    ASSERT_NE(window, nullptr);
    HWND list = h::FindControl(window, IDC_RESTORE_LIST);
    const uint64_t writesBefore = SecurityWrites();

    // The stored entries of the row, not what the object holds now; OK and
    // Apply (even sent as the keys would) write nothing and keep it open.
    const auto checkViewer = [&](const std::wstring& path, const std::vector<std::wstring>& names) {
        HWND advanced = ui->WaitForWindow(L"" STR_ADVANCED_CAPTION);
        ASSERT_NE(advanced, nullptr);
        EXPECT_EQ(h::WindowText(h::FindControl(advanced, IDC_ADV_OBJECT_NAME)), path);
        HWND entries = h::FindControl(advanced, IDC_ADV_ACE_LIST);
        std::vector<std::wstring> shown;
        for (int row = 0; row < h::ListViewRowCount(entries); ++row) {
            if (!h::ListViewText(entries, row, 0).empty())
                shown.push_back(h::ListViewText(entries, row, 2));
        }
        EXPECT_EQ(shown, names);
        for (int id : {IDOK, IDC_ADV_APPLY})
            EXPECT_FALSE(h::IsVisible(h::FindControl(advanced, id))) << id;
        h::Send(advanced, WM_COMMAND, MAKEWPARAM(IDC_ADV_APPLY, BN_CLICKED));
        h::Send(advanced, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
        h::Pump(h::milliseconds(200));
        EXPECT_TRUE(IsWindow(advanced));
        EXPECT_EQ(SecurityWrites(), writesBefore);
        h::Send(advanced, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(advanced); }));
    };

    h::SelectListViewRows(list, {0});
    StartListNotification(window, NM_DBLCLK, 0);
    checkViewer(L"C:\\Data", {L"Bob", L"Everyone"});

    // The popup: both row commands greyed for two rows, enabled for one.
    h::SelectListViewRows(list, {0, 1});
    StartListNotification(window, NM_RCLICK, 1);
    auto popup = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(popup.has_value());
    EXPECT_FALSE(h::IsMenuCommandEnabled(popup->menu, ID_RESTORE_COPY_SECURITY));
    EXPECT_FALSE(h::IsMenuCommandEnabled(popup->menu, ID_RESTORE_ADVANCED));
    h::DismissPopupMenu(*popup);
    EXPECT_TRUE(h::WaitFor([&] { return !h::WaitForPopupMenu(ui->id(), h::milliseconds(0)); }));

    h::SelectListViewRows(list, {1});
    StartListNotification(window, NM_RCLICK, 1);
    popup = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(popup.has_value());
    EXPECT_TRUE(h::IsMenuCommandEnabled(popup->menu, ID_RESTORE_COPY_SECURITY));
    EXPECT_TRUE(h::ChoosePopupMenuCommand(*popup, ID_RESTORE_ADVANCED));
    checkViewer(L"C:\\Data\\a.txt", {L"Users", L"SYSTEM", L"Administrators"});

    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), folderNow);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), fileNow);
    EXPECT_FALSE(state.copyBuffer.CopiedDescriptor.has_value());
}

TEST_F(RestoreTest, ForeignAndDamagedFilesSayWhatTheyAreAndNeverCrash) {
    const std::wstring whole = Backup(L"whole.SBAK", {L"C:\\Data", L"C:\\Data\\a.txt"});
    Bytes bytes = *ReadWholeFile(whole);

    files.push_back(TempFile(L"cut.SBAK"));
    ASSERT_TRUE(WriteFileReplacing(files.back(), std::span(bytes).first(bytes.size() - 5)).ok());
    HWND damaged = Open(RestoreMode::kFile, files.back());
    EXPECT_EQ(h::ListViewRowCount(h::FindControl(damaged, IDC_RESTORE_LIST)), 1);
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_NE(reporter.texts()[0].find(L"damaged"), std::wstring::npos);

    reporter.Clear();
    Bytes foreign = bytes;
    foreign[0] = 'z';
    files.push_back(TempFile(L"foreign.SBAK"));
    ASSERT_TRUE(WriteFileReplacing(files.back(), foreign).ok());
    HWND unknown = Open(RestoreMode::kFile, files.back());
    EXPECT_EQ(h::ListViewRowCount(h::FindControl(unknown, IDC_RESTORE_LIST)), 0);
    EXPECT_EQ(reporter.texts(), std::vector<std::wstring>{kUnknownFileFormat});

    // "Open Backup file..." in the same window loads a good file.
    CRestoreDlg* dialog = nullptr;
    HWND again = Open(RestoreMode::kFile, files.back(), &dialog);
    runner.Run([&] { dialog->SetFileChooser([&] { return std::optional(whole); }); });
    h::Click(h::FindControl(again, IDC_RESTORE_OPEN));
    EXPECT_EQ(h::ListViewRowCount(h::FindControl(again, IDC_RESTORE_LIST)), 2);
    runner.Run([&] { EXPECT_EQ(dialog->Heading(), whole); });
}

}  // namespace
}  // namespace vm
