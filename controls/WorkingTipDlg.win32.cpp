#include "controls/WorkingTipDlg.win32.h"

#include "app/Messages.h"
#include "resources/resource.h"

namespace vm {
namespace {

constexpr UINT kMsgShown = WM_APP + 0x60;
constexpr UINT kMsgSetProgress = WM_APP + 0x61;
constexpr WORD kStaticClass = 0x0082;

// "Please Wait...": a captioned box holding the progress bar.
const DialogTemplate& WorkingTipTemplate() {
    static const DialogTemplate dialog = [] {
        DialogTemplate built(L"Please Wait...",
                             DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 200,
                             30);
        built.AddControl(kStaticClass, L"", IDC_WORKING_PROGRESS, SS_NOTIFY, 7, 8, 186, 14);
        return built;
    }();
    return dialog;
}

}  // namespace

CWorkingTipDlg::CWorkingTipDlg(Mode mode) : CDialog(WorkingTipTemplate()), mode_(mode) {}

std::span<const Route<CWorkingTipDlg>> CWorkingTipDlg::Routes() {
    static const Route<CWorkingTipDlg> routes[] = {
        OnMsg(kMsgShown, &CWorkingTipDlg::OnShown),
        OnMsg(kMsgSetProgress, &CWorkingTipDlg::OnProgress),
        OnMsg(kMsgProgressComplete, &CWorkingTipDlg::OnProgressComplete),
    };
    return routes;
}

bool CWorkingTipDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

BOOL CWorkingTipDlg::OnInitDialog() {
    progress_.AttachDlgItem(hwnd(), IDC_WORKING_PROGRESS);
    progress_.SetRange(0.0f, 100.0f);
    progress_.SetIndeterminate(mode_ == Mode::kAnimation);
    progress_.SetPos(0.0f);
    progress_.StartAnimation();
    // A modal dialog is shown only once its message queue runs empty, which
    // a busy worker may never let happen: show it now, then start the work.
    ShowWindow(hwnd(), SW_SHOW);
    Post(kMsgShown);
    return TRUE;
}

LRESULT CWorkingTipDlg::OnShown(Message&) {
    if (onShown_)
        onShown_();
    return 0;
}

LRESULT CWorkingTipDlg::OnProgress(Message& m) {
    progress_.SetPos(static_cast<float>(m.wParam));
    return 0;
}

// The bar reached 100: the worker closes the window itself.
LRESULT CWorkingTipDlg::OnProgressComplete(Message&) {
    return 0;
}

void CWorkingTipDlg::PostProgress(HWND window, int percent) {
    PostMessageW(window, kMsgSetProgress, static_cast<WPARAM>(percent), 0);
}

void CWorkingTipDlg::PostClose(HWND window) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
}

}  // namespace vm
