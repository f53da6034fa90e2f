// The item lists over a simulated machine: columns, rows and their status
// cells, sorting, the empty-folder text, the missing-item background,
// removal, check boxes and dropped files. The lists run on a UI thread of
// this program inside a host window of ours; the test thread drives them
// with messages.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/AppState.h"
#include "app/BrowsePaths.h"
#include "app/Messages.h"
#include "framework/GdiPlus.h"
#include "harness/Harness.h"
#include "lists/ListGeometry.h"
#include "lists/MainList.win32.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "resources/resource.h"
#include "windows/ListsTestPictures.h"

namespace h = vm::harness;

namespace vm {
namespace {

constexpr int kListId = 1012;

// A window of ours that holds one list and counts the status messages it
// gets.
class ListHost : public CWnd {
  public:
    std::atomic<int> statusMessages{0};

  protected:
    bool OnMessage(Message& m, LRESULT& result) override {
        if (m.message == kMsgUpdateStatus) {
            ++statusMessages;
            result = 0;
            return true;
        }
        return CWnd::OnMessage(m, result);
    }
};

// The list, noting the rows it draws (the host reflects WM_DRAWITEM to it).
class DrawNotingList : public CMainList {
  public:
    using CMainList::CMainList;
    std::vector<UINT> drawnRows;  // on the UI thread only

  protected:
    bool OnMessage(Message& m, LRESULT& result) override {
        if (m.message == kReflectBase + WM_DRAWITEM)
            drawnRows.push_back(reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam)->itemID);
        return CMainList::OnMessage(m, result);
    }
};

class ListsTest : public testing::Test {
  protected:
    ListsTest() : state(machine, reporter) {}

    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'E', L"FAT32");
        machine.AddLocalUser(L"Bob");
        const std::wstring bob = machine.SidOf(L"Bob").ToString();
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.AddFolder(L"C:\\Data\\Photos", L"O:" + bob + L"D:(A;OICI;FA;;;BU)");
        machine.AddFolder(L"C:\\Data\\Music");
        machine.AddFile(L"C:\\Data\\notes.txt", L"O:BAD:(A;;0x1200a9;;;WD)");
        machine.AddFile(L"C:\\Data\\secret.txt", L"O:" + bob + L"D:(D;;0x1;;;WD)(A;;FA;;;BA)");
        machine.AddFile(L"C:\\Data\\a.bmp");
        machine.AddFolder(L"C:\\Empty");
        machine.AddFile(L"E:\\stick.txt");
        state.user.CurrentUserName = L"Alice";
        state.user.CurrentUserGroups = BuildCurrentUserGroups(machine, L"Alice");
        state.fileSystems = FileSystemTable::Read(machine);

