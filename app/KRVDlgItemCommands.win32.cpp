// The main window's part of the item commands: the security clipboard's
// indicator, the "Clear Access Control List" question, the "Please Wait..."
// window of Inheritance Permissions, Replace all child object permissions,
// the file-and-folder dialog and the shell's property sheet.
#include <atomic>

#include "app/KRVDlg.win32.h"
#include "controls/FileAndFolderDialog.win32.h"
#include "controls/WorkingTipDlg.win32.h"
#include "framework/Shell.h"
#include "framework/Worker.h"
#include "security/ProgressDlg.win32.h"

namespace vm {

namespace {

// COM on this thread for the time of one shell call (balanced, so that a
// thread that had it keeps it).
class ComScope {
  public:
    ComScope() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (started_)
            CoUninitialize();
    }

  private:
    bool started_;
};

// Handles the messages sent to this thread until done is set: a worker that
// sends to the window cannot be joined otherwise.
void WaitHandlingSentMessages(const std::atomic<bool>& done) {
    while (!done) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE)) {
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    }
}

}  // namespace

// ---- The security clipboard's indicator ---------------------------------------------

void CKRVDlg::ShowCopySource(const std::wstring& path) {
    clipboardButton_.SetText(path);
    EnableWindow(clipboardButton_.hwnd(), path.empty() ? FALSE : TRUE);
    clipboardButton_.Invalidate();
}

LRESULT CKRVDlg::OnClipboardIndicator(Message& m) {
    switch (m.RouteCode()) {
        case BN_CLICKED:
            StartTimer(kClipboardClickTimer, GetDoubleClickTime());
            break;
        case BN_DOUBLECLICKED:
            // The copied DACL goes; the owner's name stays, but Paste needs both.
            StopTimer(kClipboardClickTimer);
            app_.state.copyBuffer.CopiedDescriptor.reset();
            ShowCopySource(L"");
            break;
        default:
            m.handled = false;
    }
    return 0;
}

LRESULT CKRVDlg::OnClipboardClickTimer(Message&) {
    StopTimer(kClipboardClickTimer);
    const std::wstring source = clipboardButton_.Text();
    if (!source.empty())
        app_.state.reporter().Tell(source, MessageIcon::kInformation);
    return 0;
}

// ---- Questions and workers ----------------------------------------------------------

bool CKRVDlg::AskWarning(const std::wstring& caption, const std::wstring& text) {
    return MessageBoxW(hwnd(), text.c_str(), caption.c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

LRESULT CKRVDlg::OnRefreshRowOfWorker(Message& m) {
    RefreshRow(static_cast<int>(m.wParam));
    return 0;
}

void CKRVDlg::RunBehindWaitWindow(const std::function<void(std::stop_token)>& work) {
    CWorkingTipDlg wait(CWorkingTipDlg::Mode::kAnimation);
    std::atomic<bool> finished{false};
    Worker worker;
    // The worker starts once the window shows and closes it at its end.
    wait.SetOnShown([&] {
        HWND waitWindow = wait.hwnd();
        worker.Start([&, waitWindow](std::stop_token stop) {
            work(stop);
            CWorkingTipDlg::PostClose(waitWindow);
            finished = true;
        });
    });
    if (wait.DoModal(hwnd()) == -1 && !worker.Running()) {
        work(std::stop_token());  // no window could be made: the work runs here
        return;
    }
    // Closed before the work was done: it stops between two items.
    if (worker.Running()) {
        worker.RequestStop();
        WaitHandlingSentMessages(finished);
        worker.Stop();
    }
}

void CKRVDlg::ReplaceChildPermissions(const std::wstring& folder) {
    if (vm::ReplaceChildPermissions(app_.state.engine, hwnd(), hwnd(), folder))
        Refresh();  // rows below the folder may be in the list
}

// ---- Adding items -------------------------------------------------------------------

std::optional<PickedItems> CKRVDlg::PickFilesAndFolders() {
    CFileAndFolderDialog dialog(app_.settings.openPath);
    std::optional<PickedItems> picked = dialog.DoModal(hwnd());
    if (picked) {
        if (const auto kept = OpenPathToKeep(picked->folder))
            app_.settings.openPath = *kept;
    }
    return picked;
}

void CKRVDlg::AddToEditList(const std::vector<std::wstring>& paths) {
    editList_.AddDroppedPaths(paths);
}

// ---- Properties ---------------------------------------------------------------------

// The shell's sheet for the whole set (SHMultiFileProperties); where the
// system has none, the "properties" verb of the set's context menu.
void CKRVDlg::ShowShellProperties(const std::vector<std::wstring>& paths) {
    const ComScope com;
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())))
        return;
    std::vector<ItemIdList> items;
    for (const std::wstring& path : paths) {
        PIDLIST_RELATIVE item = nullptr;
        std::wstring name = path;
        if (SUCCEEDED(
                desktop->ParseDisplayName(hwnd(), nullptr, name.data(), nullptr, &item, nullptr)))
            items.emplace_back(reinterpret_cast<PIDLIST_ABSOLUTE>(item));
    }
    if (items.empty())
        return;
    std::vector<LPCITEMIDLIST> ids;
    for (const ItemIdList& item : items)
        ids.push_back(item.get());
    const UINT count = static_cast<UINT>(ids.size());
    ComPtr<IDataObject> data;
    if (SUCCEEDED(desktop->GetUIObjectOf(hwnd(), count, ids.data(), IID_IDataObject, nullptr,
                                         data.put_void())) &&
        SUCCEEDED(SHMultiFileProperties(data.get(), 0)))
        return;
    ComPtr<IContextMenu> menu;
    if (FAILED(desktop->GetUIObjectOf(hwnd(), count, ids.data(), IID_IContextMenu, nullptr,
                                      menu.put_void())))
        return;
    CMINVOKECOMMANDINFO invoke{sizeof invoke};
    invoke.hwnd = hwnd();
    invoke.lpVerb = "properties";
    invoke.nShow = SW_SHOWNORMAL;
    menu->InvokeCommand(&invoke);
}

}  // namespace vm
