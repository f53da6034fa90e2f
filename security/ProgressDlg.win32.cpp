#include "security/ProgressDlg.win32.h"

#include <mutex>
#include <set>

#include "advanced/NamedList.h"
#include "app/Messages.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "security/ReplaceChildPermissionsDlg.win32.h"

namespace vm {
namespace {

constexpr UINT kMsgShown = WM_APP + 0x80;
constexpr UINT_PTR kNewsTimer = 1;
// The window reads the worker's news this often: 25 times a second.
constexpr UINT kNewsIntervalMs = 40;

// The progress windows alive, so that message 1130 never starts the worker
// of a window that has gone in the meantime.
std::mutex liveMutex;
std::set<CProgressDlg*>& LiveWindows() {
    static std::set<CProgressDlg*> live;
    return live;
}

}  // namespace

CProgressDlg::CProgressDlg(Engine& engine, std::wstring folder, PropagationMode mode, HWND starter)
    : CDialog(IDD_PROGRESS),
      engine_(engine),
      starter_(starter),
      mailbox_([this] { Post(kMsgProgressComplete); }),
      progress_(mailbox_) {
    run_.folder = std::move(folder);
    run_.mode = mode;
    std::lock_guard lock(liveMutex);
    LiveWindows().insert(this);
}

CProgressDlg::~CProgressDlg() {
    worker_.Stop();
    std::lock_guard lock(liveMutex);
    LiveWindows().erase(this);
}

bool CProgressDlg::StartWorkerOf(WPARAM message1130Parameter) {
    auto* dialog = reinterpret_cast<CProgressDlg*>(message1130Parameter);
    {
        std::lock_guard lock(liveMutex);
        if (LiveWindows().count(dialog) == 0)
            return false;
    }
    dialog->StartWorker();
    return true;
}

void CProgressDlg::StartWorker() {
    if (started_)
        return;
    started_ = true;
    worker_.Start([this](std::stop_token) {
        RunPropagationWorker(engine_, run_, progress_);
        finished_ = true;
        Post(kMsgProgressComplete);
    });
}

std::span<const Route<CProgressDlg>> CProgressDlg::Routes() {
    static const Route<CProgressDlg> routes[] = {
        OnMsg(kMsgShown, &CProgressDlg::OnShown),
        OnMsg(kMsgProgressComplete, &CProgressDlg::OnComplete),
        OnTimer(kNewsTimer, &CProgressDlg::OnNewsTimer),
    };
    return routes;
}

bool CProgressDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

BOOL CProgressDlg::OnInitDialog() {
    bar_.AttachDlgItem(hwnd(), IDC_PROGRESS_BAR);
    bar_.SetRange(0.0f, 100.0f);
    // The counting pass has no percentage: the block moves until the
    // applying pass starts and the bar fills.
    bar_.SetIndeterminate(true);
    bar_.SetPos(0.0f);
    bar_.StartAnimation();
    StartTimer(kNewsTimer, kNewsIntervalMs);
    // Shown before the work starts: a busy worker may keep the queue from
    // running empty, which a modal dialog waits for before it shows.
    ShowWindow(hwnd(), SW_SHOW);
    Post(kMsgShown);
    return TRUE;
}

LRESULT CProgressDlg::OnShown(Message&) {
    if (starter_ == nullptr ||
        !PostMessageW(starter_, kMsgStartPropagation, reinterpret_cast<WPARAM>(this), 0))
        StartWorker();
    return 0;
}

void CProgressDlg::OnCancel() {
    run_.cancel = true;
    cancelRequested_ = true;
}

LRESULT CProgressDlg::OnNewsTimer(Message&) {
    ShowNews();
    return 0;
}

void CProgressDlg::ShowNews() {
    std::optional<ProgressNews> news = mailbox_.Take();
    if (!news)
        return;
    if (news->restartAnimation)
        bar_.SetIndeterminate(false);
    if (!news->appendedCountText.empty()) {
        countText_ += news->appendedCountText;
        SetDlgItemTextW(hwnd(), IDC_PROGRESS_TEXT, (L"" STR_PROGRESS_TEXT + countText_).c_str());
    }
    if (news->entryName)
        SetDlgItemTextW(hwnd(), IDC_PROGRESS_ENTRY, news->entryName->c_str());
    if (news->percent)
        bar_.SetPos(static_cast<float>(*news->percent));
    notReached_.insert(notReached_.end(), news->notReached.begin(), news->notReached.end());
}

// The walk asks to close when the bar reaches 100 and once more when it
// has ended; the window goes with the second.
LRESULT CProgressDlg::OnComplete(Message&) {
    if (!finished_)
        return 0;
    worker_.Stop();
    ShowNews();
    Close(IDOK);
    return 0;
}

void CProgressDlg::OnDestroyed() {
    StopTimer(kNewsTimer);
    bar_.StopAnimation();
}

PropagationMode AskReplaceChildPermissions(HWND owner) {
    return CReplaceChildPermissionsDlg::Ask(owner);
}

PropagationWindowResult RunPropagationWindow(Engine& engine, HWND owner, HWND starter,
                                             const std::wstring& folder, PropagationMode mode) {
    PropagationWindowResult result;
    if (mode == PropagationMode::kCountOnly || folder.empty())
        return result;
    CProgressDlg progress(engine, folder, mode, starter);
    progress.DoModal(owner);
    result.cancelled = progress.Cancelled();
    result.notReached = progress.notReached();
    if (!result.notReached.empty())
        engine.reporter().Tell(NamedListMessage(L"" STR_PROGRESS_NOT_REACHED, result.notReached),
                               MessageIcon::kWarning);
    return result;
}

bool ReplaceChildPermissions(Engine& engine, HWND owner, HWND starter, const std::wstring& folder) {
    const PropagationMode mode = AskReplaceChildPermissions(owner);
    if (mode == PropagationMode::kCountOnly)
        return false;
    RunPropagationWindow(engine, owner, starter, folder, mode);
    return true;
}

}  // namespace vm
