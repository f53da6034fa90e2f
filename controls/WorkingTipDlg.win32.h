// CWorkingTipDlg: the small "Please Wait..." window shown modally while a
// worker runs: one themed progress bar (control 1050) that either the worker
// fills from 0 to 100 or that animates by itself. The worker talks to it only
// by posted messages (PostProgress, PostClose).
#pragma once

#include <functional>

#include "controls/ZOLProgressCtrl.win32.h"
#include "framework/Dialog.h"

namespace vm {

class CWorkingTipDlg : public CDialog {
  public:
    enum class Mode { kProgress = 0, kAnimation = 1 };

    explicit CWorkingTipDlg(Mode mode);

    // Runs once the window is up and visible (on the window's thread):
    // where the owner starts its worker.
    void SetOnShown(std::function<void()> onShown) { onShown_ = std::move(onShown); }

    // From any thread: set the bar to percent; close the window.
    static void PostProgress(HWND window, int percent);
    static void PostClose(HWND window);

    CZOLProgressCtrl& Progress() { return progress_; }

  protected:
    BOOL OnInitDialog() override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CWorkingTipDlg>> Routes();
    LRESULT OnShown(Message& m);
    LRESULT OnProgress(Message& m);
    LRESULT OnProgressComplete(Message& m);

    Mode mode_;
    std::function<void()> onShown_;
    CZOLProgressCtrl progress_;
};

}  // namespace vm
