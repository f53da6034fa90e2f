// The program's private window messages (WM_USER + 100 to 107), in one place
// for every window that sends or handles them. Plain numbers, so that
// portable code can name them too; the Win32 side checks kWmUser against
// WM_USER.
#pragma once

namespace vm {

inline constexpr unsigned kWmUser = 0x0400;  // WM_USER (winuser.h)

inline constexpr unsigned kMsgAceCellChanged = kWmUser + 100;    // ACE list -> Advanced dialog
inline constexpr unsigned kMsgProgressComplete = kWmUser + 101;  // to a progress window
inline constexpr unsigned kMsgBookmarkChanged = kWmUser + 102;   // bookmark list -> manager
inline constexpr unsigned kMsgRefreshMain = kWmUser + 103;       // to the main window
inline constexpr unsigned kMsgUpdateStatus = kWmUser + 104;      // every item list -> its parent
inline constexpr unsigned kMsgShellChange = kWmUser + 105;       // shell change notification
inline constexpr unsigned kMsgStartPropagation = kWmUser + 106;  // Advanced dialog -> main window
inline constexpr unsigned kMsgUpdateCheckDone =
    kWmUser + 107;  // update check worker -> main window

}  // namespace vm
