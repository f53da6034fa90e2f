// What "Replace all child object permissions with inheritable permissions"
// (propagation mode 1) costs on Windows, counted on the simulated machine as
// objects whose security is written (a named DACL write rewrites its whole
// subtree, which a count of calls hides) and as platform calls, per entry,
// for trees of 10,000 and 100,000 entries. Measured: each subfolder of the
// folder reset with its subtree by one tree call (TreeResetNamedSecurityInfoW).
// Reference, in the same run: one SetNamedSecurityInfoW reset per entry, as
// the walk does where the system lacks the tree call.
// Prints one "name: value unit" line per figure.
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "platform/Reporter.h"
#include "platform/sim/SimPlatform.h"
#include "security/Engine.h"
#include "security/Propagation.h"

namespace {

using namespace vm;

class NoWindow final : public PropagationObserver {
  public:
    void Counted(int32_t, int32_t) override {}
    void ApplyingStarted() override {}
    void EntryStarted(const std::wstring&) override {}
    void EntryDone(int32_t, int32_t) override {}
    void NotReached(const std::vector<std::wstring>&) override {}
    void Finished() override {}
};

// Folders of 4 subfolders and 20 files each, filled breadth-first until the
// tree below C:\T holds `entries` entries; every file has an explicit entry.
void BuildTree(sim::SimPlatform& machine, int entries) {
    machine.AddVolume(L'C', L"NTFS");
    machine.AddFolder(L"C:\\T", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
    std::deque<std::wstring> folders{L"C:\\T"};
    int made = 0;
    while (made < entries) {
        std::wstring folder = folders.front();
        folders.pop_front();
        for (int i = 0; i < 4 && made < entries; ++i, ++made) {
            folders.push_back(folder + L"\\d" + std::to_wstring(i));
            machine.AddFolder(folders.back(), L"O:BAD:(A;OICI;FA;;;BA)");
        }
        for (int i = 0; i < 20 && made < entries; ++i, ++made)
            machine.AddFile(folder + L"\\f" + std::to_wstring(i), L"O:BAD:(A;;FA;;;WD)");
    }
}

struct Cost {
    double objectsPerEntry = 0;
    double callsPerEntry = 0;
};

Cost MeasureReset(int entries, bool treeCall) {
    sim::SimPlatform machine;
    BuildTree(machine, entries);
    if (!treeCall)
        machine.FailEveryCall(sim::Call::kTreeResetNamedSecurityInfo, err::kCallNotImplemented);
    SilentReporter reporter;
    Engine engine(machine, reporter);
    NoWindow observer;
    machine.ResetCounters();
    PropagationRun run;
    run.folder = L"C:\\T";
    run.mode = PropagationMode::kResetToInherited;
    RunPropagation(engine, run, observer);
    const double total = run.total > 0 ? run.total : 1;
    return {static_cast<double>(machine.ObjectsTouched()) / total,
            static_cast<double>(machine.TotalCalls()) / total};
}

void Print(const std::string& name, double value, const char* unit) {
    std::printf("%s: %.2f %s\n", name.c_str(), value, unit);
}

}  // namespace

int main() {
    for (int entries : {10000, 100000}) {
        const std::string size = std::to_string(entries);
        const Cost tree = MeasureReset(entries, true);
        const Cost walk = MeasureReset(entries, false);
        Print("propagation_reset_objects_per_entry_" + size, tree.objectsPerEntry, "objects");
        Print("propagation_reset_per_object_walk_objects_per_entry_" + size, walk.objectsPerEntry,
              "objects");
        Print("propagation_reset_calls_per_entry_" + size, tree.callsPerEntry, "calls");
        Print("propagation_reset_per_object_walk_calls_per_entry_" + size, walk.callsPerEntry,
              "calls");
    }
    return 0;
}
