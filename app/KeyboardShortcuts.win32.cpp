#include "app/KeyboardShortcuts.win32.h"

#include "app/Commands.h"

namespace vm {

thread_local KeyboardShortcutHook* KeyboardShortcutHook::current_ = nullptr;

KeyboardShortcutHook::KeyboardShortcutHook(HWND mainWindow, KeyHandler onKeyDown)
    : mainWindow_(mainWindow), onKeyDown_(std::move(onKeyDown)), previous_(current_) {
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, GetMessageProc, nullptr, GetCurrentThreadId());
    current_ = this;
}

KeyboardShortcutHook::~KeyboardShortcutHook() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    current_ = previous_;
}

bool KeyboardShortcutHook::IsForMainWindow(const MSG& message) const {
    if (GetActiveWindow() != mainWindow_)
        return false;
    return message.hwnd == mainWindow_ || IsChild(mainWindow_, message.hwnd);
}

LRESULT CALLBACK KeyboardShortcutHook::GetMessageProc(int code, WPARAM wParam, LPARAM lParam) {
    KeyboardShortcutHook* self = current_;
    // Only messages leaving the queue (PM_REMOVE), not peeks that leave them.
    if (self && code == HC_ACTION && wParam == PM_REMOVE) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        // WM_KEYDOWN only: Alt combinations (WM_SYSKEYDOWN) are the system's.
        if (message.message == WM_KEYDOWN && self->IsForMainWindow(message)) {
            const auto key = static_cast<UINT>(message.wParam);
            if (IsSwallowedKey(key))
                message.message = WM_NULL;
            self->onKeyDown_(key);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace vm
