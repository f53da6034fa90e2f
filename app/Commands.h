// The main window's commands as rows of one table. A row holds the command's
// id (a menu entry of resource 158, a tool-bar button or a key of its own),
// its keyboard shortcut, the rules its menu entries follow (enabled, shown,
// radio mark: pure functions of the portable window state) and its action.
// The window derives everything from the table: WM_INITMENUPOPUP asks
// UpdateMenu, a key-down asks CommandForKey, and every WM_COMMAND goes
// through RunCommand.
//
// Adding a command: its id in resources/resource.h (and its entry in
// resources/menus.rc when a menu offers it), and one row in the table of
// Commands.cpp naming its action (usually a function of CommandActions.cpp).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "app/CommandActions.h"
#include "app/MainWindowState.h"

namespace vm {

// Virtual key codes of the shortcuts (winuser.h).
namespace vk {
inline constexpr uint32_t kTab = 0x09;
inline constexpr uint32_t kReturn = 0x0D;
inline constexpr uint32_t kEscape = 0x1B;
inline constexpr uint32_t kDelete = 0x2E;
inline constexpr uint32_t kA = 0x41;
inline constexpr uint32_t kC = 0x43;
inline constexpr uint32_t kO = 0x4F;
inline constexpr uint32_t kV = 0x56;
inline constexpr uint32_t kF5 = 0x74;
}  // namespace vk

using StateRule = bool (*)(const MainWindowState&);
using CommandAction = void (*)(CommandContext&);

// What a key needs of the Control key.
enum class CtrlKey { kAny, kDown, kUp };

struct KeyBinding {
    uint32_t virtualKey = 0;  // 0: no key
    CtrlKey ctrl = CtrlKey::kAny;
    StateRule when = nullptr;  // the key acts only then; nullptr: always
};

struct Command {
    uint32_t id = 0;
    CommandAction action = nullptr;
    StateRule enabled = nullptr;  // its menu entries are grayed out when false
    StateRule shown = nullptr;    // its menu entries are removed when false
    StateRule checked = nullptr;  // its menu entry carries the radio mark when true
    KeyBinding key{};
    uint32_t lastId = 0;  // the last id of a range that starts at id (0: id alone)

    bool Covers(uint32_t commandId) const {
        return commandId == id || (lastId != 0 && commandId > id && commandId <= lastId);
    }
};

std::span<const Command> MainWindowCommands();

// The row of a command id, or nullptr.
const Command* FindCommand(uint32_t id);

// Runs the command's action; false when the id has no row (the message is
// not the main window's).
bool RunCommand(uint32_t id, CommandContext& context);

// The command a key-down stands for in this state, or nullptr. Keys are not
// consumed: the key still reaches its control.
const Command* CommandForKey(uint32_t virtualKey, bool ctrlDown, const MainWindowState& state);

// Enter and Escape are dropped before they reach the main window's controls,
// so that neither closes the window.
inline bool IsSwallowedKey(uint32_t virtualKey) {
    return virtualKey == vk::kReturn || virtualKey == vk::kEscape;
}

// ---- Menus ------------------------------------------------------------------------
// One entry of a menu as the window reads it: a command, a separator, or a
// sub-menu with its entries.
struct MenuEntry {
    uint32_t id = 0;  // 0 for separators and sub-menus
    bool separator = false;
    bool subMenu = false;
    std::vector<MenuEntry> entries;  // of a sub-menu
};

// What becomes of one entry when its menu opens. A command without a row is
// left as it is; a sub-menu is enabled while any entry in it (at any depth)
// is, and its entries are updated with it (as EnableMenuItem by command
// reaches into sub-menus), so that they are right before it opens.
struct MenuEntryUpdate {
    bool enabled = true;
    bool removed = false;
    bool checked = false;
    std::vector<MenuEntryUpdate> entries;  // of a sub-menu
};

// The updates of a menu's entries, position by position.
std::vector<MenuEntryUpdate> UpdateMenu(const std::vector<MenuEntry>& entries,
                                        const MainWindowState& state);

}  // namespace vm
