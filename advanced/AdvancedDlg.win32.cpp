#include "advanced/AdvancedDlg.win32.h"

#include <commdlg.h>

#include <chrono>
#include <condition_variable>
#include <vector>

#include "advanced/AdvancedLayout.h"
#include "advanced/AdvancedMenus.h"
#include "advanced/DescriptorFile.h"
#include "advanced/FileErrors.h"
#include "advanced/NamedList.h"
#include "app/AccountPicker.win32.h"
#include "app/ItemFailures.h"
#include "app/Messages.h"
#include "app/PopupMenu.win32.h"
#include "app/TrusteeMenu.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/ProgressDlg.win32.h"
#include "security/RemoveInheritTipDlg.win32.h"

namespace vm {
namespace {

constexpr UINT kMsgApplyFinished = WM_APP + 0x81;
constexpr UINT kMsgBusyTick = WM_APP + 0x82;
// What Enter "presses": no control has this id, so Enter does nothing.
constexpr WORD kNoDefaultButton = 0xFFFE;
constexpr int kEntryPictureSide = 20;
constexpr auto kBusyFrameInterval = std::chrono::milliseconds(500);
constexpr size_t kFileNameChars = 32768;

bool Between(UINT id, UINT first, UINT last) {
    return id >= first && id <= last;
}

// The sub-menu item of menu (by position) whose sub-menu holds command; -1.
int PositionOfSubMenuHolding(HMENU menu, UINT command) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (sub != nullptr && GetMenuState(sub, command, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return i;
    }
    return -1;
}

bool HoldsDirectly(HMENU menu, UINT command) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (GetMenuItemID(menu, i) == command)
            return true;
    }
    return false;
}

void CarryOut(const MenuPlan& plan, HMENU menu) {
    for (int i = 0; i < plan.removeCount; ++i)
        DeleteMenu(menu, static_cast<UINT>(plan.removeFrom), MF_BYPOSITION);
    for (uint32_t id : plan.removed)
        DeleteMenu(menu, id, MF_BYCOMMAND);
    for (uint32_t id : plan.greyed)
        EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
    if (plan.defaultCommand)
        SetMenuDefaultItem(menu, *plan.defaultCommand, FALSE);
    if (plan.scopeSubmenuGreyed) {
        const int position = PositionOfSubMenuHolding(menu, ID_SCOPE_THIS_FOLDER_ONLY);
        if (position >= 0)
            EnableMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_GRAYED);
    }
    if (plan.radioCommand)
        CheckMenuRadioItem(menu, ID_SCOPE_THIS_FOLDER_ONLY, ID_SCOPE_FILES_ONLY, *plan.radioCommand,
                           MF_BYCOMMAND);
}

void Place(HWND control, const ControlPlace& place) {
    MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
}

void Apply(HWND control, const ControlState& state) {
    ShowWindow(control, state.visible ? SW_SHOWNA : SW_HIDE);
    EnableWindow(control, state.enabled ? TRUE : FALSE);
}

}  // namespace

CAdvancedDlg::CAdvancedDlg(AppContext& app, std::wstring path)
    : CDialog(IDD_ADVANCED),
      app_(app),
      isContainer_(app.state.platform().PathIsDirectory(path)),
      editor_(path, !isContainer_, false),
      list_(app) {}

CAdvancedDlg::CAdvancedDlg(AppContext& app, std::wstring path, Bytes descriptor, bool isContainer)
    : CDialog(IDD_ADVANCED),
      app_(app),
      descriptor_(std::move(descriptor)),
      isContainer_(isContainer),
      editor_(std::move(path), !isContainer, true),
      list_(app) {}

CAdvancedDlg::~CAdvancedDlg() {
    animation_.Stop();
    applyWorker_.Stop();
    if (smallIcon_ != nullptr)
        DestroyIcon(smallIcon_);
}