        ui = std::make_unique<h::UiThread>([this] { CreateWindows(); });
        ASSERT_TRUE(h::WaitFor([this] { return listWindow != nullptr; }));
    }

    void TearDown() override {
        if (host.hwnd() != nullptr)
            runner.Run([this] { DestroyWindow(host.hwnd()); });
        ui.reset();
    }

    // On the UI thread: the host window, the list and the pictures.
    void CreateWindows() {
        runner.Create();
        pictures = std::make_unique<GdiplusSession>();
        allowed = LoadPngResource(IDP_ACCESS_ALLOWED);
        readOnly = LoadPngResource(IDP_ACCESS_READ_ONLY);
        denied = LoadPngResource(IDP_ACCESS_DENIED);
        owner = LoadPngResource(IDP_OWNER);
        SHFILEINFOW info{};
        environment.smallImages = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        // Icons of the system image list, as the application's cache has them.
        for (const wchar_t* extension : {L".txt", L".bmp"}) {
            SHFILEINFOW file{};
            SHGetFileInfoW((std::wstring(L"x") + extension).c_str(), FILE_ATTRIBUTE_NORMAL, &file,
                           sizeof(file),
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
            icons.Set(extension, file.iIcon);
        }
        SHFILEINFOW folder{};
        SHGetFileInfoW(L"C:\\Windows", FILE_ATTRIBUTE_DIRECTORY, &folder, sizeof(folder),
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        icons.Set(kFolderIconKey, folder.iIcon);
        environment.state = &state;
        environment.icons = &icons;
        environment.themeActive = &themed;
        environment.cellPictures[0].access[0] = allowed.get();
        environment.cellPictures[0].access[1] = readOnly.get();
        environment.cellPictures[0].access[2] = denied.get();
        environment.cellPictures[0].owner = owner.get();
        host.CreateWindowOfClass(L"Lists", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                 RECT{40, 40, 1000, 460}, nullptr);
        environment.messageOwner = host.hwnd();
        list = std::make_unique<DrawNotingList>(environment);
        list->CreateControl(
            WC_LISTVIEWW, CKRVListCtrl::kRequiredStyle | LVS_SHOWSELALWAYS | WS_VISIBLE | WS_BORDER,
            0, RECT{0, 0, 940, 380}, host.hwnd(), kListId);
        listWindow = list->hwnd();
    }

    void MakeList(ListMode mode, DWORD extendedStyle = 0) {
        runner.Run([&] {
            list->RemoveAllRows();
            list->SetExtendedStyle(extendedStyle, extendedStyle);
            list->SetUpColumns(mode);
        });
    }

    void ShowFolder(const std::wstring& folder, bool waitForStatus = true) {
        runner.Run([&] {
            RedrawGuard drawing(*list);
            list->RemoveAllRows();
            list->AppendEntries(ReadFolderEntries(machine, folder));
            list->Resort();
        });
        if (waitForStatus)
            WaitForStatus();
    }

    // A folder of count files, f0.txt to f<count-1>.txt.
    void AddFiles(const std::wstring& folder, int count) {
        for (int i = 0; i < count; ++i)
            machine.AddFile(folder + L"\\f" + std::to_wstring(i) + L".txt");
    }

    void ClickHeader(int column) {
        runner.Run([&] {
            NMLISTVIEW click{};
            click.hdr.hwndFrom = listWindow;
            click.hdr.idFrom = kListId;
            click.hdr.code = LVN_COLUMNCLICK;
            click.iItem = -1;
            click.iSubItem = column;
            SendMessageW(host.hwnd(), WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&click));
        });
    }

    std::vector<std::wstring> SelectedPaths() {
        std::vector<std::wstring> paths;
        runner.Run([&] {
            for (const ItemRecord* record : list->SelectedRecords())
                paths.push_back(record->path);
        });
        return paths;
    }

    std::wstring FocusedPath() {
        std::wstring path;
        runner.Run([&] {
            if (const ItemRecord* record = list->Record(list->NextItem(-1, LVNI_FOCUSED)))
                path = record->path;
        });
        return path;
    }

    void WaitForStatus() {
        ASSERT_TRUE(h::WaitFor([this] {
            bool pending = true;
            runner.Run([&] { pending = list->StatusPending(); });
            return !pending;
        }));
    }

    void Picture(const std::wstring& name) { h::SaveScreenshot(host.hwnd(), name); }

    std::vector<std::wstring> Column(int column) {
        std::vector<std::wstring> texts;
        for (int row = 0; row < h::ListViewRowCount(listWindow); ++row)
            texts.push_back(h::ListViewText(listWindow, row, column));
        return texts;
    }

    // Pixels of a colour in a band of the list's client area.
    int CountPixels(COLORREF colour, int top, int bottom) {
        int count = 0;
        runner.Run([&] {
            count = CountClientPixels(listWindow, [&](COLORREF pixel, int, int y) {
                return pixel == colour && y >= top && y < bottom;
            });
        });
        return count;
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    AppState state;
    ExtensionIconCache icons;
    bool themed = false;
    ListEnvironment environment;
    std::unique_ptr<GdiplusSession> pictures;
    std::unique_ptr<Gdiplus::Bitmap> allowed, readOnly, denied, owner;
    ListHost host;
    h::UiRunner runner;
    std::unique_ptr<DrawNotingList> list;
    std::atomic<HWND> listWindow{nullptr};
    std::unique_ptr<h::UiThread> ui;
};

TEST_F(ListsTest, BrowseListShowsColumnsRowsAndTheirStatus) {
    MakeList(ListMode::kBrowse);
    EXPECT_EQ(
        h::ListViewColumnTitles(listWindow),
        (std::vector<std::wstring>{L"Name", L"Type", L"Date created",
                                   L"Access rights of current user", L"Owner", L"File system"}));
    std::vector<int> order;
    runner.Run([&] { order = list->ColumnOrder(); });
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 5, 3, 4}));

    ShowFolder(L"C:\\Data");
    // Folders first, then files, each by name.
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"Music", L"Photos", L"a.bmp", L"notes.txt",
                                                    L"secret.txt"}));
    EXPECT_EQ(Column(4), (std::vector<std::wstring>{L"Administrators", L"Bob", L"Administrators",
                                                    L"Administrators", L"Bob"}));
    EXPECT_EQ(Column(3), (std::vector<std::wstring>{L"Allowed", L"Allowed", L"Allowed",
                                                    L"Read Only", L"Denied"}));
    EXPECT_EQ(Column(5), std::vector<std::wstring>(5, L"NTFS"));
    for (const auto& date : Column(2))
        EXPECT_EQ(date.size(), 16u) << ToUtf8(date);  // "%Y-%m-%d %H:%M"
    Picture(L"lists-browse");
}

