// The windows at the display scale of the test's Wine prefix (96 DPI in the
// usual one, 144 in the one CTest runs this program in a second time): rows,
// icons, pictures and places scaled, every control inside its window, no text
// wider or taller than the control that shows it; and a change of scale while
// the main window is open (WM_DPICHANGED, as Windows sends it when the window
// moves to a monitor of another scale). Screenshots dpi<DPI>-*.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.win32.h"
#include "app/KRVDlg.win32.h"
#include "app/PopupMenu.win32.h"
#include "bookmarks/BookmarkStore.h"
#include "controls/ControlModel.h"
#include "framework/Dpi.h"
#include "framework/GdiPlus.h"
#include "harness/Harness.h"
#include "lists/ListGeometry.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace h = vm::harness;

namespace vm {
namespace {

// ---- Measuring --------------------------------------------------------------

// The text as DrawText shows it: "&" marks the mnemonic, "&&" is one "&".
std::wstring ShownText(const std::wstring& text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

// Width and height of a text in a font, on the window's device context.
SIZE TextExtent(HWND window, HFONT font, const std::wstring& text) {
    SIZE extent{};
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    extent.cy = metrics.tmHeight;
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return extent;
}

SIZE ControlTextExtent(HWND control) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    return TextExtent(control, font, ShownText(h::WindowText(control)));
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

RECT RectIn(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> VisibleChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child))
            children.push_back(child);
    return children;
}

// Every visible control lies inside the client area of its window.
void ExpectControlsInside(HWND window) {
    const SIZE client = ClientSize(window);
    for (HWND child : VisibleChildren(window)) {
        const RECT rect = RectIn(window, child);
        const std::string name = "control " + std::to_string(GetDlgCtrlID(child));
        EXPECT_GE(rect.left, 0) << name;
        EXPECT_GE(rect.top, 0) << name;
        EXPECT_LE(rect.right, client.cx) << name;
        EXPECT_LE(rect.bottom, client.cy) << name;
    }
}

// The whole text fits the room the control gives it, in width and height.
void ExpectTextFits(HWND control, int roomWidth) {
    const SIZE text = ControlTextExtent(control);
    const SIZE client = ClientSize(control);
    EXPECT_LE(text.cx, roomWidth) << "\"" << ToUtf8(h::WindowText(control)) << "\" is cut";
    EXPECT_LE(text.cy, client.cy) << "\"" << ToUtf8(h::WindowText(control)) << "\" is cut";
}

int ClassStyle(HWND control) {
    return static_cast<int>(GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK);
}

// ---- The main window over a small machine -----------------------------------------

class DisplayScaleTest : public testing::Test {
  protected:
    DisplayScaleTest() : state(machine, reporter), context(state) {}

    void SetUp() override {
        dpi = SystemDpi();
        machine.AddVolume(L'C', L"NTFS");
        machine.AddLocalUser(L"Bob");
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.AddFolder(L"C:\\Data\\Photos");
        machine.AddFile(L"C:\\Data\\notes.txt", L"O:BAD:(A;;0x1200a9;;;WD)");
        machine.AddFile(L"C:\\Data\\report.docx", L"O:BAD:(D;;FA;;;WD)");
        state.OsVersion = 6.1f;
        ReadPlatformState(state);
        ui = std::make_unique<h::UiThread>([this] {
            InitShellState(context.shell, state.OsVersion);
            LoadStatusPictures(context.shell.pictures);
            runner.Create();
            dialog = std::make_unique<CKRVDlg>(context);
            dialog->CreateModeless(nullptr);
        });
        window = ui->WaitForWindow(L"Velmora");
        ASSERT_NE(window, nullptr);
        browse = h::FindControl(window, IDC_MAIN_BROWSE_LIST);
    }

    void TearDown() override {
        ui.reset();
        dialog.reset();
    }

    std::wstring Picture(const std::wstring& name) const {
        return L"dpi" + std::to_wstring(dpi) + L"-" + name;
    }

