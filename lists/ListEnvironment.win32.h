// What the item lists take from the program's process-wide state. The main
// window (or a test) fills one and hands it to its lists; the pointers must
// outlive the lists.
#pragma once

#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <array>
#include <functional>

#include "app/AppState.h"
#include "framework/GdiPlus.h"
#include "lists/IconCache.h"
#include "lists/ListGeometry.h"

namespace vm {

struct ListEnvironment {
    // Platform, current user, file system table and OsVersion.
    AppState* state = nullptr;
    // Built by the application (extension to small system icon index).
    ExtensionIconCache* icons = nullptr;
    // The system's small image list (Shell_GetImageLists); may be null.
    HIMAGELIST smallImages = nullptr;
    // IsThemeActive(), kept current by the application on WM_THEMECHANGED;
    // null means no themes.
    const bool* themeActive = nullptr;
    // Decoded PNG 172 (Allowed), 174 (Read Only), 173 (Denied), indexed by
    // AccessLevel, and PNG 175 (owner), one set per rendering (ImageScale of
    // platform/Dpi.h); any may be null.
    struct CellPictures {
        Gdiplus::Image* access[3] = {nullptr, nullptr, nullptr};
        Gdiplus::Image* owner = nullptr;
    };
    std::array<CellPictures, 3> cellPictures;
    // Shows the main window's item context menu ("MainPop", sub-menu 1) at
    // the cursor, owned by the main window; unset in lists without one.
    std::function<void()> showItemMenu;
    // Owner of the lists' message boxes (the main window).
    HWND messageOwner = nullptr;

    bool Themed() const { return themeActive != nullptr && *themeActive; }
    // The pictures to draw at side pixels: the nearest rendering, the 1x
    // picture where that rendering is missing.
    CellPictures CellPicturesFor(int side) const {
        const size_t nearest = static_cast<size_t>(NearestImageScale(kSmallIconSize, side));
        CellPictures chosen = cellPictures[nearest];
        for (size_t i = 0; i < 3; ++i)
            if (chosen.access[i] == nullptr)
                chosen.access[i] = cellPictures[0].access[i];
        if (chosen.owner == nullptr)
            chosen.owner = cellPictures[0].owner;
        return chosen;
    }
    bool VistaOrLater() const { return state == nullptr || IsVistaOrLater(state->OsVersion); }
};

}  // namespace vm
