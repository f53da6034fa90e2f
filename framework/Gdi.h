// RAII for GDI objects and device contexts, and the one helper that draws
// off-screen and copies the result to the screen in one step.
#pragma once

#include "platform/win32/WinApi.h"

#include <uxtheme.h>

#include <utility>

namespace vm {

// Owns one GDI object (pen, brush, font, bitmap, region); DeleteObject once.
template <class Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr)
            DeleteObject(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;

// Selects an object into a DC and selects the previous one back at the end.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Keeps a DC's state (colours, modes, clip region) and restores it.
class SavedDcState {
  public:
    explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;
    ~SavedDcState() {
        if (saved_ != 0)
            RestoreDC(dc_, saved_);
    }

  private:
    HDC dc_;
    int saved_;
};

// GetDC / ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
    const RECT& Dirty() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// A memory DC with a bitmap compatible with a target DC, covering rect.
// Draw into dc() with the coordinates of rect; Present() copies the picture
// to the target. Used by every control that paints without flicker.
class OffscreenCanvas {
  public:
    OffscreenCanvas(HDC target, const RECT& rect);
    OffscreenCanvas(const OffscreenCanvas&) = delete;
    OffscreenCanvas& operator=(const OffscreenCanvas&) = delete;
    ~OffscreenCanvas();

    HDC dc() const { return memory_; }
    bool ok() const { return memory_ != nullptr && bitmap_; }
    void Present() const;

  private:
    HDC target_;
    RECT rect_;
    HDC memory_ = nullptr;
    Bitmap bitmap_;
    HGDIOBJ previousBitmap_ = nullptr;
};

// OpenThemeData / CloseThemeData; empty when themes are off or the class is unknown.
class ThemeHandle {
  public:
    ThemeHandle() = default;
    ThemeHandle(HWND window, const wchar_t* classList) { Open(window, classList); }
    ThemeHandle(const ThemeHandle&) = delete;
    ThemeHandle& operator=(const ThemeHandle&) = delete;
    ~ThemeHandle() { Close(); }

    void Open(HWND window, const wchar_t* classList) {
        Close();
        theme_ = OpenThemeData(window, classList);
    }
    void Close() {
        if (theme_ != nullptr)
            CloseThemeData(theme_);
        theme_ = nullptr;
    }
    HTHEME get() const { return theme_; }
    explicit operator bool() const { return theme_ != nullptr; }

  private:
    HTHEME theme_ = nullptr;
};

// Fills a rectangle with a system colour (COLOR_*) or a colour.
void FillSysColour(HDC dc, const RECT& rect, int sysColourIndex);
void FillColour(HDC dc, const RECT& rect, COLORREF colour);
// A symbol font of the given face and height in pixels ("marlett" glyphs).
Font MakeSymbolFont(const wchar_t* face, int height);

}  // namespace vm
