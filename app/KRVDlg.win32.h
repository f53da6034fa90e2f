// CKRVDlg: the main window. A resizable dialog (template 145) with a tool bar
// of six buttons, the Edit Mode list and the Browse Mode list (one of them
// current), the path bar and back button of Browse Mode, and the status
// strip. It keeps the portable window state (view mode, current folder) and
// draws and forwards: what its menus enable, what a key or a command does
// and what happens to each item is decided by the command table
// (app/Commands.h) over that state. Every command id goes through Execute.
#pragma once

#include "platform/win32/WinApi.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppContext.win32.h"
#include "app/CommandActions.h"
#include "app/KeyboardShortcuts.win32.h"
#include "app/MainWindowLayout.h"
#include "app/MainWindowState.h"
#include "app/PathBarControl.win32.h"
#include "app/UpdateCheck.win32.h"
#include "controls/ZOLExButton.win32.h"
#include "framework/Dialog.h"
#include "lists/MainList.win32.h"

namespace vm {

// Sent by a command's worker to the main window: reread the row WPARAM of
// the current list.
inline constexpr UINT kMsgRefreshRowOfWorker = WM_APP + 0x90;
// A click on the security clipboard's indicator waits this timer out, so
// that a double click is not taken for a click first.
inline constexpr UINT_PTR kClipboardClickTimer = 0x1038;

class CKRVDlg : public CDialog, private MainWindowActions {
  public:
    explicit CKRVDlg(AppContext& app);
    ~CKRVDlg() override;

    // Operations of the window (also driven by tests).
    void SetViewMode(ViewMode mode) override;
    void ShowDrives();
    void ShowStartFolder();
    void NavigateTo(const std::wstring& folder);
    void GoBack() override;
    void Refresh() override;
    void UpdateStatus();
    void HandleKey(UINT virtualKey);
    // Runs the command of that id (a menu entry, a button, a key); false
    // when the id is not a command of the main window.
    bool Execute(uint32_t commandId);

    ViewMode Mode() const { return view_.viewMode; }
    const std::wstring& CurrentFolder() const { return view_.currentFolder; }
    CMainList& CurrentList() { return Mode() == ViewMode::kEdit ? editList_ : browseList_; }
    CMainList& EditList() { return editList_; }
    CMainList& BrowseList() { return browseList_; }
    int ToolbarLayoutIndex() const { return toolbarLayout_; }
    const CZOLExButton& ToolbarButton(size_t index) const { return toolbarButtons_[index]; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}  // Enter never closes the main window
    bool OnMessage(Message& m, LRESULT& result) override;
    void OnDestroyed() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    RECT RectForNewDpi(const RECT& suggested) override;

  private:
    static std::span<const Route<CKRVDlg>> Routes();

    // Messages.
    LRESULT OnSysCommand(Message& m);
    LRESULT OnPaint(Message& m);
    LRESULT OnQueryDragIcon(Message& m);
    LRESULT OnSize(Message& m);
    LRESULT OnGetMinMaxInfo(Message& m);
    LRESULT OnClose(Message& m);
    LRESULT OnThemeChanged(Message& m);
    LRESULT OnDeviceChange(Message& m);
    LRESULT OnInitMenuPopup(Message& m);
    LRESULT OnRefreshMessage(Message& m);
    LRESULT OnShellChange(Message& m);
    LRESULT OnUpdateStatusMessage(Message& m);
    LRESULT OnListDoubleClick(Message& m);
    LRESULT OnPathBarSelect(Message& m);
    LRESULT OnAnyCommand(Message& m);

    // The state every decision reads: the view part as kept, the rest as
    // the lists, the copy buffer and the focus are now.
    MainWindowState Snapshot();

    // Start-up steps.
    void SetIcons();
    void SetUpButtons();
    void AddAboutToSystemMenu();
    void RecordToolbarLayouts();
    void ComputeToolbarLayoutsForDpi();
    void AllowMessagesFromTheShell();
    void ApplyInitialPlacement();

    // Layout.
    void LayOut();
    void ApplyToolbarLayout(int index);
    void MoveControl(int id, const ControlPlace& place);
    int ToolbarHeight() const;

