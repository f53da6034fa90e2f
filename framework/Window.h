// The window base of our framework. One C++ object per window; the object is
// found from its HWND through a window property, set when the object is
// attached. Each class routes messages through a small static table from
// (message, control id, notification code) to a member handler; what the
// table does not handle goes to the window's default processing.
//
// Three ways a window gets an object:
// - a control from a dialog template is subclassed (Attach / AttachDlgItem,
//   through SetWindowSubclass),
// - a dialog is created from its template (CDialog, Dialog.h),
// - a plain top-level or child window is created with our window class
//   (CreateWindowOfClass).
//
// Notifications a control sends to its parent (WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM of a control) are first offered to the
// control's own object as reflected messages (kReflectBase + message), so
// that a control class can draw and sort itself; when it does not handle
// them the parent's table sees them as usual.
#pragma once

#include "platform/win32/WinApi.h"

#include <initializer_list>
#include <span>
#include <string>

namespace vm {

// Framework-internal: reflected control notifications (kReflectBase + WM_*).
inline constexpr UINT kReflectBase = WM_USER + 0x1C00;

// One message as the window procedure received it.
struct Message {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    // A handler clears this to let the default processing run after it.
    bool handled = true;

    // Id and code used for routing: WM_COMMAND gives (LOWORD, HIWORD) of
    // wParam, WM_NOTIFY the NMHDR's idFrom and code, WM_TIMER the timer id,
    // WM_DRAWITEM and WM_MEASUREITEM the control id; others give 0, 0.
    UINT RouteId() const;
    UINT RouteCode() const;
    // The NMHDR of a (reflected) WM_NOTIFY.
    NMHDR& Notify() const { return *reinterpret_cast<NMHDR*>(lParam); }
    POINT PointFromLParam() const;
};

inline constexpr UINT kAnyId = 0xFFFFFFFF;
inline constexpr UINT kAnyCode = 0xFFFFFFFF;

// One row of a class's routing table.
template <class T>
struct Route {
    UINT message;
    UINT id;    // control, command or timer id; kAnyId matches all
    UINT code;  // notification code; kAnyCode matches all
    LRESULT (T::*handler)(Message&);
};

// Shorthands for table rows.
template <class T>
constexpr Route<T> OnMsg(UINT message, LRESULT (T::*handler)(Message&)) {
    return {message, kAnyId, kAnyCode, handler};
}
template <class T>
constexpr Route<T> OnCommand(UINT id, LRESULT (T::*handler)(Message&), UINT code = kAnyCode) {
    return {WM_COMMAND, id, code, handler};
}
template <class T>
constexpr Route<T> OnNotify(UINT id, UINT code, LRESULT (T::*handler)(Message&)) {
    return {WM_NOTIFY, id, code, handler};
}
// A notification the control sends to its parent, handled by the control.
template <class T>
constexpr Route<T> OnReflected(UINT message, UINT code, LRESULT (T::*handler)(Message&)) {
    return {kReflectBase + message, kAnyId, code, handler};
}
template <class T>
constexpr Route<T> OnTimer(UINT id, LRESULT (T::*handler)(Message&)) {
    return {WM_TIMER, id, kAnyCode, handler};
}

// Runs the first matching row of the table; false when none matched or its
// handler asked for the default processing.
template <class T>
bool DispatchRoutes(T& window, std::span<const Route<T>> routes, Message& m, LRESULT& result) {
    const UINT id = m.RouteId();
    const UINT code = m.RouteCode();
    for (const Route<T>& route : routes) {
        if (route.message != m.message)
            continue;
        if (route.id != kAnyId && route.id != id)
            continue;
        if (route.code != kAnyCode && route.code != code)
            continue;
        m.handled = true;
        result = (window.*route.handler)(m);
        return m.handled;
    }
    return false;
}

// Popup menus that draw their items themselves register here while they are
// shown; every window forwards WM_MEASUREITEM / WM_DRAWITEM of menus to it.
class OwnerDrawMenuSink {
  public:
    virtual ~OwnerDrawMenuSink() = default;
    virtual void MeasureItem(MEASUREITEMSTRUCT& item) = 0;
    virtual void DrawItem(const DRAWITEMSTRUCT& item) = 0;
    static OwnerDrawMenuSink* current;
};

class CWnd {
  public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Detaches from a window that is still alive (restores its procedure).
    virtual ~CWnd();

