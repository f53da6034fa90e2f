// The Browse Mode list of the program filled with 10,000 entries of the
// simulated machine, on a window thread under Windows (or Wine): the time
// per row until the rows show (the window thread's part: listing, adding,
// sorting), until the status cells are filled (background), and the
// platform calls per row, against a plain list view given the same number
// of rows measured in the same run. One line per figure: "name: value unit".
// Run: wbench_list_fill_window.exe (scripts/wine-run under Linux).
#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/AppState.h"
#include "app/BrowsePaths.h"
#include "framework/ListCtrl.h"
#include "harness/Harness.h"
#include "lists/MainList.win32.h"
#include "platform/sim/SimPlatform.h"

namespace h = vm::harness;

namespace vm {
namespace {

constexpr int kRows = 10'000;
constexpr int kListId = 1012;
constexpr h::milliseconds kLongWait{600'000};
constexpr const wchar_t* kFolder = L"C:\\Big";

using Clock = std::chrono::steady_clock;

double MicrosPerRow(Clock::duration elapsed) {
    return std::chrono::duration<double, std::micro>(elapsed).count() / kRows;
}

void Line(const char* name, double value, const char* unit) {
    std::printf("%s: %.2f %s\n", name, value, unit);
}

// The same number of rows and texts in a plain report list view.
Clock::duration FillPlainListView(HWND parent) {
    HWND plain = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 400, 300,
                                 parent, nullptr, nullptr, nullptr);
    for (int c = 0; c < 6; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        SendMessageW(plain, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    const auto start = Clock::now();
    SendMessageW(plain, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kRows; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(L"name");
        const auto row = static_cast<int>(
            SendMessageW(plain, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < 4; ++c) {
            LVITEMW text{};
            text.iSubItem = c;
            text.pszText = const_cast<wchar_t*>(L"text");
            SendMessageW(plain, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&text));
        }
    }
    const auto elapsed = Clock::now() - start;
    DestroyWindow(plain);
    return elapsed;
}

int Run() {
    sim::SimPlatform machine;
    RecordingReporter reporter;
    AppState state(machine, reporter);
    machine.AddVolume(L'C', L"NTFS");
    for (int i = 0; i < kRows; ++i)
        machine.AddFile(std::wstring(kFolder) + L"\\f" + std::to_wstring(i) + L".txt");
    ReadPlatformState(state);
    state.user.CurrentUserGroups = BuildCurrentUserGroups(machine, state.user.CurrentUserName);

    ExtensionIconCache icons;
    bool themed = false;
    ListEnvironment environment;
    environment.state = &state;
    environment.icons = &icons;
    environment.themeActive = &themed;
    CWnd host;
    std::unique_ptr<CMainList> list;
    h::UiRunner runner;
    h::UiThread ui([&] {
        runner.Create();
        host.CreateWindowOfClass(L"Fill", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, RECT{0, 0, 900, 500},
                                 nullptr);
        list = std::make_unique<CMainList>(environment);
        list->CreateControl(WC_LISTVIEWW, LVS_REPORT | WS_VISIBLE, 0, RECT{0, 0, 880, 460},
                            host.hwnd(), kListId);
        list->SetUpColumns(ListMode::kBrowse);
    });
    if (!h::WaitFor([&] { return runner.Created() && list && list->hwnd(); })) {
        std::fprintf(stderr, "the window thread did not start\n");
        return 1;
    }

    machine.ResetCounters();
    Clock::time_point start, shown;
    runner.Run(
        [&] {
            start = Clock::now();
            RedrawGuard drawing(*list);
            const auto entries = ReadFolderEntries(machine, kFolder);
            list->ReserveItems(static_cast<int>(entries.size()));
            for (const auto& entry : entries)
                list->AppendEntry(entry);
            list->Resort();
            shown = Clock::now();
        },
        kLongWait);
    const uint64_t callsBeforeShown = machine.TotalCalls();
    h::WaitFor(
        [&] {
            bool pending = true;
            runner.Run([&] { pending = list->StatusPending(); }, kLongWait);
            return !pending;
        },
        kLongWait);
    const auto filled = Clock::now();
    Clock::duration plain{};
    runner.Run([&] { plain = FillPlainListView(host.hwnd()); }, kLongWait);

    Line("browse_fill_rows_shown", MicrosPerRow(shown - start), "us/row");
    Line("browse_fill_status_filled", MicrosPerRow(filled - start), "us/row");
    Line("plain_list_view_same_rows (reference)", MicrosPerRow(plain), "us/row");
    Line("platform_calls_before_rows_show", static_cast<double>(callsBeforeShown) / kRows,
         "calls/row");
    Line("platform_calls_in_all", static_cast<double>(machine.TotalCalls()) / kRows, "calls/row");
    runner.Run(
        [&] {
            list.reset();
            DestroyWindow(host.hwnd());
        },
        kLongWait);
    return 0;
}

}  // namespace
}  // namespace vm

int main() {
    return vm::Run();
}
