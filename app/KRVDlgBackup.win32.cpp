// The main window's part of the backup commands: the file dialogs and the
// Restore windows it opens.
#include "app/KRVDlg.win32.h"

#include "backup/RestoreDlg.win32.h"
#include "resources/resource.h"

namespace vm {

std::optional<std::wstring> CKRVDlg::AskBackupFileToSave() {
    return AskBackupFile(hwnd(), true);
}

std::optional<std::wstring> CKRVDlg::AskBackupFileToOpen() {
    return AskBackupFile(hwnd(), false);
}

void CKRVDlg::OpenRestoreWindow(RestoreMode mode, const std::wstring& backupFile) {
    // A copy in a Restore window names its item on the clipboard indicator,
    // which can then be clicked as after the main window's own Copy.
    HWND self = hwnd();
    vm::OpenRestoreWindow(app_, self, mode, backupFile, [self](const std::wstring& text) {
        HWND indicator = GetDlgItem(self, IDC_MAIN_CLIPBOARD);
        SetWindowTextW(indicator, text.c_str());
        EnableWindow(indicator, TRUE);
        InvalidateRect(indicator, nullptr, TRUE);
    });
}

}  // namespace vm
