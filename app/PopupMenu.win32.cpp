#include "app/PopupMenu.win32.h"

#include <string>

#include "app/TrusteeMenu.h"
#include "controls/PNGMenu.win32.h"
#include "framework/Window.h"
#include "resources/resource.h"

namespace vm {

namespace {

// Position of the "Clear Access Control List" entry of the item menu, which
// carries a picture.
constexpr UINT kItemMenuPicturePosition = 2;

// The sub-menu (at any depth) that holds a command directly.
HMENU SubMenuHolding(HMENU menu, UINT command) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (GetMenuItemID(menu, i) == command)
            return menu;
        if (HMENU sub = GetSubMenu(menu, i)) {
            if (HMENU found = SubMenuHolding(sub, command))
                return found;
        }
    }
    return nullptr;
}

void AddBookmarkEntries(const AppContext& app, HMENU menu) {
    HMENU list = SubMenuHolding(menu, ID_BOOKMARK_PLACEHOLDER);
    if (!list || app.bookmarks.entries.empty())
        return;
    for (int i = 0; i < app.bookmarks.count(); ++i) {
        AppendMenuW(list, MF_STRING, BookmarkCommandId(i),
                    app.bookmarks.entries[static_cast<size_t>(i)].name.c_str());
    }
    DeleteMenu(list, ID_BOOKMARK_PLACEHOLDER, MF_BYCOMMAND);
}

void PrepareTrusteeEntries(const AppContext& app, HMENU menu) {
    const std::wstring text = CurrentUserEntryText(app.state.user.CurrentUserName);
    ModifyMenuW(menu, ID_TRUSTEE_CURRENT_USER, MF_BYCOMMAND | MF_STRING, ID_TRUSTEE_CURRENT_USER,
                text.c_str());
    if (!OffersTrustedInstaller(app.state.OsVersion))
        DeleteMenu(menu, ID_TRUSTEE_TRUSTEDINSTALLER, MF_BYCOMMAND);
}

}  // namespace

void PrepareSubMenu(const AppContext& app, PopupSubMenu subMenu, HMENU menu) {
    switch (subMenu) {
        case PopupSubMenu::kMain:
            AddBookmarkEntries(app, menu);
            break;
        case PopupSubMenu::kTrustee:
        case PopupSubMenu::kAdvanced:
            PrepareTrusteeEntries(app, menu);
            break;
        default:
            break;
    }
}

namespace {

// Pictures on the entries that have one: the bookmarks of the main menu, the
// third entry of the item menu, "Advanced..." of the trustee menus.
void SetPictures(CPNGMenu& menu, const AppContext& app, PopupSubMenu subMenu, HMENU popup) {
    switch (subMenu) {
        case PopupSubMenu::kMain:
            for (int i = 0; i < app.bookmarks.count(); ++i)
                menu.SetItemIcon(popup, BookmarkCommandId(i), false, IDP_BOOKMARK);
            break;
        case PopupSubMenu::kItem:
            menu.SetItemIcon(popup, kItemMenuPicturePosition, true, IDP_NON_NTFS);
            break;
        case PopupSubMenu::kTrustee:
        case PopupSubMenu::kAdvanced:
            menu.SetItemIcon(popup, ID_TRUSTEE_ADVANCED, false, IDP_CHANGE_OWNER);
            break;
        default:
            break;
    }
}

}  // namespace

UINT PopupMenu(const AppContext& app, PopupSubMenu subMenu, HWND owner, UINT alignment,
               bool returnOnly) {
    CPNGMenu menu(kPopupMenuItemHeight, kMenuIconSize);
    menu.SetDpi(CWnd::DpiOf(owner));
    if (!menu.Load(IDR_POPUP_MENUS))
        return 0;
    HMENU popup = menu.SubMenu(static_cast<int>(subMenu));
    if (!popup)
        return 0;
    menu.SetThemed(app.shell.themeActive && IsVistaOrLater(app.state.OsVersion));
    PrepareSubMenu(app, subMenu, popup);
    menu.MakeOwnerDrawn(popup);
    SetPictures(menu, app, subMenu, popup);
    POINT cursor{};
    GetCursorPos(&cursor);
    // The owner must be the foreground window, or the menu does not close
    // when the user clicks elsewhere (TrackPopupMenu docs).
    SetForegroundWindow(owner);
    const UINT command = menu.Track(popup, owner, alignment | TPM_RIGHTBUTTON, cursor);
    PostMessageW(owner, WM_NULL, 0, 0);
    if (command != 0 && !returnOnly)
        SendMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return command;
}

}  // namespace vm