// LVS_OWNERDRAWFIXED is set after the list is made; the list asks its row
// height (WM_MEASUREITEM) only at creation and when its position changes,
// so the set-up moves it: rows are as high as the list's metrics say (25
// pixels at 96 DPI), after a font change too.
TEST_F(ListsTest, OwnerDrawnRowsTakeTheirHeightThoughTheStyleCameLate) {
    MakeList(ListMode::kBrowse);
    ShowFolder(L"C:\\Data");
    int height = 0;
    int expected = 0;
    runner.Run([&] {
        const RECT bounds = list->ItemRect(0);
        height = bounds.bottom - bounds.top;
        expected = ListMetricsForDpi(list->Dpi()).rowHeight;
    });
    EXPECT_EQ(height, expected);
    runner.Run([&] {
        SendMessageW(listWindow, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        const RECT bounds = list->ItemRect(0);
        height = bounds.bottom - bounds.top;
    });
    EXPECT_EQ(height, expected);
}

// Refreshing a row reads its status cells on the background filler: a SID
// look-up on the window thread can block it for seconds where a domain
// cannot be reached.
TEST_F(ListsTest, RefreshingARowLooksNothingUpOnTheWindowThread) {
    MakeList(ListMode::kBrowse);
    ShowFolder(L"C:\\Data");
    DWORD windowThread = 0;
    runner.Run([&] { windowThread = GetCurrentThreadId(); });
    std::atomic<int> onWindowThread{0};
    machine.SetCallHook([&](sim::Call call, const std::wstring&) {
        if ((call == sim::Call::kLookupAccountSid || call == sim::Call::kGetFileSecurity) &&
            GetCurrentThreadId() == windowThread)
            ++onWindowThread;
    });
    machine.SetSecurity(L"C:\\Data\\notes.txt", L"O:SYD:(A;;FA;;;WD)");
    runner.Run([&] {
        for (int row = 0; row < h::ListViewRowCount(listWindow); ++row)
            list->RefreshRow(row, false);
    });
    WaitForStatus();
    machine.SetCallHook(nullptr);
    EXPECT_EQ(onWindowThread.load(), 0);
    EXPECT_EQ(Column(4)[3], L"SYSTEM");
    EXPECT_EQ(Column(3)[3], L"Allowed");
}

TEST_F(ListsTest, HeaderClicksSortAndFlip) {
    MakeList(ListMode::kBrowse);
    ShowFolder(L"C:\\Data");
    auto clickHeader = [&](int column) { ClickHeader(column); };
    clickHeader(0);  // the current column: now descending
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"secret.txt", L"notes.txt", L"a.bmp",
                                                    L"Photos", L"Music"}));
    clickHeader(0);
    EXPECT_EQ(Column(0).front(), L"Music");
    // The owner column is one of the last two: names only, no groups.
    clickHeader(4);
    auto owners = Column(4);
    EXPECT_TRUE(std::is_sorted(owners.begin(), owners.end(),
                               [](const std::wstring& a, const std::wstring& b) {
                                   return lstrcmpW(a.c_str(), b.c_str()) < 0;
                               }));
    Picture(L"lists-sorted-by-owner");
}

