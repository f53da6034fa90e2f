// CKRVDlg: the main window. A resizable dialog (template 145) with a tool bar
// of six buttons, the Edit Mode list and the Browse Mode list (one of them
// current), the path bar and back button of Browse Mode, and the status
// strip. It owns the view mode, the current folder, the keyboard shortcuts,
// the enabling of its menus, and it runs the quick commands on the selected
// rows of the current list. What is enabled, where things go and what a
// command does to each item is decided by the portable functions of app/.
#pragma once

#include "platform/win32/WinApi.h"

#include <shlobj.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.win32.h"
#include "app/KeyboardShortcuts.win32.h"
#include "app/MainWindowLayout.h"
#include "app/PathBar.h"
#include "app/QuickCommands.h"
#include "controls/ZOLExButton.win32.h"
#include "framework/Dialog.h"
#include "lists/MainList.win32.h"

namespace vm {

class CKRVDlg : public CDialog {
  public:
    explicit CKRVDlg(AppContext& app);
    ~CKRVDlg() override;

    // Operations of the window (also driven by tests).
    void SetViewMode(int mode);
    void ShowDrives();
    void NavigateTo(const std::wstring& folder);
    void GoBack();
    void Refresh();
    void UpdateStatus();
    void HandleKey(UINT virtualKey);

    int ViewMode() const { return app_.settings.viewMode; }
    const std::wstring& CurrentFolder() const { return currentFolder_; }
    CMainList& CurrentList() { return ViewMode() == kEditMode ? editList_ : browseList_; }
    CMainList& EditList() { return editList_; }
    CMainList& BrowseList() { return browseList_; }
    int ToolbarLayoutIndex() const { return toolbarLayout_; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}  // Enter never closes the main window
    bool OnMessage(Message& m, LRESULT& result) override;
    void OnDestroyed() override;

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
    LRESULT OnUpdateStatusMessage(Message& m);
    // Controls and commands.
    LRESULT OnListDoubleClick(Message& m);
    LRESULT OnPathBarSelect(Message& m);
    LRESULT OnBack(Message& m);
    LRESULT OnMenuButton(Message& m);
    LRESULT OnAllowAccess(Message& m);
    LRESULT OnReadOnly(Message& m);
    LRESULT OnDenyAccess(Message& m);
    LRESULT OnChangeOwner(Message& m);
    LRESULT OnEditModeCommand(Message& m);
    LRESULT OnBrowseModeCommand(Message& m);
    LRESULT OnRefreshCommand(Message& m);
    LRESULT OnOpenCommand(Message& m);
    LRESULT OnRemoveCommand(Message& m);
    LRESULT OnSendToEditView(Message& m);
    LRESULT OnPasteCommand(Message& m);
    LRESULT OnExitCommand(Message& m);
    LRESULT OnAboutCommand(Message& m);

    // Start-up steps.
    void SetIcons();
    void SetUpButtons();
    void AddAboutToSystemMenu();
    void RecordToolbarLayouts();
    void AllowDropsFromUnelevatedPrograms();
    void FillPathBar();
    void ApplyInitialPlacement();

    // Layout and painting.
    void LayOut();
    void ApplyToolbarLayout(int index);
    void MoveControl(int id, const ControlPlace& place);
    int ToolbarHeight() const;

    // Path bar.
    void SyncPathBar(const std::wstring& folder);
    void InsertPathBarItem(size_t index, const PathBarEntry& entry);
    void SelectPathBarEntry(size_t index);
    HWND PathBarEdit() const;
    void NavigateToTypedPath();

    // Browse Mode helpers.
    void ShowNonNtfsIndicator(bool show);
    bool NonNtfsIndicatorVisible() const;
    void RegisterShellNotifications(const std::wstring& folder);
    void EndShellNotifications();
    void SelectAllRows();

    // Quick commands.
    void QuickSet(QuickKind kind, int buttonId);
    void ChangeOwnerOfSelection(const std::wstring& accountName);
    std::vector<QuickItem> SelectedQuickItems(std::vector<int>& rows);
    bool RefuseOnNonNtfs();

    AppContext& app_;
    ListEnvironment environment_;
    CMainList editList_;
    CMainList browseList_;
    std::array<CZOLExButton, kToolbarButtonCount> toolbarButtons_;
    CZOLExButton backButton_;
    CZOLExButton menuButton_;
    CZOLExButton clipboardButton_;
    CZOLExButton nonNtfsButton_;
    std::unique_ptr<KeyboardShortcutHook> keys_;
    std::wstring currentFolder_;
    bool currentFolderOnNtfs_ = true;
    ULONG shellNotification_ = 0;
    std::vector<PathBarEntry> pathBar_;
    std::array<ToolbarLayout, 3> toolbarLayouts_{};
    int toolbarLayout_ = 0;
    bool placed_ = false;  // size changes count once the window has its placement
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

// The tool-bar buttons in their table order (Add, Allow, Read Only, Deny,
// Change Owner, Advanced); other windows read their texts.
extern const std::array<int, kToolbarButtonCount> kToolbarButtonIds;

}  // namespace vm
