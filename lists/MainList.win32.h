// CMainList: the Edit Mode list (control 1011, mode kEdit) and the Browse
// Mode list (control 1012, mode kBrowse) of the main window. Each row is one
// path with its name, type, creation date, the current user's access, the
// owner and its folder (edit) or file system (browse).
//
// The status cells (access and owner) of added rows are read on a worker
// thread (RowStatusFiller): a row appears at once with those two cells
// empty, and they fill in as results arrive, so a large folder or a slow
// account look-up never freezes the window. The filler reads the rows in
// view and the next page first, again after every scroll; a result for a
// row out of view repaints nothing. Refreshed rows are read the same way.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "lists/ItemListModel.h"
#include "lists/KRVListCtrl.win32.h"
#include "lists/RowStatus.h"

namespace vm {

// Posted by the status worker to the list itself: results wait.
inline constexpr UINT kMsgRowStatusReady = WM_APP + 0x71;
// Sent by the drop worker to the list: add the rows of these items (LPARAM:
// const std::vector<FolderEntry>*) from the index WPARAM on.
inline constexpr UINT kMsgAddDroppedRows = WM_APP + 0x72;

class CMainList : public CKRVListCtrl {
  public:
    explicit CMainList(const ListEnvironment& environment);
    ~CMainList() override;

    // Columns of the mode, then the list's set-up (mode 1 edit, 2 browse).
    void SetUpColumns(ListMode mode);

    // Inserts a row for the path at index (clamped to the row count) and
    // starts reading its status cells. The new row's index.
    int AddRow(const std::wstring& path, int index);
    int AppendRow(const std::wstring& path) { return AddRow(path, ItemCount()); }
    // The same for an entry of a folder listing (ReadFolderEntries): the
    // Browse Mode fill reads the folder once and asks nothing more per row
    // on the window's thread.
    int AddEntry(const FolderEntry& entry, int index);
    int AppendEntry(const FolderEntry& entry) {
        return AddEntry(entry, static_cast<int>(Rows().Count()));
    }
    // A whole folder listing, shown in one step when the last row is in.
    void AppendEntries(const std::vector<FolderEntry>& entries);
    // Rereads the row's type now and its access and owner on the filler;
    // with checkExistence a path that is gone shows "???" and the
    // missing-item background.
    void RefreshRow(int row, bool checkExistence);
    // RefreshRow (no existence check) for each selected row, top to bottom.
    void RefreshSelectedRows();
    // RefreshRow for every row, the rows in view read first (F5 in Edit
    // Mode, where a missing item shows as missing).
    void RefreshAllRows(bool checkExistence);
    // Deletes the selected rows and frees their records in one step,
    // redraws and posts message 1128 to the parent.
    void RemoveSelectedRows();
    // Opens each selected row with the shell, top to bottom: a folder in
    // Explorer, anything else with its own verb "open".
    void OpenSelectedRows();
    // Deletes every row (and stops reading statuses for them).
    void RemoveAllRows();

    // Adds dropped files as the user dropped them (edit list only). The
    // first file decides: not on NTFS, message 200 and nothing is added.
    void AddDroppedPaths(const std::vector<std::wstring>& paths);

    // True while status cells of added rows are still being read.
    bool StatusPending() const { return !pendingStatus_.empty(); }

  protected:
    bool OnMessage(Message& m, LRESULT& result) override;
    void OnRecordRemoved(ItemRecord& record) override;
    void OnRowsInView(const RowRange& view) override;

  private:
    static std::span<const Route<CMainList>> Routes();
    LRESULT OnRightClick(Message& m);
    LRESULT OnDropFiles(Message& m);
    LRESULT OnStatusReady(Message& m);
    LRESULT OnAddDroppedRows(Message& m);

    void FillCells(int row, const FolderEntry& entry, const std::wstring& typeName);
    void ApplyStatus(int row, ItemRecord& record, const RowStatus& status);
    // One result, if it is the newest of a row still there; true if applied.
    bool ApplyResult(const RowStatus& status, const RowRange& view);
    void RequestStatus(ItemRecord& record, bool checkExistence);
    void AddDroppedPathsWithWaitWindow(const std::vector<std::wstring>& paths);
    void AddDroppedRowsBehindWaitWindow(const std::vector<std::wstring>& paths);
    void AddSelectedEntries(const std::vector<FolderEntry>& entries, int index);
    int AddEntriesAt(const std::vector<FolderEntry>& entries, int index);
    void SelectRows(int first, int last);
    void RefreshRows(const std::vector<int>& rows, bool checkExistence);
    // Asks the filler for the rows in view and the next page first.
    void PrioritiseRowsInView();
    RowStatusFiller& Filler();
    // The shell's type name of a path; kept per extension (and for folders),
    // since the shell names types by extension, so that a large folder asks
    // the shell once per type instead of once per row.
    std::wstring TypeName(const std::wstring& path, int32_t kind);

    std::unique_ptr<RowStatusFiller> filler_;
    // Rows whose status cells are still to come, by record serial, with the
    // number of requests on their way: results come in request order, so
    // the last one is the newest and the earlier ones are passed over.
    struct PendingStatus {
        ItemRecord* record = nullptr;
        int outstanding = 0;
    };
    std::unordered_map<uint64_t, PendingStatus> pendingStatus_;
    // Requests of many rows go to the filler in one step (each single one
    // wakes the worker).
    class StatusBatch {
      public:
        explicit StatusBatch(CMainList& list) : list_(list) { ++list_.statusBatchDepth_; }
        ~StatusBatch();
        StatusBatch(const StatusBatch&) = delete;
        StatusBatch& operator=(const StatusBatch&) = delete;

      private:
        CMainList& list_;
    };
    int statusBatchDepth_ = 0;
    std::vector<RowStatusRequest> batchedRequests_;
    // Results taken from the filler and not yet applied, in arrival order.
    std::vector<RowStatus> unapplied_;
    static constexpr size_t kStatusSlice = 2'000;
    std::unordered_map<std::wstring, std::wstring> typeNames_;
};

}  // namespace vm
