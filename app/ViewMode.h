// The two view modes of the main window and what each shows: Edit Mode (a
// gathered list of items) and Browse Mode (one folder or the drive list, with
// the path bar and the back button). Also the status strip's text.
#pragma once

#include <string>

#include "app/MainWindowState.h"

namespace vm {

// Which controls the window shows or enables in its state.
struct ViewModeControls {
    bool addButtonEnabled = false;
    bool nonNtfsIndicatorVisible = false;
    bool backButtonVisible = false;
    bool pathBarVisible = false;
    bool browseListVisible = false;
    bool editListVisible = false;
};

ViewModeControls ControlsForViewMode(const MainWindowState& state);

// Ctrl+Tab: to Browse Mode from Edit Mode, to Edit Mode otherwise.
inline ViewMode OtherViewMode(ViewMode mode) {
    return mode == ViewMode::kEdit ? ViewMode::kBrowse : ViewMode::kEdit;
}

// A view switch rereads the rows of a list shorter than this.
inline constexpr int kRereadOnSwitchRowLimit = 300;
inline bool RereadsRowsOnSwitch(int rowCount) {
    return rowCount < kRereadOnSwitchRowLimit;
}

// "Selected %d / Total %d" (string 192).
std::wstring StatusText(int selectedCount, int rowCount);

}  // namespace vm
