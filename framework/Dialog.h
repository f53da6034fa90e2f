// Dialogs from templates of the program's resources, modal (DoModal, with
// DialogBoxParamW) or modeless (CreateModeless, with CreateDialogParamW).
// The object is attached on WM_INITDIALOG (its pointer comes in lParam); its
// routing table works as for every CWnd. A handler's LRESULT is handed back
// through DWLP_MSGRESULT, as dialog procedures must.
#pragma once

#include "framework/Window.h"

namespace vm {

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId) : templateId_(templateId) {}

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

  private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);

    UINT templateId_;
    bool modal_ = false;
};

}  // namespace vm
