// Pictures for the list and control window tests: the screen's copy of a
// window (under Wine PrintWindow leaves out child windows), and counting the
// pixels a window draws of its client area (WM_PRINTCLIENT).
#pragma once

#include "platform/win32/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/GdiPlus.h"
#include "harness/Harness.h"

namespace vm {

// Saves the PNG of a bitmap (GDI+ must be running on the calling thread).
inline void SavePng(HBITMAP bitmap, const std::wstring& file) {
    Gdiplus::Bitmap picture(bitmap, nullptr);
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            EXPECT_EQ(picture.Save(file.c_str(), &codecs[i].Clsid, nullptr), Gdiplus::Ok);
        }
    }
}

// The window as the screen shows it, brought up and repainted first;
// runOnUi runs code on the window's thread (where GDI+ runs).
inline void SaveScreenPicture(HWND window, const std::wstring& name,
                              const std::function<void(std::function<void()>)>& runOnUi) {
    runOnUi([&] {
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
    harness::Pump(harness::milliseconds(300));
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    runOnUi([&] { SavePng(bitmap, harness::ScreenshotFolder() + name + L".png"); });
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// Draws the window's client area into a bitmap (WM_PRINTCLIENT) and counts
// the pixels that match; call it on the window's thread.
inline int CountClientPixels(HWND window,
                             const std::function<bool(COLORREF pixel, int x, int y)>& matches) {
    RECT client{};
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                 PRF_CLIENT | PRF_ERASEBKGND);
    int count = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            if (matches(GetPixel(memory, x, y), x, y))
                ++count;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return count;
}

}  // namespace vm
