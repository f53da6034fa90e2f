// What the main window's commands do, as portable functions over a command
// context: the window's state (the selection in ascending row order
// included), the process-wide state with the engine and the reporter, and
// the few things only the window can do (MainWindowActions), which the main
// window implements and tests fake. The command table (Commands.h) names
// one of these per command.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/ItemFailures.h"
#include "app/MainWindowState.h"
#include "app/QuickCommands.h"
#include "backup/RestoreMode.h"
#include "bookmarks/BookmarkStore.h"
#include "controls/FileAndFolderSelection.h"

namespace vm {

// Keeps the current list from drawing while it lives; the list repaints
// when it goes.
class ListDrawingPause {
  public:
    virtual ~ListDrawingPause() = default;
};

// The choice of the quick commands' Options dialog.
struct QuickSetOptions {
    std::wstring trustee;
    uint8_t scope = 0;
};

class MainWindowActions {
  public:
    virtual ~MainWindowActions() = default;

    // The view.
    virtual void SetViewMode(ViewMode mode) = 0;
    virtual void Refresh() = 0;
    virtual void GoBack() = 0;
    virtual void NavigateToTypedPath() = 0;
    virtual void ShowMainMenu() = 0;
    virtual void CloseMainWindow() = 0;

    // The lists.
    virtual void SelectAllRows() = 0;
    virtual void RemoveSelectedRows() = 0;  // of the Edit Mode list
    virtual void AppendToEditList(const std::wstring& path) = 0;
    virtual void OpenSelectedRows() = 0;  // with the shell
    // Rows of the current list while a command changes their items.
    [[nodiscard]] virtual std::unique_ptr<ListDrawingPause> PauseListDrawing() = 0;
    virtual void StoreRowAccess(int row, AccessLevel access) = 0;
    virtual void RefreshRow(int row) = 0;  // rereads its status cells now
    virtual void ShowRowOwner(int row, const std::wstring& owner) = 0;

    // The windows a command asks through.
    virtual std::optional<QuickSetOptions> AskQuickSetOptions(QuickKind kind, bool allFiles) = 0;
    // The command of the trustee menu the user chose; 0 for none.
    virtual uint32_t ChooseFromTrusteeMenu() = 0;
    // The account picker ("Advanced..." of the trustee menu); empty when
    // nothing was picked.
    virtual std::wstring PickAccount() = 0;
    // The Advanced Security Settings window on one item, modal.
    virtual void RunAdvancedDialog(const std::wstring& path) = 0;

    // Bookmarks. Every row's path of the current list, in row order.
    virtual std::vector<std::wstring> CurrentListPaths() = 0;
    // The "Add bookmark" dialog with its prompt: the name confirmed with OK
    // (as typed, maybe empty), nullopt on Cancel.
    virtual std::optional<std::wstring> AskBookmarkName(const std::wstring& prompt) = 0;
    // The bookmark file changed: the menus' index is loaded again.
    virtual void BookmarksChanged() = 0;
    virtual void ShowBookmarkManager() = 0;
    // The Edit Mode list holds exactly these rows, in this order.
    virtual void ShowInEditList(const std::vector<std::wstring>& paths) = 0;
    // Browse Mode's list shows this folder.
    virtual void BrowseTo(const std::wstring& folder) = 0;

    // The item commands' windows.
    // The security clipboard's indicator names the item the copy came from
    // and can be clicked; an empty path empties and disables it.
    virtual void ShowCopySource(const std::wstring& path) = 0;
    // A Yes/No question with the warning icon under its own caption.
    virtual bool AskWarning(const std::wstring& caption, const std::wstring& text) = 0;
    // Runs work on a worker thread while the animated "Please Wait..." window
    // runs modally; closing the window first requests work's stop. Returns
    // once the worker has ended. RefreshRow may be called from the worker.
    virtual void RunBehindWaitWindow(const std::function<void(std::stop_token)>& work) = 0;
    // "Replace all child object permissions" below one folder: the choice of
    // how, then the progress window while the walk runs.
    virtual void ReplaceChildPermissions(const std::wstring& folder) = 0;
    // The file-and-folder dialog, opened in the "OPENPATH" folder, which
    // then becomes the folder it ended in; nullopt unless it ended with OK.
    virtual std::optional<PickedItems> PickFilesAndFolders() = 0;
    // Appends rows to the Edit Mode list, selected, behind the "Please
    // Wait..." window for more than 300.
    virtual void AddToEditList(const std::vector<std::wstring>& paths) = 0;
    // The shell's property sheet of these items, together.
    virtual void ShowShellProperties(const std::vector<std::wstring>& paths) = 0;

