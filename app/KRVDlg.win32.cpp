#include "app/KRVDlg.win32.h"

#include <dbt.h>
#include <shellapi.h>

#include "app/BrowsePaths.h"
#include "app/KeyCommands.h"
#include "app/MenuRules.h"
#include "app/Messages.h"
#include "app/PopupMenu.win32.h"
#include "app/QuickSetOptionsDlg.win32.h"
#include "app/TrusteeMenu.h"
#include "app/ViewMode.h"
#include "app/WindowPlacement.h"
#include "framework/Gdi.h"
#include "resources/resource.h"
#include "security/DaclEdits.h"

namespace vm {

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
constexpr int kBottomRepaintHeight = 36;
constexpr wchar_t kDeniedFolderQuestion[] =
    L"You don't currently have permission to access this folder.\n"
    L"Do you want to access to this folder anyway?";
constexpr wchar_t kAboutText[] = L"Velmora 1.3.0.129\nNTFS security settings of files and folders.";

ListEnvironment EnvironmentOf(AppContext& app) {
    ListEnvironment environment;
    environment.state = &app.state;
    environment.icons = &app.shell.iconCache;
    environment.smallImages = app.shell.smallSystemImages;
    environment.themeActive = &app.shell.themeActive;
    environment.accessIcons[0] = app.shell.pictures.accessAllowed.get();
    environment.accessIcons[1] = app.shell.pictures.accessReadOnly.get();
    environment.accessIcons[2] = app.shell.pictures.accessDenied.get();
    environment.ownerIcon = app.shell.pictures.owner.get();
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

WindowRect WorkArea() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return ToWindowRect(work);
}

std::wstring ShellDisplayName(const std::wstring& path) {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME) &&
        info.szDisplayName[0])
        return info.szDisplayName;
    return path;
}

// Display name and small icon of a special folder (Desktop, Computer).
std::pair<std::wstring, int> SpecialFolderNameAndIcon(int csidl) {
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &item)) || !item)
        return {L"", 0};
    SHFILEINFOW info{};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    CoTaskMemFree(item);
    return {info.szDisplayName, info.iIcon};
}

std::wstring DesktopDirectory() {
    wchar_t path[MAX_PATH]{};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

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
        OnMsg(kMsgShellChange, &CKRVDlg::OnRefreshMessage),
        OnMsg(kMsgUpdateStatus, &CKRVDlg::OnUpdateStatusMessage),
        OnNotify(IDC_MAIN_EDIT_LIST, NM_DBLCLK, &CKRVDlg::OnListDoubleClick),
        OnNotify(IDC_MAIN_BROWSE_LIST, NM_DBLCLK, &CKRVDlg::OnListDoubleClick),
        OnCommand(IDC_MAIN_PATH_BAR, &CKRVDlg::OnPathBarSelect, CBN_SELCHANGE),
        OnCommand(IDC_MAIN_BACK, &CKRVDlg::OnBack, BN_CLICKED),
        OnCommand(IDC_MAIN_MENU_BUTTON, &CKRVDlg::OnMenuButton, BN_CLICKED),
        OnCommand(IDC_MAIN_ALLOW, &CKRVDlg::OnAllowAccess, BN_CLICKED),
        OnCommand(IDC_MAIN_READ_ONLY, &CKRVDlg::OnReadOnly, BN_CLICKED),
        OnCommand(IDC_MAIN_DENY, &CKRVDlg::OnDenyAccess, BN_CLICKED),
        OnCommand(IDC_MAIN_CHANGE_OWNER, &CKRVDlg::OnChangeOwner, BN_CLICKED),
        OnCommand(ID_VIEW_EDIT_MODE, &CKRVDlg::OnEditModeCommand),
        OnCommand(ID_VIEW_BROWSE_MODE, &CKRVDlg::OnBrowseModeCommand),
        OnCommand(ID_ITEM_REFRESH, &CKRVDlg::OnRefreshCommand),
        OnCommand(ID_ITEM_OPEN, &CKRVDlg::OnOpenCommand),
        OnCommand(ID_ITEM_REMOVE, &CKRVDlg::OnRemoveCommand),
        OnCommand(ID_ITEM_SEND_TO_EDIT_VIEW, &CKRVDlg::OnSendToEditView),
        OnCommand(ID_ITEM_PASTE_SECURITY, &CKRVDlg::OnPasteCommand),
        OnCommand(ID_APP_EXIT, &CKRVDlg::OnExitCommand),
        OnCommand(ID_APP_ABOUT, &CKRVDlg::OnAboutCommand),
    };
    return routes;
}

