// Where the main window opens and what its size changes and WM_CLOSE store in
// the settings block, as pure functions of sizes and states.
#pragma once

#include "app/Settings.h"

namespace vm {

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const WindowRect&) const = default;
};

struct WindowSize {
    int width = 0;
    int height = 0;
    bool operator==(const WindowSize&) const = default;
};

inline constexpr WindowSize kDefaultWindowSize{1150, 688};
// MINMAXINFO.ptMinTrackSize of the main window.
inline constexpr WindowSize kMinimumTrackSize{320, 300};

enum class InitialShow {
    kCentredDefault,  // default size, centred on the screen
    kMaximized,       // SW_SHOWMAXIMIZED; the saved rectangle is not applied
    kSavedRectangle,  // moved to the saved rectangle
};

struct InitialPlacement {
    InitialShow show = InitialShow::kCentredDefault;
    WindowRect rect;  // the rectangle to move to (centred default or saved)
};

// A saved rectangle is unusable only when both its width and its height are
// under 10 pixels.
InitialPlacement ChooseInitialPlacement(const Settings& settings, const WindowRect& screen);

// A rectangle of the given size centred on the screen rectangle.
WindowRect CentreOn(const WindowRect& screen, WindowSize size);

// The wParam of WM_SIZE.
enum class SizeKind { kRestored = 0, kMinimized = 1, kMaximized = 2, kMaxShow = 3, kMaxHide = 4 };

// WM_SIZE: maximized sets the flag; minimized clears it and keeps the
// rectangle; any other change stores the window rectangle and clears it.
void RecordSizeChange(Settings& settings, SizeKind kind, const WindowRect& windowRect);
// WM_CLOSE: the rectangle is stored unless the window is minimized (also
// when it is maximized: the next start then shows it maximized).
void RecordClose(Settings& settings, bool minimized, const WindowRect& windowRect);

}  // namespace vm