    void BrowseData() {
        runner.Run([&] { dialog->NavigateTo(L"C:\\Data"); });
        EXPECT_TRUE(h::WaitFor([&] { return !h::ListViewText(browse, 0, 4).empty(); }));
    }

    int RowHeightOf(HWND list) {
        RECT row{LVIR_BOUNDS};
        SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        return row.bottom - row.top;
    }

    // The tool-bar buttons that show their caption have room for all of it.
    void ExpectToolbarCaptionsFit() {
        for (size_t i = 0; i < kToolbarButtonCount; ++i) {
            const CZOLExButton& button = dialog->ToolbarButton(i);
            if (!button.ShowsText())
                continue;
            ExpectTextFits(button.hwnd(), ClientSize(button.hwnd()).cx - button.CaptionLeft());
        }
    }

    // The header is as tall as its titles; the columns are as wide as at
    // 96 DPI, scaled, so a title cut there ("File system" in 70 pixels, as
    // the lists are made) is cut alike here and no other is.
    void ExpectHeaderTitlesFit(HWND list) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        const auto font = reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0));
        EXPECT_LE(TextExtent(header, font, L"Name").cy, ClientSize(header).cy);
        for (int column = 0; column < h::ListViewColumnCount(list); ++column) {
            const std::wstring title = h::ListViewColumnTitle(list, column);
            const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
            const int room = width - ScaleForDpi(12, dpi);
            const int room96 = ScaleBetweenDpi(width, dpi, kBaseDpi) - 12;
            // The title's width at 96 DPI, from its width here.
            const int title96 = ScaleBetweenDpi(TextExtent(header, font, title).cx, dpi, kBaseDpi);
            if (title96 + 2 <= room96) {  // whole at 96 DPI, with room for rounding
                EXPECT_LE(TextExtent(header, font, title).cx, room) << ToUtf8(title);
            }
        }
    }

    int dpi = kBaseDpi;
    sim::SimPlatform machine;
    RecordingReporter reporter;
    GdiplusSession gdiplus;
    AppState state;
    AppContext context;
    h::UiRunner runner;
    std::unique_ptr<CKRVDlg> dialog;
    std::unique_ptr<h::UiThread> ui;
    HWND window = nullptr;
    HWND browse = nullptr;
};

TEST_F(DisplayScaleTest, MainWindowOpensAtTheScaledDefaultSizeInsideTheWorkArea) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left,
              std::min<int>(ScaleForDpi(1150, dpi), work.right - work.left));
    EXPECT_EQ(rect.bottom - rect.top, std::min<int>(ScaleForDpi(688, dpi), work.bottom - work.top));
    EXPECT_GE(rect.left, work.left);
    EXPECT_GE(rect.top, work.top);
    MINMAXINFO limits{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, ScaleForDpi(320, dpi));
    EXPECT_EQ(limits.ptMinTrackSize.y, ScaleForDpi(300, dpi));
}

