// velmora.exe starts, shows its main window and ends cleanly when it is
// closed. Every test is a first start: no settings file beside the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "harness/Harness.h"

namespace h = vm::harness;

namespace {

RECT WorkAreaOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

class FirstWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteFileW((h::ProgramFolder() + L"KRV.ini").c_str());
        app_ = h::AppProcess::Start(L"velmora.exe");
        ASSERT_TRUE(app_.has_value());
        window_ = app_->WaitForWindow(L"Velmora");
        ASSERT_NE(window_, nullptr) << "velmora.exe showed no window captioned \"Velmora\"";
    }

    void TearDown() override {
        app_.reset();
        DeleteFileW((h::ProgramFolder() + L"KRV.ini").c_str());
    }

    void ExpectCleanExit() {
        ASSERT_TRUE(app_->WaitForExit()) << "velmora.exe still runs after its window was closed";
        EXPECT_EQ(app_->ExitCode(), std::optional<DWORD>(0));
    }

    std::optional<h::AppProcess> app_;
    HWND window_ = nullptr;
};

TEST_F(FirstWindow, IsATopLevelWindowOf1150By688PixelsCentredOnTheWorkArea) {
    RECT rect = WindowRect(window_);
    EXPECT_EQ(rect.right - rect.left, 1150);
    EXPECT_EQ(rect.bottom - rect.top, 688);

    RECT work = WorkAreaOf(window_);
    EXPECT_LE(std::abs((rect.left - work.left) - (work.right - rect.right)), 1);
    EXPECT_LE(std::abs((rect.top - work.top) - (work.bottom - rect.bottom)), 1);

    EXPECT_EQ(GetAncestor(window_, GA_ROOT), window_);
    EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);
    EXPECT_TRUE(h::IsVisible(window_));
    EXPECT_FALSE(h::SaveScreenshot(window_, L"first-window").empty());
}

TEST_F(FirstWindow, IsResizableByItsBorder) {
    LONG style = GetWindowLongW(window_, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);

    // The right border is a sizing border.
    RECT rect = WindowRect(window_);
    LPARAM onRightBorder = MAKELPARAM(rect.right - 2, (rect.top + rect.bottom) / 2);
    EXPECT_EQ(h::Send(window_, WM_NCHITTEST, 0, onRightBorder), HTRIGHT);

    ASSERT_TRUE(SetWindowPos(window_, nullptr, 0, 0, 800, 500, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_TRUE(h::WaitFor([&] {
        RECT resized = WindowRect(window_);
        return resized.right - resized.left == 800 && resized.bottom - resized.top == 500;
    }));
}

TEST_F(FirstWindow, EndsWithExitCodeZeroWhenClosed) {
    h::Close(window_);
    ExpectCleanExit();
}

TEST_F(FirstWindow, EndsWithExitCodeZeroWhenClosedFromTheSystemMenu) {
    h::SendSystemCommand(window_, SC_CLOSE);
    ExpectCleanExit();
}

}  // namespace