bool CKRVDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

// ---- Initialisation ------------------------------------------------------------

BOOL CKRVDlg::OnInitDialog() {
    AddAboutToSystemMenu();
    SetIcons();
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
    AllowDropsFromUnelevatedPrograms();
    FillPathBar();
    SelectPathBarEntry(kDesktopEntry);
    ShowDrives();
    SetViewMode(StartViewMode(app_.settings));
    EnableWindow(Item(IDC_MAIN_CLIPBOARD), FALSE);
    ShowNonNtfsIndicator(false);
    keys_ = std::make_unique<KeyboardShortcutHook>(hwnd(), [this](UINT key) { HandleKey(key); });
    ApplyInitialPlacement();
    LayOut();
    return TRUE;
}

void CKRVDlg::OnDestroyed() {
    keys_.reset();
    EndShellNotifications();
    CDialog::OnDestroyed();
}

void CKRVDlg::AddAboutToSystemMenu() {
    HMENU system = GetSystemMenu(hwnd(), FALSE);
    if (!system)
        return;
    AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, L"About Velmora...");
}

void CKRVDlg::SetIcons() {
    const auto load = [](int size) {
        return static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDI_VELMORA),
                                             IMAGE_ICON, size, size, LR_SHARED));
    };
    bigIcon_ = load(GetSystemMetrics(SM_CXICON));
    smallIcon_ = load(GetSystemMetrics(SM_CXSMICON));
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

void CKRVDlg::RecordToolbarLayouts() {
    std::array<vm::WindowRect, kToolbarButtonCount> rects{};
    for (size_t i = 0; i < kToolbarButtonCount; ++i)
        rects[i] = ToWindowRect(ChildRect(hwnd(), Item(kToolbarButtonIds[i])));
    const std::array<int, 2> separatorTops{
        static_cast<int>(ChildRect(hwnd(), Item(IDC_MAIN_SEPARATOR1)).top),
        static_cast<int>(ChildRect(hwnd(), Item(IDC_MAIN_SEPARATOR2)).top)};
    toolbarLayouts_ = ComputeToolbarLayouts(rects, separatorTops);
    toolbarLayout_ = 0;
}

void CKRVDlg::AllowDropsFromUnelevatedPrograms() {
    if (!IsVistaOrLater(app_.state.OsVersion))
        return;
    using FilterFunction = BOOL(WINAPI*)(UINT, DWORD);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto filter = reinterpret_cast<FilterFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")));
    if (!filter)
        return;
    constexpr DWORD kAdd = 1;  // MSGFLT_ADD
    // WM_DROPFILES, WM_COPYDATA and WM_COPYGLOBALDATA (0x0049).
    for (UINT message : {0x0233u, 0x004Au, 0x0049u})
        filter(message, kAdd);
}

void CKRVDlg::ApplyInitialPlacement() {
    const InitialPlacement placement = ChooseInitialPlacement(app_.settings, WorkArea());
    const vm::WindowRect& r = placement.rect;
    placed_ = true;
    if (placement.show == InitialShow::kMaximized) {
        ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
        return;
    }
    MoveWindow(hwnd(), r.left, r.top, r.width(), r.height(), FALSE);
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
        toolbarButtons_[i].SetImage(kToolbarPictures[i], kToolbarPictureSize,
                                    layout.buttons[i].showText);
        MoveWindow(Item(kToolbarButtonIds[i]), r.left, r.top, r.width(), r.height(), TRUE);
    }
    const int separators[] = {IDC_MAIN_SEPARATOR1, IDC_MAIN_SEPARATOR2};
    for (size_t i = 0; i < 2; ++i) {
        const vm::WindowRect& r = layout.separators[i];
        MoveWindow(Item(separators[i]), r.left, r.top, r.width(), r.height(), TRUE);
        ShowWindow(Item(separators[i]), layout.separatorsVisible ? SW_SHOW : SW_HIDE);
    }
}

