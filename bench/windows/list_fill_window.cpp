// The item lists of the program over folders of 10,000 and 100,000 entries
// of the simulated machine, on a window thread under Windows (or Wine):
// - list.fill10k.window_us_per_row: the window thread's time per row until
//   the Browse Mode list shows (listing, adding, sorting), against
//   list.fill10k.plain_listview_us_per_row, a plain report list view given
//   the same names and texts in the same run;
// - list.fill10k.visible_status_ms and list.fill10k.all_status_ms: from the
//   start of the fill until the rows on screen, and then all rows, show
//   owner and access (read in the background);
// - list.sort10k_ms: a re-sort of the shown rows by the owner column, with
//   the repaint;
// - list.fill100k.window_us_per_row, list.fill100k.bytes_per_row (memory
//   the shown list holds per row) and list.fill100k.peak_mb (the
//   process's peak working set, the simulated machine included);
// - list.drop10k_ms: 10,000 dropped paths added to the Edit Mode list
//   (behind the wait window), against the plain list view's insert.
// One line per figure: "name: value unit".
// Run: wbench_list_fill_window.exe (scripts/wine-run under Linux).
#include "platform/win32/WinApi.h"

#include <commctrl.h>
#include <psapi.h>

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
constexpr int kManyRows = 100'000;
constexpr int kBrowseListId = 1012;
constexpr int kEditListId = 1011;
constexpr h::milliseconds kLongWait{600'000};
constexpr const wchar_t* kFolder = L"C:\\Big";
constexpr const wchar_t* kHugeFolder = L"C:\\Huge";
constexpr const wchar_t* kDropFolder = L"C:\\Drop";

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration elapsed) {
    return std::chrono::duration<double, std::micro>(elapsed).count();
}
double Millis(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

void Line(const char* name, double value, const char* unit) {
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

std::wstring FileName(int i) {
    return L"f" + std::to_wstring(i) + L".txt";
}

PROCESS_MEMORY_COUNTERS_EX Memory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    return counters;
}

// The same number of rows in a plain report list view: the name and the
// four texts our list fills on the window thread.
Clock::duration FillPlainListView(HWND parent, int rows) {
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
    for (int i = 0; i < rows; ++i) {
        const std::wstring name = FileName(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        const auto row = static_cast<int>(
            SendMessageW(plain, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c : {1, 2, 5}) {
            LVITEMW text{};
            text.iSubItem = c;
            text.pszText = const_cast<wchar_t*>(L"text");
            SendMessageW(plain, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&text));
        }
    }
    SendMessageW(plain, WM_SETREDRAW, TRUE, 0);
    const auto elapsed = Clock::now() - start;
    DestroyWindow(plain);
    return elapsed;
}

class ListBench {
  public:
    ListBench() : state_(machine_, reporter_) {}

    bool Start() {
        machine_.AddVolume(L'C', L"NTFS");
        machine_.AddLocalUser(L"Bob");
        const std::wstring bob = L"O:" + machine_.SidOf(L"Bob").ToString() + L"D:(A;;FA;;;WD)";
        // Three owners, so that the sort by owner has something to do.
        for (int i = 0; i < kRows; ++i)
            machine_.AddFile(std::wstring(kFolder) + L"\\" + FileName(i),
                             i % 3 == 0 ? bob : std::wstring());
        for (int i = 0; i < kManyRows; ++i)
            machine_.AddFile(std::wstring(kHugeFolder) + L"\\" + FileName(i));
        for (int i = 0; i < kRows; ++i)
            dropped_.push_back(std::wstring(kDropFolder) + L"\\" + FileName(i));
        for (const std::wstring& path : dropped_)
            machine_.AddFile(path);
        ReadPlatformState(state_);
        state_.user.CurrentUserName = L"Alice";
        state_.user.CurrentUserGroups = BuildCurrentUserGroups(machine_, L"Alice");

        environment_.state = &state_;
        environment_.icons = &icons_;
        environment_.themeActive = &themed_;
        ui_ = std::make_unique<h::UiThread>([this] { CreateWindows(); });
        return h::WaitFor([&] { return runner_.Created() && edit_ && edit_->hwnd(); });
    }

    void Stop() {
        runner_.Run(
            [&] {
                browse_.reset();
                edit_.reset();
                DestroyWindow(host_.hwnd());
            },
            kLongWait);
        ui_.reset();
    }

    // The window thread's time to list, add and sort the folder's rows.
    Clock::duration Fill(const wchar_t* folder) {
        Clock::duration elapsed{};
        runner_.Run(
            [&] {
                const auto start = Clock::now();
                RedrawGuard drawing(*browse_);
                browse_->RemoveAllRows();
                browse_->AppendEntries(ReadFolderEntries(machine_, folder));
                browse_->Resort();
                elapsed = Clock::now() - start;
            },
            kLongWait);
        return elapsed;
    }

    // Every row on screen shows owner and access.
    bool VisibleRowsHaveStatus() {
        bool done = false;
        runner_.Run([&] {
            UpdateWindow(browse_->hwnd());
            const CKRVListCtrl::RowRange view = browse_->RowsInView();
            done = true;
            for (int row = view.first; row <= view.last && done; ++row)
                done = !browse_->CellText(row, kColumnOwner).empty() &&
                       !browse_->CellText(row, kColumnAccess).empty();
        });
        return done;
    }

    bool AllRowsHaveStatus() {
        bool pending = true;
        runner_.Run([&] { pending = browse_->StatusPending(); }, kLongWait);
        return !pending;
    }

    void WaitUntil(const std::function<bool()>& condition) { h::WaitFor(condition, kLongWait); }

    Clock::duration SortByOwner() {
        Clock::duration elapsed{};
        runner_.Run([&] {
            const auto start = Clock::now();
            browse_->SortByColumn(kColumnOwner);
            UpdateWindow(browse_->hwnd());
            elapsed = Clock::now() - start;
        });
        return elapsed;
    }

    Clock::duration Drop() {
        Clock::duration elapsed{};
        runner_.Run(
            [&] {
                const auto start = Clock::now();
                edit_->AddDroppedPaths(dropped_);
                elapsed = Clock::now() - start;
            },
            kLongWait);
        return elapsed;
    }

    Clock::duration PlainFill(int rows) {
        Clock::duration elapsed{};
        runner_.Run([&] { elapsed = FillPlainListView(host_.hwnd(), rows); }, kLongWait);
        return elapsed;
    }

    void ClearBrowseList() {
        runner_.Run([&] { browse_->RemoveAllRows(); }, kLongWait);
    }

    sim::SimPlatform& Machine() { return machine_; }
    AppState& State() { return state_; }

  private:
    void CreateWindows() {
        runner_.Create();
        host_.CreateWindowOfClass(L"Fill", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  RECT{0, 0, 900, 500}, nullptr);
        environment_.messageOwner = host_.hwnd();
        browse_ = MakeList(ListMode::kBrowse, kBrowseListId);
        edit_ = MakeList(ListMode::kEdit, kEditListId);
    }

    std::unique_ptr<CMainList> MakeList(ListMode mode, int id) {
        auto list = std::make_unique<CMainList>(environment_);
        list->CreateControl(WC_LISTVIEWW, CKRVListCtrl::kRequiredStyle | WS_VISIBLE, 0,
                            RECT{0, 0, 880, 460}, host_.hwnd(), id);
        list->SetUpColumns(mode);
        return list;
    }

    sim::SimPlatform machine_;
    RecordingReporter reporter_;
    AppState state_;
    ExtensionIconCache icons_;
    bool themed_ = false;
    ListEnvironment environment_;
    std::vector<std::wstring> dropped_;
    CWnd host_;
    std::unique_ptr<CMainList> browse_;
    std::unique_ptr<CMainList> edit_;
    h::UiRunner runner_;
    std::unique_ptr<h::UiThread> ui_;
};

// The background reader's own speed, on this thread with no window: what
// the status figures can at best be.
double ReaderMicrosPerRow(ListBench& bench, AppState& state) {
    const auto entries = ReadFolderEntries(bench.Machine(), kFolder);
    RowStatusReader reader(bench.Machine(), state.user);
    const auto start = Clock::now();
    for (const FolderEntry& entry : entries)
        reader.Read(RowStatusRequest{0, entry.path, false});
    return Micros(Clock::now() - start) / static_cast<double>(entries.size());
}

int Run(bool quick) {
    ListBench bench;
    if (!bench.Start()) {
        std::fprintf(stderr, "the window thread did not start\n");
        return 1;
    }

    bench.Machine().ResetCounters();
    const auto start = Clock::now();
    const auto window = bench.Fill(kFolder);
    const uint64_t callsBeforeShown = bench.Machine().TotalCalls();
    bench.WaitUntil([&] { return bench.VisibleRowsHaveStatus(); });
    const auto visible = Clock::now() - start;
    bench.WaitUntil([&] { return bench.AllRowsHaveStatus(); });
    const auto all = Clock::now() - start;
    const auto plain = bench.PlainFill(kRows);
    Line("list.fill10k.window_us_per_row", Micros(window) / kRows, "us/row");
    Line("list.fill10k.plain_listview_us_per_row (reference)", Micros(plain) / kRows, "us/row");
    Line("list.fill10k.visible_status_ms", Millis(visible), "ms");
    Line("list.fill10k.all_status_ms", Millis(all), "ms");
    Line("list.fill10k.window_platform_calls_per_row",
         static_cast<double>(callsBeforeShown) / kRows, "calls/row");
    Line("list.fill10k.platform_calls_per_row",
         static_cast<double>(bench.Machine().TotalCalls()) / kRows, "calls/row");
    Line("list.sort10k_ms", Millis(bench.SortByOwner()), "ms");
    Line("list.status_reader_us_per_row (reference)", ReaderMicrosPerRow(bench, bench.State()),
         "us/row");
    if (quick) {
        bench.Stop();
        return 0;
    }

    bench.ClearBrowseList();
    // The commit charge the list's rows add (the working set where the
    // system reports no commit charge).
    auto used = [] {
        const auto memory = Memory();
        return memory.PagefileUsage != 0 ? memory.PagefileUsage : memory.WorkingSetSize;
    };
    const SIZE_T before = used();
    const auto huge = bench.Fill(kHugeFolder);
    const SIZE_T after = used();
    bench.WaitUntil([&] { return bench.AllRowsHaveStatus(); });
    Line("list.fill100k.window_us_per_row", Micros(huge) / kManyRows, "us/row");
    Line("list.fill100k.bytes_per_row",
         static_cast<double>(after > before ? after - before : 0) / kManyRows, "bytes/row");
    Line("list.fill100k.peak_mb",
         static_cast<double>(Memory().PeakWorkingSetSize) / (1024.0 * 1024.0), "MB");
    bench.ClearBrowseList();

    const auto drop = bench.Drop();
    Line("list.drop10k_ms", Millis(drop), "ms");
    Line("list.drop10k.plain_listview_ms (reference)", Millis(bench.PlainFill(kRows)), "ms");
    bench.Stop();
    return 0;
}

}  // namespace
}  // namespace vm

// "quick": the 10,000-row figures only.
int main(int argc, char** argv) {
    return vm::Run(argc > 1 && std::string(argv[1]) == "quick");
}
