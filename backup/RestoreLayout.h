// Where the Restore window puts its controls and texts on every size change.
// Pixel arithmetic only; every size is named at 96 DPI and scaled by the
// window's DPI (platform/Dpi.h).
#pragma once

#include "app/MainWindowLayout.h"
#include "app/WindowPlacement.h"

namespace vm {

// MINMAXINFO.ptMinTrackSize of the window, at 96 DPI.
inline constexpr WindowSize kRestoreMinimumSize{700, 500};
// The header band's colour, RGB(0, 175, 125).
inline constexpr unsigned kRestoreBandRed = 0;
inline constexpr unsigned kRestoreBandGreen = 175;
inline constexpr unsigned kRestoreBandBlue = 125;
// The title's font: "Tahoma", 28 pixels high at 96 DPI.
inline constexpr int kRestoreTitleHeight = 28;

struct RestorePlaces {
    WindowRect band;        // filled with the band colour
    WindowRect title;       // the title text, centred vertically
    WindowRect heading;     // the heading line (file path or reset heading)
    WindowRect backupTime;  // the backup time text
    ControlPlace list;      // control 1029
    ControlPlace open;      // "Open Backup file..." (1032)
    ControlPlace restore;   // "Restore" (1030)
    ControlPlace progress;  // control 1033, in the middle of the list's place
};

// The places in a client area of that size; a client area smaller than the
// controls need gives empty sizes, never negative ones.
RestorePlaces ComputeRestorePlaces(int clientWidth, int clientHeight, int dpi);

// The smallest window size at a DPI, no larger than the work area.
WindowSize RestoreMinimumSize(int dpi, int workWidth, int workHeight);

}  // namespace vm