void CKRVDlg::LayOut() {
    const RECT window = WindowRect();
    const int layout = ToolbarLayoutForWidth(window.right - window.left);
    if (layout != toolbarLayout_)
        ApplyToolbarLayout(layout);
    const RECT client = ClientRect();
    const MainWindowPlaces places =
        ComputeMainWindowPlaces(client.right, client.bottom, ToolbarHeight());
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
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd(), &paint);
    if (IsIconic(hwnd())) {
        const RECT client = ClientRect();
        DrawIcon(dc, (client.right - GetSystemMetrics(SM_CXICON)) / 2,
                 (client.bottom - GetSystemMetrics(SM_CYICON)) / 2, bigIcon_);
    } else {
        HBRUSH light = GetSysColorBrush(COLOR_3DLIGHT);
        const RECT client = ClientRect();
        const int h = ToolbarHeight();
        const RECT line{0, h, client.right, h + 1};
        FillRect(dc, &line, light);
        if (IsWindowVisible(Item(IDC_MAIN_BROWSE_LIST))) {
            RECT frame = ChildRect(hwnd(), Item(IDC_MAIN_BROWSE_LIST));
            InflateRect(&frame, 1, 1);
            FrameRect(dc, &frame, light);
        }
    }
    EndPaint(hwnd(), &paint);
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
    const RECT bottom{0, client.bottom - kBottomRepaintHeight, client.right, client.bottom};
    InvalidateRect(hwnd(), &bottom, TRUE);
    return 0;
}

LRESULT CKRVDlg::OnGetMinMaxInfo(Message& m) {
    auto& info = *reinterpret_cast<MINMAXINFO*>(m.lParam);
    info.ptMinTrackSize = {kMinimumTrackSize.width, kMinimumTrackSize.height};
    return 0;
}

LRESULT CKRVDlg::OnClose(Message&) {
    RecordClose(app_.settings, IsIconic(hwnd()) != FALSE, ToWindowRect(WindowRect()));
    Close(IDCANCEL);
    return 0;
}

LRESULT CKRVDlg::OnThemeChanged(Message& m) {
    app_.shell.themeActive = IsThemeActive() != FALSE;
    m.handled = false;
    return 0;
}

LRESULT CKRVDlg::OnDeviceChange(Message& m) {
    const bool removed = m.wParam == DBT_DEVICEREMOVECOMPLETE;
    if (removed && !currentFolder_.empty() &&
        !app_.state.platform().PathFileExists(currentFolder_)) {
        ShowDrives();
        return TRUE;
    }
    const bool browsingDrives = currentFolder_.empty() && IsWindowVisible(browseList_.hwnd());
    if ((removed || m.wParam == DBT_DEVICEARRIVAL) && browsingDrives) {
        app_.state.fileSystems = FileSystemTable::Read(app_.state.platform());
        Refresh();
    }
    return TRUE;
}

// ---- Menus -------------------------------------------------------------------------

LRESULT CKRVDlg::OnInitMenuPopup(Message& m) {
    if (HIWORD(m.lParam))  // the window menu
        return 0;
    HMENU menu = reinterpret_cast<HMENU>(m.wParam);
    CMainList& list = CurrentList();
    MenuState state;
    state.isItemContextMenu = GetMenuItemID(menu, 0) == cmd::kItemAdvanced;
    state.selectedCount = list.SelectedCount();
    if (state.selectedCount == 1) {
        const auto records = list.SelectedRecords();
        state.singleSelectionIsDirectory =
            !records.empty() && records[0] && records[0]->BaseKind() != kKindFile;
    }
    state.hasCopiedDescriptor = app_.state.copyBuffer.CopiedDescriptor.has_value();
    state.hasCopiedOwnerName = !app_.state.copyBuffer.CopiedOwnerName.empty();
    state.viewMode = ViewMode();
    state.editListRowCount = editList_.ItemCount();
    state.currentFolderEmpty = currentFolder_.empty();
    state.currentFolderOnNtfs = currentFolderOnNtfs_;

    const MenuAdjustments adjust = AdjustMenuOnOpen(state);
    for (uint32_t command : adjust.disableCommands)
        EnableMenuItem(menu, command, MF_BYCOMMAND | MF_GRAYED);
    for (int position : adjust.disablePositions)
        EnableMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_GRAYED);
    for (uint32_t command : adjust.removeCommands)
        DeleteMenu(menu, command, MF_BYCOMMAND);
    if (adjust.radioCommand != 0)
        CheckMenuRadioItem(menu, cmd::kEditMode, cmd::kBrowseMode, adjust.radioCommand,
                           MF_BYCOMMAND);
    return 0;
}

