#include "lists/MainList.win32.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>

#include "app/BrowsePaths.h"
#include "controls/WorkingTipDlg.win32.h"
#include "framework/MessageBoxReporter.h"
#include "framework/Worker.h"
#include "resources/resource.h"

namespace vm {
namespace {

struct ShellNames {
    std::wstring displayName;
    std::wstring typeName;
};

// The shell's display and type names of a path. A path the shell cannot
// find (a simulated machine's, a vanished item) gets the names of its kind.
// SHGetFileInfoW takes no more than MAX_PATH characters and no "\\?\"
// prefix: a longer path is named by its last part alone, whose extension
// gives the type (SHGFI_USEFILEATTRIBUTES does not touch the file).
ShellNames ShellNamesOf(const std::wstring& path, int32_t kind) {
    SHFILEINFOW info{};
    const bool fits = path.size() < MAX_PATH;
    if (!fits || SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info),
                                SHGFI_DISPLAYNAME | SHGFI_TYPENAME) == 0) {
        const DWORD attributes =
            kind == kKindFile ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY;
        const std::wstring named = fits ? path : FileNameOfPath(path);
        info = {};
        SHGetFileInfoW(named.c_str(), attributes, &info, sizeof(info),
                       SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    }
    return {info.szDisplayName, info.szTypeName};
}

// "Date created" in the machine's local time; empty when the times cannot be
// read at all (rather than a made-up 1970 date).
std::wstring DateCellText(const std::optional<ItemTimes>& times) {
    if (!times)
        return {};
    const uint64_t shown = DisplayedCreationTime(times->creationTime, times->lastWriteTime);
    FILETIME utc{static_cast<DWORD>(shown), static_cast<DWORD>(shown >> 32)};
    FILETIME local{};
    if (!FileTimeToLocalFileTime(&utc, &local))
        local = utc;
    const uint64_t localTime =
        (static_cast<uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    return FormatCivilTime(CivilFromFileTime(localTime));
}

// Dropped names, each as long as the shell gives it (no fixed buffer cut).
std::vector<std::wstring> DroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(std::move(path));
    }
    return paths;
}

// DragFinish once the names are read.
class DropHandle {
  public:
    explicit DropHandle(HDROP drop) : drop_(drop) {}
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;
    ~DropHandle() { DragFinish(drop_); }
    HDROP get() const { return drop_; }

  private:
    HDROP drop_;
};

}  // namespace

CMainList::CMainList(const ListEnvironment& environment) : CKRVListCtrl(environment) {}

CMainList::~CMainList() {
    // The worker goes first, so that no result arrives for freed records.
    filler_.reset();
    pendingStatus_.clear();
}

std::span<const Route<CMainList>> CMainList::Routes() {
    static const Route<CMainList> routes[] = {
        OnReflected(WM_NOTIFY, NM_RCLICK, &CMainList::OnRightClick),
        OnMsg(WM_DROPFILES, &CMainList::OnDropFiles),
        OnMsg(kMsgRowStatusReady, &CMainList::OnStatusReady),
        OnMsg(kMsgAddDroppedRows, &CMainList::OnAddDroppedRows),
    };
    return routes;
}

bool CMainList::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CKRVListCtrl::OnMessage(m, result);
}

RowStatusFiller& CMainList::Filler() {
    if (!filler_) {
        HWND window = hwnd();
        // The process's names: every list resolves a SID once, and a SID
        // that does not resolve once (an unreachable domain costs seconds).
        AppState& state = *Environment().state;
        filler_ = std::make_unique<RowStatusFiller>(
            state.platform(), state.user,
            [window] { PostMessageW(window, kMsgRowStatusReady, 0, 0); }, &state.engine.names());
    }
    return *filler_;
}

void CMainList::SetUpColumns(ListMode mode) {
    const ColumnLayout layout =
        ItemListColumnLayout(mode, Dpi(), LoadStringResource(IDS_ITEM_LIST_COLUMNS));
    while (HeaderCount() > 0)
        DeleteColumn(0);
    for (size_t i = 0; i < layout.columns.size(); ++i)
        InsertColumn(static_cast<int>(i), layout.columns[i].title, layout.columns[i].width);
    SetColumnOrder(layout.displayOrder);
    SetUp(mode);
}

// ---- Rows ---------------------------------------------------------------------------

int CMainList::AddRow(const std::wstring& path, int index) {
    return AddEntry(ReadItemEntry(Environment().state->platform(), path), index);
}

