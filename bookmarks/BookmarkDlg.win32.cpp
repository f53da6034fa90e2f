#include "bookmarks/BookmarkDlg.win32.h"

#include <ctime>

#include "bookmarks/BookmarkAdding.h"
#include "bookmarks/BookmarkStore.h"
#include "resources/resource.h"

namespace vm {

namespace {

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

}  // namespace

CBookmarkDlg::CBookmarkDlg(std::wstring prompt)
    : CDialog(IDD_ADD_BOOKMARK), prompt_(std::move(prompt)) {}

BOOL CBookmarkDlg::OnInitDialog() {
    SetDlgItemTextW(hwnd(), IDC_BOOKMARK_PROMPT, prompt_.c_str());
    // The index reads names into 260 characters: a longer one would come
    // back cut.
    SendDlgItemMessageW(hwnd(), IDC_BOOKMARK_NAME, EM_LIMITTEXT, kBookmarkNameBufferChars - 1, 0);
    SetDlgItemTextW(hwnd(), IDC_BOOKMARK_NAME, DefaultBookmarkName(LocalTimeNow()).c_str());
    SendDlgItemMessageW(hwnd(), IDC_BOOKMARK_NAME, EM_SETSEL, 0, -1);
    SetFocus(Item(IDC_BOOKMARK_NAME));
    return FALSE;
}

void CBookmarkDlg::OnOK() {
    HWND edit = Item(IDC_BOOKMARK_NAME);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    name_ = std::move(text);
    CDialog::OnOK();
}

}  // namespace vm
