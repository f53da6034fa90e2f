#include "app/MainWindowState.h"

#include <algorithm>

namespace vm {

bool MainWindowState::NonNtfsIndicatorVisible() const {
    return BrowseListVisible() && !currentFolder.empty() && !currentFolderOnNtfs;
}

bool MainWindowState::SingleSelectionIsDirectory() const {
    return selection.size() == 1 && !selection.front().IsFile();
}

bool MainWindowState::AllSelectedAreFiles() const {
    return std::all_of(selection.begin(), selection.end(),
                       [](const SelectedItem& item) { return item.IsFile(); });
}

}  // namespace vm