TEST_F(DisplayScaleTest, BrowseModeRowsIconsPicturesAndTextsAtTheScale) {
    BrowseData();
    EXPECT_EQ(dialog->BrowseList().Dpi(), dpi);
    EXPECT_EQ(RowHeightOf(browse), ScaleForDpi(kItemRowHeight, dpi));
    EXPECT_EQ(dialog->BrowseList().Metrics().iconSize, ScaleForDpi(kSmallIconSize, dpi));
    EXPECT_EQ(h::ListViewText(browse, 0, 0), L"Photos");
    // Column widths and the tool bar's pictures at the scale, each from the
    // rendering nearest to its drawn side.
    EXPECT_EQ(SendMessageW(browse, LVM_GETCOLUMNWIDTH, 0, 0), ScaleForDpi(300, dpi));
    for (size_t i = 0; i < kToolbarButtonCount; ++i) {
        const CZOLExButton& button = dialog->ToolbarButton(i);
        EXPECT_EQ(button.ImageSize(), ScaleForDpi(kDefaultButtonImageSize, dpi));
        EXPECT_EQ(button.ImageWidth(),
                  ImageSideAt(kDefaultButtonImageSize,
                              NearestImageScale(kDefaultButtonImageSize, button.ImageSize())));
        // The picture lies inside its button.
        EXPECT_LE(button.ImageSize(), ClientSize(button.hwnd()).cy);
    }
    ExpectControlsInside(window);
    ExpectToolbarCaptionsFit();
    ExpectHeaderTitlesFit(browse);
    HWND status = h::FindControl(window, IDC_MAIN_STATUS);
    ExpectTextFits(status, ClientSize(status).cx);
    // The path bar draws its icons at the scale too.
    HWND pathBar = h::FindControl(window, IDC_MAIN_PATH_BAR);
    int iconWidth = 0;
    int iconHeight = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(SendMessageW(pathBar, CBEM_GETIMAGELIST, 0, 0)), &iconWidth,
        &iconHeight);
    EXPECT_EQ(iconWidth, ScaleForDpi(16, dpi));
    // The strip at the bottom is the scaled 24 pixels high.
    EXPECT_EQ(ClientSize(status).cy, ScaleForDpi(24, dpi));
    h::SaveScreenshot(window, Picture(L"main-browse"));
}

TEST_F(DisplayScaleTest, EditModeWithItemsAndTheNonNtfsStrip) {
    runner.Run([&] {
        dialog->EditList().AppendRow(L"C:\\Data\\notes.txt");
        dialog->EditList().AppendRow(L"C:\\Data\\report.docx");
        dialog->EditList().AppendRow(L"C:\\Data\\Photos");
        dialog->SetViewMode(ViewMode::kEdit);
    });
    HWND edit = h::FindControl(window, IDC_MAIN_EDIT_LIST);
    EXPECT_TRUE(h::WaitFor([&] { return h::ListViewText(edit, 2, 4) == L"Administrators"; }));
    EXPECT_EQ(RowHeightOf(edit), ScaleForDpi(kItemRowHeight, dpi));
    EXPECT_EQ(SendMessageW(edit, LVM_GETCOLUMNWIDTH, 5, 0), ScaleForDpi(200, dpi));
    ExpectControlsInside(window);
    ExpectToolbarCaptionsFit();
    ExpectHeaderTitlesFit(edit);
    h::SaveScreenshot(window, Picture(L"main-edit"));
}

TEST_F(DisplayScaleTest, PopupMenuItemsHaveRoomForTheirTextsAndIcons) {
    BrowseData();
    h::SelectListViewRows(browse, {1});
    runner.Start(
        [&] { PopupMenu(context, PopupSubMenu::kItem, window, TPM_LEFTALIGN | TPM_TOPALIGN); });
    auto popup = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(popup.has_value());
    h::SaveScreenshot(popup->window, Picture(L"menu-item"));

    // The texts as the resource has them (by command id: the menu lost the
    // entries of the other mode), measured in the menu font of the scale.
    HMENU resource = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUP_MENUS));
    HMENU items = GetSubMenu(resource, static_cast<int>(PopupSubMenu::kItem));
    NONCLIENTMETRICSW metrics{};
    ASSERT_TRUE(NonClientMetricsForDpi(metrics, dpi));
    HFONT menuFont = CreateFontIndirectW(&metrics.lfMenuFont);
    const MenuMetrics sizes = MenuMetricsForDpi(dpi, kPopupMenuItemHeight, kMenuIconSize);
    const int count = GetMenuItemCount(popup->menu);
    int measured = 0;
    for (int i = 0; i < count; ++i) {
        RECT item{};
        ASSERT_TRUE(GetMenuItemRect(nullptr, popup->menu, static_cast<UINT>(i), &item));
        const UINT id = GetMenuItemID(popup->menu, i);
        if (id == 0) {  // a separator
            EXPECT_EQ(item.bottom - item.top, sizes.separatorHeight) << i;
            continue;
        }
        EXPECT_EQ(item.bottom - item.top, sizes.itemHeight) << i;
        wchar_t text[260]{};
        if (id == static_cast<UINT>(-1) || GetMenuStringW(items, id, text, 260, MF_BYCOMMAND) == 0)
            continue;  // a sub-menu: its text is not found by id
        ++measured;
        std::wstring label = ShownText(text);
        label = label.substr(0, label.find(L'\t'));
        const int room =
            item.right - item.left - sizes.iconSize - sizes.textBeyondIcon - sizes.textRightInset;
        EXPECT_LE(TextExtent(popup->window, menuFont, label).cx, room) << ToUtf8(label);
        EXPECT_LE(TextExtent(popup->window, menuFont, label).cy, sizes.itemHeight);
    }
    EXPECT_GT(measured, 8);
    DeleteObject(menuFont);
    DestroyMenu(resource);
    h::DismissPopupMenu(*popup);
}

