// The window test harness on a window of this test program: a list view, a
// button and a popup menu with a disabled item and a sub-menu.
#include <windows.h>

#include <commctrl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/Harness.h"

namespace h = vm::harness;

namespace {

constexpr int kListId = 100;
constexpr int kButtonId = 101;
constexpr UINT kShowMenu = WM_APP + 1;
constexpr UINT kOpen = 40001;
constexpr UINT kGray = 40002;
constexpr UINT kDeep = 40003;
constexpr UINT kChecked = 40004;

std::atomic<UINT> lastCommand{0};

HMENU BuildMenu() {
    HMENU more = CreatePopupMenu();
    AppendMenuW(more, MF_STRING, kDeep, L"Deep");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kOpen, L"Open");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, kGray, L"Gray");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), L"More");
    AppendMenuW(menu, MF_STRING | MF_CHECKED, kChecked, L"Checked");
    return menu;
}

void FillList(HWND list) {
    const wchar_t* titles[] = {L"Name", L"Kind", L"Size"};
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.cx = 120;
        info.pszText = const_cast<wchar_t*>(titles[column]);
        SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    }
    const wchar_t* rows[][3] = {
        {L"C:\\", L"Drive", L""}, {L"Data", L"Folder", L""}, {L"notes.txt", L"File", L"12 KB"}};
    for (int row = 0; row < 3; ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(rows[row][0]);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 3; ++column) {
            item.iSubItem = column;
            item.pszText = const_cast<wchar_t*>(rows[row][column]);
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            HWND list = CreateWindowExW(
                0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 380, 150, window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), nullptr, nullptr);
            FillList(list);
            CreateWindowExW(
                0, L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 170, 100, 28,
                window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), nullptr, nullptr);
            return 0;
        }
        case kShowMenu: {
            HMENU menu = BuildMenu();
            SetForegroundWindow(window);
            TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, 100, 100, 0, window, nullptr);
            PostMessageW(window, WM_NULL, 0, 0);
            DestroyMenu(menu);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kButtonId) {
                SetWindowTextW(window, L"Pressed");
            } else {
                lastCommand = LOWORD(wParam);
            }
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CreateTestWindow() {
    static const wchar_t kClass[] = L"VelmoraHarnessTest";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);  // fails harmlessly when registered by an earlier test
    HWND window = CreateWindowExW(0, kClass, L"Harness test", WS_OVERLAPPEDWINDOW, 100, 100, 420,
                                  260, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
}

class Harness : public ::testing::Test {
  protected:
    void SetUp() override {
        lastCommand = 0;
        window_ = ui_.WaitForWindow(L"Harness test");
        ASSERT_NE(window_, nullptr);
    }

    h::PopupMenu OpenMenu() {
        PostMessageW(window_, kShowMenu, 0, 0);
        auto popup = h::WaitForPopupMenu(ui_.id());
        EXPECT_TRUE(popup.has_value()) << "no popup menu opened";
        return popup.value_or(h::PopupMenu{});
    }

    h::UiThread ui_{CreateTestWindow};
    HWND window_ = nullptr;
};

TEST_F(Harness, FindsControlsReadsTextsAndPressesButtons) {
    HWND list = h::FindControl(window_, kListId);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(h::ClassName(list), L"SysListView32");
    EXPECT_EQ(h::FindControl(window_, 999), nullptr);

    HWND button = h::WaitForControl(window_, kButtonId);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(h::WindowText(button), L"Press");
    EXPECT_TRUE(h::IsEnabled(button));
    h::Click(button);
    EXPECT_EQ(h::WindowText(window_), L"Pressed");
}

TEST_F(Harness, ReadsListViewColumnsRowsAndSelection) {
    HWND list = h::FindControl(window_, kListId);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(h::ListViewColumnTitles(list),
              (std::vector<std::wstring>{L"Name", L"Kind", L"Size"}));
    EXPECT_EQ(h::ListViewRowCount(list), 3);
    EXPECT_EQ(h::ListViewText(list, 2, 2), L"12 KB");
    EXPECT_EQ(h::ListViewRows(list),
              (std::vector<std::vector<std::wstring>>{{L"C:\\", L"Drive", L""},
                                                      {L"Data", L"Folder", L""},
                                                      {L"notes.txt", L"File", L"12 KB"}}));
    EXPECT_TRUE(h::ListViewSelectedRows(list).empty());
    h::SelectListViewRows(list, {0, 2});
    EXPECT_EQ(h::ListViewSelectedRows(list), (std::vector<int>{0, 2}));
}

