// Loading the demonstration machine (resources/demo/demo-machine.txt), as the
// demonstration program does at every start, against building the same
// objects through the simulator's own calls; and writing it back, as it does
// at exit.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "platform/sim/MachineFile.h"

namespace {

using vm::sim::SimPlatform;

const std::string& DemoText() {
    static const std::string text = [] {
        std::string here = __FILE__;
        std::ifstream in(here.substr(0, here.rfind("bench/")) + "resources/demo/demo-machine.txt",
                         std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }();
    return text;
}

void BM_LoadDemoMachine(benchmark::State& state) {
    const std::string& text = DemoText();
    for (auto _ : state) {
        vm::sim::MachineLoad load = vm::sim::LoadMachine(text);
        if (!load.ok())
            state.SkipWithError("the demonstration machine does not load");
        benchmark::DoNotOptimize(load.machine.get());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_LoadDemoMachine)->Unit(benchmark::kMillisecond);

// The reference: the same volumes and objects made with AddVolume, AddFolder,
// AddFile and AddJunction and given their security, attributes and times,
// with no text to read.
void BM_BuildSameObjectsDirectly(benchmark::State& state) {
    vm::sim::MachineLoad load = vm::sim::LoadMachine(DemoText());
    auto volumes = load.machine->Volumes();
    auto objects = load.machine->Objects();
    using Kind = SimPlatform::ObjectKind;
    for (auto _ : state) {
        SimPlatform machine;
        for (const auto& volume : volumes)
            machine.AddVolume(volume.letter, volume.fileSystem);
        for (const auto& object : objects) {
            if (object.path.size() > 3) {
                if (object.kind == Kind::kFolder)
                    machine.AddFolder(object.path);
                else if (object.kind == Kind::kFile)
                    machine.AddFile(object.path, L"", object.size);
                else
                    machine.AddJunction(object.path, object.junctionTarget);
            }
            if (object.security)
                machine.SetSecurity(object.path, *object.security);
            machine.SetAttributes(object.path, object.attributes);
            machine.SetTimes(object.path, object.creationTime, object.lastWriteTime);
        }
        benchmark::DoNotOptimize(machine.Exists(L"C:\\Windows"));
    }
    state.counters["objects"] = static_cast<double>(objects.size());
}
BENCHMARK(BM_BuildSameObjectsDirectly)->Unit(benchmark::kMillisecond);

void BM_SaveDemoMachine(benchmark::State& state) {
    vm::sim::MachineLoad load = vm::sim::LoadMachine(DemoText());
    for (auto _ : state)
        benchmark::DoNotOptimize(vm::sim::SaveMachine(*load.machine));
}
BENCHMARK(BM_SaveDemoMachine)->Unit(benchmark::kMillisecond);

}  // namespace
