// The keyboard shortcuts of the main window: which action a key-down stands
// for. Keys are not consumed: the window acts and the key still reaches its
// control, except Enter and Escape, which never reach the main window's
// controls (so neither closes the window).
#pragma once

#include <cstdint>

namespace vm {

// Virtual key codes (winuser.h).
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

enum class KeyAction {
    kNone,
    kSwitchViewMode,     // Ctrl+Tab
    kPostAdvanced,       // Ctrl+Enter: command 1010, posted
    kNavigateTypedPath,  // Enter in the path bar's edit field
    kRemoveSelected,     // Delete in Edit Mode
    kSelectAll,          // Ctrl+A
    kPostCopySecurity,   // Ctrl+C: command 32788, posted
    kPostAddItems,       // Ctrl+O in Edit Mode: command 1006, posted
    kPasteSecurity,      // Ctrl+V, run at once
    kRefresh,            // F5
};

struct KeyState {
    bool ctrl = false;  // the Control key is down
    bool editListVisible = false;
    bool focusInPathBarEdit = false;
};

KeyAction ActionForKey(uint32_t virtualKey, const KeyState& state);

// Enter and Escape are dropped before they reach the main window's controls.
inline bool IsSwallowedKey(uint32_t virtualKey) {
    return virtualKey == vk::kReturn || virtualKey == vk::kEscape;
}

}  // namespace vm
