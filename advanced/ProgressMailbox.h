// What the propagation worker tells its progress window, kept until the
// window takes it. The worker may report thousands of entries a second; the
// window takes the latest news on its own timer, so that it repaints at most
// a few dozen times a second however large the tree, and the worker never
// waits for the window. Only the close request wakes the window at once.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/PropagationProgress.h"

namespace vm {

// The news since the window last looked.
struct ProgressNews {
    std::optional<std::wstring> entryName;  // the latest entry's name
    std::optional<int32_t> percent;         // the latest bar position
    std::wstring appendedCountText;         // to append to the text above the bar
    bool restartAnimation = false;          // the applying pass has begun
    std::vector<std::wstring> notReached;   // told once, near the end
};

class ProgressMailbox final : public ProgressDisplay {
  public:
    // closeRequested runs on the worker's thread when the work asks the
    // window to close (it posts the window its close message).
    explicit ProgressMailbox(std::function<void()> closeRequested = {})
        : closeRequested_(std::move(closeRequested)) {}

    void RestartAnimation() override;
    void ShowEntryName(const std::wstring& name) override;
    void SetPercent(int32_t percent) override;
    void AppendCountText(const std::wstring& text) override;
    void ShowNotReached(const std::vector<std::wstring>& paths) override;
    void Close() override;

    // The news since the last call; nullopt when nothing happened.
    std::optional<ProgressNews> Take();

  private:
    std::function<void()> closeRequested_;
    std::mutex mutex_;
    ProgressNews news_;
    bool pending_ = false;
};

}  // namespace vm
