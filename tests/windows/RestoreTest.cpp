// The Restore window over a simulated machine, through the real dialog: a
// backup of a folder, a file and a drive root restored byte for byte, a row
// whose path is gone and a refused write, reset mode with one box ticked,
// two windows at once, closing one in the middle of a run, the row commands
// and the files a reader must refuse, and the pictures of all of it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "app/AppContext.win32.h"
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
    std::unique_ptr<h::UiThread> ui;
    h::UiRunner runner;
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
    runner.Run([&] {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE control = keys[VK_CONTROL];
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        NMLVKEYDOWN key{};
        key.hdr.hwndFrom = list;
        key.hdr.idFrom = IDC_RESTORE_LIST;
        key.hdr.code = LVN_KEYDOWN;
        key.wVKey = 'C';
        SendMessageW(window, WM_NOTIFY, IDC_RESTORE_LIST, reinterpret_cast<LPARAM>(&key));
        keys[VK_CONTROL] = control;
        SetKeyboardState(keys);
    });
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