std::span<const Route<CAdvancedDlg>> CAdvancedDlg::Routes() {
    static const Route<CAdvancedDlg> routes[] = {
        OnMsg(WM_SIZE, &CAdvancedDlg::OnSize),
        OnMsg(WM_GETMINMAXINFO, &CAdvancedDlg::OnGetMinMaxInfo),
        OnMsg(DM_GETDEFID, &CAdvancedDlg::OnGetDefaultId),
        OnMsg(WM_INITMENUPOPUP, &CAdvancedDlg::OnInitMenuPopup),
        OnMsg(kMsgAceCellChanged, &CAdvancedDlg::OnCellChanged),
        OnMsg(kMsgApplyFinished, &CAdvancedDlg::OnApplyFinished),
        OnMsg(kMsgBusyTick, &CAdvancedDlg::OnBusyTick),
        OnCommand(kAnyId, &CAdvancedDlg::OnAnyCommand),
    };
    return routes;
}

bool CAdvancedDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

// ---- Opening --------------------------------------------------------------------------

BOOL CAdvancedDlg::OnInitDialog() {
    addButton_.AttachDlgItem(hwnd(), IDC_ADV_ADD);
    addButton_.SetImage(IDP_ENTRY_ADD, kEntryPictureSide);
    removeButton_.AttachDlgItem(hwnd(), IDC_ADV_REMOVE);
    removeButton_.SetImage(IDP_ENTRY_REMOVE, kEntryPictureSide);
    reloadButton_.AttachDlgItem(hwnd(), IDC_ADV_RELOAD);
    reloadButton_.SetImage(IDP_ENTRY_RELOAD, kEntryPictureSide);
    list_.AttachDlgItem(hwnd(), IDC_ADV_ACE_LIST);
    list_.InitColumns(editor_.rows());
    SetDlgItemTextW(hwnd(), IDC_ADV_OBJECT_NAME, editor_.path().c_str());
    SetIcon();
    Reload();
    PlaceWindow();
    return TRUE;
}