    // Browse Mode.
    void ShowViewControls();
    void RegisterShellNotifications(const std::wstring& folder);
    void EndShellNotifications();

    // What the commands ask of the window (MainWindowActions).
    void NavigateToTypedPath() override;
    void ShowMainMenu() override;
    void CloseMainWindow() override;
    void SelectAllRows() override;
    void RemoveSelectedRows() override;
    void AppendToEditList(const std::wstring& path) override;
    void OpenSelectedRows() override;
    std::unique_ptr<ListDrawingPause> PauseListDrawing() override;
    void StoreRowAccess(int row, AccessLevel access) override;
    void RefreshRow(int row) override;
    void ShowRowOwner(int row, const std::wstring& owner) override;
    std::optional<QuickSetOptions> AskQuickSetOptions(QuickKind kind, bool allFiles) override;
    uint32_t ChooseFromTrusteeMenu() override;
    std::wstring PickAccount() override;
    void RunAdvancedDialog(const std::wstring& path) override;
    // Backups and the Restore windows (app/KRVDlgBackup.win32.cpp).
    std::optional<std::wstring> AskBackupFileToSave() override;
    std::optional<std::wstring> AskBackupFileToOpen() override;
    void OpenRestoreWindow(RestoreMode mode, const std::wstring& backupFile) override;
    // Message 1130: a progress window of the Advanced window asks for its worker.
    LRESULT OnStartPropagation(Message& m);
    // Bookmarks, the About box and the update check
    // (app/KRVDlgMenuWindows.win32.cpp).
    std::vector<std::wstring> CurrentListPaths() override;
    std::optional<std::wstring> AskBookmarkName(const std::wstring& prompt) override;
    void BookmarksChanged() override;
    void ShowBookmarkManager() override;
    void ShowInEditList(const std::vector<std::wstring>& paths) override;
    void BrowseTo(const std::wstring& folder) override;
    void ShowAboutBox() override;
    void StartUpdateCheck() override;
    // The item commands' windows and the security clipboard's indicator
    // (app/KRVDlgItemCommands.win32.cpp).
    void ShowCopySource(const std::wstring& path) override;
    bool AskWarning(const std::wstring& caption, const std::wstring& text) override;
    void RunBehindWaitWindow(const std::function<void(std::stop_token)>& work) override;
    void ReplaceChildPermissions(const std::wstring& folder) override;
    std::optional<PickedItems> PickFilesAndFolders() override;
    void AddToEditList(const std::vector<std::wstring>& paths) override;
    void ShowShellProperties(const std::vector<std::wstring>& paths) override;
    LRESULT OnClipboardIndicator(Message& m);
    LRESULT OnClipboardClickTimer(Message& m);
    LRESULT OnRefreshRowOfWorker(Message& m);
    LRESULT OnUpdateCheckDone(Message& m);

    AppContext& app_;
    ListEnvironment environment_;
    MainWindowState view_;  // view mode, current folder and its file system
    CMainList editList_;
    CMainList browseList_;
    CPathBar pathBar_;
    std::array<CZOLExButton, kToolbarButtonCount> toolbarButtons_;
    CZOLExButton backButton_;
    CZOLExButton menuButton_;
    CZOLExButton clipboardButton_;
    CZOLExButton nonNtfsButton_;
    std::unique_ptr<KeyboardShortcutHook> keys_;
    std::unique_ptr<UpdateChecks> updateChecks_;  // the checks running, made on the first
    ULONG shellNotification_ = 0;
    std::array<ToolbarLayout, 3> toolbarLayouts_{};
    // The tool bar as the template placed it, at the DPI the dialog was made.
    std::array<vm::WindowRect, kToolbarButtonCount> templateButtons_{};
    std::array<int, 2> templateSeparatorTops_{};
    int templateDpi_ = kBaseDpi;
    int toolbarLayout_ = 0;
    bool placed_ = false;   // size changes count once the window has its placement
    bool placing_ = false;  // moving to the start rectangle, which a DPI change keeps
    RECT placingRect_{};
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

// The tool-bar buttons in their table order (Add, Allow, Read Only, Deny,
// Change Owner, Advanced); other windows read their texts.
extern const std::array<int, kToolbarButtonCount> kToolbarButtonIds;

}  // namespace vm
