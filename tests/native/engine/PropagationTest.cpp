// The two-pass walk below a folder on the simulated machine.
//   C:\T          folder, inherits from the root
//   C:\T\a b c    files owned by Bob, each with an explicit entry for Bob
//   C:\T\S        subfolder, protected, explicit entry for Bob
//   C:\T\S\d      file owned by Bob
#include <functional>
#include <mutex>

#include "EngineFixture.h"
#include "app/PropagationProgress.h"
#include "security/Propagation.h"

namespace vm {
namespace {

using sim::Call;

// Records what the progress window is told (through the walk's translation
// into window terms), as short texts.
class RecordingObserver final : public ProgressDisplay {
  public:
    void RestartAnimation() override { Record(L"restart"); }
    void ShowEntryName(const std::wstring& name) override {
        Record(L"name " + name);
        if (++names_ == cancelAfterNames && run)
            run->cancel = true;
    }
    void SetPercent(int32_t percent) override { Record(L"% " + std::to_wstring(percent)); }
    void AppendCountText(const std::wstring& text) override {
        Record(L"count" + text);
        if (onCount)
            onCount();
    }
    void ShowNotReached(const std::vector<std::wstring>& paths) override {
        for (const auto& path : paths)
            Record(L"not reached " + path);
    }
    void Close() override { Record(L"close"); }