void CAdvancedDlg::SetIcon() {
    HIMAGELIST images = app_.shell.smallSystemImages;
    if (images == nullptr)
        return;
    const DWORD attributes = isContainer_ ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    smallIcon_ =
        ImageList_GetIcon(images, SmallIconOfPathType(editor_.path(), attributes), ILD_NORMAL);
    if (smallIcon_ != nullptr)
        Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

RECT CAdvancedDlg::WorkArea() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

// 760 by 640 pixels at 96 DPI, centred in the work area of the monitor the
// window is on.
void CAdvancedDlg::PlaceWindow() {
    const RECT work = WorkArea();
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    const WindowSize size = AdvancedOpeningSize(Dpi(), workWidth, workHeight);
    SetWindowPos(hwnd(), nullptr, work.left + (workWidth - size.width) / 2,
                 work.top + (workHeight - size.height) / 2, size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
}

ControlPlace CAdvancedDlg::PlaceOf(int controlId) const {
    RECT rect{};
    GetWindowRect(Item(controlId), &rect);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void CAdvancedDlg::LayOut() {
    const RECT client = ClientRect();
    const AdvancedPlaces places =
        ComputeAdvancedPlaces(client.right, client.bottom, editor_.readOnly(),
                              PlaceOf(IDC_ADV_OBJECT_NAME), PlaceOf(IDC_ADV_OWNER), Dpi());
    Place(Item(IDC_ADV_OBJECT_NAME), places.objectName);
    Place(Item(IDC_ADV_OWNER), places.owner);
    Place(Item(IDC_ADV_ADD), places.add);
    Place(Item(IDC_ADV_REMOVE), places.remove);
    Place(Item(IDC_ADV_RELOAD), places.reload);
    Place(Item(IDC_ADV_ACE_LIST), places.list);
    Place(Item(IDC_ADV_INHERIT), places.inherit);
    Place(Item(IDC_ADV_REPLACE_CHILDREN), places.replaceChildren);
    Place(Item(IDCANCEL), places.cancel);
    Place(Item(IDOK), places.ok);
    Place(Item(IDC_ADV_APPLY), places.apply);
    Place(Item(IDC_ADV_CHANGE_OWNER), places.changeOwner);
}

LRESULT CAdvancedDlg::OnSize(Message&) {
    LayOut();
    return 0;
}

LRESULT CAdvancedDlg::OnGetMinMaxInfo(Message& m) {
    auto& info = *reinterpret_cast<MINMAXINFO*>(m.lParam);
    const RECT work = WorkArea();
    const WindowSize minimum =
        AdvancedMinimumSize(Dpi(), work.right - work.left, work.bottom - work.top);
    info.ptMinTrackSize = {minimum.width, minimum.height};
    return 0;
}

void CAdvancedDlg::OnDpiChanged(int, int) {
    LayOut();
}

// Enter neither applies nor closes: the default button is one that is not there.
LRESULT CAdvancedDlg::OnGetDefaultId(Message&) {
    return MAKELRESULT(kNoDefaultButton, DC_HASDEFID);
}

// ---- Showing the editor -------------------------------------------------------------------

void CAdvancedDlg::Show(const AdvancedSnapshot& snapshot) {
    {
        RedrawGuard quiet(list_);
        editor_.Show(snapshot);
    }
    ShowEditorState();
}

void CAdvancedDlg::ShowEditorState() {
    list_.SetEmptyText(editor_.emptyText());
    SetDlgItemTextW(hwnd(), IDC_ADV_OWNER, editor_.owner().c_str());
    CheckDlgButton(hwnd(), IDC_ADV_INHERIT, editor_.inheritChecked() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), IDC_ADV_REPLACE_CHILDREN,
                   editor_.replaceChildrenChecked() ? BST_CHECKED : BST_UNCHECKED);
    list_.Invalidate();
    ApplyControlStates();
}

void CAdvancedDlg::ApplyControlStates() {
    const AdvancedControlStates states = editor_.ControlStates();
    Apply(Item(IDC_ADV_ADD), states.add);
    Apply(Item(IDC_ADV_REMOVE), states.remove);
    Apply(Item(IDC_ADV_RELOAD), states.reload);
    Apply(Item(IDC_ADV_INHERIT), states.inherit);
    Apply(Item(IDC_ADV_REPLACE_CHILDREN), states.replaceChildren);
    Apply(Item(IDC_ADV_CHANGE_OWNER), states.changeOwner);
    Apply(Item(IDOK), states.ok);
    Apply(Item(IDC_ADV_APPLY), states.apply);
    EnableWindow(list_.hwnd(), states.list.enabled ? TRUE : FALSE);
}

// ---- Commands ---------------------------------------------------------------------------

LRESULT CAdvancedDlg::OnAnyCommand(Message& m) {
    const UINT id = m.RouteId();
    if (Between(id, ID_TRUSTEE_ADVANCED, ID_TRUSTEE_CURRENT_USER)) {
        TakeAccount(id);
        return 0;
    }
    if (Between(id, ID_SCOPE_THIS_FOLDER_ONLY, ID_SCOPE_FILES_ONLY)) {
        SetScope(id);
        return 0;
    }
    switch (id) {
        case IDC_ADV_ADD:
            ChooseAccount(MenuMode::kAddEntry);
            break;
        case IDC_ADV_CHANGE_OWNER:
            ChooseAccount(MenuMode::kChangeOwner);
            break;
        case IDC_ADV_REMOVE:
        case ID_ACE_REMOVE:
            RemoveEntries();
            break;
        case IDC_ADV_RELOAD:
            if (!editor_.applying())
                Reload();
            break;
        case IDC_ADV_INHERIT:
            InheritClicked();
            break;
        case IDC_ADV_REPLACE_CHILDREN:
            ReplaceChildrenClicked();
            break;
        case IDC_ADV_APPLY:
            StartApply(false);
            break;
        case ID_ACE_CREATE_EMPTY_DACL:
            CreateEmptyDacl();
            break;
        case ID_ACE_EXPAND_COLLAPSE:
            ExpandOrCollapse();
            break;
        case ID_ACE_COPY:
            CopyEntries();
            break;
        case ID_ACE_PASTE:
            PasteEntries();
            break;
        case ID_SD_EXPORT:
            Export();
            break;
        case ID_SD_IMPORT:
            Import();
            break;
        default:
            m.handled = false;  // OK and Cancel go on to the dialog's own handling
            break;
    }
    return 0;
}

void CAdvancedDlg::ChooseAccount(MenuMode mode) {
    if (editor_.readOnly() || editor_.applying())
        return;
    editor_.BeginAccountChoice(mode);
    PopupMenu(app_, PopupSubMenu::kTrustee, hwnd(), TPM_LEFTALIGN | TPM_TOPALIGN);
    editor_.EndAccountChoice();
}

void CAdvancedDlg::TakeAccount(UINT command) {
    // The entry's name carries the "NT Service\" prefix, as the Options dialog's does.
    const std::wstring name = command == ID_TRUSTEE_ADVANCED
                                  ? PickAccountName()
                                  : TrusteeNameForCommand(command, TrusteeMenuUser::kOptionsDialog,
                                                          app_.state.user.CurrentUserName)
                                        .value_or(std::wstring());
    std::optional<size_t> row;
    {
        RedrawGuard quiet(list_);
        row = editor_.ChooseAccount(name);
    }
    if (row)
        list_.SelectOnly({*row});
    ShowEditorState();
    if (row)
        SetFocus(list_.hwnd());
}

// "Advanced..." of the trustee menu: the account picker, parented to this
// window; empty when the user picked nothing.
std::wstring CAdvancedDlg::PickAccountName() {
    return PickAccount(hwnd(), app_);
}

void CAdvancedDlg::RemoveEntries() {
    {
        RedrawGuard quiet(list_);
        editor_.RemoveEntries(list_.SelectedModelRows());
    }
    ApplyControlStates();
}

void CAdvancedDlg::SetScope(UINT command) {
    if (editor_.SetScope(list_.SelectedModelRows(), command))
        list_.Invalidate();
    ApplyControlStates();
}

void CAdvancedDlg::CreateEmptyDacl() {
    {
        RedrawGuard quiet(list_);
        editor_.CreateEmptyDacl();
    }
    ShowEditorState();
}

void CAdvancedDlg::ExpandOrCollapse() {
    RedrawGuard quiet(list_);
    editor_.ToggleFirst(list_.SelectedModelRows());
}

void CAdvancedDlg::Reload() {
    const Bytes* held = descriptor_ ? &*descriptor_ : nullptr;
    Show(ReadAdvancedSnapshot(app_.state.platform(), editor_.path(), held, isContainer_));
}

void CAdvancedDlg::InheritClicked() {
    const bool checked = IsDlgButtonChecked(hwnd(), IDC_ADV_INHERIT) == BST_CHECKED;
    if (editor_.InheritClicked(checked)) {
        const InheritanceChoice choice = CRemoveInheritTipDlg::Ask(hwnd());
        RedrawGuard quiet(list_);
        editor_.AnswerInheritanceQuestion(choice);
    }
    list_.Invalidate();
    ApplyControlStates();
}

void CAdvancedDlg::ReplaceChildrenClicked() {
    editor_.ReplaceChildrenClicked(IsDlgButtonChecked(hwnd(), IDC_ADV_REPLACE_CHILDREN) ==
                                   BST_CHECKED);
    ApplyControlStates();
}

LRESULT CAdvancedDlg::OnCellChanged(Message&) {
    editor_.CellChanged();
    ApplyControlStates();
    return 0;
}

// ---- The context menus -------------------------------------------------------------------

LRESULT CAdvancedDlg::OnInitMenuPopup(Message& m) {
    PrepareMenu(reinterpret_cast<HMENU>(m.wParam));
    return 0;
}

void CAdvancedDlg::PrepareMenu(HMENU menu) {
    const AdvancedMenuContext context =
        editor_.MenuContext(list_.SelectedModelRows(), app_.state.aceClipboard);
    if (HoldsDirectly(menu, ID_ACE_EXPAND_COLLAPSE))
        CarryOut(PlanContextMenu(context), menu);
    else if (HoldsDirectly(menu, ID_SCOPE_THIS_FOLDER_ONLY))
        CarryOut(PlanScopeMenu(context), menu);
}

// ---- The entry clipboard, export and import ----------------------------------------------

void CAdvancedDlg::CopyEntries() {
    editor_.CopyEntries(list_.SelectedModelRows(), app_.state.aceClipboard);
}

void CAdvancedDlg::PasteEntries() {
    size_t pasted = 0;
    {
        RedrawGuard quiet(list_);
        pasted = editor_.PasteEntries(app_.state.aceClipboard);
    }
    std::vector<size_t> rows;
    for (size_t row = 0; row < pasted; ++row)
        rows.push_back(row);
    list_.SelectOnly(rows);
    ApplyControlStates();
}

std::optional<std::wstring> CAdvancedDlg::ChooseFile(bool save) {
    if (chooseFile_)
        return chooseFile_(save);
    std::wstring name(kFileNameChars, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd();
    // One filter that shows every file; no default extension.
    dialog.lpstrFilter = L"*.*\0*.*\0";
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.Flags = OFN_EXPLORER | (save ? OFN_OVERWRITEPROMPT : 0);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
        return std::nullopt;
    name.resize(wcslen(name.c_str()));
    return name;
}

void CAdvancedDlg::Export() {
    Reporter& reporter = app_.state.reporter();
    if (RefuseExportWithPendingChanges(editor_.HasPendingChanges(), reporter))
        return;
    const std::optional<std::wstring> file = ChooseFile(true);
    if (!file)
        return;
    if (descriptor_) {
        const Status written = ExportHeldDescriptor(*file, *descriptor_);
        if (!written.ok())
            reporter.Tell(FileErrorMessage(written.error, *file), MessageIcon::kError);
        return;
    }
    const ExportResult result = ExportDescriptorOfPath(app_.state.engine, editor_.path(), *file);
    if (result.outcome == ExportOutcome::kWriteFailed)
        reporter.Tell(FileErrorMessage(result.error, *file), MessageIcon::kError);
    else if (result.outcome == ExportOutcome::kReadFailed)
        reporter.Tell(FileErrorMessage(err::kAccessDenied, editor_.path()), MessageIcon::kError);
}

void CAdvancedDlg::Import() {
    const std::optional<std::wstring> file = ChooseFile(false);
    if (!file)
        return;
    const Result<Bytes> bytes = ReadDescriptorFileOrError(*file);
    if (!bytes.ok()) {
        app_.state.reporter().Tell(FileErrorMessage(bytes.error(), *file), MessageIcon::kError);
        return;
    }
    const LoadedAceEntries imported =
        ImportDescriptorEntries(app_.state.platform(), *bytes, isContainer_);
    {
        RedrawGuard quiet(list_);
        editor_.ImportEntries(imported);
    }
    ShowEditorState();
}

// ---- Apply ------------------------------------------------------------------------------

void CAdvancedDlg::OnOK() {
    StartApply(true);
}

void CAdvancedDlg::OnCancel() {
    if (editor_.applying()) {
        AbandonApply();
        return;
    }
    Close(IDCANCEL);
}

void CAdvancedDlg::StartApply(bool closeAfter) {
    if (editor_.readOnly() || editor_.applying())
        return;
    if (!editor_.modified()) {  // nothing to write
        if (closeAfter)
            Close(IDCANCEL);
        return;
    }
    PropagationMode mode = PropagationMode::kCountOnly;
    if (editor_.replaceChildrenChecked() && !editor_.isFile()) {
        mode = AskReplaceChildPermissions(hwnd());
        if (mode == PropagationMode::kCountOnly) {
            // No choice: nothing is written; OK still closes the window.
            if (closeAfter)
                Close(IDCANCEL);
            return;
        }
    }
    pendingMode_ = mode;
    closeAfterApply_ = closeAfter;
    ApplyRequest request;
    {
        RedrawGuard quiet(list_);
        request = editor_.BeginApply();
    }
    list_.SetBusy(true);
    ApplyControlStates();
    StartBusyAnimation();
    const HWND window = hwnd();
    Engine& engine = app_.state.engine;
    applyWorker_.Start([this, window, &engine, request = std::move(request)](std::stop_token stop) {
        ApplyOutcome outcome = RunAdvancedApply(engine, request, stop);
        {
            std::lock_guard lock(outcomeMutex_);
            outcome_ = std::move(outcome);
        }
        PostMessageW(window, kMsgApplyFinished, 0, 0);
    });
}

// Cancel while the worker writes: the window is usable again at once; the
// worker stops at its next safe point, or finishes a write it has begun.
void CAdvancedDlg::AbandonApply() {
    applyWorker_.RequestStop();
    editor_.ApplyAbandoned();
    StopBusyAnimation();
    list_.SetBusy(false);
    ApplyControlStates();
}

LRESULT CAdvancedDlg::OnApplyFinished(Message&) {
    std::optional<ApplyOutcome> outcome;
    {
        std::lock_guard lock(outcomeMutex_);
        outcome.swap(outcome_);
    }
    if (!outcome)
        return 0;
    const bool abandoned = !editor_.applying();
    StopBusyAnimation();
    list_.SetBusy(false);
    {
        RedrawGuard quiet(list_);
        editor_.ApplyFinished(*outcome);
    }
    ShowEditorState();
    if (abandoned)
        return 0;
    Reporter& reporter = app_.state.reporter();
    if (!outcome->written.ok()) {
        ReportItemFailures(app_.state.platform(), reporter,
                           {{editor_.path(), outcome->written.error, false}});
        return 0;  // the rows stay for another try; OK does not close
    }
    if (!outcome->unresolved.empty())
        reporter.Tell(NamedListMessage(L"" STR_ENTRIES_NOT_WRITTEN, outcome->unresolved),
                      MessageIcon::kWarning);
    if (pendingMode_ != PropagationMode::kCountOnly)
        RunPropagationWindow(app_.state.engine, hwnd(), app_.mainWindow, editor_.path(),
                             pendingMode_);
    pendingMode_ = PropagationMode::kCountOnly;
    if (closeAfterApply_)
        Post(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 0;
}

void CAdvancedDlg::StartBusyAnimation() {
    const HWND window = hwnd();
    animation_.Start([window](std::stop_token stop) {
        std::mutex mutex;
        std::condition_variable_any wake;
        std::unique_lock lock(mutex);
        while (!wake.wait_for(lock, stop, kBusyFrameInterval, [] { return false; }) &&
               !stop.stop_requested())
            PostMessageW(window, kMsgBusyTick, 0, 0);
    });
}

void CAdvancedDlg::StopBusyAnimation() {
    animation_.Stop();
}

LRESULT CAdvancedDlg::OnBusyTick(Message&) {
    list_.AdvanceBusyFrame();
    return 0;
}

void CAdvancedDlg::OnDestroyed() {
    StopBusyAnimation();
}

// ---- Entry points -----------------------------------------------------------------------

void RunAdvancedDialog(AppContext& app, HWND owner, const std::wstring& path) {
    CAdvancedDlg dialog(app, path);
    dialog.DoModal(owner);
}

void RunAdvancedDialogReadOnly(AppContext& app, HWND owner, const std::wstring& path,
                               const Bytes& descriptor, bool isContainer) {
    CAdvancedDlg dialog(app, path, descriptor, isContainer);
    dialog.DoModal(owner);
}

}  // namespace vm
