#include "app/KRVDlg.win32.h"

#include <dbt.h>
#include <shellapi.h>
#include <shlobj.h>

#include "advanced/AdvancedDlg.win32.h"
#include "app/AccountPicker.win32.h"
#include "app/BrowsePaths.h"
#include "app/Commands.h"
#include "app/Messages.h"
#include "app/PopupMenu.win32.h"
#include "app/QuickSetOptionsDlg.win32.h"
#include "app/ViewMode.h"
#include "app/WindowPlacement.h"
#include "backup/RestoreDlg.win32.h"
#include "framework/Dpi.h"
#include "framework/Gdi.h"
#include "framework/ListCtrl.h"
#include "framework/Shell.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/ProgressDlg.win32.h"

namespace vm {

static_assert(kWmUser == WM_USER, "the private messages count from WM_USER");
static_assert(vk::kReturn == VK_RETURN && vk::kEscape == VK_ESCAPE && vk::kTab == VK_TAB &&
                  vk::kDelete == VK_DELETE && vk::kF5 == VK_F5,
              "the command table's keys are the system's virtual keys");

const std::array<int, kToolbarButtonCount> kToolbarButtonIds{
    IDC_MAIN_ADD,  IDC_MAIN_ALLOW,        IDC_MAIN_READ_ONLY,
    IDC_MAIN_DENY, IDC_MAIN_CHANGE_OWNER, IDC_MAIN_ADVANCED};

namespace {

// Pictures of the tool-bar buttons, in their table order.
constexpr std::array<UINT, kToolbarButtonCount> kToolbarPictures{
    IDP_ADD, IDP_ALLOW, IDP_READ_ONLY, IDP_DENY, IDP_CHANGE_OWNER, IDP_ADVANCED};
constexpr int kToolbarPictureSize = 30;
constexpr int kStripPictureSize = 16;

// Shell events of the shown folder: renamed, created, deleted items and
// folders (SHCNE_RENAMEITEM | SHCNE_CREATE | SHCNE_DELETE | SHCNE_MKDIR |
// SHCNE_RMDIR | SHCNE_RENAMEFOLDER).
constexpr LONG kFolderEvents = 0x0002001F;

ListEnvironment EnvironmentOf(AppContext& app) {
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

WindowRect ToWindowRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The control's rectangle in the client coordinates of its parent.
RECT ChildRect(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The work areas of the monitors there are, the primary first.
std::vector<vm::WindowRect> MonitorWorkAreas() {
    std::vector<vm::WindowRect> areas;
    const auto collect = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{sizeof info};
        if (GetMonitorInfoW(monitor, &info)) {
            auto& found = *reinterpret_cast<std::vector<vm::WindowRect>*>(data);
            const vm::WindowRect work = ToWindowRect(info.rcWork);
            if (info.dwFlags & MONITORINFOF_PRIMARY)
                found.insert(found.begin(), work);
            else
                found.push_back(work);
        }
        return TRUE;
    };
    EnumDisplayMonitors(nullptr, nullptr, collect, reinterpret_cast<LPARAM>(&areas));
    if (areas.empty()) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        areas.push_back(ToWindowRect(work));
    }
    return areas;
}

void ShowControl(HWND control, bool show) {
    ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

// A menu as the command table reads it, sub-menus included.
std::vector<MenuEntry> ReadMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        MenuEntry entry;
        entry.separator = (info.fType & MFT_SEPARATOR) != 0;
        entry.subMenu = info.hSubMenu != nullptr;
        entry.id = entry.subMenu ? 0 : info.wID;
        if (entry.subMenu)
            entry.entries = ReadMenu(info.hSubMenu);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Applies the table's answer to a menu and its sub-menus, from the last
// entry up so that a removal does not move the entries still to come.
void ApplyMenuUpdates(HMENU menu, const std::vector<MenuEntry>& entries,
                      const std::vector<MenuEntryUpdate>& updates) {
    for (size_t i = updates.size(); i-- > 0;) {
        const auto position = static_cast<UINT>(i);
        if (updates[i].removed) {
            DeleteMenu(menu, position, MF_BYPOSITION);
            continue;
        }
        if (entries[i].separator)
            continue;
        EnableMenuItem(menu, position,
                       MF_BYPOSITION | (updates[i].enabled ? MF_ENABLED : MF_GRAYED));
        if (updates[i].checked)
            CheckMenuRadioItem(menu, position, position, position, MF_BYPOSITION);
        if (HMENU sub = GetSubMenu(menu, static_cast<int>(i)))
            ApplyMenuUpdates(sub, entries[i].entries, updates[i].entries);
    }
}

// The current list's drawing is off while a command changes its rows.
class ListRedrawPause final : public ListDrawingPause {
  public:
    explicit ListRedrawPause(CMainList& list) : guard_(list) {}

  private:
    RedrawGuard guard_;
};

}  // namespace

CKRVDlg::CKRVDlg(AppContext& app)
    : CDialog(IDD_MAIN),
      app_(app),
      environment_(EnvironmentOf(app)),
      editList_(environment_),
      browseList_(environment_) {
    environment_.showItemMenu = [this] {
        PopupMenu(app_, PopupSubMenu::kItem, hwnd(), TPM_LEFTALIGN | TPM_TOPALIGN);
    };
}

CKRVDlg::~CKRVDlg() {
    EndShellNotifications();
}

std::span<const Route<CKRVDlg>> CKRVDlg::Routes() {
    static const Route<CKRVDlg> routes[] = {
        OnMsg(WM_SYSCOMMAND, &CKRVDlg::OnSysCommand),
        OnMsg(WM_PAINT, &CKRVDlg::OnPaint),
        OnMsg(WM_QUERYDRAGICON, &CKRVDlg::OnQueryDragIcon),
        OnMsg(WM_SIZE, &CKRVDlg::OnSize),
        OnMsg(WM_GETMINMAXINFO, &CKRVDlg::OnGetMinMaxInfo),
        OnMsg(WM_CLOSE, &CKRVDlg::OnClose),
        OnMsg(WM_THEMECHANGED, &CKRVDlg::OnThemeChanged),
        OnMsg(WM_DEVICECHANGE, &CKRVDlg::OnDeviceChange),
        OnMsg(WM_INITMENUPOPUP, &CKRVDlg::OnInitMenuPopup),
        OnMsg(kMsgRefreshMain, &CKRVDlg::OnRefreshMessage),
        OnMsg(kMsgStartPropagation, &CKRVDlg::OnStartPropagation),
        OnMsg(kMsgShellChange, &CKRVDlg::OnShellChange),
        OnMsg(kMsgUpdateStatus, &CKRVDlg::OnUpdateStatusMessage),
        OnMsg(kMsgUpdateCheckDone, &CKRVDlg::OnUpdateCheckDone),
        OnNotify(IDC_MAIN_EDIT_LIST, NM_DBLCLK, &CKRVDlg::OnListDoubleClick),
        OnNotify(IDC_MAIN_BROWSE_LIST, NM_DBLCLK, &CKRVDlg::OnListDoubleClick),
        OnCommand(IDC_MAIN_PATH_BAR, &CKRVDlg::OnPathBarSelect, CBN_SELCHANGE),
        OnCommand(IDC_MAIN_CLIPBOARD, &CKRVDlg::OnClipboardIndicator),
        OnTimer(kClipboardClickTimer, &CKRVDlg::OnClipboardClickTimer),
        OnMsg(kMsgRefreshRowOfWorker, &CKRVDlg::OnRefreshRowOfWorker),
        // Every other command: menus, buttons and keys, through the table.
        OnCommand(kAnyId, &CKRVDlg::OnAnyCommand),
    };
    return routes;
}

bool CKRVDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

// ---- Commands -------------------------------------------------------------------

MainWindowState CKRVDlg::Snapshot() {
    MainWindowState state = view_;
    CMainList& list = CurrentList();
    for (int row : list.SelectedRows()) {
        if (const ItemRecord* record = list.Record(row))
            state.selection.push_back({row, record->path, record->kind});
    }
    state.currentListRowCount = list.ItemCount();
    state.editListRowCount = editList_.ItemCount();
    state.hasCopiedDescriptor = app_.state.copyBuffer.CopiedDescriptor.has_value();
    state.hasCopiedOwnerName = !app_.state.copyBuffer.CopiedOwnerName.empty();
    const HWND edit = pathBar_ ? pathBar_.Edit() : nullptr;
    state.pathBarEditHasFocus = edit != nullptr && GetFocus() == edit;
    state.demonstrationMachine = app_.state.demonstration != nullptr;
    return state;
}

bool CKRVDlg::Execute(uint32_t commandId) {
    const MainWindowState state = Snapshot();
    CommandContext context{state, app_.state, *this};
    return RunCommand(commandId, context);
}

LRESULT CKRVDlg::OnAnyCommand(Message& m) {
    // Menus and accelerators send 0 and 1, a clicked button BN_CLICKED (0).
    const UINT code = m.RouteCode();
    m.handled = (code == 0 || code == 1) && Execute(m.RouteId());
    return 0;
}

LRESULT CKRVDlg::OnSysCommand(Message& m) {
    if ((m.wParam & 0xFFF0) == IDM_ABOUTBOX) {
        Execute(ID_APP_ABOUT);
        return 0;
    }
    m.handled = false;
    return 0;
}

void CKRVDlg::HandleKey(UINT virtualKey) {
    const MainWindowState state = Snapshot();
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    // Posted: the key still goes on to its control, and a command that opens
    // a window does so from the message loop, not from inside the hook.
    if (const Command* command = CommandForKey(virtualKey, ctrl, state))
        Post(WM_COMMAND, MAKEWPARAM(command->id, 0));
}

LRESULT CKRVDlg::OnInitMenuPopup(Message& m) {
    if (HIWORD(m.lParam))  // the window menu
        return 0;
    const auto menu = reinterpret_cast<HMENU>(m.wParam);
    const std::vector<MenuEntry> entries = ReadMenu(menu);
    ApplyMenuUpdates(menu, entries, UpdateMenu(entries, Snapshot()));
    return 0;
}

// ---- Initialisation ------------------------------------------------------------

BOOL CKRVDlg::OnInitDialog() {
    AddAboutToSystemMenu();
    SetIcons();
    if (app_.state.demonstration)
        SetWindowTextW(hwnd(), L"" STR_DEMO_CAPTION);
    environment_.messageOwner = hwnd();
    app_.mainWindow = hwnd();
    app_.state.user.CurrentUserGroups =
        BuildCurrentUserGroups(app_.state.platform(), app_.state.user.CurrentUserName);
    RecordToolbarLayouts();
    SetUpButtons();
    editList_.AttachDlgItem(hwnd(), IDC_MAIN_EDIT_LIST);
    browseList_.AttachDlgItem(hwnd(), IDC_MAIN_BROWSE_LIST);
    editList_.SetUpColumns(ListMode::kEdit);
    browseList_.SetUpColumns(ListMode::kBrowse);
    AllowMessagesFromTheShell();
    pathBar_.AttachDlgItem(hwnd(), IDC_MAIN_PATH_BAR);
    pathBar_.Fill(app_);
    pathBar_.Select(kDesktopEntry);
    ShowDrives();
    ShowStartFolder();
    SetViewMode(StartingViewMode(app_.settings));
    EnableWindow(Item(IDC_MAIN_CLIPBOARD), FALSE);
    keys_ = std::make_unique<KeyboardShortcutHook>(hwnd(), [this](UINT key) { HandleKey(key); });
    ApplyInitialPlacement();
    LayOut();
    return TRUE;
}

void CKRVDlg::OnDestroyed() {
    CloseRestoreWindows();  // their runs stop at a row boundary first
    keys_.reset();
    updateChecks_.reset();  // cancels running checks while the window still exists
    EndShellNotifications();
    CDialog::OnDestroyed();
}

void CKRVDlg::AddAboutToSystemMenu() {
    HMENU system = GetSystemMenu(hwnd(), FALSE);
    if (!system)
        return;
    AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, L"" STR_MENU_ABOUT);
}

void CKRVDlg::SetIcons() {
    const auto load = [](int size) {
        return static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDI_VELMORA),
                                             IMAGE_ICON, size, size, LR_SHARED));
    };
    bigIcon_ = load(MetricForDpi(SM_CXICON, Dpi()));
    smallIcon_ = load(MetricForDpi(SM_CXSMICON, Dpi()));
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void CKRVDlg::SetUpButtons() {
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        toolbarButtons_[i].AttachDlgItem(hwnd(), kToolbarButtonIds[i]);
        toolbarButtons_[i].SetImage(kToolbarPictures[i], kToolbarPictureSize, true);
    }
    backButton_.AttachDlgItem(hwnd(), IDC_MAIN_BACK);
    backButton_.SetImage(IDP_BACK, kStripPictureSize, false);
    menuButton_.AttachDlgItem(hwnd(), IDC_MAIN_MENU_BUTTON);
    menuButton_.SetImage(IDP_MAIN_MENU, kStripPictureSize, false);
    clipboardButton_.AttachDlgItem(hwnd(), IDC_MAIN_CLIPBOARD);
    clipboardButton_.SetImage(IDP_CLIPBOARD, kStripPictureSize, false);
    nonNtfsButton_.AttachDlgItem(hwnd(), IDC_MAIN_NON_NTFS);
    nonNtfsButton_.SetImage(IDP_NON_NTFS, kStripPictureSize, true);
}

