// Entry point of velmora.exe. For now it shows the program's first window: a
// resizable top-level window captioned "Velmora", 1150 x 688 pixels, centred
// on the work area of the primary monitor, ending the program when closed.
#include <windows.h>

#include <commctrl.h>

#include "resources/resource.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VelmoraMainWindow";
constexpr wchar_t kCaption[] = L"Velmora";
constexpr int kWidth = 1150;
constexpr int kHeight = 688;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    // LR_SHARED: the system owns the icon; the class keeps it for the process.
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
}

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

// Top-left corner that centres a window of the given size on the primary
// monitor's work area; never above or left of it on a small screen.
POINT CentredPosition(int width, int height) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    POINT position{work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2};
    if (position.x < work.left)
        position.x = work.left;
    if (position.y < work.top)
        position.y = work.top;
    return position;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    if (!RegisterWindowClass(instance))
        return 1;

    POINT position = CentredPosition(kWidth, kHeight);
    HWND window = CreateWindowExW(0, kWindowClass, kCaption, WS_OVERLAPPEDWINDOW, position.x,
                                  position.y, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
