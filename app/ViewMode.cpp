#include "app/ViewMode.h"

namespace vm {

ViewModeControls ControlsForViewMode(int viewMode, bool currentFolderEmpty,
                                     bool currentFolderOnNtfs) {
    ViewModeControls controls;
    if (viewMode == kEditMode) {
        controls.addButtonEnabled = true;
        controls.editListVisible = true;
        return controls;
    }
    controls.nonNtfsIndicatorVisible = !currentFolderEmpty && !currentFolderOnNtfs;
    controls.backButtonVisible = true;
    controls.pathBarVisible = true;
    controls.browseListVisible = true;
    return controls;
}

std::wstring StatusText(int selectedCount, int rowCount) {
    return L"Selected " + std::to_wstring(selectedCount) + L" / Total " + std::to_wstring(rowCount);
}

}  // namespace vm
