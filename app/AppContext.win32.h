// What every window of the program receives: the portable process-wide state
// (platform, engine, user, copy buffer, file systems), the settings block,
// the bookmark index and the Win32 half of the start-up state (theme flag,
// system image list, extension icons, decoded pictures). The program builds
// one at start-up (CKRVApp); window tests build one over a simulated machine.
#pragma once

#include "platform/win32/WinApi.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/AppState.h"
#include "app/ProductSite.h"
#include "app/Settings.h"
#include "bookmarks/BookmarkStore.h"
#include "framework/GdiPlus.h"
#include "lists/IconCache.h"

namespace vm {

// DrawThemeTextEx of uxtheme.dll (Vista and later), looked up at run time.
using DrawThemeTextExFunction = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, LPRECT,
                                                 const DTTOPTS*);

// The pictures decoded once at start-up (PNG 172, 174, 173, 175), each at
// its three renderings (ImageScale, platform/Dpi.h); a missing resource stays
// empty.
struct StatusPictures {
    struct Rendering {
        std::unique_ptr<Gdiplus::Bitmap> accessAllowed;
        std::unique_ptr<Gdiplus::Bitmap> accessReadOnly;
        std::unique_ptr<Gdiplus::Bitmap> accessDenied;
        std::unique_ptr<Gdiplus::Bitmap> owner;
    };
    std::array<Rendering, 3> renderings;
};

struct ShellState {
    bool themeActive = false;  // IsThemeActive(), again on WM_THEMECHANGED
    DrawThemeTextExFunction drawThemeTextEx = nullptr;
    HIMAGELIST smallSystemImages = nullptr;  // the shell's; never destroyed by us
    ExtensionIconCache iconCache;
    StatusPictures pictures;
};

struct AppContext {
    explicit AppContext(AppState& appState) : state(appState) {}
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    AppState& state;
    HWND mainWindow = nullptr;  // owner of the program's message boxes
    Settings settings;
    BookmarkIndex bookmarks;
    ShellState shell;
    // The web addresses (update check, About box links); tests point them
    // at a server of their own.
    ProductSite site;
    // Opens a web page; null: the shell's default browser (ShellExecuteW).
    // Tests record the address instead.
    std::function<void(const std::wstring& url)> openWebPage;
};

// Opens a page of the site as the update check and the About box do:
// ShellExecuteW with "open", no parameters, an empty working directory and
// SW_SHOWNA, or the context's openWebPage when one is set.
void OpenWebPage(const AppContext& app, const std::wstring& url);

// The small system image list (FileIconInit and Shell_GetImageLists of
// shell32, by ordinal), the theme flag and DrawThemeTextEx.
void InitShellState(ShellState& shell, float osVersion);
// The extension icon cache from the registered file types; does nothing when
// the cache holds any entry already.
void BuildExtensionIconCache(ExtensionIconCache& cache);
// The small system icon of a path as a directory or file of its type (the
// shell is not asked to touch the path).
int SmallIconOfPathType(const std::wstring& path, DWORD attributes);
// Decodes the status pictures; needs a running GDI+ session.
void LoadStatusPictures(StatusPictures& pictures);

}  // namespace vm
