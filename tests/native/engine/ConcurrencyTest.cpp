// Owner changes and added entries on several threads while a propagation
// runs on another: every owner write must happen with
// SeTakeOwnershipPrivilege switched on, whatever the other threads do to the
// shared token, and every operation must end as it would alone.
#include <atomic>
#include <thread>

#include "EngineFixture.h"
#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/Propagation.h"

namespace vm {
namespace {

using sim::Call;

constexpr int kRounds = 40;
constexpr int kOwnerThreads = 3;
constexpr int kEntryThreads = 2;

std::wstring ObjectPath(int thread) {
    return L"C:\\O\\o" + std::to_wstring(thread);
}

TEST_F(EngineTest, OwnerChangesAndAddsRunBesideAPropagation) {
    machine.AddLocalUser(L"Bob");
    machine.AddFolder(L"C:\\O", L"O:BAD:(A;OICI;FA;;;BA)");
    for (int i = 0; i < kOwnerThreads + kEntryThreads; ++i)
        machine.AddFile(ObjectPath(i), L"O:BAD:(A;;FA;;;BA)");
    machine.AddFolder(L"C:\\P", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
    for (int folder = 0; folder < 5; ++folder) {
        for (int file = 0; file < 20; ++file) {
            machine.AddFile(L"C:\\P\\f" + std::to_wstring(folder) + L"\\x" + std::to_wstring(file),
                            L"O:BAD:(A;;FA;;;WD)");
        }
    }
    std::atomic<int> ownerWritesWithoutPrivilege{0};
    machine.SetCallHook([&](Call call, const std::wstring& path) {
        if (call != Call::kSetNamedSecurityInfo || !path.starts_with(L"C:\\O\\"))
            return;
        // Widens the window in which another thread could switch it off.
        std::this_thread::yield();
        if (!machine.PrivilegeEnabled(L"SeTakeOwnershipPrivilege"))
            ++ownerWritesWithoutPrivilege;
    });

    std::vector<std::thread> threads;
    for (int t = 0; t < kOwnerThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round)
                SetOwner(engine, ObjectPath(t), round % 2 ? L"Administrators" : L"Bob");
        });
    }
    for (int t = kOwnerThreads; t < kOwnerThreads + kEntryThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                SetOwner(engine, ObjectPath(t), L"Administrators");
                AddAccessEntry(engine, ObjectPath(t), L"Bob", 0x1, ace_type::kAccessAllowed, 0);
            }
        });
    }
    PropagationRun run;
    run.folder = L"C:\\P";
    run.mode = PropagationMode::kResetToInherited;
    NullObserver observer;
    EXPECT_EQ(RunPropagation(engine, run, observer), 1);
    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ(ownerWritesWithoutPrivilege.load(), 0);
    for (int t = 0; t < kOwnerThreads; ++t)
        EXPECT_EQ(machine.OwnerNameOf(ObjectPath(t)), L"Administrators");
    for (int t = kOwnerThreads; t < kOwnerThreads + kEntryThreads; ++t)
        EXPECT_EQ(machine.DaclOf(ObjectPath(t)).acl->aces.size(), 1u + kRounds);
    EXPECT_EQ(run.total, 105);
    EXPECT_EQ(Dacl(L"C:\\P\\f3\\x7"), L"D:AI(A;ID;FA;;;BA)(A;ID;FR;;;BU)");
    EXPECT_FALSE(machine.PrivilegeEnabled(L"SeTakeOwnershipPrivilege"));
    EXPECT_TRUE(machine.PrivilegeEnabled(L"SeRestorePrivilege"));
    EXPECT_EQ(machine.OpenTokenHandles(), 0);
    EXPECT_TRUE(reporter.texts().empty());
}

}  // namespace
}  // namespace vm
