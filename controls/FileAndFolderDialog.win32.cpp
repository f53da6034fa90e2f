#include "controls/FileAndFolderDialog.win32.h"

#include <commdlg.h>
#include <dlgs.h>

#include <memory>
#include <vector>

#include "framework/Gdi.h"
#include "framework/ListCtrl.h"
#include "framework/Window.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/Rights.h"

namespace vm {

namespace {

// The file-name buffer of CDM_GETSPEC: a selection of many long names fits.
constexpr size_t kSpecChars = 1'300'000;
// The buffer the dialog's own default action fills (OFN_ALLOWMULTISELECT).
constexpr size_t kFileBufferChars = 32 * 1024;
// Toolbar commands that are hidden (OFN_EXPLORER toolbar): the desktop and
// the view menu have no use when only adding items.
constexpr int kHiddenToolbarCommands[] = {40962, 40970};
// Controls of the system's dialog that "Add" makes superfluous: the file-name
// edit and combo box and their label, the places bar, the folder box's
// label, Open (dlgs.h ids).
constexpr int kHiddenControls[] = {edt1, cmb13, stc3, ctl1, stc4, IDOK};
constexpr int kShellView = lst2;
constexpr int kFolderCombo = cmb2;
constexpr int kToolbar = 1088;
constexpr wchar_t kToolbarClass[] = L"ToolbarWindow32";
// Posted to the dialog: lay the controls out again, once the system has
// placed a new shell view.
constexpr UINT kMsgLayOut = WM_APP + 0x91;
constexpr int kTypeCombo = cmb1;
constexpr int kTypeLabel = stc2;

std::wstring AddDialogText(size_t position) {
    return ResourceListItem(L"" STR_ADD_DIALOG_TEXTS, position);
}

// The list view inside the shell view: its rows are the shown items.
HWND ShellViewList(HWND dialog) {
    HWND view = GetDlgItem(dialog, kShellView);
    return view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

std::vector<std::wstring> SelectedDisplayNames(HWND list) {
    std::vector<std::wstring> names;
    if (!list)
        return names;
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                LVNI_SELECTED))) >= 0) {
        std::vector<wchar_t> text(1024);
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        names.emplace_back(text.data());
    }
    return names;
}

// The folder the dialog shows (CDM_GETFOLDERPATH), the process's current
// directory should the dialog not say.
std::wstring ShownFolder(HWND dialog) {
    const LRESULT needed = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
    if (needed > 0) {
        std::vector<wchar_t> path(static_cast<size_t>(needed) + 1);
        if (SendMessageW(dialog, CDM_GETFOLDERPATH, path.size(),
                         reinterpret_cast<LPARAM>(path.data())) > 0)
            return path.data();
    }
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> current(length + 1);
    GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
    return current.data();
}

std::wstring FileSpec(HWND dialog) {
    std::vector<wchar_t> fileSpec(kSpecChars);
    const LRESULT length = SendMessageW(dialog, CDM_GETSPEC, fileSpec.size(),
                                        reinterpret_cast<LPARAM>(fileSpec.data()));
    return length > 0 ? std::wstring(fileSpec.data()) : std::wstring();
}

