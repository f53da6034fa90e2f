#include "app/QuickSetOptionsDlg.win32.h"

#include "app/AccountPicker.win32.h"
#include "app/PopupMenu.win32.h"
#include "app/TrusteeMenu.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/Rights.h"
#include "security/SecurityAccess.h"

namespace vm {

namespace {

constexpr size_t kTrusteeNameChars = 300;
constexpr int kTrusteePictureSize = 16;

}  // namespace

std::wstring ChooseTrusteeName(HWND owner, const AppContext& app, UINT command) {
    if (command == ID_TRUSTEE_ADVANCED)
        return PickAccount(owner, app);
    return TrusteeNameForCommand(command, TrusteeMenuUser::kOptionsDialog,
                                 app.state.user.CurrentUserName)
        .value_or(std::wstring());
}

CQuickSetOptionsDlg::CQuickSetOptionsDlg(const AppContext& app, std::wstring buttonText,
                                         bool allFiles)
    : CDialog(IDD_QUICKSET_OPTIONS),
      app_(app),
      buttonText_(std::move(buttonText)),
      allFiles_(allFiles) {}

std::span<const Route<CQuickSetOptionsDlg>> CQuickSetOptionsDlg::Routes() {
    static const Route<CQuickSetOptionsDlg> routes[] = {
        OnCommand(IDC_OPTIONS_TRUSTEE_BUTTON, &CQuickSetOptionsDlg::OnTrusteeButton, BN_CLICKED),
    };
    return routes;
}

bool CQuickSetOptionsDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

BOOL CQuickSetOptionsDlg::OnInitDialog() {
    trusteeButton_.AttachDlgItem(hwnd(), IDC_OPTIONS_TRUSTEE_BUTTON);
    trusteeButton_.SetImage(IDP_ENTRY_ADD, kTrusteePictureSize, false);
    SetDlgItemTextW(hwnd(), IDC_OPTIONS_TRUSTEE_NAME, kEveryone);
    SendDlgItemMessageW(hwnd(), IDC_OPTIONS_TRUSTEE_NAME, EM_LIMITTEXT, kTrusteeNameChars, 0);
    CheckRadioButton(hwnd(), IDC_OPTIONS_SCOPE_FIRST, IDC_OPTIONS_SCOPE_LAST,
                     IDC_OPTIONS_SCOPE_FIRST);
    SetText(Text() + L" - " + buttonText_);
    if (allFiles_) {
        for (const ScopeInfo& scope : kScopes)
            EnableWindow(Item(static_cast<int>(scope.radioId)), FALSE);
    }
    return TRUE;
}

LRESULT CQuickSetOptionsDlg::OnTrusteeButton(Message&) {
    const UINT command =
        PopupMenu(app_, PopupSubMenu::kTrustee, hwnd(), TPM_RIGHTALIGN | TPM_TOPALIGN, true);
    if (IsTrusteeCommand(command))
        SetDlgItemTextW(hwnd(), IDC_OPTIONS_TRUSTEE_NAME,
                        ChooseTrusteeName(hwnd(), app_, command).c_str());
    return 0;
}

void CQuickSetOptionsDlg::OnOK() {
    wchar_t name[kTrusteeNameChars + 1]{};
    GetDlgItemTextW(hwnd(), IDC_OPTIONS_TRUSTEE_NAME, name, static_cast<int>(std::size(name)));
    trustee_ = name;
    scope_ = 0;
    for (const ScopeInfo& scope : kScopes) {
        if (IsDlgButtonChecked(hwnd(), static_cast<int>(scope.radioId)) == BST_CHECKED) {
            scope_ = scope.value;
            break;
        }
    }
    CDialog::OnOK();
}

}  // namespace vm
