#include "framework/Dpi.h"

namespace vm {
namespace {

template <class Function>
Function User32Entry(const char* name) {
    static HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

constexpr int kDialogDisableAll = 1;     // DDC_DISABLE_ALL
constexpr int kMonitorEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

int ScreenDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

void ScaleFontHeight(LOGFONTW& font, int fromDpi, int toDpi) {
    font.lfHeight = ScaleBetweenDpi(font.lfHeight, fromDpi, toDpi);
}

}  // namespace

int SystemDpi() {
    static const GetDpiForSystemFunction forSystem =
        User32Entry<GetDpiForSystemFunction>("GetDpiForSystem");
    if (forSystem != nullptr) {
        const int dpi = static_cast<int>(forSystem());
        if (dpi > 0)
            return dpi;
    }
    return ScreenDpi();
}

int WindowDpi(HWND window) {
    static const GetDpiForWindowFunction forWindow =
        User32Entry<GetDpiForWindowFunction>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        const int dpi = static_cast<int>(forWindow(window));
        if (dpi > 0)
            return dpi;
    }
    return SystemDpi();
}

int MonitorDpi(const RECT& rect) {
    // shcore.dll (Windows 8.1) is not imported: loaded only for this call.
    static const GetDpiForMonitorFunction forMonitor = [] {
        HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore != nullptr
                   ? reinterpret_cast<GetDpiForMonitorFunction>(
                         reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                   : nullptr;
    }();
    UINT x = 0;
    UINT y = 0;
    HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    if (forMonitor != nullptr && monitor != nullptr &&
        SUCCEEDED(forMonitor(monitor, kMonitorEffectiveDpi, &x, &y)) && y > 0)
        return static_cast<int>(y);
    return SystemDpi();
}

int MetricForDpi(int index, int dpi) {
    static const GetSystemMetricsForDpiFunction forDpi =
        User32Entry<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi != nullptr)
        return forDpi(index, static_cast<UINT>(dpi));
    return ScaleBetweenDpi(GetSystemMetrics(index), SystemDpi(), dpi);
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) {
    static const SystemParametersInfoForDpiFunction forDpi =
        User32Entry<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (forDpi != nullptr &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi)))
        return true;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return false;
    const int system = SystemDpi();
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                           &metrics.lfStatusFont, &metrics.lfMessageFont})
        ScaleFontHeight(*font, system, dpi);
    return true;
}

Font FontAtDpi(HFONT font, int fromDpi, int toDpi) {
    LOGFONTW description{};
    if (font == nullptr || GetObjectW(font, sizeof(description), &description) == 0)
        return Font();
    ScaleFontHeight(description, fromDpi, toDpi);
    return Font(CreateFontIndirectW(&description));
}

Font SymbolFontAtDpi(const wchar_t* face, int heightAt96, int dpi) {
    return MakeSymbolFont(face, ScaleForDpi(heightAt96, dpi));
}

void KeepDialogManagerFromScaling(HWND dialog) {
    static const SetDialogDpiChangeBehaviorFunction behaviour =
        User32Entry<SetDialogDpiChangeBehaviorFunction>("SetDialogDpiChangeBehavior");
    if (behaviour != nullptr)
        behaviour(dialog, kDialogDisableAll, kDialogDisableAll);
}

}  // namespace vm
