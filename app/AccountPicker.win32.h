// The account picker of the trustee menus' "Advanced..." entry (the main
// window's Change Owner and Options dialog, the Advanced Security Settings
// window): the system's object picker, and where it cannot be used (it is
// missing, as under Wine, or fails), after its message a small chooser in
// which the user types an account name or picks one of this computer's
// accounts, checked with the account lookup before it is returned.
#pragma once

#include "platform/win32/WinApi.h"

#include <string>
#include <vector>

#include "app/AppContext.win32.h"
#include "framework/Dialog.h"

namespace vm {

// The name of the account picked (the first of several), or empty when the
// user cancelled or nothing could be picked.
std::wstring PickAccount(HWND owner, const AppContext& app);

// The fallback chooser (template 290), modal: a combo box to type a name in
// or pick one of the offered accounts. OK is enabled while something is
// typed; a name the account lookup does not know is refused with a message
// and the chooser stays open.
class CAccountChooserDlg : public CDialog {
  public:
    explicit CAccountChooserDlg(const AppContext& app);

    // The accepted account, valid after IDOK.
    const std::wstring& account() const { return account_; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CAccountChooserDlg>> Routes();
    LRESULT OnNameChanged(Message& m);
    std::wstring TypedName() const;
    void UpdateOk();

    const AppContext& app_;
    std::wstring account_;
};

}  // namespace vm
