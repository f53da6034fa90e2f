#include "app/KeyCommands.h"

namespace vm {

namespace {

KeyAction ActionForCtrlKey(uint32_t virtualKey, const KeyState& state) {
    switch (virtualKey) {
        case vk::kTab:
            return KeyAction::kSwitchViewMode;
        case vk::kReturn:
            return KeyAction::kPostAdvanced;
        case vk::kA:
            return KeyAction::kSelectAll;
        case vk::kC:
            return KeyAction::kPostCopySecurity;
        case vk::kO:
            return state.editListVisible ? KeyAction::kPostAddItems : KeyAction::kNone;
        case vk::kV:
            return KeyAction::kPasteSecurity;
        default:
            return KeyAction::kNone;
    }
}

}  // namespace

KeyAction ActionForKey(uint32_t virtualKey, const KeyState& state) {
    if (virtualKey == vk::kF5)
        return KeyAction::kRefresh;
    if (virtualKey == vk::kDelete)
        return state.editListVisible ? KeyAction::kRemoveSelected : KeyAction::kNone;
    if (state.ctrl)
        return ActionForCtrlKey(virtualKey, state);
    if (virtualKey == vk::kReturn && state.focusInPathBarEdit)
        return KeyAction::kNavigateTypedPath;
    return KeyAction::kNone;
}

}  // namespace vm
