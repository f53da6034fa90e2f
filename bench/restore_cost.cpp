// What a restore run of the Restore window costs per item, counted on the
// simulated machine as platform calls: 10,000 files backed up, changed, and
// restored from the backup's rows. The reference, in the same run, is the
// backup of the same items (one owner read and one DACL read per item).
// Prints one "name: value unit" line per figure, and the calls by kind.
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "backup/BackupFile.h"
#include "backup/RestoreModel.h"
#include "backup/RestoreRunner.h"
#include "platform/Reporter.h"
#include "platform/sim/SimPlatform.h"
#include "security/Engine.h"

namespace {

using namespace vm;

constexpr int kItems = 10000;

void Print(const std::string& name, double value, const char* unit) {
    std::printf("%s: %.2f %s\n", name.c_str(), value, unit);
}

}  // namespace

int main() {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    machine.AddLocalUser(L"Bob");
    machine.AddFolder(L"C:\\T", L"O:BAD:(A;OICI;FA;;;BA)");
    std::vector<std::wstring> paths;
    for (int i = 0; i < kItems; ++i) {
        paths.push_back(L"C:\\T\\f" + std::to_wstring(i));
        machine.AddFile(paths.back(), i % 2 ? L"O:BAD:P(A;;FA;;;BA)" : L"O:BAD:P(A;;FR;;;WD)");
    }
    SilentReporter reporter;
    Engine engine(machine, reporter);

    machine.ResetCounters();
    std::vector<BackupItem> items = CollectBackupItems(machine, paths);
    const double backupCalls = static_cast<double>(machine.TotalCalls()) / kItems;

    for (const std::wstring& path : paths)
        machine.SetSecurity(path, L"O:SYD:(A;;FA;;;WD)");
    const UserIdentity user{L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
    std::vector<RestoreWork> work = WorkFromRows(RowsFromBackup(machine, user, std::move(items)));
    machine.ResetCounters();
    std::atomic<bool> stop{false};
    RunRestore(engine, RestoreMode::kFile, work, {}, stop);
    const double restoreCalls = static_cast<double>(machine.TotalCalls()) / kItems;

    Print("restore_calls_per_item_10000", restoreCalls, "calls");
    Print("backup_calls_per_item_10000", backupCalls, "calls");
    for (size_t kind = 0; kind < sim::kCallKinds; ++kind) {
        const auto call = static_cast<sim::Call>(kind);
        if (machine.CallCount(call) > 0)
            Print(std::string("restore_") + sim::CallName(call) + "_per_item",
                  static_cast<double>(machine.CallCount(call)) / kItems, "calls");
    }
    return 0;
}