TEST_F(DisplayScaleTest, QuickCommandOptionsShowEveryTextWhole) {
    BrowseData();
    h::SelectListViewRows(browse, {1});
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MAIN_READ_ONLY, BN_CLICKED), 0);
    HWND options = ui->WaitForWindow(L"Options - Read Only");
    ASSERT_NE(options, nullptr);
    ExpectControlsInside(options);
    // Room a radio button leaves its label: the box and the gap after it.
    const int box = ScaleForDpi(18, dpi);
    for (HWND child : VisibleChildren(options)) {
        wchar_t className[32]{};
        GetClassNameW(child, className, 32);
        if (std::wstring(className) == L"Edit" || h::WindowText(child).empty())
            continue;
        const int width = ClientSize(child).cx;
        if (std::wstring(className) != L"Button" || ClassStyle(child) == BS_PUSHBUTTON ||
            ClassStyle(child) == BS_DEFPUSHBUTTON)
            ExpectTextFits(child, width);
        else if (ClassStyle(child) == BS_GROUPBOX)
            EXPECT_LE(ControlTextExtent(child).cx + ScaleForDpi(16, dpi), width);
        else
            ExpectTextFits(child, width - box);
    }
    // The trustee button's picture is the 16-pixel one, scaled.
    h::SaveScreenshot(options, Picture(L"quick-options"));
    h::Click(h::FindControl(options, IDCANCEL));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(options); }));
}

TEST_F(DisplayScaleTest, AdvancedWindowAtTheScale) {
    BrowseData();
    h::SelectListViewRows(browse, {0});  // C:\Data\Photos
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MAIN_ADVANCED, BN_CLICKED), 0);
    HWND advanced = ui->WaitForWindow(L"" STR_ADVANCED_CAPTION);
    ASSERT_NE(advanced, nullptr);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rect{};
    GetWindowRect(advanced, &rect);
    EXPECT_EQ(rect.right - rect.left, std::min<int>(ScaleForDpi(760, dpi), work.right - work.left));
    EXPECT_EQ(rect.bottom - rect.top, std::min<int>(ScaleForDpi(640, dpi), work.bottom - work.top));
    ExpectControlsInside(advanced);
    HWND list = h::FindControl(advanced, IDC_ADV_ACE_LIST);
    EXPECT_EQ(RowHeightOf(list), ScaleForDpi(22, dpi));
    EXPECT_EQ(ClientSize(h::FindControl(advanced, IDC_ADV_ADD)).cx, ScaleForDpi(25, dpi));
    const int box = ScaleForDpi(18, dpi);
    for (int id : {IDC_ADV_INHERIT, IDC_ADV_REPLACE_CHILDREN})
        ExpectTextFits(h::FindControl(advanced, id),
                       ClientSize(h::FindControl(advanced, id)).cx - box);
    for (int id : {IDC_ADV_CHANGE_OWNER, IDC_ADV_APPLY, IDOK, IDCANCEL})
        ExpectTextFits(h::FindControl(advanced, id), ClientSize(h::FindControl(advanced, id)).cx);
    h::SaveScreenshot(advanced, Picture(L"advanced"));
    h::Click(h::FindControl(advanced, IDCANCEL));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(advanced); }));
}