    // Backups. The save dialog of a backup file (overwrite question on) and
    // its open dialog: the name chosen, nullopt on Cancel.
    virtual std::optional<std::wstring> AskBackupFileToSave() = 0;
    virtual std::optional<std::wstring> AskBackupFileToOpen() = 0;
    // A new modeless Restore window over a backup file (kFile) or over the
    // drive roots and system folders (kReset, no file).
    virtual void OpenRestoreWindow(RestoreMode mode, const std::wstring& backupFile) = 0;

    // The windows of the main menu.
    virtual void ShowAboutBox() = 0;
    // Starts the update check in the background; it tells the user itself.
    virtual void StartUpdateCheck() = 0;
};

struct CommandContext {
    const MainWindowState& state;
    AppState& app;
    MainWindowActions& window;
    uint32_t commandId = 0;  // set by RunCommand: which id of a row's range runs
};

// ---- Actions of the table -------------------------------------------------------
void ShowAbout(CommandContext& context);
void Exit(CommandContext& context);

void AllowAccess(CommandContext& context);
void GrantReadOnly(CommandContext& context);
void DenyAccess(CommandContext& context);
void ChangeOwner(CommandContext& context);
void PasteSecurity(CommandContext& context);
// "Copy Security settings": one item of a volume with security into the copy
// buffer, its path on the clipboard indicator.
void CopySecurity(CommandContext& context);
// "Create a Null DACL" (32827) and "Create an Empty DACL" (32829), after the
// question.
void ClearDacl(CommandContext& context);
// "Inheritance Permissions": every selected item but drive roots gets
// "Administrators" as owner and the entries its parent passes on, behind the
// "Please Wait..." window.
void ResetInheritance(CommandContext& context);
void ReplaceChildren(CommandContext& context);
// "Add Files or Folders": the dialog, then its items at the end of the Edit
// Mode list.
void AddItems(CommandContext& context);
void ShowProperties(CommandContext& context);
// "Advanced": exactly one item on a volume with security, then its rows refresh.
void OpenAdvanced(CommandContext& context);

void OpenSelected(CommandContext& context);
void RemoveSelected(CommandContext& context);
void SendToEditView(CommandContext& context);
void SelectAll(CommandContext& context);

void ShowEditMode(CommandContext& context);
void ShowBrowseMode(CommandContext& context);
void SwitchViewMode(CommandContext& context);
void RefreshView(CommandContext& context);
void GoBack(CommandContext& context);
void NavigateToTypedPath(CommandContext& context);
void ShowMainMenu(CommandContext& context);

// Bookmarks: the three "Bookmark ..." commands, the manager, and opening
// bookmark i (command 1324 + i).
void BookmarkItems(CommandContext& context);
void ShowBookmarkManager(CommandContext& context);
void OpenBookmarkOfCommand(CommandContext& context);

void CheckForUpdates(CommandContext& context);

// The demonstration program: puts its machine back as shipped, after asking.
void ResetDemonstrationMachine(CommandContext& context);

// ---- Sequences of the actions (tested without a window) -----------------------------

// The question of the two "Clear Access Control List" commands: its caption
// and its text, from the four pieces of message 189.
struct ClearDaclQuestion {
    std::wstring caption;
    std::wstring text;
};
ClearDaclQuestion ClearDaclQuestionFor(bool nullDacl);

// Drive roots inherit nothing: "Inheritance Permissions" passes them over.
bool IsDriveRootItem(const SelectedItem& item);

// The inheritance reset of the items in order, each one whole: the stop is
// looked at only between two items. refreshRow follows each item reset.
// The items that could not be reset.
std::vector<ItemFailure> ResetItemsToInherited(Engine& engine,
                                               const std::vector<SelectedItem>& items,
                                               std::stop_token stop,
                                               const std::function<void(int row)>& refreshRow);

}  // namespace vm
