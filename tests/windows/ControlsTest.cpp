// The custom controls in a window of ours: the image button (picture,
// caption, disabled grey, hover), the themed progress bar (completion
// message, fill, moving block) and the PNG icon menu.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>

#include "app/Messages.h"
#include "controls/PNGMenu.win32.h"
#include "controls/ZOLExButton.win32.h"
#include "controls/ZOLProgressCtrl.win32.h"
#include "framework/GdiPlus.h"
#include "harness/Harness.h"
#include "resources/resource.h"
#include "windows/ListsTestPictures.h"

namespace h = vm::harness;

namespace vm {
namespace {

constexpr int kAllowButton = 2001;
constexpr int kMissingButton = 2002;
constexpr int kProgressBar = 2003;
constexpr UINT kMissingPicture = 9999;

// Holds the controls and counts WM_USER+101.
class ControlHost : public CWnd {
  public:
    std::atomic<int> completeMessages{0};

  protected:
    bool OnMessage(Message& m, LRESULT& result) override {
        result = 0;
        if (m.message == kMsgProgressComplete) {
            ++completeMessages;
            return true;
        }
        return CWnd::OnMessage(m, result);
    }
};

bool Greenish(COLORREF c) {
    return GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > 100;
}
bool Greyish(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::abs(r - g) < 10 && std::abs(g - b) < 10 && c != GetSysColor(COLOR_BTNFACE) &&
           r < 200;
}

class ControlsTest : public testing::Test {
  protected:
    void SetUp() override {
        ui = std::make_unique<h::UiThread>([this] { CreateWindows(); });
        ASSERT_TRUE(h::WaitFor([this] { return ready.load(); }));
    }
    void TearDown() override {
        runner.Run([this] { DestroyWindow(host.hwnd()); });
        ui.reset();
    }

    void CreateWindows() {
        runner.Create();
        pictures = std::make_unique<GdiplusSession>();
        host.CreateWindowOfClass(L"Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                 RECT{60, 60, 560, 300}, nullptr);
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        allow.CreateControl(L"BUTTON", BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0,
                            RECT{10, 10, 160, 50}, host.hwnd(), kAllowButton);
        allow.SetText(L"Allow Access");
        allow.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        imageLoaded = allow.SetImage(IDP_ALLOW, 30, true);
        missing.CreateControl(L"BUTTON", BS_PUSHBUTTON | WS_VISIBLE, 0, RECT{170, 10, 320, 50},
                              host.hwnd(), kMissingButton);
        missing.SetText(L"No Picture");
        missing.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        missingLoaded = missing.SetImage(kMissingPicture, 30, true);
        progress.CreateControl(L"STATIC", WS_VISIBLE, 0, RECT{10, 70, 410, 90}, host.hwnd(),
                               kProgressBar);
        ready = true;
    }

    int ButtonPixels(CZOLExButton& button, bool (*matches)(COLORREF)) {
        int count = 0;
        runner.Run([&] {
            count = CountClientPixels(button.hwnd(),
                                      [&](COLORREF pixel, int, int) { return matches(pixel); });
        });
        return count;
    }

    void Picture(const std::wstring& name) { h::SaveScreenshot(host.hwnd(), name); }

    std::unique_ptr<GdiplusSession> pictures;
    ControlHost host;
    h::UiRunner runner;
    CZOLExButton allow;
    CZOLExButton missing;
    CZOLProgressCtrl progress;
    bool imageLoaded = false;
    bool missingLoaded = true;
    std::atomic<bool> ready{false};
    std::unique_ptr<h::UiThread> ui;
};

TEST_F(ControlsTest, ImageButtonPaintsPictureGreyWhenDisabledAndFaceWithoutPicture) {
    EXPECT_TRUE(imageLoaded);
    EXPECT_FALSE(missingLoaded);
    LONG_PTR style = 0;
    runner.Run([&] { style = allow.Style(); });
    EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);

    EXPECT_GT(ButtonPixels(allow, Greenish), 150);
    EXPECT_EQ(ButtonPixels(missing, Greenish), 0);
    // The caption is drawn beside a missing picture.
    EXPECT_GT(ButtonPixels(missing, [](COLORREF c) { return c == GetSysColor(COLOR_BTNTEXT); }),
              20);
    Picture(L"controls-buttons");

    runner.Run([&] { EnableWindow(allow.hwnd(), FALSE); });
    EXPECT_EQ(ButtonPixels(allow, Greenish), 0);
    EXPECT_GT(ButtonPixels(allow, Greyish), 150);
    Picture(L"controls-button-disabled");
}

TEST_F(ControlsTest, HoverLightensThePicture) {
    auto brightness = [&] {
        int total = 0;
        runner.Run([&] {
            CountClientPixels(allow.hwnd(), [&](COLORREF c, int, int) {
                if (Greenish(c))
                    total += GetRValue(c) + GetGValue(c) + GetBValue(c);
                return false;
            });
        });
        return total;
    };
    auto greenPixels = [&] { return ButtonPixels(allow, Greenish); };
    const double plain = static_cast<double>(brightness()) / std::max(1, greenPixels());
    runner.Run([&] { allow.Send(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20)); });
    bool hovered = false;
    runner.Run([&] { hovered = allow.Hovered(); });
    EXPECT_TRUE(hovered);
    const double lit = static_cast<double>(brightness()) / std::max(1, greenPixels());
    EXPECT_GT(lit, plain);
    Picture(L"controls-button-hover");
    runner.Run([&] { allow.Send(WM_MOUSELEAVE); });
    runner.Run([&] { hovered = allow.Hovered(); });
    EXPECT_FALSE(hovered);
}

TEST_F(ControlsTest, ProgressPostsCompletionOncePerCallAtHundred) {
    runner.Run([&] { progress.SetPos(99.9f); });
    h::Pump(std::chrono::milliseconds(100));
    EXPECT_EQ(host.completeMessages, 0);
    runner.Run([&] { progress.SetPos(100.0f); });
    h::Pump(std::chrono::milliseconds(100));
    EXPECT_EQ(host.completeMessages, 1);
    runner.Run([&] { progress.SetPos(100.0f); });
    h::Pump(std::chrono::milliseconds(100));
    EXPECT_EQ(host.completeMessages, 2);
}

TEST_F(ControlsTest, ProgressFillsHalfAndMovesItsBlock) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    bool themed = true;
    runner.Run([&] {
        themed = progress.Themed();
        progress.SetIndeterminate(false);
        progress.SetPos(50.0f);
    });
    if (!themed) {
        int filled = 0;
        runner.Run([&] {
            filled = CountClientPixels(progress.hwnd(), [&](COLORREF c, int x, int y) {
                return c == highlight && y == 10 && x < 400;
            });
        });
        EXPECT_NEAR(filled, 199, 3);  // half of the 398 pixels inside the frame
    }
    Picture(L"controls-progress-half");

