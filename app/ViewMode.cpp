#include "app/ViewMode.h"

#include "app/Texts.h"
#include "resources/strings.h"

namespace vm {

ViewModeControls ControlsForViewMode(const MainWindowState& state) {
    ViewModeControls controls;
    if (state.EditListVisible()) {
        controls.addButtonEnabled = true;
        controls.editListVisible = true;
        return controls;
    }
    controls.nonNtfsIndicatorVisible = state.NonNtfsIndicatorVisible();
    controls.backButtonVisible = true;
    controls.pathBarVisible = true;
    controls.browseListVisible = true;
    return controls;
}

std::wstring StatusText(int selectedCount, int rowCount) {
    return FillPlaceholders(L"" STR_STATUS_SELECTED,
                            {std::to_wstring(selectedCount), std::to_wstring(rowCount)});
}

}  // namespace vm
