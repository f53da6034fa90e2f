// The simulated machine's own speed on a tree of 100,000 entries (1,000
// folders of 99 files under one top folder): building it, walking it as the
// engine does (list every folder, read every descriptor), and one DACL write
// that propagates through all of it. Later benchmarks of the engine should
// spend their time in the engine, not here.
#include <benchmark/benchmark.h>

#include <deque>
#include <string>

#include "platform/sim/SimPlatform.h"
#include "security/Sddl.h"

namespace {

constexpr int kFolders = 1000;
constexpr int kFilesPerFolder = 99;
constexpr int64_t kEntries = kFolders * (kFilesPerFolder + 1);
const wchar_t* const kTop = L"C:\\Tree";

void BuildTree(vm::sim::SimPlatform& machine) {
    machine.AddVolume(L'C', L"NTFS");
    machine.AddFolder(kTop, L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)");
    for (int f = 0; f < kFolders; ++f) {
        std::wstring folder = std::wstring(kTop) + L"\\Folder" + std::to_wstring(f);
        machine.AddFolder(folder);
        for (int i = 0; i < kFilesPerFolder; ++i)
            machine.AddFile(folder + L"\\file" + std::to_wstring(i) + L".dat");
    }
}

void BM_BuildTree(benchmark::State& state) {
    for (auto _ : state) {
        vm::sim::SimPlatform machine;
        BuildTree(machine);
        benchmark::DoNotOptimize(machine.Exists(kTop));
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMillisecond);

// Breadth-first: list each folder, read the DACL descriptor of each entry.
void BM_WalkTree(benchmark::State& state) {
    vm::sim::SimPlatform machine;
    BuildTree(machine);
    for (auto _ : state) {
        int64_t seen = 0;
        std::deque<std::wstring> queue{kTop};
        while (!queue.empty()) {
            std::wstring folder = queue.front();
            queue.pop_front();
            auto entries = machine.FindFiles(folder + L"\\*.*");
            if (!entries.ok())
                continue;
            for (const auto& entry : *entries) {
                if (entry.name == L"." || entry.name == L"..")
                    continue;
                std::wstring path = folder + L"\\" + entry.name;
                benchmark::DoNotOptimize(machine.GetFileSecurity(path, vm::secinfo::kDacl));
                if (entry.attributes & vm::attr::kDirectory)
                    queue.push_back(path);
                ++seen;
            }
        }
        if (seen != kEntries)
            state.SkipWithError("walk did not see every entry");
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_WalkTree)->Unit(benchmark::kMillisecond);

// One SetNamedSecurityInfoW on the top folder rebuilds all 100,000 DACLs.
void BM_Propagation(benchmark::State& state) {
    vm::sim::SimPlatform machine;
    BuildTree(machine);
    auto even = vm::SddlToAcl(L"(A;OICI;FA;;;BA)(A;OICI;GR;;;WD)");
    auto odd = vm::SddlToAcl(L"(A;OICI;FA;;;BA)(A;OICIIO;FA;;;CO)");
    bool flip = false;
    for (auto _ : state) {
        vm::OptionalAcl acl = (flip ? even : odd)->ToBytes();
        flip = !flip;
        auto status = machine.SetNamedSecurityInfo(
            kTop, vm::secinfo::kDacl | vm::secinfo::kProtectedDacl, nullptr, &acl);
        if (!status.ok())
            state.SkipWithError("propagation failed");
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_Propagation)->Unit(benchmark::kMillisecond);

}  // namespace
