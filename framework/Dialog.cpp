#include "framework/Dialog.h"

#include "framework/Dpi.h"

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

HFONT CDialog::DialogFont() const {
    return scaledFont_ ? scaledFont_.get() : reinterpret_cast<HFONT>(Send(WM_GETFONT));
}

namespace {

// A control's rectangle in its dialog's client coordinates. A combo box
// is as high as its drop-down list when it is moved (MoveWindow docs), not
// as high as it shows.
RECT ControlRect(HWND dialog, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    RECT dropped{};
    if (SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)) &&
        dropped.bottom > rect.bottom)
        rect.bottom = dropped.bottom;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

void CDialog::ScaleControls(int oldDpi, int newDpi, HFONT oldFont, HFONT newFont) {
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = ControlRect(hwnd(), child);
        const auto s = [&](LONG v) { return ScaleBetweenDpi(static_cast<int>(v), oldDpi, newDpi); };
        // Edges, not sizes: controls that touch keep touching.
        MoveWindow(child, s(rect.left), s(rect.top), s(rect.right) - s(rect.left),
                   s(rect.bottom) - s(rect.top), FALSE);
        if (newFont != nullptr &&
            reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == oldFont)
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), FALSE);
        if (CWnd* control = FromHandle(child))
            control->SetDpi(newDpi);
    }
}

void CDialog::ChangeDpi(int newDpi, const RECT& suggestedByWindows) {
    const RECT suggested = RectForNewDpi(suggestedByWindows);
    const int oldDpi = Dpi();
    if (newDpi > 0 && newDpi != oldDpi) {
        const HFONT oldFont = DialogFont();
        Font newFont = FontAtDpi(oldFont, oldDpi, newDpi);
        ScaleControls(oldDpi, newDpi, oldFont, newFont.get());
        if (newFont)
            scaledFont_ = std::move(newFont);  // the old one is no control's any more
        SetDpi(newDpi);
    }
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CDialog::OnMessage(Message& m, LRESULT& result) {
    if (m.message == WM_DPICHANGED) {
        ChangeDpi(DpiOfDpiChanged(m.wParam), SuggestedRect(m.lParam));
        result = 0;
        return true;
    }
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
        KeepDialogManagerFromScaling(window);
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
