#include "framework/Dialog.h"

namespace vm {

INT_PTR CDialog::DoModal(HWND parent) {
    modal_ = true;
    return DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::CreateModeless(HWND parent) {
    modal_ = false;
    return CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::Close(INT_PTR result) {
    if (hwnd() == nullptr)
        return;
    if (modal_)
        EndDialog(hwnd(), result);
    else
        DestroyWindow(hwnd());
}

bool CDialog::OnMessage(Message& m, LRESULT& result) {
    if (m.message != WM_COMMAND)
        return false;
    if (m.lParam != 0 && HIWORD(m.wParam) != BN_CLICKED)
        return false;
    switch (LOWORD(m.wParam)) {
        case IDOK:
            OnOK();
            result = TRUE;
            return true;
        case IDCANCEL:
            OnCancel();
            result = TRUE;
            return true;
        default:
            return false;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        self->SetHandle(window);
        return self->OnInitDialog();
    }
    auto* self = static_cast<CDialog*>(FromHandle(window));
    if (self == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY) {
        self->OnDestroyed();
        self->ClearHandle();
        return FALSE;
    }
    Message m{window, message, wParam, lParam};
    LRESULT result = self->Process(m);
    // Messages that return their value directly from a dialog procedure
    // (per the DialogProc docs); everything else goes via DWLP_MSGRESULT.
    switch (message) {
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return static_cast<INT_PTR>(result);
        default:
            break;
    }
    if (!m.handled)
        return FALSE;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace vm
