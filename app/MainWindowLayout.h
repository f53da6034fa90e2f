// Where the controls of the main window go: the three tool-bar layouts chosen
// by the window width, and the positions of the lists, path bar and status
// strip in the client area. Pure arithmetic over pixel rectangles; the window
// measures itself and moves its controls to the answers. Every size below is
// named at 96 DPI and scaled by the window's DPI (platform/Dpi.h).
#pragma once

#include <array>
#include <cstddef>

#include "app/WindowPlacement.h"

namespace vm {

// Tool-bar buttons in their table order: Add Files or Folders, Allow Access,
// Read Only, Deny Access, Change Owner, Advanced.
inline constexpr size_t kToolbarButtonCount = 6;
inline constexpr size_t kAddButton = 0;
inline constexpr size_t kDenyButton = 3;

struct ToolbarButtonPlace {
    WindowRect rect;
    bool showText = true;
};

struct ToolbarLayout {
    std::array<ToolbarButtonPlace, kToolbarButtonCount> buttons;
    bool separatorsVisible = true;
    // Beside the Add button and beside the Deny Access button.
    std::array<WindowRect, 2> separators;
};

// 0 above 750 pixels of window width, 1 above 570, else 2 (at 96 DPI).
int ToolbarLayoutForWidth(int windowWidth, int dpi);

// The layout for the window width (above), or a narrower one when its
// buttons would reach past the client area's right edge: the template's
// buttons need more than the bounds leave them with some fonts.
int ChooseToolbarLayout(int windowWidth, int clientWidth,
                        const std::array<ToolbarLayout, 3>& layouts, int dpi);

// The three layouts, from the buttons' rectangles in the dialog template
// (client pixels at this DPI) and the separators' tops.
std::array<ToolbarLayout, 3> ComputeToolbarLayouts(
    const std::array<WindowRect, kToolbarButtonCount>& templateRects,
    const std::array<int, 2>& separatorTops, int dpi);

// A rectangle measured at one DPI, at another: each edge scaled, so that
// rectangles side by side stay side by side.
WindowRect ScaleRectBetweenDpi(const WindowRect& rect, int fromDpi, int toDpi);

// A control's place as MoveWindow takes it.
struct ControlPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ControlPlace&) const = default;
};

struct MainWindowPlaces {
    ControlPlace editList;
    ControlPlace backButton;
    ControlPlace pathBar;  // its height is the drop-down height
    ControlPlace browseList;
    ControlPlace menuButton;
    ControlPlace clipboardIndicator;
    ControlPlace nonNtfsButton;
    ControlPlace statusText;
};

// clientWidth and clientBottom of the client area; toolbarHeight is the
// height of the Add Files or Folders button (pixels at this DPI).
MainWindowPlaces ComputeMainWindowPlaces(int clientWidth, int clientBottom, int toolbarHeight,
                                         int dpi);

// The strip at the bottom of the client area repainted after a size change.
int BottomRepaintHeight(int dpi);

}  // namespace vm
