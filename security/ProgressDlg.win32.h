// CProgressDlg: "Replace child object permissions", the window shown while
// the propagation worker rewrites everything below a folder: the counts the
// first pass found, the bar, the entry being changed and Cancel, which stops
// the walk at the next entry. The worker is started once the window shows,
// by the main window when it is asked with message 1130 (WM_USER+106), or by
// the window itself when there is no main window to ask. The worker's news
// wait in a mailbox that the window reads on a timer, so that a tree of any
// size repaints the window at most a few dozen times a second; the window
// closes on message 1125 once the worker has finished, never before, so that
// it outlives the worker.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "advanced/ProgressMailbox.h"
#include "controls/ZOLProgressCtrl.win32.h"
#include "framework/Dialog.h"
#include "framework/Worker.h"
#include "security/Engine.h"
#include "security/Propagation.h"

namespace vm {

class CProgressDlg : public CDialog {
  public:
    // starter: the window asked to start the worker (message 1130 with this
    // dialog as its word parameter); null to start it here.
    CProgressDlg(Engine& engine, std::wstring folder, PropagationMode mode, HWND starter);
    ~CProgressDlg() override;

    // The main window's answer to message 1130: the dialog the message
    // names, if it is still there, and its worker started.
    static bool StartWorkerOf(WPARAM message1130Parameter);
    // Starts the walk on its own thread (once).
    void StartWorker();

    const PropagationRun& run() const { return run_; }
    bool Cancelled() const { return cancelRequested_; }
    const std::vector<std::wstring>& notReached() const { return notReached_; }
    CZOLProgressCtrl& Bar() { return bar_; }

  protected:
    BOOL OnInitDialog() override;
    // Cancel, Escape and the close box only ask the walk to stop.
    void OnCancel() override;
    void OnOK() override {}
    bool OnMessage(Message& m, LRESULT& result) override;
    void OnDestroyed() override;

  private:
    static std::span<const Route<CProgressDlg>> Routes();
    LRESULT OnShown(Message& m);
    LRESULT OnComplete(Message& m);
    LRESULT OnNewsTimer(Message& m);
    void ShowNews();

    Engine& engine_;
    HWND starter_;
    PropagationRun run_;
    ProgressMailbox mailbox_;
    PropagationProgress progress_;
    CZOLProgressCtrl bar_;
    std::wstring countText_;
    std::vector<std::wstring> notReached_;
    std::atomic<bool> finished_{false};
    bool started_ = false;
    bool cancelRequested_ = false;
    Worker worker_;  // last: joined before the state it uses goes
};

// "Replace all child object permissions": asks how (CReplaceChildPermissionsDlg);
// kCountOnly when the user chose nothing.
PropagationMode AskReplaceChildPermissions(HWND owner);

struct PropagationWindowResult {
    bool cancelled = false;
    std::vector<std::wstring> notReached;
};

// Runs the progress window modally over owner while the worker walks the
// folder in mode (1 or 2); starter as for CProgressDlg. Afterwards the
// folders that could not be listed and the items that could not be changed
// are told through the engine's reporter.
PropagationWindowResult RunPropagationWindow(Engine& engine, HWND owner, HWND starter,
                                             const std::wstring& folder, PropagationMode mode);

// The main window's command: ask, then run. False when the user chose nothing.
bool ReplaceChildPermissions(Engine& engine, HWND owner, HWND starter, const std::wstring& folder);

}  // namespace vm
