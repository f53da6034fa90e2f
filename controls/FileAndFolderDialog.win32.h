// CFileAndFolderDialog: "Add Files or Folders", the system's Explorer-style
// open dialog (the kind with a hook) re-arranged to pick files and folders
// together: the file-name field, the places bar and Open are hidden, and an
// "Add" button hands back the selected folders as well as the selected
// files, folders first (controls/FileAndFolderSelection.h decides the names
// and the layout).
#pragma once

#include "platform/win32/WinApi.h"

#include <memory>
#include <optional>
#include <string>

#include "controls/FileAndFolderSelection.h"

namespace vm {

class CFileAndFolderDialog {
  public:
    // initialFolder: where the dialog opens; empty for the system's choice.
    explicit CFileAndFolderDialog(std::wstring initialFolder);
    CFileAndFolderDialog(const CFileAndFolderDialog&) = delete;
    CFileAndFolderDialog& operator=(const CFileAndFolderDialog&) = delete;
    ~CFileAndFolderDialog();

    // Runs the dialog modally over owner: what "Add" picked (or the file the
    // dialog's own default action opened); nullopt when it was cancelled.
    std::optional<PickedItems> DoModal(HWND owner);

  private:
    class Frame;
    static UINT_PTR CALLBACK Hook(HWND hookDialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDone(HWND dialog);

    std::wstring initialFolder_;
    std::optional<PickedItems> added_;
    std::unique_ptr<Frame> frame_;  // the dialog window's object while it is open
};

}  // namespace vm