TEST_F(Harness, ReadsTheStateOfPopupMenuItems) {
    h::PopupMenu popup = OpenMenu();
    ASSERT_NE(popup.menu, nullptr);
    EXPECT_TRUE(h::MenuHasCommand(popup.menu, kDeep));
    EXPECT_FALSE(h::MenuHasCommand(popup.menu, 49999));
    EXPECT_TRUE(h::IsMenuCommandEnabled(popup.menu, kOpen));
    EXPECT_FALSE(h::IsMenuCommandEnabled(popup.menu, kGray));
    EXPECT_TRUE(h::IsMenuCommandChecked(popup.menu, kChecked));
    EXPECT_FALSE(h::IsMenuCommandChecked(popup.menu, kOpen));
    EXPECT_EQ(h::MenuCommandText(popup.menu, kDeep), L"Deep");
    h::DismissPopupMenu(popup);
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindowVisible(popup.window); }));
    h::Pump(std::chrono::milliseconds(100));
    EXPECT_EQ(lastCommand, 0u);
}

TEST_F(Harness, ChoosesPopupMenuCommandsAlsoInSubMenus) {
    EXPECT_TRUE(h::ChoosePopupMenuCommand(OpenMenu(), kOpen));
    EXPECT_TRUE(h::WaitFor([] { return lastCommand == kOpen; }));

    EXPECT_TRUE(h::ChoosePopupMenuCommand(OpenMenu(), kDeep));
    EXPECT_TRUE(h::WaitFor([] { return lastCommand == kDeep; }));

    EXPECT_TRUE(h::ChoosePopupMenuCommand(OpenMenu(), kChecked));
    EXPECT_TRUE(h::WaitFor([] { return lastCommand == kChecked; }));
}

TEST_F(Harness, DoesNotChooseDisabledOrMissingCommands) {
    EXPECT_FALSE(h::ChoosePopupMenuCommand(OpenMenu(), kGray));
    EXPECT_FALSE(h::ChoosePopupMenuCommand(OpenMenu(), 49999));
    h::Pump(std::chrono::milliseconds(200));
    EXPECT_EQ(lastCommand, 0u);
}

TEST_F(Harness, SendsMenuCommands) {
    h::SendMenuCommand(window_, kDeep);
    EXPECT_EQ(lastCommand, kDeep);
}

TEST_F(Harness, SavesAPngPictureOfTheWholeWindow) {
    std::wstring path = h::SaveScreenshot(window_, L"harness-test-window");
    ASSERT_FALSE(path.empty());
    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(file, nullptr);
    unsigned char head[24] = {};
    size_t read = fread(head, 1, sizeof head, file);
    fclose(file);
    ASSERT_EQ(read, sizeof head);
    // PNG signature, then the IHDR chunk: big-endian width and height.
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, head));
    auto bigEndian = [&](int at) {
        return head[at] << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3];
    };
    RECT rect{};
    GetWindowRect(window_, &rect);
    EXPECT_EQ(bigEndian(16), rect.right - rect.left);
    EXPECT_EQ(bigEndian(20), rect.bottom - rect.top);

    // The picture shows the controls, not only the window's background: the
    // white list view covers a good part of it.
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    {
        Gdiplus::Bitmap picture(path.c_str());
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        int differing = 0;
        int total = 0;
        for (UINT y = 0; y < picture.GetHeight(); y += 4) {
            for (UINT x = 0; x < picture.GetWidth(); x += 4) {
                Gdiplus::Color color;
                picture.GetPixel(x, y, &color);
                ++total;
                if (RGB(color.GetR(), color.GetG(), color.GetB()) != face)
                    ++differing;
            }
        }
        EXPECT_GT(differing * 10, total) << differing << " of " << total << " pixels";
    }
    Gdiplus::GdiplusShutdown(token);
}

TEST_F(Harness, UiThreadEndsWhenItsWindowIsClosed) {
    h::Close(window_);
    EXPECT_TRUE(ui_.WaitForEnd());
}

}  // namespace