    int start = 0;
    runner.Run([&] {
        progress.SetIndeterminate(true);
        start = progress.MarkerOffset();
        progress.StartAnimation();
    });
    h::Pump(std::chrono::milliseconds(300));
    int later = 0;
    runner.Run([&] {
        later = progress.MarkerOffset();
        progress.StopAnimation();
    });
    EXPECT_GT(later, start);
    EXPECT_EQ((later - start) % 8, 0);
}

TEST_F(ControlsTest, PngMenuDrawsItsItemsWithIconsAndMarks) {
    auto menu = std::make_shared<CPNGMenu>(kPopupMenuItemHeight, kMenuIconSize);
    HMENU popup = nullptr;
    runner.Run([&] {
        popup = CreatePopupMenu();
        HMENU inner = CreatePopupMenu();
        AppendMenuW(inner, MF_STRING, 103, L"Inner");
        AppendMenuW(popup, MF_STRING, 100, L"Allow Access\tCtrl+A");
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(popup, MF_STRING, 101, L"This folder only");
        AppendMenuW(popup, MF_STRING, 102, L"Checked");
        AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), L"More");
        AppendMenuW(popup, MF_STRING | MF_GRAYED, 104, L"Switched off");
        CheckMenuRadioItem(popup, 101, 101, 101, MF_BYCOMMAND);
        CheckMenuItem(popup, 102, MF_BYCOMMAND | MF_CHECKED);
        menu->MakeOwnerDrawn(popup);
        EXPECT_FALSE(menu->SetItemIcon(popup, 102, false, kMissingPicture));
        EXPECT_TRUE(menu->SetItemIcon(popup, 100, false, IDP_ALLOW));
        EXPECT_TRUE(menu->SetItemIcon(popup, 5, true, IDP_DENY));
        EXPECT_EQ(menu->ItemText(popup, 100, false), L"Allow Access\tCtrl+A");
        EXPECT_EQ(menu->ItemText(popup, 4, true), L"More");
    });
    std::atomic<UINT> chosen{1};
    runner.Start([&, menu, popup] {
        chosen = menu->Track(popup, host.hwnd(), TPM_LEFTALIGN | TPM_TOPALIGN, POINT{100, 320});
        DestroyMenu(popup);
    });
    auto open = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(open.has_value());
    RECT rect{};
    GetWindowRect(open->window, &rect);
    // At least 100 pixels of text room plus the item height and the gutter.
    EXPECT_GE(rect.right - rect.left, 100 + kPopupMenuItemHeight + 25);
    h::SaveScreenshot(open->window, L"controls-png-menu");
    h::DismissPopupMenu(*open);
    ASSERT_TRUE(h::WaitFor([&] { return chosen.load() == 0; }));
}

// The system draws its own sub-menu arrow once WM_DRAWITEM returns, where
// the item's DC still lets it: over a themed item, which has drawn its own,
// the arrow's room must be out of the clip region then, not given back by the
// item's saved DC state. Needs a visual theme (Windows, or Wine with its
// Light theme switched on).
TEST_F(ControlsTest, PngMenuKeepsTheSystemsArrowOffAThemedSubMenuItem) {
    if (!IsThemeActive())
        GTEST_SKIP() << "no visual theme is active";
    runner.Run([&] {
        CPNGMenu menu(kPopupMenuItemHeight, kMenuIconSize);
        menu.SetThemed(true);
        HMENU popup = CreatePopupMenu();
        HMENU inner = CreatePopupMenu();
        AppendMenuW(inner, MF_STRING, 103, L"Inner");
        AppendMenuW(popup, MF_STRING, 100, L"Plain");
        AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), L"More");
        menu.MakeOwnerDrawn(popup);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 40);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        for (UINT position : {0u, 1u}) {
            MENUITEMINFOW info{sizeof info, MIIM_DATA | MIIM_ID};
            ASSERT_TRUE(GetMenuItemInfoW(popup, position, TRUE, &info));
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_MENU;
            item.itemID = info.wID;
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = reinterpret_cast<HWND>(popup);
            item.hDC = dc;
            item.rcItem = RECT{0, 0, 300, 40};
            item.itemData = info.dwItemData;
            SelectClipRgn(dc, nullptr);
            menu.DrawItem(item);
            // The text side stays drawable; the arrow's room only for an item
            // without a sub-menu.
            EXPECT_TRUE(PtVisible(dc, 20, 20)) << position;
            EXPECT_EQ(PtVisible(dc, 297, 20) != FALSE, position == 0) << position;
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        DestroyMenu(popup);
    });
}

}  // namespace
}  // namespace vm
