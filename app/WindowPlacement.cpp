#include "app/WindowPlacement.h"

#include <algorithm>

#include "platform/Dpi.h"

namespace vm {
namespace {

constexpr int kSmallestUsableSide = 10;
constexpr int kReachableSide = 50;

void StoreRect(Settings& settings, const WindowRect& rect) {
    settings.windowLeft = rect.left;
    settings.windowTop = rect.top;
    settings.windowRight = rect.right;
    settings.windowBottom = rect.bottom;
}

}  // namespace

WindowRect CentreOn(const WindowRect& screen, WindowSize size) {
    int left = screen.left + (screen.width() - size.width) / 2;
    int top = screen.top + (screen.height() - size.height) / 2;
    return {left, top, left + size.width, top + size.height};
}

WindowSize DefaultWindowSize(int dpi, const WindowRect& workArea) {
    WindowSize size{ScaleForDpi(kDefaultWindowSize.width, dpi),
                    ScaleForDpi(kDefaultWindowSize.height, dpi)};
    if (workArea.width() > 0)
        size.width = std::min(size.width, workArea.width());
    if (workArea.height() > 0)
        size.height = std::min(size.height, workArea.height());
    return size;
}

WindowSize MinimumTrackSize(int dpi) {
    return {ScaleForDpi(kMinimumTrackSize.width, dpi), ScaleForDpi(kMinimumTrackSize.height, dpi)};
}

bool IsReachable(const WindowRect& window, const WindowRect& workArea, int dpi) {
    const int left = std::max(window.left, workArea.left);
    const int right = std::min(window.right, workArea.right);
    const int top = std::max(window.top, workArea.top);
    const int bottom = std::min(window.bottom, workArea.bottom);
    const int side = ScaleForDpi(kReachableSide, dpi);
    // A window thinner than the side counts when it is wholly visible that way.
    const int wantedWidth = std::max(1, std::min(side, window.width()));
    const int wantedHeight = std::max(1, std::min(side, window.height()));
    return right - left >= wantedWidth && bottom - top >= wantedHeight;
}

InitialPlacement ChooseInitialPlacement(const Settings& settings,
                                        const std::vector<WindowRect>& workAreas, int dpi) {
    const WindowRect primary = workAreas.empty() ? WindowRect{} : workAreas.front();
    WindowRect saved{settings.windowLeft, settings.windowTop, settings.windowRight,
                     settings.windowBottom};
    if (saved.width() < kSmallestUsableSide && saved.height() < kSmallestUsableSide)
        return {InitialShow::kCentredDefault, CentreOn(primary, DefaultWindowSize(dpi, primary))};
    if (settings.windowMaximized != 0)
        return {InitialShow::kMaximized, saved};
    const bool reachable =
        workAreas.empty() ||
        std::any_of(workAreas.begin(), workAreas.end(),
                    [&](const WindowRect& area) { return IsReachable(saved, area, dpi); });
    if (reachable)
        return {InitialShow::kSavedRectangle, saved};
    // Its monitor is gone (unplugged, or the desktop was rearranged): keep
    // the size the user gave it, as far as the primary work area holds it.
    const WindowSize size{std::min(saved.width(), primary.width()),
                          std::min(saved.height(), primary.height())};
    return {InitialShow::kSavedRectangle, CentreOn(primary, size)};
}

void RecordSizeChange(Settings& settings, SizeKind kind, const WindowRect& windowRect) {
    switch (kind) {
        case SizeKind::kMaximized:
            settings.windowMaximized = 1;
            return;
        case SizeKind::kMinimized:
            settings.windowMaximized = 0;
            return;
        default:
            StoreRect(settings, windowRect);
            settings.windowMaximized = 0;
            return;
    }
}

void RecordClose(Settings& settings, bool minimized, const WindowRect& windowRect) {
    if (!minimized)
        StoreRect(settings, windowRect);
}

}  // namespace vm