LRESULT CKRVDlg::OnMenuButton(Message&) {
    PopupMenu(app_, PopupSubMenu::kMain, hwnd(), TPM_LEFTALIGN | TPM_BOTTOMALIGN);
    return 0;
}

LRESULT CKRVDlg::OnSysCommand(Message& m) {
    const UINT command = static_cast<UINT>(m.wParam & 0xFFF0);
    if (command == IDM_ABOUTBOX)
        return OnAboutCommand(m);
    m.handled = false;
    return 0;
}

LRESULT CKRVDlg::OnAboutCommand(Message&) {
    app_.state.reporter().Tell(kAboutText, MessageIcon::kInformation);
    return 0;
}

LRESULT CKRVDlg::OnExitCommand(Message&) {
    Close(IDCANCEL);
    return 0;
}

// ---- View modes, browsing ------------------------------------------------------------

void CKRVDlg::SetViewMode(int mode) {
    const ViewModeControls controls =
        ControlsForViewMode(mode, currentFolder_.empty(), currentFolderOnNtfs_);
    EnableWindow(Item(IDC_MAIN_ADD), controls.addButtonEnabled);
    ShowNonNtfsIndicator(controls.nonNtfsIndicatorVisible);
    ShowWindow(Item(IDC_MAIN_BACK), controls.backButtonVisible ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_MAIN_PATH_BAR), controls.pathBarVisible ? SW_SHOW : SW_HIDE);
    ShowWindow(browseList_.hwnd(), controls.browseListVisible ? SW_SHOW : SW_HIDE);
    ShowWindow(editList_.hwnd(), controls.editListVisible ? SW_SHOW : SW_HIDE);
    app_.settings.viewMode = mode == kEditMode ? kEditMode : kBrowseMode;
    UpdateStatus();
    // The rows are reread after the switch has been painted; a long list is
    // left as it is.
    if (RereadsRowsOnSwitch(CurrentList().ItemCount()))
        Post(kMsgRefreshMain);
    Invalidate(true);
}

void CKRVDlg::ShowDrives() {
    EndShellNotifications();
    currentFolder_.clear();
    currentFolderOnNtfs_ = true;
    browseList_.SetRedraw(false);
    browseList_.RemoveAllRows();
    for (const std::wstring& root : DriveRootPaths(app_.state.platform()))
        browseList_.AppendRow(root);
    browseList_.SetRedraw(true);
    EnableWindow(Item(IDC_MAIN_BACK), FALSE);
    SyncPathBar(L"");
    SelectPathBarEntry(kComputerEntry);
    UpdateStatus();
    ShowNonNtfsIndicator(false);
}

void CKRVDlg::NavigateTo(const std::wstring& folder) {
    Platform& platform = app_.state.platform();
    EndShellNotifications();
    SetDlgItemTextW(hwnd(), IDC_MAIN_STATUS, L"");
    BuildExtensionIconCache(app_.shell.iconCache);
    currentFolder_ = folder;
    SyncPathBar(folder);
    browseList_.SetRedraw(false);
    browseList_.RemoveAllRows();
    // One listing gives every row its kind and times: no platform call per row.
    for (const FolderEntry& entry : ReadFolderEntries(platform, folder))
        browseList_.AppendEntry(entry);
    browseList_.Resort();
    browseList_.SetRedraw(true);
    browseList_.Invalidate();
    EnableWindow(Item(IDC_MAIN_BACK), TRUE);
    UpdateStatus();
    currentFolderOnNtfs_ = IsOnNtfs(platform, folder);
    ShowNonNtfsIndicator(!currentFolderOnNtfs_ && ViewMode() == kBrowseMode);
    RegisterShellNotifications(folder);
}

void CKRVDlg::GoBack() {
    if (auto above = FolderAbove(currentFolder_))
        NavigateTo(*above);
    else
        ShowDrives();
}

