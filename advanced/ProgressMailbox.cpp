#include "advanced/ProgressMailbox.h"

namespace vm {

void ProgressMailbox::RestartAnimation() {
    std::lock_guard lock(mutex_);
    news_.restartAnimation = true;
    pending_ = true;
}

void ProgressMailbox::ShowEntryName(const std::wstring& name) {
    std::lock_guard lock(mutex_);
    news_.entryName = name;
    pending_ = true;
}

void ProgressMailbox::SetPercent(int32_t percent) {
    std::lock_guard lock(mutex_);
    news_.percent = percent;
    pending_ = true;
}

void ProgressMailbox::AppendCountText(const std::wstring& text) {
    std::lock_guard lock(mutex_);
    news_.appendedCountText += text;
    pending_ = true;
}

void ProgressMailbox::ShowNotReached(const std::vector<std::wstring>& paths) {
    std::lock_guard lock(mutex_);
    news_.notReached.insert(news_.notReached.end(), paths.begin(), paths.end());
    pending_ = true;
}

void ProgressMailbox::Close() {
    if (closeRequested_)
        closeRequested_();
}

std::optional<ProgressNews> ProgressMailbox::Take() {
    std::lock_guard lock(mutex_);
    if (!pending_)
        return std::nullopt;
    pending_ = false;
    return std::exchange(news_, ProgressNews{});
}

}  // namespace vm