    std::vector<std::wstring> Events() {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<std::wstring> EventsStartingWith(const std::wstring& prefix) {
        std::vector<std::wstring> found;
        for (const auto& event : Events()) {
            if (event.starts_with(prefix))
                found.push_back(event);
        }
        return found;
    }

    PropagationRun* run = nullptr;
    int cancelAfterNames = -1;
    std::function<void()> onCount;

  private:
    void Record(std::wstring event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::mutex mutex_;
    std::vector<std::wstring> events_;
    int names_ = 0;
};

class Propagation : public EngineTest {
  protected:
    Propagation() {
        bob = machine.AddLocalUser(L"Bob").ToString();
        std::wstring bobFile = L"O:" + bob + L"D:AI(A;;FA;;;" + bob + L")(A;ID;FA;;;BA)";
        machine.AddFolder(L"C:\\T", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
        for (const wchar_t* name : {L"C:\\T\\a", L"C:\\T\\b", L"C:\\T\\c", L"C:\\T\\S\\d"})
            machine.AddFile(name, bobFile);
        machine.SetSecurity(L"C:\\T\\S", L"O:" + bob + L"D:P(A;OICI;FA;;;" + bob + L")");
        observer.run = &run;
    }
    int Run(PropagationMode mode, const std::wstring& folder = L"C:\\T") {
        run.folder = folder;
        run.mode = mode;
        return RunPropagation(engine, run, progress);
    }
    std::map<std::wstring, std::wstring> TreeSddl(bool daclOnly = false) {
        std::map<std::wstring, std::wstring> tree;
        for (const auto& path : machine.ListTree(L"C:\\T"))
            tree[path] = daclOnly ? Dacl(path) : Sddl(path);
        return tree;
    }

    std::wstring bob;
    PropagationRun run;
    RecordingObserver observer;
    PropagationProgress progress{observer};
    const std::wstring inherited = L"D:AI(A;ID;FA;;;BA)(A;ID;FR;;;BU)";
};

TEST_F(Propagation, EmptyFolderCountsNothingAndClosesAtOnce) {
    machine.AddFolder(L"C:\\Empty", L"O:BAD:(A;OICI;FA;;;BA)");
    run.folder = L"C:\\Empty";
    run.mode = PropagationMode::kResetToInherited;
    RunPropagationWorker(engine, run, progress);
    EXPECT_EQ(observer.Events(), (std::vector<std::wstring>{L"count (0 Files, 0 Folders)",
                                                            L"restart", L"% 100", L"close"}));
    EXPECT_EQ(run.total, 0);
}

TEST_F(Propagation, ResetModeCountsThenResetsEveryEntryBreadthFirst) {
    EXPECT_EQ(Run(PropagationMode::kResetToInherited), 1);
    EXPECT_EQ(run.total, 5);
    EXPECT_EQ(observer.EventsStartingWith(L"count"),
              std::vector<std::wstring>{L"count (4 Files, 1 Folders)"});
    EXPECT_EQ(observer.EventsStartingWith(L"name"),
              (std::vector<std::wstring>{L"name a", L"name b", L"name c", L"name S", L"name d"}));
    EXPECT_EQ(observer.EventsStartingWith(L"%"),
              (std::vector<std::wstring>{L"% 20", L"% 40", L"% 60", L"% 80", L"% 100"}));
    EXPECT_EQ(observer.Events().back(), L"close");
    // Files keep their owners, the subfolder passed through "Administrators".
    EXPECT_EQ(Sddl(L"C:\\T\\a"), L"O:" + bob + inherited);
    EXPECT_EQ(Sddl(L"C:\\T\\S\\d"), L"O:" + bob + inherited);
    EXPECT_EQ(Sddl(L"C:\\T\\S"), L"O:BAD:AI(A;OICIID;FA;;;BA)(A;OICIID;FR;;;BU)");
    EXPECT_EQ(Sddl(L"C:\\T"), L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
}

TEST_F(Propagation, JunctionsAreNeitherCountedChangedNorFollowed) {
    machine.AddFolder(L"C:\\Elsewhere", L"O:" + bob + L"D:P(A;OICI;FA;;;" + bob + L")");
    machine.AddFile(L"C:\\Elsewhere\\e", L"");
    machine.AddJunction(L"C:\\T\\J", L"C:\\Elsewhere", L"O:" + bob + L"D:P(A;;FA;;;WD)");
    std::wstring junction = Sddl(L"C:\\T\\J");
    std::wstring outside = Sddl(L"C:\\Elsewhere\\e");
    EXPECT_EQ(Run(PropagationMode::kCopyFromFolder), 1);
    // S is closed to Administrators, so only a, b, c and S are counted.
    EXPECT_EQ(run.total, 4);
    EXPECT_EQ(Sddl(L"C:\\T\\J"), junction);
    EXPECT_EQ(Sddl(L"C:\\Elsewhere\\e"), outside);
}

TEST_F(Propagation, CancelDuringApplyingLeavesTheRestUntouchedAndStillCloses) {
    auto before = TreeSddl();
    observer.cancelAfterNames = 2;
    run.folder = L"C:\\T";
    run.mode = PropagationMode::kResetToInherited;
    RunPropagationWorker(engine, run, progress);
    EXPECT_FALSE(run.cancel);
    EXPECT_EQ(Sddl(L"C:\\T\\a"), L"O:" + bob + inherited);
    EXPECT_EQ(Sddl(L"C:\\T\\b"), L"O:" + bob + inherited);
    EXPECT_EQ(Sddl(L"C:\\T\\c"), before[L"C:\\T\\c"]);
    EXPECT_EQ(Sddl(L"C:\\T\\S\\d"), before[L"C:\\T\\S\\d"]);
    // The subfolder was opened for counting; it gets its DACL back.
    EXPECT_EQ(Dacl(L"C:\\T\\S"), L"D:P(A;OICI;FA;;;" + bob + L")");
    EXPECT_EQ(observer.Events().back(), L"close");
}

TEST_F(Propagation, CancelDuringCountingSkipsTheApplyingPassAndClosesOpenedFolders) {
    machine.AddFolder(L"C:\\T\\S2", L"O:" + bob + L"D:P(A;;FA;;;" + bob + L")");
    auto before = TreeSddl(true);
    int listings = 0;
    machine.SetCallHook([&](Call call, const std::wstring&) {
        if (call == Call::kFindFiles && ++listings == 2)
            run.cancel = true;
    });
    EXPECT_EQ(Run(PropagationMode::kResetToInherited), 0);
    EXPECT_LT(run.total, 0);
    EXPECT_TRUE(observer.EventsStartingWith(L"name").empty());
    EXPECT_EQ(observer.EventsStartingWith(L"count").size(), 1u);
    EXPECT_EQ(TreeSddl(true), before);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\T\\S"), L"Administrators");
}

TEST_F(Propagation, ResetModeReachesTheContentsOfAFolderClosedToAdministrators) {
    machine.SetSecurity(L"C:\\T\\S", L"O:" + bob + L"D:P(D;;FA;;;WD)");
    EXPECT_EQ(Run(PropagationMode::kResetToInherited), 1);
    EXPECT_EQ(run.total, 5);
    EXPECT_EQ(Sddl(L"C:\\T\\S\\d"), L"O:" + bob + inherited);
}

// The subfolder's reset is refused, by the tree call or, where the system
// lacks it, by the reset of the folder alone.
TEST_F(Propagation, RefusedResetOfAnOpenedFolderPutsItsDaclBack) {
    for (Call refused : {Call::kTreeResetNamedSecurityInfo, Call::kSetNamedSecurityInfo}) {
        machine.SetSecurity(L"C:\\T\\S", L"O:" + bob + L"D:P(A;OICI;FA;;;" + bob + L")");
        if (refused == Call::kSetNamedSecurityInfo)
            machine.FailEveryCall(Call::kTreeResetNamedSecurityInfo, err::kCallNotImplemented);
        machine.SetCallHook([&](Call call, const std::wstring& path) {
            if (call == refused && path == L"C:\\T\\S")
                machine.FailNthCall(refused, 1, err::kAccessDenied);
        });
        std::wstring contents = Sddl(L"C:\\T\\S\\d");
        run.notReached.clear();
        EXPECT_EQ(Run(PropagationMode::kResetToInherited), 1);
        EXPECT_EQ(Dacl(L"C:\\T\\S"), L"D:P(A;OICI;FA;;;" + bob + L")") << sim::CallName(refused);
        // Closed again before its turn to be listed: its contents stay as
        // they were, and the run says what it did not reach.
        EXPECT_EQ(Sddl(L"C:\\T\\S\\d"), contents) << sim::CallName(refused);
        EXPECT_EQ(run.notReached, std::vector<std::wstring>{L"C:\\T\\S"}) << sim::CallName(refused);
        machine.SetCallHook(nullptr);
        machine.ClearFaults();
    }
}

TEST_F(Propagation, CopyModeWritesTheFolderDaclWithItsBitsOntoEveryEntry) {
    machine.SetSecurity(L"C:\\T", L"O:" + bob + L"D:PAI(A;OICI;FA;;;BA)(A;ID;FR;;;BU)");
    EXPECT_EQ(Run(PropagationMode::kCopyFromFolder), 1);
    for (const wchar_t* path : {L"C:\\T\\a", L"C:\\T\\S", L"C:\\T\\S\\d"})
        EXPECT_EQ(Sddl(path), L"O:BAD:PAI(A;OICI;FA;;;BA)(A;ID;FR;;;BU)") << ToUtf8(path);
    EXPECT_EQ(Sddl(L"C:\\T"), L"O:" + bob + L"D:PAI(A;OICI;FA;;;BA)(A;ID;FR;;;BU)");
}

TEST_F(Propagation, CopyModeChangesNothingWhenTheFolderCannotBeRead) {
    machine.SetSecurity(L"C:\\T", L"O:" + bob + L"D:(A;OICI;FA;;;BA)");
    auto before = TreeSddl();
    machine.DenyAccess(L"C:\\T", 0x20000);  // READ_CONTROL
    EXPECT_EQ(Run(PropagationMode::kCopyFromFolder), 1);
    machine.ClearFaults();
    EXPECT_EQ(TreeSddl(), before);
    EXPECT_TRUE(observer.EventsStartingWith(L"name").empty());
}

TEST_F(Propagation, EntriesCreatedBetweenThePassesCarryTheBarPast100) {
    observer.onCount = [&] { machine.AddFile(L"C:\\T\\S\\late"); };
    run.folder = L"C:\\T";
    run.mode = PropagationMode::kResetToInherited;
    RunPropagationWorker(engine, run, progress);
    EXPECT_EQ(run.total, 5);
    EXPECT_EQ(observer.EventsStartingWith(L"%"),
              (std::vector<std::wstring>{L"% 20", L"% 40", L"% 60", L"% 80", L"% 100", L"% 120",
                                         L"% 100"}));
    EXPECT_EQ(observer.EventsStartingWith(L"close").size(), 2u);
}

// A folder the walk cannot list is told before the window closes, so that a
// bar at 100 is not taken for a run that reached everything.
TEST_F(Propagation, FoldersThatCannotBeListedAreToldBeforeTheEnd) {
    machine.DenyAccess(L"C:\\T\\S", 0x1);  // FILE_LIST_DIRECTORY
    run.folder = L"C:\\T";
    run.mode = PropagationMode::kCopyFromFolder;
    RunPropagationWorker(engine, run, progress);
    machine.ClearFaults();
    EXPECT_EQ(run.notReached, std::vector<std::wstring>{L"C:\\T\\S"});
    const auto events = observer.Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[events.size() - 3], L"not reached C:\\T\\S");
    EXPECT_EQ(events.back(), L"close");
    // A run that reached everything tells nothing of the kind.
    PropagationRun clean;
    clean.folder = L"C:\\T";
    clean.mode = PropagationMode::kCopyFromFolder;
    RecordingObserver quiet;
    PropagationProgress quietProgress{quiet};
    RunPropagationWorker(engine, clean, quietProgress);
    EXPECT_TRUE(quiet.EventsStartingWith(L"not reached").empty());
}

// A chain of 20 folders, each with one file. Resetting a folder through
// SetNamedSecurityInfoW rewrites its whole subtree, so one reset per entry
// writes the deep objects again and again (the sum of the depths); the tree
// call writes each object once. The counting pass writes each folder twice
// (owner, NULL DACL) in both cases.
TEST_F(Propagation, ResetWritesEachObjectOnce) {
    constexpr int kDepth = 20;
    std::wstring path = L"C:\\Deep";
    machine.AddFolder(path, L"O:BAD:(A;OICI;FA;;;BA)");
    for (int level = 1; level <= kDepth; ++level) {
        machine.AddFile(path + L"\\f" + std::to_wstring(level), L"O:BAD:(A;;FA;;;WD)");
        path += L"\\d" + std::to_wstring(level);
        machine.AddFolder(path, L"O:BAD:(A;OICI;FA;;;WD)");
    }
    constexpr uint64_t kEntries = 2 * kDepth;
    constexpr uint64_t kCountingPassWrites = 2 * kDepth;
    uint64_t touched[2] = {};
    for (bool treeCall : {true, false}) {
        if (!treeCall)
            machine.FailEveryCall(Call::kTreeResetNamedSecurityInfo, err::kCallNotImplemented);
        machine.ResetCounters();
        PropagationRun deep;
        deep.folder = L"C:\\Deep";
        deep.mode = PropagationMode::kResetToInherited;
        NullObserver quiet;
        ASSERT_EQ(RunPropagation(engine, deep, quiet), 1);
        EXPECT_EQ(deep.total, static_cast<int32_t>(kEntries));
        EXPECT_EQ(Dacl(path), L"D:AI(A;OICIID;FA;;;BA)") << treeCall;
        touched[treeCall ? 0 : 1] = machine.ObjectsTouched();
    }
    EXPECT_EQ(touched[0], kCountingPassWrites + kEntries);
    // Folder k rewrites itself and the 2 (20 - k) + 1 objects below it.
    EXPECT_GT(touched[1], kCountingPassWrites + kEntries * kDepth / 2);
}

}  // namespace
}  // namespace vm
