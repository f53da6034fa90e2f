#include "backup/RestoreDlg.win32.h"

#include <algorithm>

#include "advanced/AdvancedDlg.win32.h"
#include "app/Messages.h"
#include "app/PopupMenu.win32.h"
#include "backup/RestoreLayout.h"
#include "framework/Dpi.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace vm {
namespace {

// The worker's news is waiting in the mailbox (this window's own message).
constexpr UINT kMsgRunNews = WM_APP + 1;
constexpr size_t kFileNameChars = 32768;  // a long path and its NUL
constexpr COLORREF kBandColour = RGB(kRestoreBandRed, kRestoreBandGreen, kRestoreBandBlue);
constexpr COLORREF kTitleColour = RGB(255, 255, 255);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr int kClearTypeNatural = 6;  // CLEARTYPE_NATURAL_QUALITY

ListEnvironment EnvironmentFor(AppContext& app) {
    ListEnvironment environment;
    environment.state = &app.state;
    environment.icons = &app.shell.iconCache;
    environment.smallImages = app.shell.smallSystemImages;
    environment.themeActive = &app.shell.themeActive;
    for (size_t scale = 0; scale < environment.cellPictures.size(); ++scale) {
        const auto& rendering = app.shell.pictures.renderings[scale];
        auto& pictures = environment.cellPictures[scale];
        pictures.access[0] = rendering.accessAllowed.get();
        pictures.access[1] = rendering.accessReadOnly.get();
        pictures.access[2] = rendering.accessDenied.get();
        pictures.owner = rendering.owner.get();
    }
    return environment;
}

void MoveTo(HWND control, const ControlPlace& place) {
    MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
}

RECT ToRect(const WindowRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void DrawLine(HDC dc, const std::wstring& text, const WindowRect& place, HFONT font,
              COLORREF colour) {
    SelectedObject selected(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    RECT rect = ToRect(place);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

std::vector<std::unique_ptr<CRestoreDlg>>& RestoreWindows() {
    static std::vector<std::unique_ptr<CRestoreDlg>> windows;
    return windows;
}

void FreeClosedWindows() {
    auto& windows = RestoreWindows();
    std::erase_if(windows, [](const auto& window) { return window->hwnd() == nullptr; });
}

}  // namespace

CRestoreDlg::CRestoreDlg(AppContext& app, std::wstring backupFile, RestoreMode mode,
                         CopySourceShower showCopySource)
    : CDialog(IDD_RESTORE),
      app_(app),
      mode_(mode),
      backupFile_(std::move(backupFile)),
      showCopySource_(std::move(showCopySource)),
      environment_(EnvironmentFor(app)),
      list_(environment_),
      runner_(app.state.engine) {}

CRestoreDlg::~CRestoreDlg() {
    StopRun();
}

std::span<const Route<CRestoreDlg>> CRestoreDlg::Routes() {
    static const Route<CRestoreDlg> routes[] = {
        OnCommand(IDC_RESTORE_RUN, &CRestoreDlg::OnRestore, BN_CLICKED),
        OnCommand(IDC_RESTORE_OPEN, &CRestoreDlg::OnOpenFile, BN_CLICKED),
        OnCommand(ID_RESTORE_COPY_SECURITY, &CRestoreDlg::OnCopyCommand),
        OnCommand(ID_RESTORE_ADVANCED, &CRestoreDlg::OnAdvancedCommand),
        OnNotify(IDC_RESTORE_LIST, NM_RCLICK, &CRestoreDlg::OnListRightClick),
        OnNotify(IDC_RESTORE_LIST, NM_DBLCLK, &CRestoreDlg::OnListDoubleClick),
        OnNotify(IDC_RESTORE_LIST, LVN_KEYDOWN, &CRestoreDlg::OnListKeyDown),
        OnMsg(WM_INITMENUPOPUP, &CRestoreDlg::OnInitMenuPopup),
        OnMsg(kMsgRunNews, &CRestoreDlg::OnRunNews),
        OnMsg(WM_SIZE, &CRestoreDlg::OnSize),
        OnMsg(WM_GETMINMAXINFO, &CRestoreDlg::OnGetMinMaxInfo),
        OnMsg(WM_ERASEBKGND, &CRestoreDlg::OnEraseBackground),
        OnMsg(WM_PAINT, &CRestoreDlg::OnPaint),
    };
    return routes;
}

bool CRestoreDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

BOOL CRestoreDlg::OnInitDialog() {
    ShowWindow(Item(IDCANCEL), SW_HIDE);
    ShowWindow(Item(IDC_RESTORE_TITLE), SW_HIDE);
    if (mode_ == RestoreMode::kReset)
        ShowWindow(Item(IDC_RESTORE_OPEN), SW_HIDE);
    if (HICON icon = LoadIconW(ResourceModule(), MAKEINTRESOURCEW(IDI_VELMORA)))
        Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    progress_.AttachDlgItem(hwnd(), IDC_RESTORE_PROGRESS);
    progress_.SetIndeterminate(false);
    progress_.SetRange(0, 100);
    progress_.SetPos(0);
    list_.AttachDlgItem(hwnd(), IDC_RESTORE_LIST);
    if (mode_ == RestoreMode::kReset)
        list_.SetExtendedStyle(LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    AddColumns();
    list_.SetUp(ListMode::kPlain);
    MakeFonts();
    if (mode_ == RestoreMode::kFile)
        LoadFile(backupFile_);
    else
        Fill(LoadResetRows(app_.state));
    LayOut();
    CentreOnParent();
    return TRUE;
}

// Centred on the parent (the work area without one), no larger than the
// work area of the monitor it opens on and wholly inside it.
void CRestoreDlg::CentreOnParent() {
    RECT own{};
    GetWindowRect(hwnd(), &own);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    const int width = std::min<int>(own.right - own.left, work.right - work.left);
    const int height = std::min<int>(own.bottom - own.top, work.bottom - work.top);
    RECT around = work;
    if (HWND parent = GetParent(hwnd()); parent && IsWindowVisible(parent))
        GetWindowRect(parent, &around);
    vm::WindowRect place =
        CentreOn({around.left, around.top, around.right, around.bottom}, {width, height});
    const int left =
        std::clamp(place.left, static_cast<int>(work.left), static_cast<int>(work.right) - width);
    const int top =
        std::clamp(place.top, static_cast<int>(work.top), static_cast<int>(work.bottom) - height);
    SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CRestoreDlg::AddColumns() {
    const auto columns = RestoreColumns(mode_);
    for (size_t i = 0; i < columns.size(); ++i)
        list_.InsertColumn(static_cast<int>(i), columns[i].title, Scale(columns[i].widthAt96));
    const auto order = RestoreColumnOrder(mode_);
    list_.SetColumnOrder(std::vector<int>(order.begin(), order.end()));
}

void CRestoreDlg::LoadFile(const std::wstring& file) {
    backupFile_ = file;
    Fill(LoadBackupRows(app_.state, file, app_.state.reporter()));
}

void CRestoreDlg::Fill(RestoreLoad load) {
    heading_ = std::move(load.heading);
    backupTime_ = std::move(load.backupTime);
    {
        RedrawGuard quiet(list_);
        list_.FreeAllRows();
        CKRVListCtrl::RowBatch batch(list_);
        for (RestoreRow& row : load.rows) {
            auto cells = RestoreRowCells(row);
            auto record = std::make_unique<ItemRecord>();
            record->path = row.path;
            record->row = row.row;
            record->kind = row.kind;
            record->access = row.access;
            record->descriptor = std::move(row.descriptor);
            record->serial = NextRecordSerial();
            const int at =
                list_.InsertRecordRow(row.row, cells[kRestoreNameColumn], std::move(record));
            for (int column = kRestorePathColumn; column < static_cast<int>(cells.size()); ++column)
                list_.StoreCell(at, column, cells[static_cast<size_t>(column)]);
        }
    }
    Invalidate();
}

void CRestoreDlg::MakeFonts() {
    titleFont_ = Font(CreateFontW(Scale(kRestoreTitleHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  kClearTypeNatural, DEFAULT_PITCH, L"Tahoma"));
}

void CRestoreDlg::OnDpiChanged(int, int) {
    MakeFonts();
    LayOut();
}

void CRestoreDlg::LayOut() {
    const RECT client = ClientRect();
    const RestorePlaces places = ComputeRestorePlaces(client.right, client.bottom, Dpi());
    MoveTo(list_.hwnd(), places.list);
    MoveTo(progress_.hwnd(), places.progress);
    MoveTo(Item(IDC_RESTORE_OPEN), places.open);
    MoveTo(Item(IDC_RESTORE_RUN), places.restore);
    Invalidate();
    InvalidateRect(Item(IDC_RESTORE_RUN), nullptr, TRUE);
}

LRESULT CRestoreDlg::OnSize(Message&) {
    LayOut();
    return 0;
}

LRESULT CRestoreDlg::OnGetMinMaxInfo(Message& m) {
    auto& info = *reinterpret_cast<MINMAXINFO*>(m.lParam);
    const WindowSize least = RestoreMinimumSize(Dpi(), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                                GetSystemMetrics(SM_CYVIRTUALSCREEN));
    // The minimum is the window's, frame included.
    info.ptMinTrackSize = {least.width, least.height};
    return 0;
}

LRESULT CRestoreDlg::OnEraseBackground(Message&) {
    return TRUE;  // WM_PAINT covers everything
}

LRESULT CRestoreDlg::OnPaint(Message&) {
    PaintDc paint(hwnd());
    const RECT client = ClientRect();
    OffscreenCanvas canvas(paint.get(), client);
    if (!canvas.ok())
        return 0;
    const RestorePlaces places = ComputeRestorePlaces(client.right, client.bottom, Dpi());
    FillColour(canvas.dc(), client, RGB(255, 255, 255));
    FillColour(canvas.dc(), ToRect(places.band), kBandColour);
    wchar_t title[128] = {};
    GetDlgItemTextW(hwnd(), IDC_RESTORE_TITLE, title, static_cast<int>(std::size(title)));
    DrawLine(canvas.dc(), title, places.title, titleFont_.get(), kTitleColour);
    DrawLine(canvas.dc(), heading_, places.heading, DialogFont(), kTextColour);
    DrawLine(canvas.dc(), backupTime_, places.backupTime, DialogFont(), kTextColour);
    canvas.Present();
    return 0;
}

// ---- The run -------------------------------------------------------------------

RestoreCallbacks CRestoreDlg::CallbacksToMailbox() {
    // Posts only while no news is pending: the window takes all of it at once.
    auto tell = [this] {
        if (!mailbox_.posted.exchange(true))
            PostMessageW(hwnd(), kMsgRunNews, 0, 0);
    };
    RestoreCallbacks callbacks;
    callbacks.onRowResult = [this, tell](size_t row, RestoreRowResult result) {
        {
            std::lock_guard lock(mailbox_.mutex);
            mailbox_.results.push_back({row, result});
        }
        tell();
    };
    callbacks.onProgress = [this, tell](size_t done) {
        {
            std::lock_guard lock(mailbox_.mutex);
            mailbox_.done = done;
        }
        tell();
    };
    HWND mainWindow = app_.mainWindow;
    callbacks.onFinished = [this, tell, mainWindow] {
        {
            std::lock_guard lock(mailbox_.mutex);
            mailbox_.finished = true;
        }
        tell();
        if (mainWindow)
            PostMessageW(mainWindow, kMsgRefreshMain, 0, 0);
    };
    return callbacks;
}

void CRestoreDlg::StartRestore() {
    if (running_)
        return;
    // The rows from the top as the list shows them now (it may be sorted).
    std::vector<RestoreWork> work;
    const int rows = list_.ItemCount();
    work.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const ItemRecord* record = list_.Record(row);
        if (!record)
            continue;
        work.push_back({record->path, record->descriptor, list_.CellText(row, kRestoreOwnerColumn),
                        list_.IsChecked(row)});
    }
    {
        std::lock_guard lock(mailbox_.mutex);
        mailbox_.results.clear();
        mailbox_.done = 0;
        mailbox_.finished = false;
    }
    mailbox_.posted = false;
    runRows_ = work.size();
    ShowRunning(true);
    if (!runner_.Start(mode_, std::move(work), CallbacksToMailbox()))
        ShowRunning(false);
}

void CRestoreDlg::ShowRunning(bool running) {
    running_ = running;
    EnableWindow(Item(IDC_RESTORE_RUN), !running);
    EnableWindow(Item(IDC_RESTORE_OPEN), !running);
    ShowWindow(list_.hwnd(), running ? SW_HIDE : SW_SHOW);
    if (running) {
        progress_.SetRange(0, static_cast<float>(std::max<size_t>(runRows_, 1)));
        progress_.SetPos(0);
        progress_.StartAnimation();
    } else {
        progress_.StopAnimation();
    }
    ShowWindow(progress_.hwnd(), running ? SW_SHOW : SW_HIDE);
}

LRESULT CRestoreDlg::OnRunNews(Message&) {
    mailbox_.posted = false;
    std::vector<std::pair<size_t, RestoreRowResult>> results;
    size_t done = 0;
    bool finished = false;
    {
        std::lock_guard lock(mailbox_.mutex);
        results.swap(mailbox_.results);
        done = mailbox_.done;
        finished = mailbox_.finished;
    }
    for (const auto& [row, result] : results)
        list_.StoreCell(static_cast<int>(row), kRestoreStatusColumn, RestoreResultText(result));
    if (!results.empty())
        list_.Invalidate();
    progress_.SetPos(static_cast<float>(done));
    if (finished && running_)
        ShowRunning(false);
    return 0;
}

void CRestoreDlg::StopRun() {
    runner_.StopAndWait();
}

// ---- Commands ------------------------------------------------------------------

LRESULT CRestoreDlg::OnRestore(Message&) {
    StartRestore();
    return 0;
}

LRESULT CRestoreDlg::OnOpenFile(Message&) {
    if (running_)
        return 0;
    std::optional<std::wstring> file = chooseFile_ ? chooseFile_() : AskBackupFile(hwnd(), false);
    if (file && !file->empty()) {
        LoadFile(*file);
        Invalidate();
    }
    return 0;
}

const ItemRecord* CRestoreDlg::OnlySelectedRecord() const {
    std::vector<ItemRecord*> selected = list_.SelectedRecords();
    if (!RowCommandsEnabled(selected.size()))
        return nullptr;
    return selected.front();
}

void CRestoreDlg::CopySelectedRow() {
    const ItemRecord* record = OnlySelectedRecord();
    if (!record || !record->descriptor)
        return;
    const int row = list_.RowOfSerial(record->serial);
    app_.state.copyBuffer.CopiedDescriptor = record->descriptor;
    app_.state.copyBuffer.CopiedOwnerName = list_.CellText(row, kRestoreOwnerColumn);
    if (showCopySource_)
        showCopySource_(BackupClipboardText(record->path));
}

void CRestoreDlg::ViewSelectedRow() {
    std::vector<ItemRecord*> selected = list_.SelectedRecords();
    if (selected.empty() || !selected.front()->descriptor)
        return;
    const ItemRecord& record = *selected.front();
    if (viewRow_) {
        viewRow_(record);
        return;
    }
    RunAdvancedDialogReadOnly(app_, hwnd(), record.path, *record.descriptor,
                              record.BaseKind() != kKindFile);
}

LRESULT CRestoreDlg::OnCopyCommand(Message&) {
    CopySelectedRow();
    return 0;
}

LRESULT CRestoreDlg::OnAdvancedCommand(Message&) {
    ViewSelectedRow();
    return 0;
}

LRESULT CRestoreDlg::OnListRightClick(Message&) {
    PopupMenu(app_, PopupSubMenu::kRestore, hwnd(), TPM_LEFTALIGN | TPM_TOPALIGN);
    return 0;
}

LRESULT CRestoreDlg::OnListDoubleClick(Message&) {
    ViewSelectedRow();
    return 0;
}

LRESULT CRestoreDlg::OnListKeyDown(Message& m) {
    const auto& key = *reinterpret_cast<const NMLVKEYDOWN*>(m.lParam);
    if (key.wVKey == 'C' && GetKeyState(VK_CONTROL) < 0)
        CopySelectedRow();
    else if (key.wVKey == VK_ESCAPE)
        OnCancel();
    return 0;
}

LRESULT CRestoreDlg::OnInitMenuPopup(Message& m) {
    HMENU menu = reinterpret_cast<HMENU>(m.wParam);
    const UINT state = RowCommandsEnabled(list_.SelectedRecords().size()) ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, ID_RESTORE_COPY_SECURITY, MF_BYCOMMAND | state);
    EnableMenuItem(menu, ID_RESTORE_ADVANCED, MF_BYCOMMAND | state);
    return 0;
}

void CRestoreDlg::OnCancel() {
    // The run ends after its current row; nothing it uses is freed before.
    StopRun();
    running_ = false;
    list_.FreeAllRows();
    CDialog::OnCancel();
}

void CRestoreDlg::OnDestroyed() {
    StopRun();
    CDialog::OnDestroyed();
}

// ---- The windows of the program ---------------------------------------------------

CRestoreDlg* OpenRestoreWindow(AppContext& app, HWND parent, RestoreMode mode,
                               const std::wstring& backupFile,
                               CRestoreDlg::CopySourceShower showCopySource) {
    FreeClosedWindows();
    auto window = std::make_unique<CRestoreDlg>(app, backupFile, mode, std::move(showCopySource));
    if (!window->CreateModeless(parent))
        return nullptr;
    ShowWindow(window->hwnd(), SW_SHOWNORMAL);
    RestoreWindows().push_back(std::move(window));
    return RestoreWindows().back().get();
}

void CloseRestoreWindows() {
    for (const auto& window : RestoreWindows()) {
        if (window->hwnd())
            DestroyWindow(window->hwnd());
    }
    RestoreWindows().clear();
}

std::vector<CRestoreDlg*> OpenRestoreWindows() {
    std::vector<CRestoreDlg*> open;
    for (const auto& window : RestoreWindows()) {
        if (window->hwnd())
            open.push_back(window.get());
    }
    return open;
}

std::optional<std::wstring> AskBackupFile(HWND owner, bool save) {
    std::wstring filter = kBackupFileFilter;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.push_back(L'\0');
    std::wstring name(kFileNameChars, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    // No proposed name and no default extension: BackupSaveName adds it.
    dialog.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
        return std::nullopt;
    name.resize(wcslen(name.c_str()));
    return name;
}

}  // namespace vm