TEST_F(ListsTest, EmptyFolderTextOnlyInTheBrowseList) {
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    MakeList(ListMode::kBrowse);
    ShowFolder(L"C:\\Empty");
    EXPECT_EQ(h::ListViewRowCount(listWindow), 0);
    EXPECT_GT(CountPixels(grey, 50, 75), 20);
    EXPECT_EQ(CountPixels(grey, 0, 45), 0);  // 50 pixels below the top
    Picture(L"lists-empty-folder");

    MakeList(ListMode::kEdit);
    EXPECT_EQ(CountPixels(grey, 50, 75), 0);
}

TEST_F(ListsTest, MissingItemShowsQuestionMarksOnYellow) {
    MakeList(ListMode::kEdit);
    int row = -1;
    runner.Run([&] { row = list->AppendRow(L"C:\\Data\\notes.txt"); });
    WaitForStatus();
    machine.Remove(L"C:\\Data\\notes.txt");
    int32_t kind = 0;
    int32_t access = 0;
    // The refresh reads the row on the background filler.
    runner.Run([&] { list->RefreshRow(row, true); });
    WaitForStatus();
    runner.Run([&] {
        kind = list->Record(row)->kind;
        access = list->Record(row)->access;
    });
    EXPECT_EQ(kind, -kKindFile);
    EXPECT_EQ(access, kAccessUnknown);
    EXPECT_EQ(h::ListViewText(listWindow, row, 3), L"???");
    EXPECT_EQ(h::ListViewText(listWindow, row, 4), L"???");
    EXPECT_EQ(h::ListViewText(listWindow, row, 5), L"C:\\Data");
    EXPECT_GT(CountPixels(RGB(255, 243, 197), 0, 200), 500);
    Picture(L"lists-missing-item");

    // A drive root cannot be marked missing.
    runner.Run([&] {
        row = list->AppendRow(L"Q:\\");
        list->RefreshRow(row, true);
    });
    WaitForStatus();
    runner.Run([&] { kind = list->Record(row)->kind; });
    EXPECT_EQ(kind, kKindDriveRoot);
    EXPECT_EQ(h::ListViewText(listWindow, row, 3), L"???");
}

TEST_F(ListsTest, RemovingSelectedRowsKeepsTheOthersAndPostsOnce) {
    MakeList(ListMode::kEdit);
    ShowFolder(L"C:\\Data");
    ASSERT_EQ(h::ListViewRowCount(listWindow), 5);
    h::SelectListViewRows(listWindow, {0, 2, 4});
    h::Pump(std::chrono::milliseconds(50));
    const int before = host.statusMessages;
    std::vector<std::wstring> paths;
    runner.Run([&] {
        list->RemoveSelectedRows();
        for (int row = 0; row < list->ItemCount(); ++row)
            paths.push_back(list->Record(row)->path);
    });
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"C:\\Data\\Photos", L"C:\\Data\\notes.txt"}));
    h::Pump(std::chrono::milliseconds(100));
    EXPECT_EQ(host.statusMessages - before, 1);
}

