// velmora.exe as a user starts it: the real program on the system's own
// security, its first window, and the settings file it writes when it ends.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "harness/Harness.h"
#include "resources/resource.h"

namespace h = vm::harness;

namespace {

std::wstring SettingsFile() {
    return h::ProgramFolder() + L"KRV.ini";
}

int SettingOf(const wchar_t* key) {
    return static_cast<int>(GetPrivateProfileIntW(L"STATE", key, -1, SettingsFile().c_str()));
}

RECT RectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

class MainWindowProgram : public testing::Test {
  protected:
    void SetUp() override { DeleteFileW(SettingsFile().c_str()); }
    void TearDown() override { DeleteFileW(SettingsFile().c_str()); }

    HWND Start() {
        app_ = h::AppProcess::Start(L"velmora.exe");
        if (!app_)
            return nullptr;
        return app_->WaitForWindow(L"Velmora");
    }

    void CloseAndWait(HWND window) {
        h::Close(window);
        ASSERT_TRUE(app_->WaitForExit());
        EXPECT_EQ(app_->ExitCode(), std::optional<DWORD>(0));
    }

    std::optional<h::AppProcess> app_;
};

TEST_F(MainWindowProgram, FirstStartIsCentredInBrowseModeAndExitWritesTheSettings) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    RECT rect = RectOf(window);
    EXPECT_EQ(rect.right - rect.left, 1150);
    EXPECT_EQ(rect.bottom - rect.top, 688);
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_LE(std::abs((rect.left - monitor.rcWork.left) - (monitor.rcWork.right - rect.right)), 1);
    HWND browse = h::FindControl(window, IDC_MAIN_BROWSE_LIST);
    EXPECT_TRUE(h::IsVisible(browse));
    EXPECT_FALSE(h::IsVisible(h::FindControl(window, IDC_MAIN_EDIT_LIST)));
    EXPECT_GE(h::ListViewRowCount(browse), 1);  // the drives of the system
    h::SaveScreenshot(window, L"program-first-start");

    CloseAndWait(window);
    EXPECT_EQ(SettingOf(L"VIEWMODE"), 2);
    EXPECT_EQ(SettingOf(L"WND_LEFT"), rect.left);
    EXPECT_EQ(SettingOf(L"WND_BOTTOM"), rect.bottom);
    EXPECT_EQ(SettingOf(L"WND_ISMAX"), 0);
}

TEST_F(MainWindowProgram, NextStartUsesTheSavedRectangleAndViewMode) {
    WritePrivateProfileStringW(L"STATE", L"VIEWMODE", L"1", SettingsFile().c_str());
    WritePrivateProfileStringW(L"STATE", L"WND_LEFT", L"40", SettingsFile().c_str());
    WritePrivateProfileStringW(L"STATE", L"WND_TOP", L"30", SettingsFile().c_str());
    WritePrivateProfileStringW(L"STATE", L"WND_RIGHT", L"840", SettingsFile().c_str());
    WritePrivateProfileStringW(L"STATE", L"WND_BOTTOM", L"630", SettingsFile().c_str());
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    RECT rect = RectOf(window);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.right, 840);
    EXPECT_TRUE(h::IsVisible(h::FindControl(window, IDC_MAIN_EDIT_LIST)));
    EXPECT_TRUE(h::IsEnabled(h::FindControl(window, IDC_MAIN_ADD)));
    h::SendMenuCommand(window, ID_VIEW_BROWSE_MODE);
    CloseAndWait(window);
    EXPECT_EQ(SettingOf(L"VIEWMODE"), 2);
    EXPECT_EQ(SettingOf(L"WND_RIGHT"), 840);
}

TEST_F(MainWindowProgram, ClosedWhileMaximizedStartsMaximized) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    h::SendSystemCommand(window, SC_MAXIMIZE);
    ASSERT_TRUE(h::WaitFor([&] { return IsZoomed(window) != FALSE; }));
    h::SendSystemCommand(window, SC_CLOSE);
    ASSERT_TRUE(app_->WaitForExit());
    EXPECT_EQ(SettingOf(L"WND_ISMAX"), 1);

    window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(h::WaitFor([&] { return IsZoomed(window) != FALSE; }));
    CloseAndWait(window);
}

}  // namespace
