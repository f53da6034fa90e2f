// Popup menus opened with TrackPopupMenu: finding the open menu, reading
// its items and choosing one with the keyboard.
//
// The menu's modal loop runs on the UI thread and reads keyboard messages
// from that thread's queue, so keys posted to the menu window steer it just
// as typed keys do. The harness presses Down until the wanted item is
// highlighted (the system decides which items the selection skips), Right
// to open a sub-menu, and Enter to choose.
#include <gtest/gtest.h>

#include "harness/Harness.h"

namespace vm::harness {

namespace {

constexpr wchar_t kMenuClass[] = L"#32768";

struct Step {
    HMENU menu;
    int position;
};

// Positions from the top menu down to the item with the command id.
bool FindPath(HMENU menu, UINT commandId, std::vector<Step>& path) {
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        path.push_back({menu, position});
        if (HMENU sub = GetSubMenu(menu, position)) {
            if (FindPath(sub, commandId, path))
                return true;
        } else if (GetMenuItemID(menu, position) == commandId) {
            return true;
        }
        path.pop_back();
    }
    return false;
}

std::optional<MENUITEMINFOW> ItemInfo(HMENU menu, UINT commandId) {
    std::vector<Step> path;
    if (!FindPath(menu, commandId, path))
        return std::nullopt;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_FTYPE;
    if (!GetMenuItemInfoW(path.back().menu, path.back().position, TRUE, &info))
        return std::nullopt;
    return info;
}

bool IsHighlighted(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    return GetMenuItemInfoW(menu, position, TRUE, &info) && (info.fState & MFS_HILITE);
}

int HighlightedPosition(HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (IsHighlighted(menu, position))
            return position;
    }
    return -1;
}

void PressKey(HWND menuWindow, WPARAM key) {
    PostMessageW(menuWindow, WM_KEYDOWN, key, 1);
    PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000001);
}

bool MenuWindowsGone(DWORD threadId) {
    for (HWND window : TopLevelWindowsOfThread(threadId)) {
        if (ClassName(window) == kMenuClass && IsWindowVisible(window))
            return false;
    }
    return true;
}

// Presses Down until the item at position is highlighted in menu.
bool Highlight(HWND menuWindow, HMENU menu, int position) {
    int count = GetMenuItemCount(menu);
    for (int presses = 0; presses <= 2 * count + 1; ++presses) {
        if (IsHighlighted(menu, position))
            return true;
        int before = HighlightedPosition(menu);
        PressKey(menuWindow, VK_DOWN);
        // The UI thread moves the highlight when it reads the key.
        WaitFor([&] { return HighlightedPosition(menu) != before; }, milliseconds(2000));
    }
    return IsHighlighted(menu, position);
}

}  // namespace

std::optional<PopupMenu> WaitForPopupMenu(DWORD threadId, milliseconds timeout) {
    PopupMenu popup;
    bool open = WaitFor(
        [&] {
            for (HWND window : TopLevelWindowsOfThread(threadId)) {
                if (ClassName(window) != kMenuClass || !IsWindowVisible(window))
                    continue;
                auto menu = reinterpret_cast<HMENU>(Send(window, MN_GETHMENU));
                if (!menu)
                    continue;
                popup = {window, menu};
                return true;
            }
            return false;
        },
        timeout);
    if (!open)
        return std::nullopt;
    return popup;
}

bool MenuHasCommand(HMENU menu, UINT commandId) {
    return ItemInfo(menu, commandId).has_value();
}

bool IsMenuCommandEnabled(HMENU menu, UINT commandId) {
    auto info = ItemInfo(menu, commandId);
    return info && !(info->fState & MFS_DISABLED);
}

bool IsMenuCommandChecked(HMENU menu, UINT commandId) {
    auto info = ItemInfo(menu, commandId);
    return info && (info->fState & MFS_CHECKED);
}

std::wstring MenuCommandText(HMENU menu, UINT commandId) {
    wchar_t text[512] = {};
    std::vector<Step> path;
    if (!FindPath(menu, commandId, path))
        return L"";
    int length = GetMenuStringW(path.back().menu, path.back().position, text, 512, MF_BYPOSITION);
    return std::wstring(text, length > 0 ? length : 0);
}

bool ChoosePopupMenuCommand(const PopupMenu& popup, UINT commandId) {
    DWORD threadId = GetWindowThreadProcessId(popup.window, nullptr);
    std::vector<Step> path;
    if (!FindPath(popup.menu, commandId, path) || !IsMenuCommandEnabled(popup.menu, commandId)) {
        DismissPopupMenu(popup);
        return false;
    }
    for (size_t level = 0; level < path.size(); ++level) {
        const Step& step = path[level];
        if (!Highlight(popup.window, step.menu, step.position)) {
            ADD_FAILURE() << "could not highlight menu item " << step.position;
            DismissPopupMenu(popup);
            return false;
        }
        if (level + 1 < path.size()) {
            // Open the sub-menu; the system highlights its first item.
            HMENU sub = path[level + 1].menu;
            PressKey(popup.window, VK_RIGHT);
            WaitFor([&] { return HighlightedPosition(sub) >= 0; }, milliseconds(2000));
        }
    }
    PressKey(popup.window, VK_RETURN);
    return WaitFor([&] { return MenuWindowsGone(threadId); });
}

void DismissPopupMenu(const PopupMenu& popup) {
    DWORD threadId = GetWindowThreadProcessId(popup.window, nullptr);
    // Escape closes one level at a time.
    for (int level = 0; level < 8 && !MenuWindowsGone(threadId); ++level) {
        PressKey(popup.window, VK_ESCAPE);
        WaitFor([&] { return MenuWindowsGone(threadId); }, milliseconds(500));
    }
}

}  // namespace vm::harness