TEST_F(ListsTest, CheckBoxesToggleOnlyInTheirColumn) {
    MakeList(ListMode::kPlain, LVS_EX_CHECKBOXES);
    runner.Run([&] {
        list->AppendRow(L"C:\\Data\\notes.txt");
        list->Record(0)->descriptor = Bytes{1, 2, 3};
    });
    auto click = [&](int x) {
        runner.Run([&] {
            NMITEMACTIVATE activate{};
            activate.hdr.hwndFrom = listWindow;
            activate.hdr.idFrom = kListId;
            activate.hdr.code = NM_CLICK;
            activate.iItem = 0;
            activate.iSubItem = 0;
            const RECT bounds = list->ItemRect(0);
            activate.ptAction = {bounds.left + x, bounds.top + 5};
            SendMessageW(host.hwnd(), WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&activate));
        });
    };
    auto checked = [&] {
        bool value = false;
        runner.Run([&] { value = list->IsChecked(0); });
        return value;
    };
    EXPECT_FALSE(checked());
    // The box is drawn inside the row (window-coloured with a sunken edge).
    int boxPixels = 0;
    runner.Run([&] {
        const RECT bounds = list->ItemRect(0);
        const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
        boxPixels = CountClientPixels(listWindow, [&](COLORREF c, int x, int y) {
            return x < bounds.left + 20 && y > bounds.top && y < bounds.bottom && c == shadow;
        });
    });
    EXPECT_GT(boxPixels, 10);
    click(10);
    EXPECT_TRUE(checked());
    click(60);  // on the name
    EXPECT_TRUE(checked());
    click(24);
    EXPECT_FALSE(checked());
    // Space toggles the selected rows' boxes.
    h::SelectListViewRows(listWindow, {0});
    auto space = [&] {
        runner.Run([&] {
            NMLVKEYDOWN key{};
            key.hdr.hwndFrom = listWindow;
            key.hdr.idFrom = kListId;
            key.hdr.code = LVN_KEYDOWN;
            key.wVKey = VK_SPACE;
            SendMessageW(host.hwnd(), WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&key));
        });
    };
    space();
    EXPECT_TRUE(checked());
    Picture(L"lists-check-boxes");
    space();
    EXPECT_FALSE(checked());
}

TEST_F(ListsTest, RowsAppearAtOnceAndStatusCellsFollowWhileTheWindowAnswers) {
    MakeList(ListMode::kBrowse);
    for (int i = 0; i < 60; ++i)
        machine.AddFile(L"C:\\Slow\\f" + std::to_wstring(i) + L".txt");
    // Reading the last row's owner is slow (a domain look-up, say): it
    // waits until the test has looked at the rows.
    std::atomic<bool> release{false};
    machine.SetCallHook([&](sim::Call call, const std::wstring& path) {
        if (call == sim::Call::kGetNamedSecurityInfo && path == L"C:\\Slow\\f9.txt")
            for (int i = 0; i < 2000 && !release; ++i)
                Sleep(5);
    });
    bool pendingAfterFill = false;
    runner.Run([&] {
        for (const auto& path : ListFolderPaths(machine, L"C:\\Slow"))
            list->AppendRow(path);
        pendingAfterFill = list->StatusPending();
    });
    // The rows are there, the slow row's status cells not yet, and the
    // window answers.
    EXPECT_TRUE(pendingAfterFill);
    EXPECT_EQ(h::ListViewRowCount(listWindow), 60);
    int slowRow = -1;
    runner.Run([&] {
        for (int row = 0; row < list->ItemCount(); ++row)
            if (list->Record(row)->path == L"C:\\Slow\\f9.txt")
                slowRow = row;
    });
    ASSERT_GE(slowRow, 0);
    EXPECT_EQ(h::ListViewText(listWindow, slowRow, 4), L"");
    EXPECT_EQ(h::ListViewText(listWindow, slowRow, 3), L"");
    EXPECT_EQ(h::ListViewText(listWindow, slowRow, 5), L"NTFS");
    release = true;
    WaitForStatus();
    EXPECT_EQ(Column(4), std::vector<std::wstring>(60, L"Administrators"));
    EXPECT_EQ(Column(3), std::vector<std::wstring>(60, L"Allowed"));
    machine.SetCallHook(nullptr);
}

