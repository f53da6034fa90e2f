// How the main window sees its keyboard shortcuts: a message hook of the
// user-interface thread only (WH_GETMESSAGE), not a process-wide low-level
// keyboard hook. Every key-down taken from the thread's queue while the main
// window is the active window, whichever of its controls has the focus, is
// shown to the window's key handler before it is dispatched; it then goes on
// to its control, except Enter and Escape, which are dropped so that neither
// closes the window. Keys of other windows (a modal dialog on top, another
// program) never reach the handler, and no key of the system passes through
// the program.
#pragma once

#include "platform/win32/WinApi.h"

#include <functional>

namespace vm {

class KeyboardShortcutHook {
  public:
    using KeyHandler = std::function<void(UINT virtualKey)>;

    KeyboardShortcutHook(HWND mainWindow, KeyHandler onKeyDown);
    ~KeyboardShortcutHook();
    KeyboardShortcutHook(const KeyboardShortcutHook&) = delete;
    KeyboardShortcutHook& operator=(const KeyboardShortcutHook&) = delete;

    bool installed() const { return hook_ != nullptr; }

  private:
    static LRESULT CALLBACK GetMessageProc(int code, WPARAM wParam, LPARAM lParam);
    bool IsForMainWindow(const MSG& message) const;

    HWND mainWindow_;
    KeyHandler onKeyDown_;
    HHOOK hook_ = nullptr;
    KeyboardShortcutHook* previous_ = nullptr;
    static thread_local KeyboardShortcutHook* current_;
};

}  // namespace vm
