#include "framework/Window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/Dpi.h"

namespace vm {
namespace {

constexpr wchar_t kObjectProperty[] = L"VelmoraWindowObject";
constexpr wchar_t kWindowClass[] = L"VelmoraWindow";
constexpr UINT_PTR kSubclassId = 0x564D;  // one subclass of ours per window

bool IsControlOwnerDraw(UINT ctlType) {
    return ctlType != ODT_MENU;
}

}  // namespace

OwnerDrawMenuSink* OwnerDrawMenuSink::current = nullptr;

UINT Message::RouteId() const {
    switch (message) {
        case WM_COMMAND:
        case kReflectBase + WM_COMMAND:
            return LOWORD(wParam);
        case WM_NOTIFY:
        case kReflectBase + WM_NOTIFY:
            return static_cast<UINT>(Notify().idFrom);
        case WM_TIMER:
            return static_cast<UINT>(wParam);
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case kReflectBase + WM_DRAWITEM:
        case kReflectBase + WM_MEASUREITEM:
            return static_cast<UINT>(wParam);
        default:
            return 0;
    }
}

UINT Message::RouteCode() const {
    switch (message) {
        case WM_COMMAND:
        case kReflectBase + WM_COMMAND:
            return HIWORD(wParam);
        case WM_NOTIFY:
        case kReflectBase + WM_NOTIFY:
            return Notify().code;
        default:
            return 0;
    }
}

POINT Message::PointFromLParam() const {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

CWnd::~CWnd() {
    if (hwnd_ == nullptr)
        return;
    if (subclassed_)
        Detach();
    else if (ownClass_)
        DestroyWindow(hwnd_);  // WM_NCDESTROY clears the handle
}

void CWnd::SetHandle(HWND window) {
    hwnd_ = window;
    dpi_ = WindowDpi(window);
    SetPropW(window, kObjectProperty, this);
}

int CWnd::DpiOf(HWND window) {
    if (const CWnd* object = FromHandle(window))
        return object->Dpi();
    return WindowDpi(window);
}

int CWnd::Scale(int pixelsAt96) const {
    return ScaleForDpi(pixelsAt96, dpi_);
}

void CWnd::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_)
        return;
    const int old = dpi_;
    dpi_ = dpi;
    OnDpiChanged(old, dpi);
}

void CWnd::ClearHandle() {
    if (hwnd_ != nullptr)
        RemovePropW(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
    subclassed_ = false;
    ownClass_ = false;
}

CWnd* CWnd::FromHandle(HWND window) {
    if (window == nullptr)
        return nullptr;
    return static_cast<CWnd*>(GetPropW(window, kObjectProperty));
}

bool CWnd::Attach(HWND window) {
    if (window == nullptr || hwnd_ != nullptr || FromHandle(window) != nullptr)
        return false;
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    SetHandle(window);
    subclassed_ = true;
    OnAttached();
    return true;
}

bool CWnd::AttachDlgItem(HWND dialog, int controlId) {
    return Attach(GetDlgItem(dialog, controlId));
}

void CWnd::Detach() {
    if (hwnd_ == nullptr)
        return;
    if (subclassed_)
        RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    ClearHandle();
}

bool CWnd::CreateWindowOfClass(const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rect,
                               HWND parent, UINT controlId) {
    static const ATOM registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ClassProc;
        wc.hInstance = ResourceModule();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc);
    }();
    if (registered == 0 || hwnd_ != nullptr)
        return false;
    HMENU menuOrId =
        (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)) : nullptr;
    HWND created = CreateWindowExW(exStyle, kWindowClass, title, style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent, menuOrId,
                                   ResourceModule(), this);
    return created != nullptr;
}

bool CWnd::CreateControl(const wchar_t* className, DWORD style, DWORD exStyle, const RECT& rect,
                         HWND parent, UINT controlId) {
    HWND created = CreateWindowExW(exStyle, className, L"", style | WS_CHILD, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                                   ResourceModule(), nullptr);
    if (created == nullptr)
        return false;
    if (!Attach(created)) {
        DestroyWindow(created);
        return false;
    }
    return true;
}

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageW(hwnd_, message, wParam, lParam);
}

bool CWnd::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    return PostMessageW(hwnd_, message, wParam, lParam) != FALSE;
}

RECT CWnd::ClientRect() const {
    RECT rect{};
    GetClientRect(hwnd_, &rect);
    return rect;
}

RECT CWnd::WindowRect() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return rect;
}