// The buttons' places in the dialog template, at the DPI the dialog was made
// for; every later DPI scales them from there (not from the last one, so
// that rounding does not pile up).
void CKRVDlg::RecordToolbarLayouts() {
    templateDpi_ = Dpi();
    for (size_t i = 0; i < kToolbarButtonCount; ++i)
        templateButtons_[i] = ToWindowRect(ChildRect(hwnd(), Item(kToolbarButtonIds[i])));
    templateSeparatorTops_ = {static_cast<int>(ChildRect(hwnd(), Item(IDC_MAIN_SEPARATOR1)).top),
                              static_cast<int>(ChildRect(hwnd(), Item(IDC_MAIN_SEPARATOR2)).top)};
    ComputeToolbarLayoutsForDpi();
    toolbarLayout_ = 0;
}

void CKRVDlg::ComputeToolbarLayoutsForDpi() {
    const int dpi = Dpi();
    std::array<vm::WindowRect, kToolbarButtonCount> rects{};
    for (size_t i = 0; i < kToolbarButtonCount; ++i)
        rects[i] = ScaleRectBetweenDpi(templateButtons_[i], templateDpi_, dpi);
    const std::array<int, 2> tops{ScaleBetweenDpi(templateSeparatorTops_[0], templateDpi_, dpi),
                                  ScaleBetweenDpi(templateSeparatorTops_[1], templateDpi_, dpi)};
    toolbarLayouts_ = ComputeToolbarLayouts(rects, tops, dpi);
}

