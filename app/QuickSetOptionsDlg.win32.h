// "Options" of Allow Access, Read Only and Deny Access: the trustee (typed,
// or chosen from the trustee menu of the "~" button) and the "Apply To" scope
// for folders. Modal; the result is valid after IDOK.
#pragma once

#include <cstdint>
#include <string>

#include "app/AppContext.win32.h"
#include "controls/ZOLExButton.win32.h"
#include "framework/Dialog.h"

namespace vm {

class CQuickSetOptionsDlg : public CDialog {
  public:
    // buttonText: the main window's button of the command ("Read Only"), for
    // the caption; allFiles: every selected item is a file, so the scope has
    // no meaning and its buttons are disabled.
    CQuickSetOptionsDlg(const AppContext& app, std::wstring buttonText, bool allFiles);

    const std::wstring& trustee() const { return trustee_; }
    uint8_t scope() const { return scope_; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CQuickSetOptionsDlg>> Routes();
    LRESULT OnTrusteeButton(Message& m);

    const AppContext& app_;
    CZOLExButton trusteeButton_;
    std::wstring buttonText_;
    bool allFiles_;
    std::wstring trustee_;
    uint8_t scope_ = 0;
};

// The trustee name a command of the trustee menu gives in the Options
// dialog; "Advanced..." asks the account picker (app/AccountPicker.win32.h)
// over owner.
std::wstring ChooseTrusteeName(HWND owner, const AppContext& app, UINT command);

}  // namespace vm