std::wstring CWnd::Text() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool CWnd::StartTimer(UINT_PTR id, UINT milliseconds) const {
    return SetTimer(hwnd_, id, milliseconds, nullptr) != 0;
}

void CWnd::ChangeStyle(LONG_PTR remove, LONG_PTR add) const {
    SetWindowLongPtrW(hwnd_, GWL_STYLE, (Style() & ~remove) | add);
}

bool CWnd::OnMessage(Message&, LRESULT&) {
    return false;
}

LRESULT CWnd::DefaultProcessing(const Message& m) {
    if (subclassed_)
        return DefSubclassProc(m.hwnd, m.message, m.wParam, m.lParam);
    return DefWindowProcW(m.hwnd, m.message, m.wParam, m.lParam);
}

bool CWnd::ReflectToChild(Message& m, LRESULT& result) {
    HWND child = nullptr;
    switch (m.message) {
        case WM_COMMAND:
            child = reinterpret_cast<HWND>(m.lParam);
            break;
        case WM_NOTIFY:
            child = m.Notify().hwndFrom;
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
            if (IsControlOwnerDraw(item->CtlType))
                child = item->hwndItem;
            break;
        }
        case WM_MEASUREITEM: {
            const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.lParam);
            if (IsControlOwnerDraw(item->CtlType))
                child = GetDlgItem(m.hwnd, static_cast<int>(item->CtlID));
            break;
        }
        default:
            return false;
    }
    CWnd* control = FromHandle(child);
    if (control == nullptr || control == this)
        return false;
    Message reflected{control->hwnd_, kReflectBase + m.message, m.wParam, m.lParam};
    return control->OnMessage(reflected, result);
}

bool CWnd::ForwardMenuOwnerDraw(Message& m, LRESULT& result) {
    OwnerDrawMenuSink* menu = OwnerDrawMenuSink::current;
    if (menu == nullptr)
        return false;
    if (m.message == WM_MEASUREITEM) {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
        if (item->CtlType != ODT_MENU)
            return false;
        menu->MeasureItem(*item);
    } else if (m.message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
        if (item->CtlType != ODT_MENU)
            return false;
        menu->DrawItem(*item);
    } else {
        return false;
    }
    result = TRUE;
    return true;
}

LRESULT CWnd::Process(Message& m) {
    LRESULT result = 0;
    // A child learns its new DPI after its top-level window handled
    // WM_DPICHANGED; the message then goes on as any other.
    if (m.message == WM_DPICHANGED_AFTERPARENT)
        SetDpi(WindowDpi(m.hwnd));
    if (ReflectToChild(m, result) || ForwardMenuOwnerDraw(m, result))
        return result;
    if (OnMessage(m, result))
        return result;
    m.handled = false;
    return DefaultProcessing(m);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR refData) {
    auto* self = reinterpret_cast<CWnd*>(refData);
    if (message == WM_NCDESTROY) {
        self->OnDestroyed();
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        self->ClearHandle();
        return DefSubclassProc(window, message, wParam, lParam);
    }
    Message m{window, message, wParam, lParam};
    return self->Process(m);
}

LRESULT CALLBACK CWnd::ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<CWnd*>(create->lpCreateParams);
        if (self != nullptr) {
            self->SetHandle(window);
            self->ownClass_ = true;
        }
    }
    CWnd* self = FromHandle(window);
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->OnDestroyed();
        self->ClearHandle();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    Message m{window, message, wParam, lParam};
    return self->Process(m);
}

HINSTANCE ResourceModule() {
    return GetModuleHandleW(nullptr);
}

std::wstring LoadStringResource(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer length LoadStringW returns a read-only pointer to the
    // resource text, which is not NUL-terminated, and its length.
    int length = LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return {};
    return std::wstring(text, static_cast<size_t>(length));
}

bool AllowMessagesFromUnelevatedPrograms(HWND window, std::initializer_list<UINT> messages) {
    using FilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using Filter = BOOL(WINAPI*)(UINT, DWORD);
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD of the older call
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return false;
    auto filterEx = reinterpret_cast<FilterEx>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    auto filter = reinterpret_cast<Filter>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")));
    bool allowed = true;
    for (UINT message : messages) {
        if (filterEx)
            allowed = filterEx(window, message, kAllow, nullptr) != FALSE && allowed;
        else if (filter)
            allowed = filter(message, kAllow) != FALSE && allowed;
        else
            return false;
    }
    return allowed;
}

}  // namespace vm