// The monitor's scale changed, or the window moved to a monitor of another
// scale: the controls have their fonts, places and pictures at the new DPI
// (CDialog); the tool bar and the rest are laid out anew.
void CKRVDlg::OnDpiChanged(int, int) {
    SetIcons();
    ComputeToolbarLayoutsForDpi();
    toolbarLayout_ = -1;  // the rectangles changed: placed again whichever layout it is
    LayOut();
}

RECT CKRVDlg::RectForNewDpi(const RECT& suggested) {
    // Windows moves a window to the monitor of its saved rectangle at that
    // monitor's scale; the rectangle was saved there, so it stays as saved.
    if (placing_)
        return placingRect_;
    return suggested;
}

// The shell's change notifications come from the shell's process, which
// runs without elevation: this elevated window lets them through. Drops go
// to the Edit Mode list, which lets its own messages through (CKRVListCtrl).
void CKRVDlg::AllowMessagesFromTheShell() {
    if (IsVistaOrLater(app_.state.OsVersion))
        AllowMessagesFromUnelevatedPrograms(hwnd(), {kMsgShellChange});
}

void CKRVDlg::ApplyInitialPlacement() {
    const InitialPlacement placement =
        ChooseInitialPlacement(app_.settings, MonitorWorkAreas(), Dpi());
    const vm::WindowRect& r = placement.rect;
    placed_ = true;
    if (placement.show == InitialShow::kMaximized) {
        ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
        return;
    }
    placing_ = true;
    placingRect_ = {r.left, r.top, r.right, r.bottom};
    MoveWindow(hwnd(), r.left, r.top, r.width(), r.height(), FALSE);
    placing_ = false;
    ShowWindow(hwnd(), SW_SHOW);
}

