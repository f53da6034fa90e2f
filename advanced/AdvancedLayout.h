// Where the controls of the Advanced Security Settings window go on every
// size change, and the window's sizes. Pixel arithmetic only; every size is
// named at 96 DPI and scaled by the window's DPI (platform/Dpi.h).
#pragma once

#include "app/MainWindowLayout.h"

namespace vm {

// The window opens at this size, centred, and cannot be made smaller than
// the minimum (sizes of the whole window, at 96 DPI).
inline constexpr int kAdvancedWindowWidth = 760;
inline constexpr int kAdvancedWindowHeight = 640;
inline constexpr int kAdvancedMinWidth = 500;
inline constexpr int kAdvancedMinHeight = 550;

// The size the window opens at and its smallest size, at the DPI, neither
// larger than the work area it is shown in (a large scale on a small screen).
WindowSize AdvancedOpeningSize(int dpi, int workWidth, int workHeight);
WindowSize AdvancedMinimumSize(int dpi, int workWidth, int workHeight);

struct AdvancedPlaces {
    ControlPlace objectName;  // static 1018: keeps its left, top and height
    ControlPlace owner;       // static 1023: likewise
    ControlPlace add, remove, reload;
    ControlPlace list;
    ControlPlace inherit, replaceChildren;
    ControlPlace cancel, ok, apply, changeOwner;
};

// The places in a client area of that size. The two statics keep the left,
// top and height they have (objectName, owner: their current places).
AdvancedPlaces ComputeAdvancedPlaces(int clientWidth, int clientHeight, bool readOnly,
                                     const ControlPlace& objectName, const ControlPlace& owner,
                                     int dpi);

}  // namespace vm
