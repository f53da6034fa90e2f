// CPathBar: the path bar of Browse Mode (control 1014, an extended combo box
// with images and an edit field), a thin view over the portable entries of
// PathBar.h: it inserts, deletes and selects what the model says, with the
// shell's names and small icons.
#pragma once

#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>
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

    // The image list the entries are drawn from (the shell's, or one made
    // for this DPI).
    HIMAGELIST Images() const;

  protected:
    void OnDpiChanged(int oldDpi, int newDpi) override;

  private:
    void Insert(size_t index, const PathBarEntry& entry);
    // The shell's small image list is made for the system DPI: at another
    // scale the path bar draws from a copy at its own icon size, with the
    // same indexes; made again when an entry needs an icon it lacks.
    void UseImagesForDpi();

    struct ImageListDeleter {
        void operator()(HIMAGELIST images) const { ImageList_Destroy(images); }
    };
    HIMAGELIST systemImages_ = nullptr;
    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter> scaledImages_;
    std::vector<PathBarEntry> entries_;
    std::optional<std::wstring> desktopFolder_;  // nullopt: the shell's
};

// SHGetFolderPathW(CSIDL_DESKTOP); empty when the shell has none.
std::wstring DesktopDirectory();

}  // namespace vm
