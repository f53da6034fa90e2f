#include "app/PropagationProgress.h"

namespace vm {

namespace {

constexpr int32_t kComplete = 100;

}  // namespace

std::wstring CountText(int32_t files, int32_t folders) {
    return L" (" + std::to_wstring(files) + L" Files, " + std::to_wstring(folders) + L" Folders)";
}

void PropagationProgress::Counted(int32_t files, int32_t folders) {
    display_.AppendCountText(CountText(files, folders));
}

void PropagationProgress::ApplyingStarted() {
    display_.RestartAnimation();
}

void PropagationProgress::EntryStarted(const std::wstring& name) {
    display_.ShowEntryName(name);
}

void PropagationProgress::EntryDone(int32_t processed, int32_t total) {
    const int32_t percent = PropagationPercent(processed, total);
    display_.SetPercent(percent);
    if (percent == kComplete)
        display_.Close();
}

void PropagationProgress::NotReached(const std::vector<std::wstring>& paths) {
    display_.ShowNotReached(paths);
}

void PropagationProgress::Finished() {
    display_.SetPercent(kComplete);
    display_.Close();
}

}  // namespace vm
