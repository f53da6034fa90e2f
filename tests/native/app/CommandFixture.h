// The command table over a simulated machine and a window that only records
// what it was asked to do.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Commands.h"
#include "platform/sim/SimPlatform.h"

namespace vm::test {

// Records each call as a short text; the dialogs answer as scripted.
class RecordingWindow final : public MainWindowActions {
  public:
    std::vector<std::wstring> calls;
    std::optional<QuickSetOptions> options;  // the Options dialog's answer
    uint32_t trusteeCommand = 0;             // the trustee menu's answer
    std::wstring pickedAccount;
    std::vector<std::wstring> listPaths;       // every row of the current list
    std::optional<std::wstring> bookmarkName;  // the Add bookmark dialog's answer
    bool warningAnswer = false;                // the answer to AskWarning
    std::optional<PickedItems> picked;         // the file-and-folder dialog's result
    std::optional<std::wstring> backupFile;    // the backup file dialogs' answer
    int stopAfterRefreshes = 0;                // closes the wait window early
    std::stop_source waitWindowStop;

    void SetViewMode(ViewMode mode) override {
        Record(mode == ViewMode::kEdit ? L"view edit" : L"view browse");
    }
    void Refresh() override { Record(L"refresh"); }
    void GoBack() override { Record(L"back"); }
    void NavigateToTypedPath() override { Record(L"navigate typed"); }
    void ShowMainMenu() override { Record(L"main menu"); }
    void CloseMainWindow() override { Record(L"close"); }
    void SelectAllRows() override { Record(L"select all"); }
    void RemoveSelectedRows() override { Record(L"remove"); }
    void AppendToEditList(const std::wstring& path) override { Record(L"append " + path); }
    void OpenSelectedRows() override { Record(L"open"); }
    std::unique_ptr<ListDrawingPause> PauseListDrawing() override {
        Record(L"pause");
        return std::make_unique<Resume>(*this);
    }
    void StoreRowAccess(int row, AccessLevel access) override {
        Record(L"access " + std::to_wstring(row) + L" " + AccessLevelText(access));
    }
    void RefreshRow(int row) override {
        Record(L"refresh row " + std::to_wstring(row));
        if (stopAfterRefreshes > 0 && --stopAfterRefreshes == 0)
            waitWindowStop.request_stop();
    }
    void ShowRowOwner(int row, const std::wstring& owner) override {
        Record(L"owner " + std::to_wstring(row) + L" " + owner);
    }
    std::optional<QuickSetOptions> AskQuickSetOptions(QuickKind kind, bool allFiles) override {
        Record(L"options " + std::to_wstring(static_cast<int>(kind)) +
               (allFiles ? L" files" : L""));
        return options;
    }
    uint32_t ChooseFromTrusteeMenu() override {
        Record(L"trustee menu");
        return trusteeCommand;
    }
    std::wstring PickAccount() override {
        Record(L"picker");
        return pickedAccount;
    }
    std::vector<std::wstring> CurrentListPaths() override {
        Record(L"list paths");
        return listPaths;
    }
    std::optional<std::wstring> AskBookmarkName(const std::wstring& prompt) override {
        Record(L"bookmark name " + prompt);
        return bookmarkName;
    }
    void BookmarksChanged() override { Record(L"bookmarks changed"); }
    void ShowBookmarkManager() override { Record(L"bookmark manager"); }
    void ShowInEditList(const std::vector<std::wstring>& paths) override {
        std::wstring call = L"edit list";
        for (const std::wstring& path : paths)
            call += L" " + path;
        Record(call);
    }
    void BrowseTo(const std::wstring& folder) override { Record(L"browse " + folder); }
    void RunAdvancedDialog(const std::wstring& path) override { Record(L"advanced " + path); }
    void ShowCopySource(const std::wstring& path) override { Record(L"copy source " + path); }
    bool AskWarning(const std::wstring& caption, const std::wstring& text) override {
        Record(L"ask " + caption + L": " + text);
        return warningAnswer;
    }
    // Runs the work here; stopAfterRefreshes > 0 closes the window early,
    // after that many rows were refreshed.
    void RunBehindWaitWindow(const std::function<void(std::stop_token)>& work) override {
        Record(L"wait window");
        waitWindowStop = std::stop_source();
        work(waitWindowStop.get_token());
        Record(L"wait window closed");
    }
    void ReplaceChildPermissions(const std::wstring& folder) override {
        Record(L"replace children " + folder);
    }
    std::optional<PickedItems> PickFilesAndFolders() override {
        Record(L"pick");
        return picked;
    }
    void AddToEditList(const std::vector<std::wstring>& paths) override {
        std::wstring call = L"add";
        for (const std::wstring& path : paths)
            call += L" " + path;
        Record(call);
    }
    void ShowShellProperties(const std::vector<std::wstring>& paths) override {
        Record(L"properties " + std::to_wstring(paths.size()));
    }
    std::optional<std::wstring> AskBackupFileToSave() override {
        Record(L"save backup");
        return backupFile;
    }
    std::optional<std::wstring> AskBackupFileToOpen() override {
        Record(L"open backup");
        return backupFile;
    }
    void OpenRestoreWindow(RestoreMode mode, const std::wstring& file) override {
        Record(mode == RestoreMode::kFile ? L"restore window " + file : L"reset window");
    }
    void ShowAboutBox() override { Record(L"about"); }
    void StartUpdateCheck() override { Record(L"update check"); }

  private:
    struct Resume final : ListDrawingPause {
        explicit Resume(RecordingWindow& window) : window_(window) {}
        ~Resume() override { window_.Record(L"resume"); }
        RecordingWindow& window_;
    };
    void Record(std::wstring call) { calls.push_back(std::move(call)); }
};

class CommandTest : public testing::Test {
  protected:
    CommandTest() : app(machine, reporter) {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'E', L"FAT32");
        machine.AddLocalUser(L"Bob");
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
        machine.AddFolder(L"C:\\Data\\Music");
        machine.AddFile(L"C:\\Data\\notes.txt");
        machine.AddFolder(L"E:\\Photos");
        app.user.CurrentUserName = L"Alice";
        app.user.CurrentUserGroups = BuildCurrentUserGroups(machine, L"Alice");
    }

    // Browse Mode in a folder with these rows selected.
    static MainWindowState Browsing(std::wstring folder, std::vector<SelectedItem> selection = {},
                                    bool onNtfs = true) {
        MainWindowState state;
        state.viewMode = ViewMode::kBrowse;
        state.currentFolder = std::move(folder);
        state.currentFolderOnNtfs = onNtfs;
        state.selection = std::move(selection);
        state.currentListRowCount = static_cast<int>(state.selection.size()) + 1;
        return state;
    }
    static MainWindowState Editing(std::vector<SelectedItem> selection = {}, int rows = 0) {
        MainWindowState state;
        state.viewMode = ViewMode::kEdit;
        state.selection = std::move(selection);
        state.editListRowCount = std::max(rows, static_cast<int>(state.selection.size()));
        state.currentListRowCount = state.editListRowCount;
        return state;
    }
    static SelectedItem Folder(int row, std::wstring path) {
        return {row, std::move(path), kKindFolder};
    }
    static SelectedItem File(int row, std::wstring path) {
        return {row, std::move(path), kKindFile};
    }

    bool Run(uint32_t id, const MainWindowState& state) {
        CommandContext context{state, app, window};
        return RunCommand(id, context);
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    AppState app;
    RecordingWindow window;
};

}  // namespace vm::test
