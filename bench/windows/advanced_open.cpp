// The Advanced Security Settings window opened on a folder whose DACL has
// 200 entries (200 accounts, every entry read, looked up and shown as a
// row), on a window thread under Windows (or Wine): the window thread's time
// from creating the window until it has painted itself (elapsed, and the
// thread's own processor time as GetThreadTimes counts it), against a plain
// report list view given the same rows and texts in the same run, and the
// platform calls the opening makes. The goal is under 100 ms. One line per
// figure: "name: value unit". Run: wbench_advanced_open.exe
// (scripts/wine-run under Linux).
#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "advanced/AdvancedDlg.win32.h"
#include "app/AppContext.win32.h"
#include "framework/GdiPlus.h"
#include "harness/Harness.h"
#include "platform/sim/SimPlatform.h"

namespace h = vm::harness;

namespace vm {
namespace {

constexpr int kEntries = 200;
constexpr int kRounds = 5;  // the median of this many openings
constexpr h::milliseconds kLongWait{600'000};
constexpr const wchar_t* kFolder = L"C:\\Crowded";

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

// The calling thread's processor time (kernel and user), in milliseconds.
double ThreadCpuMillis() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;  // 100 ns units
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Line(const char* name, double value, const char* unit) {
    std::printf("%s: %.2f %s\n", name, value, unit);
}

// A folder whose DACL allows each of 200 accounts one right, in a scope of its own.
void BuildCrowdedFolder(sim::SimPlatform& machine) {
    machine.AddVolume(L'C', L"NTFS");
    std::wstring sddl = L"O:BAD:PAI(A;OICI;FA;;;BA)";
    for (int i = 1; i < kEntries; ++i) {
        const std::wstring sid = machine.AddLocalUser(L"User" + std::to_wstring(i)).ToString();
        sddl += L"(A;" + std::wstring(i % 2 ? L"OICI" : L"CI") + L";0x1200a9;;;" + sid + L")";
    }
    machine.AddFolder(kFolder, sddl);
}

// The same rows and texts in a plain report list view.
Clock::duration FillPlainListView(HWND parent) {
    const auto start = Clock::now();
    HWND plain = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                 700, 400, parent, nullptr, nullptr, nullptr);
    for (int c = 0; c < 7; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        SendMessageW(plain, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(plain, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kEntries; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(L"+");
        const auto row = static_cast<int>(
            SendMessageW(plain, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < 7; ++c) {
            LVITEMW text{};
            text.iSubItem = c;
            text.pszText = const_cast<wchar_t*>(L"text");
            SendMessageW(plain, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&text));
        }
    }
    SendMessageW(plain, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(plain);
    const auto elapsed = Clock::now() - start;
    DestroyWindow(plain);
    return elapsed;
}

int Run() {
    sim::SimPlatform machine;
    RecordingReporter reporter;
    GdiplusSession gdiplus;
    AppState state(machine, reporter);
    AppContext context(state);
    BuildCrowdedFolder(machine);
    ReadPlatformState(state);
    h::UiRunner runner;
    h::UiThread ui([&] {
        InitShellState(context.shell, state.OsVersion);
        runner.Create();
    });
    if (!h::WaitFor([&] { return runner.Created(); })) {
        std::fprintf(stderr, "the window thread did not start\n");
        return 1;
    }

    std::vector<double> opening;
    std::vector<double> openingCpu;
    std::vector<double> plain;
    std::vector<double> reading;
    uint64_t calls = 0;
    int rows = 0;
    for (int round = 0; round < kRounds; ++round) {
        runner.Run(
            [&] {
                machine.ResetCounters();
                const auto start = Clock::now();
                const double cpuStart = ThreadCpuMillis();
                CAdvancedDlg dialog(context, kFolder);
                dialog.CreateModeless(nullptr);
                ShowWindow(dialog.hwnd(), SW_SHOW);
                UpdateWindow(dialog.hwnd());
                UpdateWindow(dialog.List().hwnd());
                opening.push_back(Millis(Clock::now() - start));
                openingCpu.push_back(ThreadCpuMillis() - cpuStart);
                calls = machine.TotalCalls();
                rows = dialog.List().ItemCount();
                plain.push_back(Millis(FillPlainListView(dialog.hwnd())));
                const auto readStart = Clock::now();
                ReadAdvancedSnapshot(machine, kFolder, nullptr, true);
                reading.push_back(Millis(Clock::now() - readStart));
                DestroyWindow(dialog.hwnd());
            },
            kLongWait);
    }
    if (rows != kEntries) {
        std::fprintf(stderr, "the window showed %d rows, not %d\n", rows, kEntries);
        return 1;
    }
    Line("advanced_window_open_200_entries", Median(opening), "ms");
    Line("advanced_window_open_200_entries_thread_cpu", Median(openingCpu), "ms");
    Line("plain_list_view_same_rows (reference)", Median(plain), "ms");
    Line("reading_the_entries_alone", Median(reading), "ms");
    Line("platform_calls_per_opening", static_cast<double>(calls), "calls");
    Line("platform_calls_per_entry", static_cast<double>(calls) / kEntries, "calls/entry");
    return 0;
}

}  // namespace
}  // namespace vm

int main() {
    return vm::Run();
}
