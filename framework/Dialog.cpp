#include "framework/Dialog.h"

namespace vm {

DialogTemplate::DialogTemplate(const std::wstring& title, DWORD style, short width, short height,
                               const std::wstring& font, WORD pointSize) {
    DoubleWord(style | DS_SETFONT);
    DoubleWord(0);  // extended style
    countIndex_ = words_.size();
    Word(0);  // number of items
    Word(0);  // x
    Word(0);  // y
    Word(static_cast<WORD>(width));
    Word(static_cast<WORD>(height));
    Word(0);  // no menu
    Word(0);  // the predefined dialog class
    Text(title);
    Word(pointSize);
    Text(font);
}

void DialogTemplate::DoubleWord(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
}

void DialogTemplate::Text(const std::wstring& text) {
    for (wchar_t c : text)
        Word(static_cast<WORD>(c));
    Word(0);
}

// Every DLGITEMTEMPLATE starts on a DWORD boundary.
void DialogTemplate::Align() {
    if (words_.size() % 2 != 0)
        Word(0);
}

void DialogTemplate::AddControl(WORD classAtom, const std::wstring& text, WORD id, DWORD style,
                                short x, short y, short width, short height) {
    Align();
    DoubleWord(style | WS_CHILD | WS_VISIBLE);
    DoubleWord(0);  // extended style
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(width));
    Word(static_cast<WORD>(height));
    Word(id);
    Word(0xFFFF);
    Word(classAtom);
    Text(text);
    Word(0);  // no creation data
    ++words_[countIndex_];
}

INT_PTR CDialog::DoModal(HWND parent) {
    modal_ = true;
    if (memoryTemplate_ != nullptr)
        return DialogBoxIndirectParamW(ResourceModule(), memoryTemplate_->get(), parent, DialogProc,
                                       reinterpret_cast<LPARAM>(this));
    return DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::CreateModeless(HWND parent) {
    modal_ = false;
    if (memoryTemplate_ != nullptr)
        return CreateDialogIndirectParamW(ResourceModule(), memoryTemplate_->get(), parent,
                                          DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
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