int CMainList::AddEntry(const FolderEntry& entry, int index) {
    auto record = std::make_unique<ItemRecord>();
    record->path = entry.path;
    record->kind = entry.kind;
    record->access = kAccessUnknown;
    record->serial = NextRecordSerial();
    std::wstring name = FileNameOfPath(entry.path);
    std::wstring typeName;
    if (record->kind == kKindDriveRoot) {
        const ShellNames names = ShellNamesOf(entry.path, record->kind);
        if (!names.displayName.empty())
            name = names.displayName;
        typeName = names.typeName;
    } else {
        typeName = TypeName(entry.path, record->kind);
    }
    ItemRecord& added = *record;
    const int row = InsertRecordRow(index, name, std::move(record));
    FillCells(row, entry, typeName);
    RequestStatus(added, false);
    return row;
}

void CMainList::AppendEntries(const std::vector<FolderEntry>& entries) {
    StatusBatch requests(*this);
    RowBatch batch(*this);
    for (const FolderEntry& entry : entries)
        AppendEntry(entry);
}

std::wstring CMainList::TypeName(const std::wstring& path, int32_t kind) {
    const std::wstring key = ExtensionIconCache::KeyFor(path, kind);
    if (auto known = typeNames_.find(key); known != typeNames_.end())
        return known->second;
    std::wstring name = ShellNamesOf(path, kind).typeName;
    typeNames_.emplace(key, name);
    return name;
}

// A new row: the insertion has already asked for its redraw.
void CMainList::FillCells(int row, const FolderEntry& entry, const std::wstring& typeName) {
    StoreCellText(row, kColumnType, typeName);
    StoreCellText(row, kColumnDate, DateCellText(entry.times));
    StoreCellText(row, kColumnLocation,
                  LocationCellText(Mode(), entry.path, Environment().state->fileSystems));
}

void CMainList::RequestStatus(ItemRecord& record, bool checkExistence) {
    PendingStatus& pending = pendingStatus_[record.serial];
    pending.record = &record;
    ++pending.outstanding;
    RowStatusRequest request{record.serial, record.path, checkExistence};
    if (statusBatchDepth_ > 0)
        batchedRequests_.push_back(std::move(request));
    else
        Filler().Enqueue(std::move(request));
}

CMainList::StatusBatch::~StatusBatch() {
    if (--list_.statusBatchDepth_ == 0 && !list_.batchedRequests_.empty())
        list_.Filler().Enqueue(std::exchange(list_.batchedRequests_, {}));
}

void CMainList::ApplyStatus(int row, ItemRecord& record, const RowStatus& status) {
    record.access = status.access;
    if (!status.exists) {
        // The level read for a vanished path is only the failure default
        // ("Allowed"); no access icon beside "???".
        record.access = kAccessUnknown;
        record.MarkMissing();
        StoreCellText(row, kColumnAccess, kUnknownCellText);
        StoreCellText(row, kColumnOwner, kUnknownCellText);
        return;
    }
    record.MarkPresent();
    StoreCellText(row, kColumnAccess, AccessCellText(status.access));
    StoreCellText(row, kColumnOwner, OwnerCellText(status.owner));
}

// The status cells are read again by the background filler, never on this
// thread: an account look-up can take seconds where a domain cannot be
// reached. A result already on its way was read before this refresh and is
// passed over.
void CMainList::RefreshRow(int row, bool checkExistence) {
    ItemRecord* record = Record(row);
    if (record == nullptr)
        return;
    SetCellText(row, kColumnType, TypeName(record->path, record->BaseKind()));
    RequestStatus(*record, checkExistence);
}

void CMainList::RefreshSelectedRows() {
    RefreshRows(SelectedRows(), false);
}

void CMainList::RefreshAllRows(bool checkExistence) {
    std::vector<int> rows(Rows().Count());
    for (size_t row = 0; row < rows.size(); ++row)
        rows[row] = static_cast<int>(row);
    RefreshRows(rows, checkExistence);
}

// Many rows at once: their requests in one step, one redraw.
void CMainList::RefreshRows(const std::vector<int>& rows, bool checkExistence) {
    {
        StatusBatch requests(*this);
        for (int row : rows) {
            ItemRecord* record = Record(row);
            if (record == nullptr)
                continue;
            StoreCellText(row, kColumnType, TypeName(record->path, record->BaseKind()));
            RequestStatus(*record, checkExistence);
        }
    }
    PrioritiseRowsInView();
    Invalidate();
}

