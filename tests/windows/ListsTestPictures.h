// Pictures for the list and control window tests: counting the
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