    HWND hwnd() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    // Subclasses an existing window (a control) and calls OnAttached.
    bool Attach(HWND window);
    bool AttachDlgItem(HWND dialog, int controlId);
    void Detach();
    // The object attached to a window, or nullptr.
    static CWnd* FromHandle(HWND window);
    // The DPI of a window: as its object knows it for a window of ours (the
    // last WM_DPICHANGED), else as the system tells it.
    static int DpiOf(HWND window);

    // Creates a window of the framework's own class (registered on first use)
    // and attaches this object to it.
    bool CreateWindowOfClass(const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rect,
                             HWND parent, UINT controlId = 0);
    // Creates a control of a system class (WC_LISTVIEWW, ...) and attaches it.
    bool CreateControl(const wchar_t* className, DWORD style, DWORD exStyle, const RECT& rect,
                       HWND parent, UINT controlId);

    // Thin helpers over the Win32 calls on this window.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND Parent() const { return GetParent(hwnd_); }
    RECT ClientRect() const;
    RECT WindowRect() const;
    std::wstring Text() const;
    void SetText(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }
    void Invalidate(bool erase = false) const { InvalidateRect(hwnd_, nullptr, erase); }
    bool StartTimer(UINT_PTR id, UINT milliseconds) const;
    void StopTimer(UINT_PTR id) const { KillTimer(hwnd_, id); }
    LONG_PTR Style() const { return GetWindowLongPtrW(hwnd_, GWL_STYLE); }
    void ChangeStyle(LONG_PTR remove, LONG_PTR add) const;

    // The DPI the window draws and measures at: its monitor's when it was
    // attached, then the one of every DPI change (framework/Dpi.h). A size
    // the program names at 96 DPI is ScaleForDpi(size, Dpi()).
    int Dpi() const { return dpi_; }
    int Scale(int pixelsAt96) const;
    // Takes a new DPI (the top-level window's WM_DPICHANGED, a child's
    // WM_DPICHANGED_AFTERPARENT) and calls OnDpiChanged when it differs.
    void SetDpi(int dpi);

  protected:
    // Called once the object is attached to its window (subclassing).
    virtual void OnAttached() {}
    // Called when the window is being destroyed (WM_NCDESTROY), after which
    // the object is detached.
    virtual void OnDestroyed() {}
    // Called when the window's DPI changed: rebuild fonts, pictures and
    // layouts made for the old one.
    virtual void OnDpiChanged(int /*oldDpi*/, int /*newDpi*/) {}
    // The class's routing; the base offers nothing. Derived classes do
    //   return DispatchRoutes(*this, Routes(), m, result) || Base::OnMessage(m, result);
    virtual bool OnMessage(Message& m, LRESULT& result);
    // The processing of a message that no table handled.
    virtual LRESULT DefaultProcessing(const Message& m);

    // The procedure common to every kind of window: reflection, menu owner
    // drawing, the routing table, then the default processing.
    LRESULT Process(Message& m);

    void SetHandle(HWND window);  // records hwnd_ and the lookup property
    void ClearHandle();

  private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK ClassProc(HWND, UINT, WPARAM, LPARAM);
    bool ReflectToChild(Message& m, LRESULT& result);
    bool ForwardMenuOwnerDraw(Message& m, LRESULT& result);

    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    bool subclassed_ = false;
    bool ownClass_ = false;
};

// Lets these messages reach `window` from programs that run without
// elevation, which User Interface Privilege Isolation otherwise drops:
// ChangeWindowMessageFilterEx (Windows 7 and later) for that window alone,
// else ChangeWindowMessageFilter (Vista) for the whole process. Looked up at
// run time; false when the system takes none of them.
bool AllowMessagesFromUnelevatedPrograms(HWND window, std::initializer_list<UINT> messages);

// Loads a string resource of the running module (empty when missing).
std::wstring LoadStringResource(UINT id);
// The module whose resources the windows use (the executable).
HINSTANCE ResourceModule();

}  // namespace vm