void CKRVDlg::Refresh() {
    if (IsWindowVisible(editList_.hwnd())) {
        editList_.SetRedraw(false);
        for (int row = 0; row < editList_.ItemCount(); ++row)
            editList_.RefreshRow(row, true);
        editList_.SetRedraw(true);
    } else if (IsWindowVisible(browseList_.hwnd())) {
        if (currentFolder_.empty())
            ShowDrives();
        else
            NavigateTo(currentFolder_);
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

LRESULT CKRVDlg::OnUpdateStatusMessage(Message&) {
    UpdateStatus();
    return 0;
}

LRESULT CKRVDlg::OnEditModeCommand(Message&) {
    SetViewMode(kEditMode);
    return 0;
}

LRESULT CKRVDlg::OnBrowseModeCommand(Message&) {
    SetViewMode(kBrowseMode);
    return 0;
}

LRESULT CKRVDlg::OnRefreshCommand(Message&) {
    Refresh();
    return 0;
}

LRESULT CKRVDlg::OnBack(Message&) {
    GoBack();
    return 0;
}

LRESULT CKRVDlg::OnListDoubleClick(Message& m) {
    const bool browse = m.Notify().idFrom == IDC_MAIN_BROWSE_LIST;
    CMainList& list = browse ? browseList_ : editList_;
    const auto& activate = *reinterpret_cast<const NMITEMACTIVATE*>(m.lParam);
    ItemRecord* record = activate.iItem >= 0 ? list.Record(activate.iItem) : nullptr;
    if (!browse || !record || record->BaseKind() == kKindFile) {
        if (record || !browse)
            list.OpenSelectedRows();
        return 0;
    }
    if (record->access == static_cast<int32_t>(AccessLevel::kDenied) &&
        !app_.state.reporter().Ask(kDeniedFolderQuestion))
        return 0;
    const std::wstring folder = record->path;
    NavigateTo(folder);
    return 0;
}

LRESULT CKRVDlg::OnOpenCommand(Message&) {
    CurrentList().OpenSelectedRows();
    return 0;
}

LRESULT CKRVDlg::OnRemoveCommand(Message&) {
    if (IsWindowVisible(editList_.hwnd()))
        editList_.RemoveSelectedRows();
    return 0;
}

LRESULT CKRVDlg::OnSendToEditView(Message&) {
    if (ViewMode() != kBrowseMode)
        return 0;
    for (const ItemRecord* record : browseList_.SelectedRecords()) {
        if (record)
            editList_.AppendRow(record->path);
    }
    return 0;
}

LRESULT CKRVDlg::OnPasteCommand(Message&) {
    const CopyBuffer& buffer = app_.state.copyBuffer;
    if (!buffer.CopiedDescriptor || buffer.CopiedOwnerName.empty())
        return 0;
    CMainList& list = CurrentList();
    list.SetRedraw(false);
    for (int row : list.SelectedRows()) {
        if (const ItemRecord* record = list.Record(row)) {
            PasteSecuritySettings(app_.state.engine, buffer, record->path);
            list.RefreshRow(row, false);
        }
    }
    list.SetRedraw(true);
    list.Invalidate();
    return 0;
}

void CKRVDlg::SelectAllRows() {
    CurrentList().SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    UpdateStatus();
}

void CKRVDlg::HandleKey(UINT virtualKey) {
    KeyState state;
    state.ctrl = GetKeyState(VK_CONTROL) < 0;
    state.editListVisible = IsWindowVisible(editList_.hwnd()) != FALSE;
    state.focusInPathBarEdit = PathBarEdit() != nullptr && GetFocus() == PathBarEdit();
    switch (ActionForKey(virtualKey, state)) {
        case KeyAction::kSwitchViewMode:
            SetViewMode(OtherViewMode(state.editListVisible));
            break;
        case KeyAction::kPostAdvanced:
            Post(WM_COMMAND, IDC_MAIN_ADVANCED);
            break;
        case KeyAction::kNavigateTypedPath:
            NavigateToTypedPath();
            break;
        case KeyAction::kRemoveSelected:
            editList_.RemoveSelectedRows();
            break;
        case KeyAction::kSelectAll:
            SelectAllRows();
            break;
        case KeyAction::kPostCopySecurity:
            Post(WM_COMMAND, ID_ITEM_COPY_SECURITY);
            break;
        case KeyAction::kPostAddItems:
            Post(WM_COMMAND, IDC_MAIN_ADD);
            break;
        case KeyAction::kPasteSecurity:
            Send(WM_COMMAND, ID_ITEM_PASTE_SECURITY);
            break;
        case KeyAction::kRefresh:
            Refresh();
            break;
        case KeyAction::kNone:
            break;
    }
}

// ---- Path bar -----------------------------------------------------------------------

void CKRVDlg::InsertPathBarItem(size_t index, const PathBarEntry& entry) {
    int icon = 0;
    if (entry.place == PathBarPlace::kDesktop)
        icon = SpecialFolderNameAndIcon(CSIDL_DESKTOP).second;
    else if (entry.place == PathBarPlace::kComputer)
        icon = SpecialFolderNameAndIcon(CSIDL_DRIVES).second;
    else
        icon = SmallIconOfPathType(entry.path, FILE_ATTRIBUTE_DIRECTORY);
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    item.iItem = static_cast<INT_PTR>(index);
    item.pszText = const_cast<wchar_t*>(entry.displayName.c_str());
    item.iImage = icon;
    item.iSelectedImage = icon;
    item.iIndent = entry.indent;
    SendDlgItemMessageW(hwnd(), IDC_MAIN_PATH_BAR, CBEM_INSERTITEMW, 0,
                        reinterpret_cast<LPARAM>(&item));
}

void CKRVDlg::FillPathBar() {
    SendDlgItemMessageW(hwnd(), IDC_MAIN_PATH_BAR, CBEM_SETIMAGELIST, 0,
                        reinterpret_cast<LPARAM>(app_.shell.smallSystemImages));
    std::vector<DriveName> drives;
    for (const std::wstring& root : DriveRootPaths(app_.state.platform()))
        drives.push_back({root, ShellDisplayName(root)});
    pathBar_ = InitialPathBarEntries(SpecialFolderNameAndIcon(CSIDL_DESKTOP).first,
                                     SpecialFolderNameAndIcon(CSIDL_DRIVES).first, drives);
    for (size_t i = 0; i < pathBar_.size(); ++i)
        InsertPathBarItem(i, pathBar_[i]);
}

void CKRVDlg::SelectPathBarEntry(size_t index) {
    SendDlgItemMessageW(hwnd(), IDC_MAIN_PATH_BAR, CB_SETCURSEL, index, 0);
}

void CKRVDlg::SyncPathBar(const std::wstring& folder) {
    const PathBarChange change = SynchronisePathBar(pathBar_, folder);
    if (change.removed)
        SendDlgItemMessageW(hwnd(), IDC_MAIN_PATH_BAR, CBEM_DELETEITEM, *change.removed, 0);
    if (change.inserted)
        InsertPathBarItem(*change.inserted, pathBar_[*change.inserted]);
    if (change.selected)
        SelectPathBarEntry(*change.selected);
}

HWND CKRVDlg::PathBarEdit() const {
    return reinterpret_cast<HWND>(
        SendDlgItemMessageW(hwnd(), IDC_MAIN_PATH_BAR, CBEM_GETEDITCONTROL, 0, 0));
}

void CKRVDlg::NavigateToTypedPath() {
    wchar_t typed[MAX_PATH + 1]{};
    GetWindowTextW(PathBarEdit(), typed, static_cast<int>(std::size(typed)));
    const std::wstring folder = typed;
    if (!folder.empty() && app_.state.platform().PathIsDirectory(folder))
        NavigateTo(folder);
}

LRESULT CKRVDlg::OnPathBarSelect(Message&) {
    const auto index =
        static_cast<size_t>(SendDlgItemMessageW(hwnd(), IDC_MAIN_PATH_BAR, CB_GETCURSEL, 0, 0));
    if (index >= pathBar_.size())
        return 0;
    if (index == kDesktopEntry)
        NavigateTo(DesktopDirectory());
    else if (index == kComputerEntry)
        ShowDrives();
    else
        NavigateTo(pathBar_[index].path);
    return 0;
}

// ---- Browse Mode helpers --------------------------------------------------------------

void CKRVDlg::ShowNonNtfsIndicator(bool show) {
    ShowWindow(Item(IDC_MAIN_NON_NTFS), show ? SW_SHOW : SW_HIDE);
}

bool CKRVDlg::NonNtfsIndicatorVisible() const {
    return IsWindowVisible(Item(IDC_MAIN_NON_NTFS)) != FALSE;
}

void CKRVDlg::RegisterShellNotifications(const std::wstring& folder) {
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(folder.c_str());
    if (!item)
        return;
    SHChangeNotifyEntry entry{item, FALSE};
    shellNotification_ = SHChangeNotifyRegister(hwnd(), SHCNRF_ShellLevel, kFolderEvents,
                                                kMsgShellChange, 1, &entry);
    ILFree(item);
}

void CKRVDlg::EndShellNotifications() {
    if (shellNotification_ != 0)
        SHChangeNotifyDeregister(shellNotification_);
    shellNotification_ = 0;
}

// ---- Quick commands ---------------------------------------------------------------------

bool CKRVDlg::RefuseOnNonNtfs() {
    if (!NonNtfsIndicatorVisible())
        return false;
    app_.state.reporter().Tell(kNtfsOnlyMessage, MessageIcon::kError);
    return true;
}

std::vector<QuickItem> CKRVDlg::SelectedQuickItems(std::vector<int>& rows) {
    CMainList& list = CurrentList();
    std::vector<QuickItem> items;
    rows.clear();
    for (int row : list.SelectedRows()) {
        if (const ItemRecord* record = list.Record(row)) {
            items.push_back({record->path, record->BaseKind() == kKindFile});
            rows.push_back(row);
        }
    }
    return items;
}

void CKRVDlg::QuickSet(QuickKind kind, int buttonId) {
    if (RefuseOnNonNtfs())
        return;
    std::vector<int> rows;
    const std::vector<QuickItem> items = SelectedQuickItems(rows);
    if (items.empty()) {
        app_.state.reporter().Tell(kSelectAtLeastOneMessage, MessageIcon::kError);
        return;
    }
    wchar_t buttonText[64]{};
    GetDlgItemTextW(hwnd(), buttonId, buttonText, static_cast<int>(std::size(buttonText)));
    CQuickSetOptionsDlg options(app_, buttonText, AllFiles(items));
    if (options.DoModal(hwnd()) != IDOK)
        return;
    CMainList& list = CurrentList();
    list.SetRedraw(false);
    RunQuickSet(app_.state.engine, app_.state.user, items,
                {kind, options.trustee(), options.scope()}, [&](size_t index, AccessLevel access) {
                    if (ItemRecord* record = list.Record(rows[index]))
                        record->access = static_cast<int32_t>(access);
                    list.RefreshRow(rows[index], false);
                });
    list.SetRedraw(true);
    list.Invalidate();
}

LRESULT CKRVDlg::OnAllowAccess(Message&) {
    QuickSet(QuickKind::kAllowAccess, IDC_MAIN_ALLOW);
    return 0;
}

LRESULT CKRVDlg::OnReadOnly(Message&) {
    QuickSet(QuickKind::kReadOnly, IDC_MAIN_READ_ONLY);
    return 0;
}

LRESULT CKRVDlg::OnDenyAccess(Message&) {
    QuickSet(QuickKind::kDenyAccess, IDC_MAIN_DENY);
    return 0;
}

LRESULT CKRVDlg::OnChangeOwner(Message&) {
    if (RefuseOnNonNtfs())
        return 0;
    const UINT command =
        PopupMenu(app_, PopupSubMenu::kTrustee, hwnd(), TPM_LEFTALIGN | TPM_TOPALIGN, true);
    if (!IsTrusteeCommand(command))
        return 0;
    const std::wstring name = ChooseTrusteeName(app_, command, true);
    if (!name.empty())
        ChangeOwnerOfSelection(name);
    return 0;
}

void CKRVDlg::ChangeOwnerOfSelection(const std::wstring& accountName) {
    std::vector<int> rows;
    const std::vector<QuickItem> items = SelectedQuickItems(rows);
    if (items.empty()) {
        app_.state.reporter().Tell(kSelectAtLeastOneMessage, MessageIcon::kError);
        return;
    }
    CMainList& list = CurrentList();
    list.SetRedraw(false);
    RunChangeOwner(app_.state.engine, items, accountName,
                   [&](size_t index, const std::wstring& owner) {
                       list.SetItemText(rows[index], kColumnOwner, OwnerCellText(owner));
                   });
    list.SetRedraw(true);
    list.Invalidate();
}

}  // namespace vm
