// What the open dialog that picks files and folders together decides without
// a window: the names its "Add" button hands back, the paths they stand for,
// the folder kept for its next use, and where its controls go.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainWindowLayout.h"

namespace vm {

// What the dialog hands back when it ends with OK: the folder it showed and
// the names chosen in it, folders first.
struct PickedItems {
    std::wstring folder;
    std::vector<std::wstring> names;
};

// The chosen names: the selected folders as the view lists them, then the
// files the dialog's file-name box holds (CDM_GETSPEC), as many as were
// selected besides the folders. Several files there read "a.txt" "b.txt"; one file stands there
// bare. Empty names are left out: they would name the folder itself.
std::vector<std::wstring> ChosenNames(const std::vector<std::wstring>& folderNames,
                                      std::wstring_view fileSpec, size_t selectedCount);

// What the dialog's own default action (a double click on a file, Enter)
// returned in its file buffer: the folder, the first name at fileOffset, and
// with several files the rest, each ending in a nul (OPENFILENAMEW docs,
// OFN_ALLOWMULTISELECT | OFN_EXPLORER). nullopt for a buffer that does not
// read so.
std::optional<PickedItems> PickedFromFileBuffer(std::wstring_view buffer, size_t fileOffset);

// The full path of every picked name: the folder (without its trailing
// backslash) + "\" + name.
std::vector<std::wstring> PickedPaths(const PickedItems& picked);

// The "OPENPATH" setting is read into a buffer of 260 characters: a folder
// longer than 259 is not kept (cut short it would name another folder).
std::optional<std::wstring> OpenPathToKeep(const std::wstring& folder);

// ---- Layout -----------------------------------------------------------------------

// The dialog's size when it opens, at 96 DPI.
inline constexpr int kFileAndFolderDialogWidth = 450;
inline constexpr int kFileAndFolderDialogHeight = 300;

struct FileAndFolderDialogPlaces {
    ControlPlace shellView;     // 1121
    ControlPlace folderCombo;   // 1137, the folder box
    ControlPlace toolbar;       // 1088
    ControlPlace addButton;     // 101
    ControlPlace cancelButton;  // IDCANCEL
    ControlPlace typeCombo;     // 1136, the file types
    ControlPlace typeLabel;     // 1089
};

// The controls over a client area of width x height pixels at dpi.
// typeLabelTextWidth: what the label of the file types needs in the dialog's
// font; a label wider than its place pushes the combo box right (its right
// edge stays) rather than wrap or be cut.
FileAndFolderDialogPlaces ComputeFileAndFolderDialogPlaces(int width, int height, int dpi,
                                                           int typeLabelTextWidth = 0);

}  // namespace vm
