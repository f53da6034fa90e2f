// The popup menus of the program, all sub-menus of menu resource 158, opened
// at the mouse cursor. Every window that shows a popup goes through here, so
// that each sub-menu is prepared the same way: the bookmark names in the main
// menu, the current user's name in the trustee menus, no TrustedInstaller
// before Windows Vista.
#pragma once

#include "platform/win32/WinApi.h"

#include "app/AppContext.win32.h"

namespace vm {

enum class PopupSubMenu : int {
    kMain = 0,
    kItem = 1,
    kTrustee = 2,
    kApplyTo = 3,
    kAdvanced = 4,
    kRestore = 5,
};

// Opens the sub-menu at the cursor with owner receiving WM_INITMENUPOPUP.
// alignment: TPM_LEFTALIGN / TPM_RIGHTALIGN with TPM_TOPALIGN /
// TPM_BOTTOMALIGN. The chosen command is returned (0 for none) and, unless
// returnOnly, also sent to the owner as WM_COMMAND.
UINT PopupMenu(const AppContext& app, PopupSubMenu subMenu, HWND owner, UINT alignment,
               bool returnOnly = false);

// The preparation alone, on a sub-menu loaded from resource 158 (tests look
// at it without opening the menu).
void PrepareSubMenu(const AppContext& app, PopupSubMenu subMenu, HMENU menu);

}  // namespace vm
