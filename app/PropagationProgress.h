// The progress window of a propagation run (Replace all child object
// permissions) as the walk sees it: the walk speaks of counting, entries and
// the end; the window shows a count text, the entry's name, a bar and closes.
// This translation is portable, so that what the window is told when is
// tested without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "security/Propagation.h"

namespace vm {

// What the progress window can be told (through messages to its thread).
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    // The bar's animation starts again from its beginning.
    virtual void RestartAnimation() = 0;
    virtual void ShowEntryName(const std::wstring& name) = 0;
    // Bar position; beyond 100 when entries appeared between the passes.
    virtual void SetPercent(int32_t percent) = 0;
    // Appended to "Setting security information on subfolders and files".
    virtual void AppendCountText(const std::wstring& text) = 0;
    // Folders the run could not list and objects it could not change: the
    // window tells the user after it closes, so that a run that reached 100
    // is not taken for one that did everything.
    virtual void ShowNotReached(const std::vector<std::wstring>& paths) = 0;
    // The work is complete: the window closes (message 1125).
    virtual void Close() = 0;
};

// " (%d Files, %d Folders)" filled.
std::wstring CountText(int32_t files, int32_t folders);

class PropagationProgress final : public PropagationObserver {
  public:
    explicit PropagationProgress(ProgressDisplay& display) : display_(display) {}

    void Counted(int32_t files, int32_t folders) override;
    void ApplyingStarted() override;
    void EntryStarted(const std::wstring& name) override;
    // The bar follows; the window is told to close when the bar reaches
    // exactly 100 (entries created between the passes carry it past 100).
    void EntryDone(int32_t processed, int32_t total) override;
    void NotReached(const std::vector<std::wstring>& paths) override;
    // The bar at 100 and the window told to close, whatever came before.
    void Finished() override;

  private:
    ProgressDisplay& display_;
};

}  // namespace vm
