// Engine costs on the simulated machine, counted in platform calls:
// - GetAccessLevel on DACLs of 4, 16 and 64 entries (half as many distinct
//   trustees as entries), alone and within a list fill that shares resolved
//   names across its rows;
// - propagation over 10,000 and 100,000 entries in both modes; calls per
//   entry must not grow with the size of the tree.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/Reporter.h"
#include "platform/sim/SimPlatform.h"
#include "security/AccessEvaluation.h"
#include "security/Engine.h"
#include "security/Propagation.h"

namespace vm {
namespace {

using sim::Call;

constexpr int kRowsPerFill = 100;

// A file whose DACL has `entries` entries over entries / 2 local groups
// (Alice belongs to the first), plus one entry for Alice herself.
std::wstring DaclOfSize(sim::SimPlatform& machine, int entries) {
    std::wstring dacl = L"D:(A;;FR;;;" + machine.SidOf(L"Alice").ToString() + L")";
    for (int i = 1; i < entries; ++i) {
        std::wstring group = L"G" + std::to_wstring(i % (entries / 2));
        if (!machine.FindAccount(group)) {
            machine.AddLocalGroup(group);
            if (i == 1)
                machine.AddToGroup(L"Alice", group);
        }
        dacl += L"(A;;0x1201BF;;;" + machine.SidOf(group).ToString() + L")";
    }
    return dacl;
}

void SetPerItemCounters(benchmark::State& state, sim::SimPlatform& machine, double items) {
    state.counters["calls_per_item"] = static_cast<double>(machine.TotalCalls()) / items;
    state.counters["sid_lookups_per_item"] =
        static_cast<double>(machine.CallCount(Call::kLookupAccountSid)) / items;
    state.counters["name_lookups_per_item"] =
        static_cast<double>(machine.CallCount(Call::kLookupAccountName)) / items;
    state.SetItemsProcessed(static_cast<int64_t>(items));
}

void BM_GetAccessLevel(benchmark::State& state) {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    int entries = static_cast<int>(state.range(0));
    machine.AddFile(L"C:\\f.txt", L"O:BA" + DaclOfSize(machine, entries));
    UserIdentity alice{L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
    machine.ResetCounters();
    for (auto _ : state)
        benchmark::DoNotOptimize(GetAccessLevel(machine, alice, L"C:\\f.txt"));
    SetPerItemCounters(state, machine, static_cast<double>(state.iterations()));
    state.counters["entries"] = entries;
}
BENCHMARK(BM_GetAccessLevel)->Arg(4)->Arg(16)->Arg(64);

// One list fill of 100 rows with the same trustees, names shared by the fill.
void BM_GetAccessLevelListFill(benchmark::State& state) {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    int entries = static_cast<int>(state.range(0));
    std::wstring dacl = DaclOfSize(machine, entries);
    for (int row = 0; row < kRowsPerFill; ++row)
        machine.AddFile(L"C:\\r" + std::to_wstring(row), L"O:BA" + dacl);
    UserIdentity alice{L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
    machine.ResetCounters();
    for (auto _ : state) {
        SidNameCache fill;
        for (int row = 0; row < kRowsPerFill; ++row) {
            benchmark::DoNotOptimize(
                GetAccessLevel(machine, alice, L"C:\\r" + std::to_wstring(row), &fill));
        }
    }
    SetPerItemCounters(state, machine, static_cast<double>(state.iterations()) * kRowsPerFill);
    state.counters["entries"] = entries;
}
BENCHMARK(BM_GetAccessLevelListFill)->Arg(4)->Arg(16)->Arg(64);

class NoWindow final : public PropagationObserver {
  public:
    void Counted(int32_t, int32_t) override {}
    void ApplyingStarted() override {}
    void EntryStarted(const std::wstring&) override {}
    void EntryDone(int32_t, int32_t) override {}
    void NotReached(const std::vector<std::wstring>&) override {}
    void Finished() override {}
};

// A tree of folders of 100 files each (every folder also an entry), two
// levels deep, with explicit entries on every file.
void BuildTree(sim::SimPlatform& machine, int entries) {
    machine.AddVolume(L'C', L"NTFS");
    machine.AddFolder(L"C:\\T", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
    constexpr int kFilesPerFolder = 100;
    int made = 0;
    for (int folder = 0; made < entries; ++folder) {
        std::wstring folderPath =
            L"C:\\T\\d" + std::to_wstring(folder / 10) + L"\\e" + std::to_wstring(folder % 10);
        machine.AddFolder(folderPath, L"O:BAD:(A;OICI;FA;;;BA)");
        made += folder % 10 == 0 ? 2 : 1;  // the "d" folder too, once
        for (int file = 0; file < kFilesPerFolder && made < entries; ++file, ++made)
            machine.AddFile(folderPath + L"\\f" + std::to_wstring(file), L"O:BAD:(A;;FA;;;WD)");
    }
}

void BM_Propagation(benchmark::State& state) {
    int entries = static_cast<int>(state.range(0));
    auto mode = static_cast<PropagationMode>(state.range(1));
    sim::SimPlatform machine;
    BuildTree(machine, entries);
    SilentReporter reporter;
    Engine engine(machine, reporter);
    NoWindow observer;
    machine.ResetCounters();
    int32_t total = 0;
    for (auto _ : state) {
        PropagationRun run;
        run.folder = L"C:\\T";
        run.mode = mode;
        RunPropagation(engine, run, observer);
        total = run.total;
    }
    SetPerItemCounters(state, machine, static_cast<double>(state.iterations()) * total);
    state.counters["objects_touched_per_item"] = static_cast<double>(machine.ObjectsTouched()) /
                                                 (static_cast<double>(state.iterations()) * total);
    state.counters["entries"] = total;
}
BENCHMARK(BM_Propagation)
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Args({10000, 2})
    ->Args({100000, 2})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vm
