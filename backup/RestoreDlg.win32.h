// CRestoreDlg: the Restore window (dialog template 165), modeless and
// resizable, several at once. In file mode its rows come from a backup file,
// in reset mode they are the drive roots and system folders with their
// default descriptors (only ticked rows are written). "Restore" writes the
// rows on a worker (RestoreRunner) while a progress bar stands in for the
// list. What it shows and decides is RestoreSession's (portable, tested
// natively); the window draws and forwards.
//
// The worker never waits for this window: it leaves its results in a
// mailbox and posts one message while none is pending, so that a run of any
// length neither floods the message queue nor blocks. Closing the window
// stops the run after the current row and waits for it before anything is
// freed.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/AppContext.win32.h"
#include "backup/RestoreRunner.h"
#include "backup/RestoreSession.h"
#include "controls/ZOLProgressCtrl.win32.h"
#include "framework/Dialog.h"
#include "lists/KRVListCtrl.win32.h"

namespace vm {

// The themed list with the cell texts of many rows set at once: stored
// without a repaint each, the list repainted once after them.
class CRestoreList final : public CKRVListCtrl {
  public:
    using CKRVListCtrl::CKRVListCtrl;
    void StoreCell(int row, int column, std::wstring_view text) {
        StoreCellText(row, column, text);
    }
};

class CRestoreDlg : public CDialog {
  public:
    // showCopySource puts a text on the main window's clipboard indicator
    // and enables it (after "Copy Security Settings").
    using CopySourceShower = std::function<void(const std::wstring& text)>;
    CRestoreDlg(AppContext& app, std::wstring backupFile, RestoreMode mode,
                CopySourceShower showCopySource);
    ~CRestoreDlg() override;

    // "Open Backup file..." asks this for a file (the open dialog unless
    // replaced; tests answer without a dialog).
    using FileChooser = std::function<std::optional<std::wstring>()>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // Double click and "Advanced Security Settings..." show a row through
    // this (the read-only Advanced window unless replaced).
    using RowViewer = std::function<void(const ItemRecord& record)>;
    void SetRowViewer(RowViewer viewer) { viewRow_ = std::move(viewer); }

    RestoreMode Mode() const { return mode_; }
    CRestoreList& List() { return list_; }
    const std::wstring& Heading() const { return heading_; }
    const std::wstring& BackupTime() const { return backupTime_; }
    bool Running() const { return running_; }
    // The row commands, as the popup and the keys run them.
    void StartRestore();
    void CopySelectedRow();
    void ViewSelectedRow();
    // Loads another backup file (file mode).
    void LoadFile(const std::wstring& file);

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}  // Enter never closes the window
    void OnCancel() override;
    bool OnMessage(Message& m, LRESULT& result) override;
    void OnDestroyed() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;

  private:
    static std::span<const Route<CRestoreDlg>> Routes();

    LRESULT OnRestore(Message& m);
    LRESULT OnOpenFile(Message& m);
    LRESULT OnCopyCommand(Message& m);
    LRESULT OnAdvancedCommand(Message& m);
    LRESULT OnListRightClick(Message& m);
    LRESULT OnListDoubleClick(Message& m);
    LRESULT OnListKeyDown(Message& m);
    LRESULT OnInitMenuPopup(Message& m);
    LRESULT OnRunNews(Message& m);
    LRESULT OnSize(Message& m);
    LRESULT OnGetMinMaxInfo(Message& m);
    LRESULT OnEraseBackground(Message& m);
    LRESULT OnPaint(Message& m);

    void AddColumns();
    void Fill(RestoreLoad load);
    void LayOut();
    void CentreOnParent();
    void MakeFonts();
    void ShowRunning(bool running);
    void StopRun();
    const ItemRecord* OnlySelectedRecord() const;

    // What the worker leaves for the window.
    struct Mailbox {
        std::mutex mutex;
        std::vector<std::pair<size_t, RestoreRowResult>> results;
        size_t done = 0;
        bool finished = false;
        std::atomic<bool> posted{false};
    };
    RestoreCallbacks CallbacksToMailbox();

    AppContext& app_;
    RestoreMode mode_;
    std::wstring backupFile_;
    std::wstring heading_;
    std::wstring backupTime_;
    CopySourceShower showCopySource_;
    FileChooser chooseFile_;
    RowViewer viewRow_;
    ListEnvironment environment_;
    CRestoreList list_;
    CZOLProgressCtrl progress_;
    Font titleFont_;
    RestoreRunner runner_;
    Mailbox mailbox_;
    size_t runRows_ = 0;
    bool running_ = false;
};

// The Restore windows of the program. Each object lives until its window has
// gone; it is freed when the next one opens or when all are closed.
// Opens one over parent and shows it; null when its window could not be made.
CRestoreDlg* OpenRestoreWindow(AppContext& app, HWND parent, RestoreMode mode,
                               const std::wstring& backupFile,
                               CRestoreDlg::CopySourceShower showCopySource);
// Closes every open Restore window (each run stops at a row boundary) and
// frees them all: the main window's end.
void CloseRestoreWindows();
// The windows still open.
std::vector<CRestoreDlg*> OpenRestoreWindows();

// The open dialog of a backup file over owner; nullopt on Cancel.
std::optional<std::wstring> AskBackupFile(HWND owner, bool save);

}  // namespace vm
