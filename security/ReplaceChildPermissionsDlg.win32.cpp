#include "security/ReplaceChildPermissionsDlg.win32.h"

#include "resources/resource.h"

namespace vm {

CReplaceChildPermissionsDlg::CReplaceChildPermissionsDlg()
    : CDialog(IDD_REPLACE_CHILD_PERMISSIONS) {}

PropagationMode CReplaceChildPermissionsDlg::Ask(HWND owner) {
    CReplaceChildPermissionsDlg question;
    if (question.DoModal(owner) != IDOK)
        return PropagationMode::kCountOnly;
    return question.mode();
}

std::span<const Route<CReplaceChildPermissionsDlg>> CReplaceChildPermissionsDlg::Routes() {
    static const Route<CReplaceChildPermissionsDlg> routes[] = {
        OnCommand(IDC_REPLACE_WITH_INHERITABLE,
                  &CReplaceChildPermissionsDlg::OnReplaceWithInheritable, BN_CLICKED),
        OnCommand(IDC_REPLACE_COPY_FROM_OBJECT, &CReplaceChildPermissionsDlg::OnCopyFromObject,
                  BN_CLICKED),
    };
    return routes;
}

bool CReplaceChildPermissionsDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

LRESULT CReplaceChildPermissionsDlg::OnReplaceWithInheritable(Message&) {
    mode_ = PropagationMode::kResetToInherited;
    Close(IDOK);
    return 0;
}

LRESULT CReplaceChildPermissionsDlg::OnCopyFromObject(Message&) {
    mode_ = PropagationMode::kCopyFromFolder;
    Close(IDOK);
    return 0;
}

}  // namespace vm