// ---- Layout and painting ---------------------------------------------------------

int CKRVDlg::ToolbarHeight() const {
    return toolbarLayouts_[0].buttons[kAddButton].rect.height() +
           toolbarLayouts_[0].buttons[kAddButton].rect.top;
}

void CKRVDlg::MoveControl(int id, const ControlPlace& place) {
    MoveWindow(Item(id), place.x, place.y, place.width, place.height, FALSE);
}

void CKRVDlg::ApplyToolbarLayout(int index) {
    toolbarLayout_ = index;
    const ToolbarLayout& layout = toolbarLayouts_[static_cast<size_t>(index)];
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        const vm::WindowRect& r = layout.buttons[i].rect;
        toolbarButtons_[i].ShowText(layout.buttons[i].showText);
        MoveWindow(Item(kToolbarButtonIds[i]), r.left, r.top, r.width(), r.height(), TRUE);
    }
    const int separators[] = {IDC_MAIN_SEPARATOR1, IDC_MAIN_SEPARATOR2};
    for (size_t i = 0; i < 2; ++i) {
        const vm::WindowRect& r = layout.separators[i];
        MoveWindow(Item(separators[i]), r.left, r.top, r.width(), r.height(), TRUE);
        ShowControl(Item(separators[i]), layout.separatorsVisible);
    }
}