bool IsFolder(const std::wstring& folder, const std::wstring& name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    const DWORD attributes = GetFileAttributesW((path + name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Place(HWND control, const ControlPlace& place) {
    if (control)
        MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
}

void Place(HWND dialog, int id, const ControlPlace& place) {
    Place(GetDlgItem(dialog, id), place);
}

// The dialog's toolbar: its toolbar control that is not the places bar
// (numbered 1088 by some systems and otherwise by others).
HWND Toolbar(HWND dialog) {
    for (HWND child = FindWindowExW(dialog, nullptr, kToolbarClass, nullptr); child;
         child = FindWindowExW(dialog, child, kToolbarClass, nullptr)) {
        if (GetDlgCtrlID(child) != ctl1)
            return child;
    }
    return GetDlgItem(dialog, kToolbar);
}

// The width a static control's text needs in its font.
int TextWidth(HWND control) {
    if (!control)
        return 0;
    const std::wstring text = [&] {
        std::vector<wchar_t> buffer(static_cast<size_t>(GetWindowTextLengthW(control)) + 1);
        GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
        return std::wstring(buffer.data());
    }();
    const WindowDc dc(control);
    const SelectedObject font(dc.get(),
                              reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

// The dialog window itself, subclassed once the system has made it ready:
// the layout on every size change and the "Add" button.
class CFileAndFolderDialog::Frame final : public CWnd {
  public:
    explicit Frame(CFileAndFolderDialog& owner) : owner_(owner) {}

    void Prepare();
    void LayOut();

  protected:
    bool OnMessage(Message& m, LRESULT& result) override {
        return DispatchRoutes(*this, Routes(), m, result) || CWnd::OnMessage(m, result);
    }

  private:
    static std::span<const Route<Frame>> Routes() {
        static const Route<Frame> routes[] = {
            OnMsg(WM_SIZE, &Frame::OnSize),
            OnMsg(WM_PAINT, &Frame::OnPaint),
            OnMsg(kMsgLayOut, &Frame::OnLayOut),
            OnCommand(IDC_FILEDLG_ADD, &Frame::OnAdd, BN_CLICKED),
        };
        return routes;
    }
    LRESULT OnSize(Message& m);
    LRESULT OnPaint(Message& m);
    LRESULT OnLayOut(Message& m);
    LRESULT OnAdd(Message& m);
    void CreateAddButton();
    void SizeAndCentre();

    CFileAndFolderDialog& owner_;
    bool painted_ = false;
};

void CFileAndFolderDialog::Frame::Prepare() {
    for (int id : kHiddenControls) {
        if (HWND control = GetDlgItem(hwnd(), id))
            ShowWindow(control, SW_HIDE);
    }
    if (HWND toolbar = Toolbar(hwnd())) {
        for (int command : kHiddenToolbarCommands)
            SendMessageW(toolbar, TB_HIDEBUTTON, static_cast<WPARAM>(command), TRUE);
    }
    CreateAddButton();
    SetText(AddDialogText(2));
    SizeAndCentre();
    LayOut();
}

void CFileAndFolderDialog::Frame::CreateAddButton() {
    HWND add = CreateWindowExW(WS_EX_DLGMODALFRAME, L"BUTTON", AddDialogText(1).c_str(),
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                               hwnd(), reinterpret_cast<HMENU>(IDC_FILEDLG_ADD),
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(add, WM_SETFONT, static_cast<WPARAM>(Send(WM_GETFONT)), TRUE);
    // Tab order: right before Cancel.
    SetWindowPos(add, GetDlgItem(hwnd(), IDCANCEL), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(hwnd(), IDCANCEL), add, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CFileAndFolderDialog::Frame::SizeAndCentre() {
    const int width = Scale(kFileAndFolderDialogWidth);
    const int height = Scale(kFileAndFolderDialogHeight);
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(hwnd(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFileAndFolderDialog::Frame::LayOut() {
    const RECT client = ClientRect();
    const FileAndFolderDialogPlaces places = ComputeFileAndFolderDialogPlaces(
        client.right, client.bottom, Dpi(), TextWidth(GetDlgItem(hwnd(), kTypeLabel)));
    Place(hwnd(), kShellView, places.shellView);
    Place(hwnd(), kFolderCombo, places.folderCombo);
    Place(Toolbar(hwnd()), places.toolbar);
    Place(hwnd(), IDC_FILEDLG_ADD, places.addButton);
    Place(hwnd(), IDCANCEL, places.cancelButton);
    Place(hwnd(), kTypeCombo, places.typeCombo);
    Place(hwnd(), kTypeLabel, places.typeLabel);
}

// The system lays its controls out first; ours go where they belong after.
LRESULT CFileAndFolderDialog::Frame::OnSize(Message& m) {
    const LRESULT result = DefaultProcessing(m);
    if (m.wParam != SIZE_MINIMIZED)
        LayOut();
    return result;
}

// The shell view of the first folder may come after the dialog was ready:
// the first paint finds it.
LRESULT CFileAndFolderDialog::Frame::OnPaint(Message& m) {
    if (!painted_) {
        painted_ = true;
        LayOut();
    }
    m.handled = false;
    return 0;
}

LRESULT CFileAndFolderDialog::Frame::OnLayOut(Message&) {
    LayOut();
    return 0;
}

LRESULT CFileAndFolderDialog::Frame::OnAdd(Message&) {
    const std::wstring folder = ShownFolder(hwnd());
    const std::vector<std::wstring> selected = SelectedDisplayNames(ShellViewList(hwnd()));
    if (selected.empty())
        return 0;  // nothing to add: the dialog stays
    std::vector<std::wstring> folders;
    for (const std::wstring& name : selected) {
        if (IsFolder(folder, name))
            folders.push_back(name);
    }
    const std::wstring fileSpec = folders.size() < selected.size() ? FileSpec(hwnd()) : L"";
    PickedItems picked{folder, ChosenNames(folders, fileSpec, selected.size())};
    if (picked.names.empty())
        return 0;
    owner_.added_ = std::move(picked);
    // The system's dialog ends only through its own buttons: Cancel ends it
    // here, and DoModal hands back what "Add" kept.
    PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd(), IDCANCEL)));
    return 0;
}

CFileAndFolderDialog::CFileAndFolderDialog(std::wstring initialFolder)
    : initialFolder_(std::move(initialFolder)) {}

CFileAndFolderDialog::~CFileAndFolderDialog() = default;

std::optional<PickedItems> CFileAndFolderDialog::DoModal(HWND owner) {
    std::vector<wchar_t> files(kFileBufferChars, L'\0');
    static const wchar_t kFilter[] = L"All files and folders(*.*)\0*.*\0";
    OPENFILENAMEW ofn{};
    // The structure of the dialogs before the places bar: the dialog with
    // the hook and the controls of dlgs.h.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = files.data();
    ofn.nMaxFile = static_cast<DWORD>(files.size());
    ofn.lpstrInitialDir = initialFolder_.empty() ? nullptr : initialFolder_.c_str();
    ofn.lpstrDefExt = L"*.*";
    ofn.Flags =
        OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_ENABLEHOOK;
    ofn.lpfnHook = &CFileAndFolderDialog::Hook;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    added_.reset();
    const BOOL opened = GetOpenFileNameW(&ofn);
    frame_.reset();  // detached from its window when that went
    if (added_)
        return std::move(added_);
    if (!opened)
        return std::nullopt;
    return PickedFromFileBuffer(std::wstring_view(files.data(), files.size()), ofn.nFileOffset);
}

void CFileAndFolderDialog::OnInitDone(HWND dialog) {
    if (frame_)
        return;
    frame_ = std::make_unique<Frame>(*this);
    if (frame_->Attach(dialog))
        frame_->Prepare();
}

// The hook's own child dialog carries the owner in its user data.
UINT_PTR CALLBACK CFileAndFolderDialog::Hook(HWND hookDialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto& ofn = *reinterpret_cast<const OPENFILENAMEW*>(lParam);
        SetWindowLongPtrW(hookDialog, GWLP_USERDATA, ofn.lCustData);
        return TRUE;
    }
    auto* self =
        reinterpret_cast<CFileAndFolderDialog*>(GetWindowLongPtrW(hookDialog, GWLP_USERDATA));
    if (!self)
        return 0;
    if (message != WM_NOTIFY)
        return 0;
    const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
    if (code == CDN_INITDONE)
        self->OnInitDone(GetParent(hookDialog));
    // Another folder may bring a new shell view, made where the system
    // would have put it.
    if (code == CDN_FOLDERCHANGE && self->frame_)
        self->frame_->Post(kMsgLayOut);
    return 0;
}

}  // namespace vm
