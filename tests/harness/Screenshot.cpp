// PNG pictures of one window, encoded with GDI+.
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "harness/Harness.h"

namespace vm::harness {

namespace {

// GDI+ for the lifetime of one object.
class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return ok_; }

  private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// A memory DC with a 32-bit top-down DIB section selected into it.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (dc_ && bitmap_)
            old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        if (old_)
            SelectObject(dc_, old_);
        if (bitmap_)
            DeleteObject(bitmap_);
        if (dc_)
            DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return dc_ && bitmap_ && bits_; }
    HDC dc() const { return dc_; }
    void* bits() const { return bits_; }
    int stride() const { return width_ * 4; }

  private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

std::optional<CLSID> PngEncoder() {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return {};
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return {};
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0)
            return codecs[i].Clsid;
    }
    return {};
}

// Copies the window from the screen, brought to the front and repainted
// first. (PrintWindow is no alternative: under Wine it leaves out the child
// windows, and it cannot reach another program's window.) An open popup menu
// stays where it is: it is on top already, and activating another window
// would close it.
bool Capture(HWND window, const RECT& rect, const Canvas& canvas) {
    if (ClassName(window) != L"#32768") {
        SetForegroundWindow(window);
        BringWindowToTop(window);
    }
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(milliseconds(300));  // let the window's thread draw
    HDC screen = GetDC(nullptr);
    BOOL copied = BitBlt(canvas.dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen,
                         rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copied != FALSE;
}

// Under Wine a Unix path ("/work/build/x") is reached as Z:\work\build\x.
std::wstring ToWindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/')
        path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

}  // namespace

std::wstring ScreenshotFolder() {
    std::wstring folder;
    if (const wchar_t* configured = _wgetenv(L"VELMORA_SCREENSHOT_DIR");
        configured && *configured) {
        folder = ToWindowsPath(configured);
    } else {
        folder = ProgramFolder() + L"screenshots\\";
    }
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);  // creates the missing parents too
    return folder;
}

std::wstring SaveScreenshot(HWND window, const std::wstring& name) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) {
        ADD_FAILURE() << "no window to take a picture of";
        return L"";
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        ADD_FAILURE() << "the window has no area";
        return L"";
    }
    Canvas canvas(width, height);
    if (!canvas.ok() || !Capture(window, rect, canvas)) {
        ADD_FAILURE() << "could not capture the window (error " << GetLastError() << ")";
        return L"";
    }
    GdiFlush();

    GdiplusSession gdiplus;
    std::optional<CLSID> png = gdiplus.ok() ? PngEncoder() : std::nullopt;
    if (!png) {
        ADD_FAILURE() << "GDI+ has no PNG encoder";
        return L"";
    }
    std::wstring path = ScreenshotFolder() + name + L".png";
    Gdiplus::Bitmap picture(width, height, canvas.stride(), PixelFormat32bppRGB,
                            static_cast<BYTE*>(canvas.bits()));
    if (picture.Save(path.c_str(), &*png, nullptr) != Gdiplus::Ok) {
        ADD_FAILURE() << "could not write the PNG file";
        return L"";
    }
    return path;
}

}  // namespace vm::harness