// The Restore window in reset mode, opened by its command: rows 25 pixels
// high scaled, its buttons and the list inside it, the button texts whole.
TEST_F(DisplayScaleTest, RestoreWindowAtTheScale) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_BACKUP_RESET, 0), 0);
    HWND restore = ui->WaitForWindow(L"" STR_RESTORE_CAPTION);
    ASSERT_NE(restore, nullptr);
    ExpectControlsInside(restore);
    HWND list = h::FindControl(restore, IDC_RESTORE_LIST);
    ASSERT_GT(h::ListViewRowCount(list), 0);
    EXPECT_EQ(RowHeightOf(list), ScaleForDpi(25, dpi));
    HWND run = h::FindControl(restore, IDC_RESTORE_RUN);
    EXPECT_EQ(ClientSize(run).cx, ScaleForDpi(90, dpi));
    ExpectTextFits(run, ClientSize(run).cx);
    runner.Run([&] { RedrawWindow(restore, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); });
    h::SaveScreenshot(restore, Picture(L"restore"));
    h::Close(restore);
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(restore); }));
}

// The bookmark dialogs and the About box: their parts at the scale, every
// text whole, the manager's rows 50 pixels high scaled.
TEST_F(DisplayScaleTest, BookmarkDialogsAndAboutBoxAtTheScale) {
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring file =
        std::wstring(temp) + L"velmora-dpi-bookmarks-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(AddBookmark(file, 0, L"Project files", L"C:\\Data\\notes.txt|"));
    ASSERT_TRUE(AddBookmark(file, 2, L"Data folder", L"C:\\Data"));
    runner.Run([&] {
        state.files.bookmarkFile = file;
        context.bookmarks = LoadBookmarkIndex(file);
    });
    BrowseData();

    PostMessageW(window, WM_COMMAND, ID_BOOKMARK_CURRENT_DIRECTORY, 0);
    HWND add = ui->WaitForWindow(L"Add bookmark");
    ASSERT_NE(add, nullptr);
    ExpectControlsInside(add);
    for (int id : {IDC_BOOKMARK_PROMPT, IDOK, IDCANCEL})
        ExpectTextFits(h::FindControl(add, id), ClientSize(h::FindControl(add, id)).cx);
    h::SaveScreenshot(add, Picture(L"bookmark-add"));
    h::Click(h::FindControl(add, IDCANCEL));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(add); }));

    PostMessageW(window, WM_COMMAND, ID_BOOKMARK_MANAGER, 0);
    HWND manager = ui->WaitForWindow(L"Bookmark Manager");
    ASSERT_NE(manager, nullptr);
    ExpectControlsInside(manager);
    HWND list = h::FindControl(manager, IDC_BOOKMARK_LIST);
    EXPECT_EQ(RowHeightOf(list), ScaleForDpi(50, dpi));
    const SIZE client = ClientSize(manager);
    EXPECT_EQ(RectIn(manager, h::FindControl(manager, IDCANCEL)).right,
              client.cx - ScaleForDpi(105, dpi) + ScaleForDpi(90, dpi));
    for (int id : {IDC_BOOKMARK_REMOVE, IDCANCEL})
        ExpectTextFits(h::FindControl(manager, id), ClientSize(h::FindControl(manager, id)).cx);
    h::SaveScreenshot(manager, Picture(L"bookmark-manager"));
    h::Click(h::FindControl(manager, IDCANCEL));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(manager); }));

    PostMessageW(window, WM_COMMAND, ID_APP_ABOUT, 0);
    HWND about = ui->WaitForWindow(L"About Velmora");
    ASSERT_NE(about, nullptr);
    ExpectControlsInside(about);
    ExpectTextFits(h::FindControl(about, IDOK), ClientSize(h::FindControl(about, IDOK)).cx);
    h::SaveScreenshot(about, Picture(L"about"));
    h::Click(h::FindControl(about, IDOK));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(about); }));
    DeleteFileW(file.c_str());
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(DisplayScaleTest, MovingToAMonitorOfALargerScaleAndBack) {
    BrowseData();
    // A window small enough that it still fits the screen at the next scale
    // (Windows keeps a window within its largest tracking size).
    MoveWindow(window, 0, 0, ScaleForDpi(600, dpi), ScaleForDpi(400, dpi), TRUE);
    RECT before{};
    GetWindowRect(window, &before);
    HWND add = h::FindControl(window, IDC_MAIN_ADD);
    const RECT addBefore = RectIn(window, add);
    const int larger = dpi + 48;  // 96 to 144, 144 to 192
    // Windows suggests the rectangle at the new scale (WM_DPICHANGED docs).
    RECT suggested{before.left, before.top,
                   before.left + ScaleBetweenDpi(before.right - before.left, dpi, larger),
                   before.top + ScaleBetweenDpi(before.bottom - before.top, dpi, larger)};
    h::Send(window, WM_DPICHANGED, MAKEWPARAM(larger, larger),
            reinterpret_cast<LPARAM>(&suggested));
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(after.right - after.left, suggested.right - suggested.left);
    EXPECT_EQ(after.bottom - after.top, suggested.bottom - suggested.top);
    // Rows, icons, columns and pictures follow; the tool bar is laid out anew.
    EXPECT_EQ(dialog->BrowseList().Dpi(), larger);
    EXPECT_EQ(RowHeightOf(browse), ScaleForDpi(kItemRowHeight, larger));
    EXPECT_EQ(SendMessageW(browse, LVM_GETCOLUMNWIDTH, 0, 0), ScaleForDpi(300, larger));
    EXPECT_EQ(dialog->ToolbarButton(0).ImageSize(), ScaleForDpi(30, larger));
    EXPECT_EQ(dialog->ToolbarButton(0).ImageWidth(),
              ImageSideAt(30, NearestImageScale(30, ScaleForDpi(30, larger))));
    const RECT addAfter = RectIn(window, add);
    // Its edges scaled from the template's, at the dialog's first DPI.
    EXPECT_EQ(addAfter.bottom, ScaleBetweenDpi(addBefore.bottom, dpi, larger));
    EXPECT_EQ(addAfter.top, ScaleBetweenDpi(addBefore.top, dpi, larger));
    HWND status = h::FindControl(window, IDC_MAIN_STATUS);
    EXPECT_EQ(ClientSize(status).cy, ScaleForDpi(24, larger));
    int iconWidth = 0;
    int iconHeight = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(
                              h::FindControl(window, IDC_MAIN_PATH_BAR), CBEM_GETIMAGELIST, 0, 0)),
                          &iconWidth, &iconHeight);
    EXPECT_EQ(iconHeight, ScaleForDpi(16, larger));
    // The controls' font grew with the scale.
    const SIZE statusText = ControlTextExtent(status);
    ExpectControlsInside(window);
    ExpectToolbarCaptionsFit();

    // And back: the same places as before, no pixel lost to rounding.
    h::Send(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&before));
    GetWindowRect(window, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    const RECT addBack = RectIn(window, add);
    EXPECT_EQ(addBack.right, addBefore.right);
    EXPECT_EQ(addBack.bottom, addBefore.bottom);
    EXPECT_EQ(RowHeightOf(browse), ScaleForDpi(kItemRowHeight, dpi));
    EXPECT_EQ(SendMessageW(browse, LVM_GETCOLUMNWIDTH, 0, 0), ScaleForDpi(300, dpi));
    EXPECT_LT(ControlTextExtent(status).cy, statusText.cy);
}

}  // namespace
}  // namespace vm