void CMainList::RemoveSelectedRows() {
    DeleteRecordRows(SelectedRows());
    Invalidate();
    NotifyParentStatus();
}

void CMainList::RemoveAllRows() {
    if (filler_)
        filler_->Clear();
    pendingStatus_.clear();
    unapplied_.clear();
    FreeAllRows();
}

void CMainList::OnRecordRemoved(ItemRecord& record) {
    pendingStatus_.erase(record.serial);
}

void CMainList::OnRowsInView(const RowRange&) {
    PrioritiseRowsInView();
}

// The filler reads the rows on screen and the next page before the rest.
void CMainList::PrioritiseRowsInView() {
    if (!filler_ || pendingStatus_.empty())
        return;
    const RowRange view = RowsInView();
    const int end = std::min(view.last + 1 + view.Size(), static_cast<int>(Rows().Count()));
    std::vector<uint64_t> wished;
    for (int row = view.first; row < end; ++row) {
        const uint64_t serial = Record(row)->serial;
        if (pendingStatus_.contains(serial))
            wished.push_back(serial);
    }
    if (!wished.empty())
        filler_->Prioritise(wished);
}

void CMainList::OpenSelectedRows() {
    for (const ItemRecord* record : SelectedRecords()) {
        if (record->BaseKind() == kKindFolder)
            ShellExecuteW(hwnd(), L"open", L"Explorer.exe", record->path.c_str(), nullptr,
                          SW_SHOWNORMAL);
        else
            ShellExecuteW(hwnd(), L"open", record->path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

// ---- Status results -----------------------------------------------------------------------

// Results are applied the rows in view first, then a slice of the others
// per message, so that a folder's worth of results neither keeps the rows
// on screen waiting nor the window from answering.
LRESULT CMainList::OnStatusReady(Message&) {
    if (!filler_)
        return 0;
    for (RowStatus& status : filler_->TakeResults())
        unapplied_.push_back(std::move(status));
    // Asking the list view costs a round of messages: once per message.
    const RowRange view = RowsInView();
    const auto inView = [&](const RowStatus& status) {
        auto pending = pendingStatus_.find(status.serial);
        return pending != pendingStatus_.end() && view.Contains(pending->second.record->row);
    };
    // The order of one row's results is kept: all of them are in view or none.
    const auto others = std::stable_partition(unapplied_.begin(), unapplied_.end(), inView);
    const size_t visible = static_cast<size_t>(others - unapplied_.begin());
    const size_t count = std::min(unapplied_.size(), visible + kStatusSlice);
    bool applied = false;
    for (size_t i = 0; i < count; ++i)
        applied = ApplyResult(unapplied_[i], view) || applied;
    unapplied_.erase(unapplied_.begin(), unapplied_.begin() + static_cast<ptrdiff_t>(count));
    if (!unapplied_.empty())
        PostMessageW(hwnd(), kMsgRowStatusReady, 0, 0);
    // Rows sorted by a status column before their values came are sorted
    // again once the last value is in.
    if (applied && pendingStatus_.empty() &&
        (Sort().column == kColumnAccess || Sort().column == kColumnOwner))
        Resort();
    return 0;
}

bool CMainList::ApplyResult(const RowStatus& status, const RowRange& view) {
    auto pending = pendingStatus_.find(status.serial);
    if (pending == pendingStatus_.end())
        return false;  // the row is gone
    if (--pending->second.outstanding > 0)
        return false;  // read before a refresh whose result follows
    ItemRecord* record = pending->second.record;
    pendingStatus_.erase(pending);
    // The model keeps every record's row current; the cells are repainted
    // only where the row is in view.
    ApplyStatus(record->row, *record, status);
    RedrawRowIn(record->row, view);
    return true;
}

// ---- Context menu and dropped files ------------------------------------------------------------

LRESULT CMainList::OnRightClick(Message&) {
    if (Environment().showItemMenu)
        Environment().showItemMenu();
    return 0;
}

LRESULT CMainList::OnDropFiles(Message& m) {
    std::vector<std::wstring> paths;
    {
        DropHandle drop(reinterpret_cast<HDROP>(m.wParam));
        paths = DroppedPaths(drop.get());
    }
    if (Mode() == ListMode::kEdit)
        AddDroppedPaths(paths);
    return 0;
}

void CMainList::AddDroppedPaths(const std::vector<std::wstring>& paths) {
    if (paths.empty())
        return;
    // The first file decides for all: only NTFS items are gathered.
    if (!IsOnNtfs(Environment().state->platform(), paths.front())) {
        MessageBoxReporter(Environment().messageOwner != nullptr ? Environment().messageOwner
                                                                 : Parent())
            .Tell(LoadStringResource(IDS_NTFS_ONLY), MessageIcon::kError);
        return;
    }
    if (DropNeedsWaitWindow(paths.size())) {
        AddDroppedPathsWithWaitWindow(paths);
        return;
    }
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    AddSelectedEntries(ReadItemEntries(Environment().state->platform(), paths), ItemCount());
    NotifyParentStatus();
}

// The rows of dropped items, added at once and selected; the last one has
// the focus.
void CMainList::AddSelectedEntries(const std::vector<FolderEntry>& entries, int index) {
    const int first = AddEntriesAt(entries, index);
    if (first >= 0)
        SelectRows(first, first + static_cast<int>(entries.size()) - 1);
}

// The first new row, or -1.
int CMainList::AddEntriesAt(const std::vector<FolderEntry>& entries, int index) {
    StatusBatch requests(*this);
    RowBatch batch(*this);
    int first = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int row = AddEntry(entries[i], index + static_cast<int>(i));
        if (first < 0)
            first = row;
    }
    return first;
}

// Rows first to last selected, last focused. Rows that are all the list's
// are selected in one step; otherwise one by one, with drawing off while
// the list view tells each change.
void CMainList::SelectRows(int first, int last) {
    if (first > last)
        return;
    if (first == 0 && last == ItemCount() - 1) {
        SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    } else {
        RedrawGuard drawing(*this);
        for (int row = first; row <= last; ++row)
            SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    SetItemState(last, LVIS_FOCUSED, LVIS_FOCUSED);
}

LRESULT CMainList::OnAddDroppedRows(Message& m) {
    // Selected once the last block is in: one selection for the whole drop.
    const auto& entries = *reinterpret_cast<const std::vector<FolderEntry>*>(m.lParam);
    AddEntriesAt(entries, static_cast<int>(m.wParam));
    return 0;
}

void CMainList::AddDroppedPathsWithWaitWindow(const std::vector<std::wstring>& paths) {
    SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    AddDroppedRowsBehindWaitWindow(paths);
    NotifyParentStatus();
}

// The worker reads the dropped items (the platform calls, a block of paths
// at a time: a block from one folder is one listing) and hands each block's
// rows to the list's own thread (SendMessage), so the wait window's
// progress moves while the window thread only adds rows.
void CMainList::AddDroppedRowsBehindWaitWindow(const std::vector<std::wstring>& paths) {
    constexpr size_t kBlock = 512;
    const int start = ItemCount();
    CWorkingTipDlg wait(CWorkingTipDlg::Mode::kProgress);
    std::atomic<bool> finished{false};
    Worker worker;
    HWND list = hwnd();
    Platform& platform = Environment().state->platform();
    wait.SetOnShown([&] {
        HWND waitWindow = wait.hwnd();
        worker.Start([&, waitWindow, list](std::stop_token stop) {
            for (size_t done = 0; done < paths.size() && !stop.stop_requested();) {
                CWorkingTipDlg::PostProgress(waitWindow, DropProgress(done, paths.size()));
                const size_t end = std::min(done + kBlock, paths.size());
                const std::vector<FolderEntry> block = ReadItemEntries(
                    platform,
                    std::vector<std::wstring>(paths.begin() + static_cast<ptrdiff_t>(done),
                                              paths.begin() + static_cast<ptrdiff_t>(end)));
                SendMessageW(list, kMsgAddDroppedRows, static_cast<WPARAM>(start) + done,
                             reinterpret_cast<LPARAM>(&block));
                done = end;
            }
            CWorkingTipDlg::PostProgress(waitWindow, 100);
            CWorkingTipDlg::PostClose(waitWindow);
            finished = true;
        });
    });
    if (wait.DoModal(Environment().messageOwner != nullptr ? Environment().messageOwner
                                                           : Parent()) == -1 &&
        !worker.Running()) {
        // No wait window could be made: add the rows here.
        AddEntriesAt(ReadItemEntries(platform, paths), start);
    }
    // Closed early by the user: stop at a block boundary. The worker may be
    // inside a SendMessage to this thread, so keep handling sent messages
    // until it is done.
    if (worker.Running()) {
        worker.RequestStop();
        while (!finished) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE)) {
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        }
        worker.Stop();
    }
    SelectRows(start, ItemCount() - 1);
}

}  // namespace vm