// Scrolled to the end of 10,000 rows at once, the rows drawn there show
// their status long before the rest: the filler reads the rows in view
// first (every other row is slowed down here so that the order shows).
TEST_F(ListsTest, RowsScrolledToTheEndOfALargeFolderShowTheirStatusFirst) {
    MakeList(ListMode::kBrowse);
    AddFiles(L"C:\\Big", 10'000);
    std::atomic<bool> slow{true};
    machine.SetCallHook([&](sim::Call call, const std::wstring& path) {
        if (slow && call == sim::Call::kGetNamedSecurityInfo && path.rfind(L"C:\\Big\\", 0) == 0 &&
            path.rfind(L"C:\\Big\\f99", 0) != 0)
            Sleep(2);
    });
    ShowFolder(L"C:\\Big", false);
    int last = 0;
    runner.Run([&] {
        last = list->ItemCount() - 1;
        list->EnsureVisible(last);
        UpdateWindow(listWindow);
    });
    ASSERT_EQ(last, 9'999);
    // Sorted by name: the last page holds names beginning "f99", unslowed.
    EXPECT_EQ(h::ListViewText(listWindow, last, 0), L"f9999.txt");
    ASSERT_TRUE(h::WaitFor([&] {
        bool shown = true;
        runner.Run([&] {
            for (int row = list->RowsInView().first; row <= last && shown; ++row)
                shown = list->CellText(row, kColumnOwner) == L"Administrators" &&
                        list->CellText(row, kColumnAccess) == L"Allowed";
        });
        return shown;
    }));
    bool pending = false;
    int top = 0;
    runner.Run([&] {
        pending = list->StatusPending();
        top = list->RowsInView().first;
    });
    EXPECT_TRUE(pending) << "every row was read before the rows in view";
    EXPECT_GT(top, 9'900);
    Picture(L"lists-end-of-10000-rows");
    slow = false;
    runner.Run([&] { list->RemoveAllRows(); });
    machine.SetCallHook(nullptr);
}

// A header click sorts the model; the selection and the focus stay on the
// same items though an owner-data list keeps them by position.
TEST_F(ListsTest, SortingALargeListKeepsTheSelectionOnTheSameItems) {
    MakeList(ListMode::kBrowse);
    AddFiles(L"C:\\Many", 3'000);
    ShowFolder(L"C:\\Many");
    h::SelectListViewRows(listWindow, {0, 17, 1'500, 2'999});
    runner.Run([&] { list->SetItemState(17, LVIS_FOCUSED, LVIS_FOCUSED); });
    const std::vector<std::wstring> selected = SelectedPaths();
    ASSERT_EQ(selected.size(), 4u);
    const std::wstring focused = FocusedPath();
    ClickHeader(0);  // descending by name
    EXPECT_EQ(h::ListViewText(listWindow, 0, 0), L"f999.txt");
    std::vector<std::wstring> after = SelectedPaths();
    EXPECT_EQ(std::set<std::wstring>(after.begin(), after.end()),
              std::set<std::wstring>(selected.begin(), selected.end()));
    EXPECT_EQ(FocusedPath(), focused);
    // Commands take the selected rows in ascending row order: the new order.
    std::vector<int> rows = h::ListViewSelectedRows(listWindow);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(
        h::ListViewText(listWindow, rows[0], 0) + L" " + h::ListViewText(listWindow, rows[3], 0),
        FileNameOfPath(selected[3]) + L" " + FileNameOfPath(selected[0]));
}

// Removing a block of rows from the Edit Mode list: the rows after it move
// up with their status, and a result for a moved row lands on that row.
TEST_F(ListsTest, RemovingABlockOfSelectedRowsInEditMode) {
    MakeList(ListMode::kEdit);
    AddFiles(L"C:\\Gathered", 1'000);
    ShowFolder(L"C:\\Gathered");
    std::vector<int> block;
    for (int row = 100; row < 400; ++row)
        block.push_back(row);
    h::SelectListViewRows(listWindow, block);
    const std::wstring afterBlock = h::ListViewText(listWindow, 400, 0);
    h::Pump(std::chrono::milliseconds(50));
    const int before = host.statusMessages;
    runner.Run([&] { list->RemoveSelectedRows(); });
    EXPECT_EQ(h::ListViewRowCount(listWindow), 700);
    EXPECT_TRUE(h::ListViewSelectedRows(listWindow).empty());
    EXPECT_EQ(h::ListViewText(listWindow, 100, 0), afterBlock);
    EXPECT_EQ(h::ListViewText(listWindow, 100, 4), L"Administrators");
    std::wstring path;
    runner.Run([&] { path = list->Record(100)->path; });
    machine.SetSecurity(path, L"O:SYD:(A;;FA;;;WD)");
    runner.Run([&] { list->RefreshRow(100, false); });
    WaitForStatus();
    EXPECT_EQ(h::ListViewText(listWindow, 100, 4), L"SYSTEM");
    EXPECT_EQ(h::ListViewText(listWindow, 99, 4), L"Administrators");
    h::Pump(std::chrono::milliseconds(100));
    EXPECT_EQ(host.statusMessages - before, 1);
}

// A refreshed row's new status repaints that row and no other.
TEST_F(ListsTest, RefreshingOneRowRepaintsOnlyThatRow) {
    MakeList(ListMode::kBrowse);
    ShowFolder(L"C:\\Data");
    const int row = 3;
    ASSERT_EQ(h::ListViewText(listWindow, row, 0), L"notes.txt");
    machine.SetSecurity(L"C:\\Data\\notes.txt", L"O:SYD:(A;;FA;;;WD)");
    runner.Run([&] {
        UpdateWindow(listWindow);
        list->drawnRows.clear();
        list->RefreshRow(row, false);
    });
    WaitForStatus();
    std::vector<UINT> drawn;
    runner.Run([&] {
        UpdateWindow(listWindow);
        drawn = list->drawnRows;
    });
    EXPECT_EQ(h::ListViewText(listWindow, row, 4), L"SYSTEM");
    ASSERT_FALSE(drawn.empty());
    for (UINT item : drawn)
        EXPECT_EQ(item, static_cast<UINT>(row));
}

std::vector<std::wstring> ManyFiles(sim::SimPlatform& machine, int count) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back(L"C:\\Drop\\f" + std::to_wstring(i) + L".txt");
        machine.AddFile(paths.back());
    }
    return paths;
}

TEST_F(ListsTest, DroppingMoreThan300FilesShowsTheWaitWindow) {
    MakeList(ListMode::kEdit);
    const auto paths = ManyFiles(machine, 301);
    // The reading of the dropped items waits (a few seconds at most) until
    // the wait window has been photographed, so that the picture shows it
    // however fast the reading is; the window thread keeps answering
    // messages meanwhile.
    auto photographed = std::make_shared<std::atomic<bool>>(false);
    machine.SetCallHook([photographed](sim::Call, const std::wstring& path) {
        if (path.rfind(L"C:\\Drop\\", 0) != 0)
            return;
        for (int waited = 0; waited < 3000 && !photographed->load(); ++waited)
            Sleep(1);
    });
    std::atomic<bool> done{false};
    runner.Start([&] {
        list->AddDroppedPaths(paths);
        done = true;
    });
    HWND wait = ui->WaitForWindow(L"Please Wait...");
    EXPECT_NE(wait, nullptr);
    if (wait != nullptr) {
        EXPECT_NE(h::FindControl(wait, IDC_WORKING_PROGRESS), nullptr);
        h::Pump(h::milliseconds(300));  // its first paint and a step of its animation
        h::SaveScreenshot(wait, L"lists-please-wait");
    }
    *photographed = true;
    ASSERT_TRUE(h::WaitFor([&] { return done.load(); }));
    EXPECT_EQ(h::ListViewRowCount(listWindow), 301);
    EXPECT_EQ(h::ListViewSelectedRows(listWindow).size(), 301u);
    WaitForStatus();
    EXPECT_EQ(h::ListViewText(listWindow, 300, 0), L"f300.txt");
    machine.SetCallHook(nullptr);
}

TEST_F(ListsTest, DroppingUpTo300FilesAddsThemAtOnce) {
    MakeList(ListMode::kEdit);
    const auto paths = ManyFiles(machine, 300);
    runner.Run([&] { list->AddDroppedPaths(paths); });
    EXPECT_EQ(h::ListViewRowCount(listWindow), 300);
}

TEST_F(ListsTest, DroppingFromANonNtfsVolumeAddsNothing) {
    MakeList(ListMode::kEdit);
    std::atomic<bool> done{false};
    runner.Start([&] {
        list->AddDroppedPaths({L"E:\\stick.txt", L"C:\\Data\\notes.txt"});
        done = true;
    });
    HWND box = ui->WaitForWindow(L"Velmora");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(h::FindControl(box, 0xFFFF), nullptr);
    EXPECT_EQ(h::WindowText(h::FindControl(box, 0xFFFF)),
              L"This operation only applies to objects in NTFS file systems.");
    h::SendMenuCommand(box, IDOK);
    ASSERT_TRUE(h::WaitFor([&] { return done.load(); }));
    EXPECT_EQ(h::ListViewRowCount(listWindow), 0);
}

}  // namespace
}  // namespace vm
