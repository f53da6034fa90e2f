// Filling the Browse Mode list for a folder of 10,000 entries on the
// simulated machine: platform calls per row and time per row, for the part
// the user-interface thread does (listing, kinds) and for the status cells
// (access level and owner), read per row without sharing look-ups and with
// the per-fill caches of the background filler.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "app/BrowsePaths.h"
#include "lists/ItemListModel.h"
#include "lists/RowStatus.h"
#include "platform/sim/SimPlatform.h"
#include "security/AccessEvaluation.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

constexpr int kEntries = 10'000;
constexpr const wchar_t* kFolder = L"C:\\Big";

// 10,000 entries: one folder in ten, the rest files; owners mostly
// Administrators, some the user, some another account; some with explicit
// entries, the rest inheriting.
struct BigFolder {
    sim::SimPlatform machine;
    UserIdentity user;
    std::vector<std::wstring> paths;

    BigFolder() {
        machine.AddVolume(L'C', L"NTFS");
        const std::wstring bob = machine.AddLocalUser(L"Bob").ToString();
        machine.AddFolder(kFolder);
        for (int i = 0; i < kEntries; ++i) {
            const std::wstring path = std::wstring(kFolder) + L"\\entry" + std::to_wstring(i);
            std::wstring sddl;
            if (i % 7 == 0)
                sddl = L"O:" + bob + L"D:(A;;FR;;;BU)(A;;FA;;;BA)";
            else if (i % 5 == 0)
                sddl = L"O:BAD:(D;;FW;;;WD)(A;;FA;;;WD)";
            if (i % 10 == 0)
                machine.AddFolder(path, sddl);
            else
                machine.AddFile(path + L".txt", sddl);
        }
        user.CurrentUserName = L"Alice";
        user.CurrentUserGroups = BuildCurrentUserGroups(machine, L"Alice");
        paths = ListFolderPaths(machine, kFolder);
    }
};

BigFolder& Folder() {
    static BigFolder folder;
    return folder;
}

void ReportPerRow(benchmark::State& state, sim::SimPlatform& machine, size_t rows) {
    const double perRow = static_cast<double>(rows) * static_cast<double>(state.iterations());
    state.counters["calls_per_row"] = static_cast<double>(machine.TotalCalls()) / perRow;
    state.counters["security_reads_per_row"] =
        static_cast<double>(machine.CallCount(sim::Call::kGetFileSecurity) +
                            machine.CallCount(sim::Call::kGetNamedSecurityInfo)) /
        perRow;
    state.counters["sid_lookups_per_row"] =
        static_cast<double>(machine.CallCount(sim::Call::kLookupAccountSid) +
                            machine.CallCount(sim::Call::kLookupAccountName)) /
        perRow;
    state.counters["time_per_row"] =
        benchmark::Counter(perRow, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(static_cast<int64_t>(perRow));
}

// What stays on the window's thread: one listing gives every row's kind and
// times.
void BM_BrowseFill_WindowThreadPart(benchmark::State& state) {
    BigFolder& folder = Folder();
    folder.machine.ResetCounters();
    size_t rows = 0;
    for (auto _ : state) {
        auto entries = ReadFolderEntries(folder.machine, kFolder);
        benchmark::DoNotOptimize(entries.data());
        rows = entries.size();
    }
    ReportPerRow(state, folder.machine, rows);
}
BENCHMARK(BM_BrowseFill_WindowThreadPart)->Unit(benchmark::kMillisecond);

// The window thread's part when each row is asked about again by its path
// (kind and times), as adding single items does.
void BM_BrowseFill_WindowThreadPerPath(benchmark::State& state) {
    BigFolder& folder = Folder();
    folder.machine.ResetCounters();
    size_t rows = 0;
    for (auto _ : state) {
        auto paths = ListFolderPaths(folder.machine, kFolder);
        for (const auto& path : paths)
            benchmark::DoNotOptimize(ReadItemEntry(folder.machine, path));
        rows = paths.size();
    }
    ReportPerRow(state, folder.machine, rows);
}
BENCHMARK(BM_BrowseFill_WindowThreadPerPath)->Unit(benchmark::kMillisecond)->Iterations(1);

// The status cells read row by row with the engine's plain calls, nothing
// shared between rows.
void BM_BrowseFill_StatusPerRowUnshared(benchmark::State& state) {
    BigFolder& folder = Folder();
    folder.machine.ResetCounters();
    for (auto _ : state) {
        for (const auto& path : folder.paths) {
            benchmark::DoNotOptimize(GetAccessLevel(folder.machine, folder.user, path));
            benchmark::DoNotOptimize(GetOwnerName(folder.machine, path));
        }
    }
    ReportPerRow(state, folder.machine, folder.paths.size());
}
BENCHMARK(BM_BrowseFill_StatusPerRowUnshared)->Unit(benchmark::kMillisecond);

// The status cells as the background filler reads them: one reader per
// fill, each SID resolved once.
void BM_BrowseFill_StatusReader(benchmark::State& state) {
    BigFolder& folder = Folder();
    folder.machine.ResetCounters();
    for (auto _ : state) {
        RowStatusReader reader(folder.machine, folder.user);
        uint64_t serial = 0;
        for (const auto& path : folder.paths)
            benchmark::DoNotOptimize(reader.Read({++serial, path, false}));
    }
    ReportPerRow(state, folder.machine, folder.paths.size());
}
BENCHMARK(BM_BrowseFill_StatusReader)->Unit(benchmark::kMillisecond);

// End to end through the worker thread: enqueue every row, take the results
// as a window would on each notification.
void BM_BrowseFill_BackgroundFiller(benchmark::State& state) {
    BigFolder& folder = Folder();
    folder.machine.ResetCounters();
    for (auto _ : state) {
        RowStatusFiller filler(folder.machine, folder.user, [] {});
        std::vector<RowStatusRequest> requests;
        uint64_t serial = 0;
        for (const auto& path : folder.paths)
            requests.push_back({++serial, path, false});
        filler.Enqueue(std::move(requests));
        size_t taken = 0;
        while (taken < folder.paths.size()) {
            taken += filler.TakeResults().size();
            std::this_thread::yield();
        }
    }
    ReportPerRow(state, folder.machine, folder.paths.size());
}
BENCHMARK(BM_BrowseFill_BackgroundFiller)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vm
