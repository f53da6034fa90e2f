// The Restore window opened on a backup of 10,000 items, on a window thread
// under Windows (or Wine): the window thread's time from creating the window
// until it has painted itself (elapsed, and the thread's own processor time
// as GetThreadTimes counts it), against reading the same file and making its
// rows without a window in the same run. The goal is under 200 ms. One line
// per figure: "name: value unit". Run: wbench_restore_load.exe
// (scripts/wine-run under Linux).
#include "platform/win32/WinApi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/AppContext.win32.h"
#include "backup/BackupFile.h"
#include "backup/RestoreDlg.win32.h"
#include "framework/GdiPlus.h"
#include "harness/Harness.h"
#include "platform/sim/SimPlatform.h"

namespace h = vm::harness;

namespace vm {
namespace {

constexpr int kItems = 10000;
constexpr int kRounds = 5;  // the median of this many openings
constexpr h::milliseconds kLongWait{600'000};

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

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

std::wstring BackupOfManyItems(sim::SimPlatform& machine) {
    machine.AddVolume(L'C', L"NTFS");
    machine.AddFolder(L"C:\\T", L"O:BAD:(A;OICI;FA;;;BA)");
    std::vector<std::wstring> paths;
    for (int i = 0; i < kItems; ++i) {
        paths.push_back(L"C:\\T\\file" + std::to_wstring(i) + (i % 3 ? L".txt" : L".doc"));
        machine.AddFile(paths.back(), i % 2 ? L"O:BAD:P(A;;FA;;;BA)" : L"O:BAD:P(A;;FR;;;BU)");
    }
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"velmora-restore-load.SBAK";
    WriteBackupFile(machine, file, paths, L"2026-12-08 12:00:00");
    return file;
}

int Run() {
    sim::SimPlatform machine;
    RecordingReporter reporter;
    GdiplusSession gdiplus;
    AppState state(machine, reporter);
    AppContext context(state);
    const std::wstring file = BackupOfManyItems(machine);
    ReadPlatformState(state);
    state.user = {L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
    h::UiRunner runner;
    h::UiThread ui([&] {
        InitShellState(context.shell, state.OsVersion);
        BuildExtensionIconCache(context.shell.iconCache);
        runner.Create();
    });
    if (!h::WaitFor([&] { return runner.Created(); })) {
        std::fprintf(stderr, "the window thread did not start\n");
        return 1;
    }

    std::vector<double> opening;
    std::vector<double> openingCpu;
    std::vector<double> rowsAlone;
    int rows = 0;
    for (int round = 0; round < kRounds; ++round) {
        runner.Run(
            [&] {
                const auto start = Clock::now();
                const double cpuStart = ThreadCpuMillis();
                CRestoreDlg* dialog =
                    OpenRestoreWindow(context, nullptr, RestoreMode::kFile, file, {});
                UpdateWindow(dialog->hwnd());
                UpdateWindow(dialog->List().hwnd());
                opening.push_back(Millis(Clock::now() - start));
                openingCpu.push_back(ThreadCpuMillis() - cpuStart);
                rows = dialog->List().ItemCount();
                const auto aloneStart = Clock::now();
                LoadBackupRows(state, file, reporter);
                rowsAlone.push_back(Millis(Clock::now() - aloneStart));
                CloseRestoreWindows();
            },
            kLongWait);
    }
    DeleteFileW(file.c_str());
    if (rows != kItems) {
        std::fprintf(stderr, "the window showed %d rows, not %d\n", rows, kItems);
        return 1;
    }
    Line("restore_window_open_10000_items", Median(opening), "ms");
    Line("restore_window_open_10000_items_thread_cpu", Median(openingCpu), "ms");
    Line("backup_read_and_rows_alone (reference)", Median(rowsAlone), "ms");
    return 0;
}

}  // namespace
}  // namespace vm

int main() {
    return vm::Run();
}
