#include "app/WindowPlacement.h"

namespace vm {
namespace {

constexpr int kSmallestUsableSide = 10;

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

InitialPlacement ChooseInitialPlacement(const Settings& settings, const WindowRect& screen) {
    WindowRect saved{settings.windowLeft, settings.windowTop, settings.windowRight,
                     settings.windowBottom};
    if (saved.width() < kSmallestUsableSide && saved.height() < kSmallestUsableSide)
        return {InitialShow::kCentredDefault, CentreOn(screen, kDefaultWindowSize)};
    if (settings.windowMaximized != 0)
        return {InitialShow::kMaximized, saved};
    return {InitialShow::kSavedRectangle, saved};
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
