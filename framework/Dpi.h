// The DPI of a window, and what depends on it, for a per-monitor aware
// program on every Windows it runs on. The calls of Windows 10 (1607 and
// 1703) are looked up at run time; older systems give the system DPI, which
// is then every window's DPI. The arithmetic is platform/Dpi.h.
#pragma once

#include "platform/win32/WinApi.h"

#include "framework/Gdi.h"
#include "platform/Dpi.h"

// Sent to every child window after its top-level window handled
// WM_DPICHANGED (Windows 10 1703); older headers lack the names.
#ifndef WM_DPICHANGED_BEFOREPARENT
#define WM_DPICHANGED_BEFOREPARENT 0x02E2
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace vm {

// The system DPI (GetDpiForSystem, else LOGPIXELSY of the screen).
int SystemDpi();
// GetDpiForWindow; the system DPI where the call does not exist or fails.
int WindowDpi(HWND window);
// The DPI of the monitor that holds most of a rectangle (GetDpiForMonitor).
int MonitorDpi(const RECT& rect);

// GetSystemMetricsForDpi, else GetSystemMetrics scaled from the system DPI.
int MetricForDpi(int index, int dpi);
// SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS), else the system's
// metrics with their font heights scaled from the system DPI.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi);

// The same face as font at another DPI: the height scaled by toDpi/fromDpi.
Font FontAtDpi(HFONT font, int fromDpi, int toDpi);
// A font of the given face and height (pixels at 96 DPI) at a DPI, for the
// glyphs the program draws itself ("marlett").
Font SymbolFontAtDpi(const wchar_t* face, int heightAt96, int dpi);

// The rectangle Windows suggests with WM_DPICHANGED (lParam).
inline RECT SuggestedRect(LPARAM lParam) {
    return *reinterpret_cast<const RECT*>(lParam);
}
// The new DPI of WM_DPICHANGED (wParam: the same DPI for x and y).
inline int DpiOfDpiChanged(WPARAM wParam) {
    return static_cast<int>(HIWORD(wParam));
}

// A dialog scales itself on WM_DPICHANGED (CDialog): the dialog manager of
// Windows 10 1703 and later must not scale it a second time
// (SetDialogDpiChangeBehavior, DDC_DISABLE_ALL).
void KeepDialogManagerFromScaling(HWND dialog);

}  // namespace vm