void CKRVDlg::LayOut() {
    const RECT window = WindowRect();
    const RECT client = ClientRect();
    const int layout =
        ChooseToolbarLayout(window.right - window.left, client.right, toolbarLayouts_, Dpi());
    if (layout != toolbarLayout_)
        ApplyToolbarLayout(layout);
    const MainWindowPlaces places =
        ComputeMainWindowPlaces(client.right, client.bottom, ToolbarHeight(), Dpi());
    MoveControl(IDC_MAIN_EDIT_LIST, places.editList);
    MoveControl(IDC_MAIN_BACK, places.backButton);
    MoveControl(IDC_MAIN_PATH_BAR, places.pathBar);
    MoveControl(IDC_MAIN_BROWSE_LIST, places.browseList);
    MoveControl(IDC_MAIN_MENU_BUTTON, places.menuButton);
    MoveControl(IDC_MAIN_CLIPBOARD, places.clipboardIndicator);
    MoveControl(IDC_MAIN_NON_NTFS, places.nonNtfsButton);
    MoveControl(IDC_MAIN_STATUS, places.statusText);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

LRESULT CKRVDlg::OnPaint(Message&) {
    PaintDc paint(hwnd());
    const RECT client = ClientRect();
    if (IsIconic(hwnd())) {
        DrawIcon(paint.get(), (client.right - GetSystemMetrics(SM_CXICON)) / 2,
                 (client.bottom - GetSystemMetrics(SM_CYICON)) / 2, bigIcon_);
        return 0;
    }
    HBRUSH light = GetSysColorBrush(COLOR_3DLIGHT);
    const int h = ToolbarHeight();
    const RECT line{0, h, client.right, h + 1};
    FillRect(paint.get(), &line, light);
    if (view_.BrowseListVisible()) {
        RECT frame = ChildRect(hwnd(), browseList_.hwnd());
        InflateRect(&frame, 1, 1);
        FrameRect(paint.get(), &frame, light);
    }
    return 0;
}

LRESULT CKRVDlg::OnQueryDragIcon(Message&) {
    return reinterpret_cast<LRESULT>(smallIcon_);
}

LRESULT CKRVDlg::OnSize(Message& m) {
    // The size changes of the dialog's creation are not the user's.
    if (!placed_)
        return 0;
    const auto kind = static_cast<SizeKind>(m.wParam);
    RecordSizeChange(app_.settings, kind, ToWindowRect(WindowRect()));
    if (kind == SizeKind::kMinimized)
        return 0;
    LayOut();
    const RECT client = ClientRect();
    const RECT bottom{0, client.bottom - BottomRepaintHeight(Dpi()), client.right, client.bottom};
    InvalidateRect(hwnd(), &bottom, TRUE);
    return 0;
}

LRESULT CKRVDlg::OnGetMinMaxInfo(Message& m) {
    auto& info = *reinterpret_cast<MINMAXINFO*>(m.lParam);
    const WindowSize minimum = MinimumTrackSize(Dpi());
    info.ptMinTrackSize = {minimum.width, minimum.height};
    return 0;
}

LRESULT CKRVDlg::OnClose(Message&) {
    CloseMainWindow();
    return 0;
}

void CKRVDlg::CloseMainWindow() {
    RecordClose(app_.settings, IsIconic(hwnd()) != FALSE, ToWindowRect(WindowRect()));
    Close(IDCANCEL);
}

LRESULT CKRVDlg::OnThemeChanged(Message& m) {
    app_.shell.themeActive = IsThemeActive() != FALSE;
    m.handled = false;
    return 0;
}

LRESULT CKRVDlg::OnDeviceChange(Message& m) {
    const bool removed = m.wParam == DBT_DEVICEREMOVECOMPLETE;
    if (removed && !view_.currentFolder.empty() &&
        !app_.state.platform().PathFileExists(view_.currentFolder)) {
        ShowDrives();
        return TRUE;
    }
    if ((removed || m.wParam == DBT_DEVICEARRIVAL) && view_.ShowsDriveList()) {
        app_.state.fileSystems = FileSystemTable::Read(app_.state.platform());
        Refresh();
    }
    return TRUE;
}

// ---- View modes, browsing ------------------------------------------------------------

void CKRVDlg::ShowViewControls() {
    const ViewModeControls controls = ControlsForViewMode(view_);
    EnableWindow(Item(IDC_MAIN_ADD), controls.addButtonEnabled);
    ShowControl(Item(IDC_MAIN_NON_NTFS), controls.nonNtfsIndicatorVisible);
    ShowControl(Item(IDC_MAIN_BACK), controls.backButtonVisible);
    ShowControl(pathBar_.hwnd(), controls.pathBarVisible);
    ShowControl(browseList_.hwnd(), controls.browseListVisible);
    ShowControl(editList_.hwnd(), controls.editListVisible);
}

void CKRVDlg::SetViewMode(ViewMode mode) {
    view_.viewMode = mode;
    ShowViewControls();
    app_.settings.viewMode = SettingOfViewMode(mode);
    UpdateStatus();
    // The rows are reread after the switch has been painted; a long list is
    // left as it is.
    if (RereadsRowsOnSwitch(CurrentList().ItemCount()))
        Post(kMsgRefreshMain);
    Invalidate(true);
}

void CKRVDlg::ShowDrives() {
    EndShellNotifications();
    view_.currentFolder.clear();
    view_.currentFolderOnNtfs = true;
    {
        RedrawGuard drawing(browseList_);
        browseList_.RemoveAllRows();
        for (const std::wstring& root : DriveRootPaths(app_.state.platform()))
            browseList_.AppendRow(root);
    }
    EnableWindow(Item(IDC_MAIN_BACK), FALSE);
    pathBar_.Follow(L"");
    pathBar_.Select(kComputerEntry);
    UpdateStatus();
    ShowViewControls();
}

void CKRVDlg::NavigateTo(const std::wstring& folder) {
    Platform& platform = app_.state.platform();
    EndShellNotifications();
    SetDlgItemTextW(hwnd(), IDC_MAIN_STATUS, L"");
    BuildExtensionIconCache(app_.shell.iconCache);
    view_.currentFolder = folder;
    pathBar_.Follow(folder);
    {
        RedrawGuard drawing(browseList_);
        browseList_.RemoveAllRows();
        // One listing gives every row its kind and times: no platform call per row.
        browseList_.AppendEntries(ReadFolderEntries(platform, folder));
        browseList_.Resort();
    }
    EnableWindow(Item(IDC_MAIN_BACK), TRUE);
    UpdateStatus();
    view_.currentFolderOnNtfs = IsOnNtfs(platform, folder);
    ShowViewControls();
    RegisterShellNotifications(folder);
}

// Browse Mode starts on the drives; the demonstration program may name a
// folder of its machine instead.
void CKRVDlg::ShowStartFolder() {
    if (!app_.state.demonstration)
        return;
    const std::wstring folder = app_.state.demonstration->StartFolder();
    if (!folder.empty())
        NavigateTo(folder);
}

void CKRVDlg::GoBack() {
    if (auto above = FolderAbove(view_.currentFolder))
        NavigateTo(*above);
    else
        ShowDrives();
}

void CKRVDlg::Refresh() {
    if (view_.EditListVisible()) {
        editList_.RefreshAllRows(true);
    } else if (view_.currentFolder.empty()) {
        ShowDrives();
    } else {
        NavigateTo(view_.currentFolder);
    }
    CurrentList().Invalidate();
}

void CKRVDlg::UpdateStatus() {
    CMainList& list = CurrentList();
    SetDlgItemTextW(hwnd(), IDC_MAIN_STATUS,
                    StatusText(list.SelectedCount(), list.ItemCount()).c_str());
}

LRESULT CKRVDlg::OnRefreshMessage(Message&) {
    Refresh();
    return 0;
}

// SHCNRF_NewDelivery: the notification lies in shared memory named by the
// message, which SHChangeNotification_Lock maps and Unlock releases; a
// message that names none (posted by anyone else) still refreshes.
LRESULT CKRVDlg::OnShellChange(Message& m) {
    PIDLIST_ABSOLUTE* items = nullptr;
    LONG event = 0;
    HANDLE lock = SHChangeNotification_Lock(reinterpret_cast<HANDLE>(m.wParam),
                                            static_cast<DWORD>(m.lParam), &items, &event);
    if (lock)
        SHChangeNotification_Unlock(lock);
    Refresh();
    return 0;
}

LRESULT CKRVDlg::OnUpdateStatusMessage(Message&) {
    UpdateStatus();
    return 0;
}

LRESULT CKRVDlg::OnListDoubleClick(Message& m) {
    const bool browse = m.Notify().idFrom == IDC_MAIN_BROWSE_LIST;
    CMainList& list = browse ? browseList_ : editList_;
    const auto& activate = *reinterpret_cast<const NMITEMACTIVATE*>(m.lParam);
    ItemRecord* record = activate.iItem >= 0 ? list.Record(activate.iItem) : nullptr;
    if (!browse || !record || record->BaseKind() == kKindFile) {
        if (record || !browse)
            Execute(ID_ITEM_OPEN);
        return 0;
    }
    if (record->access == static_cast<int32_t>(AccessLevel::kDenied) &&
        !app_.state.reporter().Ask(L"" STR_DENIED_FOLDER_QUESTION))
        return 0;
    const std::wstring folder = record->path;
    NavigateTo(folder);
    return 0;
}

LRESULT CKRVDlg::OnPathBarSelect(Message&) {
    if (const auto folder = pathBar_.SelectedFolder()) {
        if (folder->empty())
            ShowDrives();
        else
            NavigateTo(*folder);
    }
    return 0;
}

void CKRVDlg::RegisterShellNotifications(const std::wstring& folder) {
    // The demonstration machine's folders are not the shell's.
    if (app_.state.demonstration)
        return;
    const ItemIdList item(ILCreateFromPathW(folder.c_str()));
    if (!item)
        return;
    SHChangeNotifyEntry entry{item.get(), FALSE};
    // Interrupt level: changes the file system reports, made by any program;
    // shell level: changes programs announce with SHChangeNotify. The new
    // delivery is the one every client should ask for
    // (SHChangeNotifyRegister docs).
    constexpr int kSources = SHCNRF_InterruptLevel | SHCNRF_ShellLevel | SHCNRF_NewDelivery;
    shellNotification_ =
        SHChangeNotifyRegister(hwnd(), kSources, kFolderEvents, kMsgShellChange, 1, &entry);
}

void CKRVDlg::EndShellNotifications() {
    if (shellNotification_ != 0)
        SHChangeNotifyDeregister(shellNotification_);
    shellNotification_ = 0;
}

// ---- What the commands ask of the window -------------------------------------------

void CKRVDlg::NavigateToTypedPath() {
    const std::wstring folder = pathBar_.TypedText();
    if (!folder.empty() && app_.state.platform().PathIsDirectory(folder))
        NavigateTo(folder);
}

void CKRVDlg::ShowMainMenu() {
    PopupMenu(app_, PopupSubMenu::kMain, hwnd(), TPM_LEFTALIGN | TPM_BOTTOMALIGN);
}

void CKRVDlg::SelectAllRows() {
    CurrentList().SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    UpdateStatus();
}

void CKRVDlg::RemoveSelectedRows() {
    editList_.RemoveSelectedRows();
}

void CKRVDlg::AppendToEditList(const std::wstring& path) {
    editList_.AppendRow(path);
}

void CKRVDlg::OpenSelectedRows() {
    CurrentList().OpenSelectedRows();
}

std::unique_ptr<ListDrawingPause> CKRVDlg::PauseListDrawing() {
    return std::make_unique<ListRedrawPause>(CurrentList());
}

void CKRVDlg::StoreRowAccess(int row, AccessLevel access) {
    if (ItemRecord* record = CurrentList().Record(row))
        record->access = static_cast<int32_t>(access);
}

void CKRVDlg::RefreshRow(int row) {
    // A worker's row (Inheritance Permissions) is reread on the window's
    // thread; the worker goes on once it is.
    if (GetWindowThreadProcessId(hwnd(), nullptr) != GetCurrentThreadId()) {
        Send(kMsgRefreshRowOfWorker, static_cast<WPARAM>(row));
        return;
    }
    CurrentList().RefreshRow(row, false);
}

void CKRVDlg::ShowRowOwner(int row, const std::wstring& owner) {
    CurrentList().SetCellText(row, kColumnOwner, OwnerCellText(owner));
}

std::optional<QuickSetOptions> CKRVDlg::AskQuickSetOptions(QuickKind kind, bool allFiles) {
    // The caption ends with the text of the command's tool-bar button.
    const int button = kToolbarButtonIds[1 + static_cast<size_t>(kind)];
    wchar_t buttonText[64]{};
    GetDlgItemTextW(hwnd(), button, buttonText, static_cast<int>(std::size(buttonText)));
    CQuickSetOptionsDlg options(app_, buttonText, allFiles);
    if (options.DoModal(hwnd()) != IDOK)
        return std::nullopt;
    return QuickSetOptions{options.trustee(), options.scope()};
}

uint32_t CKRVDlg::ChooseFromTrusteeMenu() {
    return PopupMenu(app_, PopupSubMenu::kTrustee, hwnd(), TPM_LEFTALIGN | TPM_TOPALIGN, true);
}

std::wstring CKRVDlg::PickAccount() {
    return vm::PickAccount(hwnd(), app_);
}

void CKRVDlg::RunAdvancedDialog(const std::wstring& path) {
    vm::RunAdvancedDialog(app_, hwnd(), path);
}

LRESULT CKRVDlg::OnStartPropagation(Message& m) {
    CProgressDlg::StartWorkerOf(m.wParam);
    return 0;
}

}  // namespace vm
