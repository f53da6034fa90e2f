// Where the main window opens and what its size changes and WM_CLOSE store in
// the settings block, as pure functions of sizes and states.
#pragma once

#include <vector>

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

// Sizes at 96 DPI; the window scales them by its DPI.
inline constexpr WindowSize kDefaultWindowSize{1150, 688};
// MINMAXINFO.ptMinTrackSize of the main window.
inline constexpr WindowSize kMinimumTrackSize{320, 300};

// The default size at a DPI, no larger than the work area it opens on.
WindowSize DefaultWindowSize(int dpi, const WindowRect& workArea);
WindowSize MinimumTrackSize(int dpi);

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
// under 10 pixels. The rectangle is kept in screen pixels, as the window had
// it; it is restored where it was when a monitor still shows enough of it,
// else centred with its size on the primary work area. workAreas are those of
// the monitors that exist, the primary first; dpi is the primary's.
InitialPlacement ChooseInitialPlacement(const Settings& settings,
                                        const std::vector<WindowRect>& workAreas, int dpi);

// Whether a monitor's work area shows enough of a window to grab it: the
// whole of a small window, else at least 50 x 50 pixels (at 96 DPI).
bool IsReachable(const WindowRect& window, const WindowRect& workArea, int dpi);

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
