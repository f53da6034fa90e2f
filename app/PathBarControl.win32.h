// CPathBar: the path bar of Browse Mode (control 1014, an extended combo box
// with images and an edit field), a thin view over the portable entries of
// PathBar.h: it inserts, deletes and selects what the model says, with the
// shell's names and small icons.
#pragma once

#include "platform/win32/WinApi.h"

#include <optional>
#include <string>
#include <vector>

#include "app/AppContext.win32.h"
#include "app/PathBar.h"
#include "framework/Window.h"

namespace vm {

class CPathBar : public CWnd {
  public:
    // Desktop, Computer and the drives, with the small system image list.
    void Fill(const AppContext& app);
    // Follows a navigation to folder (empty: the drive list).
    void Follow(const std::wstring& folder);
    void Select(size_t index);
    // The folder the selected entry stands for: the Desktop directory for
    // entry 0 (the simulated user's in the demonstration program), empty for
    // Computer (the drive list); nullopt for no entry.
    std::optional<std::wstring> SelectedFolder() const;
    // The edit field and what is typed in it.
    HWND Edit() const;
    std::wstring TypedText() const;

  private:
    void Insert(size_t index, const PathBarEntry& entry);

    std::vector<PathBarEntry> entries_;
    std::optional<std::wstring> desktopFolder_;  // nullopt: the shell's
};

// SHGetFolderPathW(CSIDL_DESKTOP); empty when the shell has none.
std::wstring DesktopDirectory();

}  // namespace vm
