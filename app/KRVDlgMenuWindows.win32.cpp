// The main window's part of the bookmark commands, the About box and the
// update check: the dialogs they open and what they change in the lists.
#include "app/AboutDlg.win32.h"
#include "app/KRVDlg.win32.h"
#include "bookmarks/BookmarkDlg.win32.h"
#include "bookmarks/BookmarkMangerDlg.win32.h"
#include "framework/ListCtrl.h"

namespace vm {

std::vector<std::wstring> CKRVDlg::CurrentListPaths() {
    CMainList& list = CurrentList();
    std::vector<std::wstring> paths;
    const int rows = list.ItemCount();
    paths.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        if (const ItemRecord* record = list.Record(row))
            paths.push_back(record->path);
    }
    return paths;
}

std::optional<std::wstring> CKRVDlg::AskBookmarkName(const std::wstring& prompt) {
    CBookmarkDlg dialog(prompt);
    if (dialog.DoModal(hwnd()) != IDOK)
        return std::nullopt;
    return dialog.name();
}

void CKRVDlg::BookmarksChanged() {
    app_.bookmarks = LoadBookmarkIndex(app_.state.files.bookmarkFile);
}

void CKRVDlg::ShowBookmarkManager() {
    CBookmarkMangerDlg manager(app_);
    manager.DoModal(hwnd());
}

void CKRVDlg::ShowInEditList(const std::vector<std::wstring>& paths) {
    {
        RedrawGuard quiet(editList_);
        editList_.RemoveAllRows();
        for (size_t j = 0; j < paths.size(); ++j)
            editList_.AddRow(paths[j], static_cast<int>(j));
    }
    UpdateStatus();
}

void CKRVDlg::BrowseTo(const std::wstring& folder) {
    NavigateTo(folder);
}

void CKRVDlg::ShowAboutBox() {
    CAboutDlg about(app_);
    about.DoModal(hwnd());
}

void CKRVDlg::StartUpdateCheck() {
    if (!updateChecks_)
        updateChecks_ = std::make_unique<UpdateChecks>(hwnd());
    updateChecks_->Start(app_.site.UpdateFileUrl());
}

LRESULT CKRVDlg::OnUpdateCheckDone(Message&) {
    if (!updateChecks_)
        return 0;
    // Told here, on the window's thread, with the window as the boxes' owner.
    for (const UpdateOutcome& outcome : updateChecks_->TakeFinished()) {
        if (TellUpdateOutcome(outcome, app_.state.reporter()))
            OpenWebPage(app_, app_.site.DownloadPageUrl());
    }
    return 0;
}

}  // namespace vm
