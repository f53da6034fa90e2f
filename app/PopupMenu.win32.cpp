#include "app/PopupMenu.win32.h"

#include <string>

#include "app/TrusteeMenu.h"
#include "framework/Window.h"
#include "resources/resource.h"

namespace vm {

namespace {

// A menu loaded from the resources, destroyed with its sub-menus.
class LoadedMenu {
  public:
    LoadedMenu() : menu_(LoadMenuW(ResourceModule(), MAKEINTRESOURCEW(IDR_POPUP_MENUS))) {}
    ~LoadedMenu() {
        if (menu_)
            DestroyMenu(menu_);
    }
    LoadedMenu(const LoadedMenu&) = delete;
    LoadedMenu& operator=(const LoadedMenu&) = delete;
    HMENU get() const { return menu_; }

  private:
    HMENU menu_;
};

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

UINT PopupMenu(const AppContext& app, PopupSubMenu subMenu, HWND owner, UINT alignment,
               bool returnOnly) {
    LoadedMenu loaded;
    HMENU menu = loaded.get() ? GetSubMenu(loaded.get(), static_cast<int>(subMenu)) : nullptr;
    if (!menu)
        return 0;
    PrepareSubMenu(app, subMenu, menu);
    POINT cursor{};
    GetCursorPos(&cursor);
    // The owner must be the foreground window, or the menu does not close
    // when the user clicks elsewhere (TrackPopupMenu docs).
    SetForegroundWindow(owner);
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        menu, alignment | TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    if (command != 0 && !returnOnly)
        SendMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return command;
}

}  // namespace vm
