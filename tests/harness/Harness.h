// Window test harness for the Windows test programs (under Wine + Xvfb or on
// Windows): start a window of ours, find its controls, send them messages,
// read list views, choose menu commands and save screenshots.
//
// Two ways to start a window:
// - UiThread runs code of this program that creates windows (modal or not) on
//   a thread of its own with a message loop; the test thread drives it with
//   SendMessage, which waits until the UI thread has handled the message.
// - AppProcess starts a program (velmora.exe) that lies beside the test
//   program and finds its windows.
//
// Screenshots go to the folder named by the environment variable
// VELMORA_SCREENSHOT_DIR (a Windows path, or under Wine a Unix path such as
// /work/main/build/screenshots, which is reached through drive Z:); without
// it, to "screenshots" beside the test program. CTest sets it to
// build/screenshots.
#pragma once

#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vm::harness {

using std::chrono::milliseconds;
inline constexpr milliseconds kTimeout{10000};

// A kernel handle closed exactly once (process, thread, event).
class Handle {
  public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE release();
    void reset(HANDLE handle = nullptr);

  private:
    HANDLE handle_ = nullptr;
};

// ---- Waiting -----------------------------------------------------------------
// Handles the calling thread's messages until condition() holds or the time is
// up; true when it held.
bool WaitFor(const std::function<bool()>& condition, milliseconds timeout = kTimeout);
// Handles the calling thread's messages for the given time.
void Pump(milliseconds duration);

// ---- Windows of this program on a UI thread of their own ---------------------
class UiThread {
  public:
    // Runs body on a new thread. Whatever windows body creates, the thread
    // keeps handling their messages after body returns, until none is left.
    explicit UiThread(std::function<void()> body);
    // Closes the thread's windows (WM_CLOSE) and waits for the thread to end;
    // a thread that does not end is reported as a test failure.
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    DWORD id() const { return id_; }
    // A visible top-level window of the thread with this caption (any
    // caption when empty), once it exists.
    HWND WaitForWindow(const std::wstring& caption = L"", milliseconds timeout = kTimeout) const;
    // True once the thread has ended.
    bool WaitForEnd(milliseconds timeout = kTimeout) const;

  private:
    static DWORD WINAPI Run(void* self);
    std::function<void()> body_;
    Handle thread_;
    DWORD id_ = 0;
};

// ---- Running test code on a UI thread --------------------------------------------
// A hidden window of the UI thread that runs code there, so that a test can
// call a window's operations on the thread that owns it. Create it on the UI
// thread (in the UiThread's body); UiThread's end closes it with the others.
class UiRunner {
  public:
    UiRunner() = default;
    UiRunner(const UiRunner&) = delete;
    UiRunner& operator=(const UiRunner&) = delete;

    void Create();
    bool Created() const { return window_ != nullptr; }
    // Runs the code on the UI thread and waits for it.
    void Run(const std::function<void()>& code, milliseconds timeout = kTimeout) const;
    // Starts code that opens something modal (a menu, a dialog) without
    // waiting for it.
    void Start(std::function<void()> code);

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::function<void()> TakeStarted();

    HWND window_ = nullptr;
    std::mutex mutex_;
    std::deque<std::function<void()>> started_;
};

// ---- Another program -----------------------------------------------------------
class AppProcess {
  public:
    // Starts the program of that file name from the test program's folder;
    // nullopt when it could not be started.
    static std::optional<AppProcess> Start(const std::wstring& fileName,
                                           const std::wstring& arguments = L"");
    AppProcess(AppProcess&&) = default;
    AppProcess& operator=(AppProcess&&) = default;
    // Ends the program if it still runs.
    ~AppProcess();

    DWORD id() const { return id_; }
    // The program's first visible top-level window with this caption (any
    // caption when empty), once it exists.
    HWND WaitForWindow(const std::wstring& caption = L"", milliseconds timeout = kTimeout) const;
    // True once the program has ended.
    bool WaitForExit(milliseconds timeout = kTimeout) const;
    // The exit code, once the program has ended.
    std::optional<DWORD> ExitCode() const;

  private:
    AppProcess(Handle process, DWORD id) : process_(std::move(process)), id_(id) {}
    Handle process_;
    DWORD id_ = 0;
};

// Folder of the running test program, with a trailing backslash.
std::wstring ProgramFolder();

// ---- Finding windows and controls ---------------------------------------------
std::vector<HWND> TopLevelWindowsOfThread(DWORD threadId);
std::vector<HWND> TopLevelWindowsOfProcess(DWORD processId);
// The child (at any depth) of parent with that control id, or nullptr.
HWND FindControl(HWND parent, int id);
// FindControl, waiting until it exists.
HWND WaitForControl(HWND parent, int id, milliseconds timeout = kTimeout);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);

// ---- Messages -------------------------------------------------------------------
// SendMessage that gives up after the timeout (a failure of the test then).
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
             milliseconds timeout = kTimeout);
// Presses a button as a click does (BM_CLICK).
void Click(HWND button);
// Sends the WM_COMMAND of a menu command, as choosing it from a menu does.
void SendMenuCommand(HWND window, UINT commandId);
// Chooses a command of the window's system menu (SC_CLOSE and so on).
void SendSystemCommand(HWND window, UINT command);
// Closes a window as its close box does (WM_CLOSE, posted).
void Close(HWND window);

// ---- List views (windows of this program only) -----------------------------------
int ListViewRowCount(HWND list);
int ListViewColumnCount(HWND list);
std::wstring ListViewColumnTitle(HWND list, int column);
std::vector<std::wstring> ListViewColumnTitles(HWND list);
std::wstring ListViewText(HWND list, int row, int column);
std::vector<std::wstring> ListViewRow(HWND list, int row);
std::vector<std::vector<std::wstring>> ListViewRows(HWND list);
std::vector<int> ListViewSelectedRows(HWND list);
void SelectListViewRows(HWND list, const std::vector<int>& rows);

// ---- Popup menus (TrackPopupMenu) ---------------------------------------------------
struct PopupMenu {
    HWND window = nullptr;  // the "#32768" window of the open menu
    HMENU menu = nullptr;
};
// The popup menu that a thread of this program has open, once it is open.
std::optional<PopupMenu> WaitForPopupMenu(DWORD threadId, milliseconds timeout = kTimeout);
// Item of a menu or its sub-menus by command id.
bool MenuHasCommand(HMENU menu, UINT commandId);
bool IsMenuCommandEnabled(HMENU menu, UINT commandId);
bool IsMenuCommandChecked(HMENU menu, UINT commandId);
std::wstring MenuCommandText(HMENU menu, UINT commandId);
// Chooses a command of the open popup menu with the keyboard, walking into
// sub-menus as needed, as a user does; false (and the menu closed) when the
// command is not in the menu or is disabled.
bool ChoosePopupMenuCommand(const PopupMenu& popup, UINT commandId);
// Closes the open popup menu without a choice.
void DismissPopupMenu(const PopupMenu& popup);

// ---- Screenshots ------------------------------------------------------------------
// Saves a PNG picture of the whole window (frame included) as <name>.png in
// the screenshot folder; returns the file's path, or an empty text on failure.
// The window (of this program or another) is brought to the front, repainted
// and copied from the screen; an open popup menu is copied where it is.
std::wstring SaveScreenshot(HWND window, const std::wstring& name);
// The screenshot folder (created when missing), with a trailing backslash.
std::wstring ScreenshotFolder();

}  // namespace vm::harness
