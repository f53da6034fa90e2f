// Dialogs from templates of the program's resources, modal (DoModal, with
// DialogBoxParamW) or modeless (CreateModeless, with CreateDialogParamW).
// The object is attached on WM_INITDIALOG (its pointer comes in lParam); its
// routing table works as for every CWnd. A handler's LRESULT is handed back
// through DWLP_MSGRESULT, as dialog procedures must.
#pragma once

#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Window.h"

namespace vm {

// A dialog template built in memory (DLGTEMPLATE and its items), for small
// dialogs the framework and the controls make without a resource script.
class DialogTemplate {
  public:
    // Style gets DS_SETFONT added; size and positions in dialog units.
    DialogTemplate(const std::wstring& title, DWORD style, short width, short height,
                   const std::wstring& font = L"MS Shell Dlg", WORD pointSize = 8);
    // A control of a predefined class (0x0080 button, 0x0081 edit, 0x0082
    // static ...), or of a registered class by name.
    void AddControl(WORD classAtom, const std::wstring& text, WORD id, DWORD style, short x,
                    short y, short width, short height);
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Align();
    void Word(WORD value) { words_.push_back(value); }
    void DoubleWord(DWORD value);
    void Text(const std::wstring& text);

    std::vector<WORD> words_;
    size_t countIndex_ = 0;
};

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId) : templateId_(templateId) {}
    // A dialog from a template in memory; it must outlive DoModal or the
    // CreateModeless call.
    explicit CDialog(const DialogTemplate& memoryTemplate)
        : templateId_(0), memoryTemplate_(&memoryTemplate) {}

    // Runs the dialog modally; the value given to EndDialog, or -1.
    INT_PTR DoModal(HWND parent);
    // Creates the dialog modeless and hidden unless the template says
    // WS_VISIBLE; the object must outlive the window.
    bool CreateModeless(HWND parent);
    bool IsModal() const { return modal_; }
    // Ends a modal run with result, or destroys a modeless window.
    void Close(INT_PTR result);

    HWND Item(int controlId) const { return GetDlgItem(hwnd(), controlId); }
    UINT TemplateId() const { return templateId_; }

  protected:
    // WM_INITDIALOG; return FALSE when the focus was set by hand.
    virtual BOOL OnInitDialog() { return TRUE; }
    // IDOK and IDCANCEL: close with that id.
    virtual void OnOK() { Close(IDOK); }
    virtual void OnCancel() { Close(IDCANCEL); }

    bool OnMessage(Message& m, LRESULT& result) override;
    // Dialogs have no default procedure of their own: not handled.
    LRESULT DefaultProcessing(const Message&) override { return 0; }

    // The font of the dialog's controls: the template's, or after a DPI
    // change the one this dialog made for its new DPI.
    HFONT DialogFont() const;
    // Where the window goes on WM_DPICHANGED: the rectangle Windows
    // suggests, unless the dialog knows better.
    virtual RECT RectForNewDpi(const RECT& suggested) { return suggested; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    // WM_DPICHANGED (the monitor's scale changed, or the window moved to a
    // monitor of another scale): the controls that use the dialog's font get
    // it at the new DPI, every control's rectangle is scaled, the dialog and
    // each control with an object of ours take the DPI (OnDpiChanged
    // rebuilds what they made for the old one), and the window moves to the
    // rectangle Windows suggests (per the WM_DPICHANGED docs).
    void ChangeDpi(int newDpi, const RECT& suggested);
    void ScaleControls(int oldDpi, int newDpi, HFONT oldFont, HFONT newFont);

    UINT templateId_;
    const DialogTemplate* memoryTemplate_ = nullptr;
    bool modal_ = false;
    Font scaledFont_;  // the dialog's font at its DPI, after a DPI change
};

}  // namespace vm
