#include "security/RemoveInheritTipDlg.win32.h"

#include "resources/resource.h"

namespace vm {

CRemoveInheritTipDlg::CRemoveInheritTipDlg() : CDialog(IDD_REMOVE_INHERIT_TIP) {}

InheritanceChoice CRemoveInheritTipDlg::Ask(HWND owner) {
    CRemoveInheritTipDlg question;
    switch (question.DoModal(owner)) {
        case IDOK:
            return InheritanceChoice::kConvert;
        case IDC_REMOVE_INHERIT_REMOVE:
            return InheritanceChoice::kRemove;
        default:  // the third button, the close box, Escape, or no window at all
            return InheritanceChoice::kDoNotModify;
    }
}

std::span<const Route<CRemoveInheritTipDlg>> CRemoveInheritTipDlg::Routes() {
    static const Route<CRemoveInheritTipDlg> routes[] = {
        OnCommand(IDC_REMOVE_INHERIT_REMOVE, &CRemoveInheritTipDlg::OnRemove, BN_CLICKED),
    };
    return routes;
}

bool CRemoveInheritTipDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

BOOL CRemoveInheritTipDlg::OnInitDialog() {
    // The system's own warning icon (IDI_WARNING, 32515); shared, never destroyed.
    HICON warning = LoadIconW(nullptr, IDI_WARNING);
    SendDlgItemMessageW(hwnd(), IDC_REMOVE_INHERIT_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(warning), 0);
    return TRUE;
}

LRESULT CRemoveInheritTipDlg::OnRemove(Message&) {
    Close(IDC_REMOVE_INHERIT_REMOVE);
    return 0;
}

}  // namespace vm
