// Each multi-step operation is run once to count its platform calls, then
// again with each of those calls failing in turn. Whatever fails, no object
// may end with a NULL DACL or without entries unless the operation's purpose
// was exactly that, nor lose an explicit entry it had, unless it ends
// exactly as the successful run left it.
#include <algorithm>
#include <array>
#include <functional>

#include "EngineFixture.h"
#include "app/QuickCommands.h"
#include "security/DaclEdits.h"
#include "security/Inheritance.h"
#include "security/Ownership.h"
#include "security/Propagation.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

using sim::Call;
using Dacls = std::map<std::wstring, AclSlot>;

// C:\T with three files and a protected subfolder holding a file, all with
// explicit entries for Bob; C:\src.txt, a source to copy from.
void BuildTree(sim::SimPlatform& machine) {
    machine.AddVolume(L'C', L"NTFS");
    std::wstring bob = machine.AddLocalUser(L"Bob").ToString();
    std::wstring bobFile = L"O:" + bob + L"D:AI(A;;FA;;;" + bob + L")(A;ID;FA;;;BA)";
    machine.AddFolder(L"C:\\T", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
    for (const wchar_t* name : {L"C:\\T\\a", L"C:\\T\\b", L"C:\\T\\S\\d"})
        machine.AddFile(name, bobFile);
    machine.SetSecurity(L"C:\\T\\S", L"O:" + bob + L"D:P(A;OICI;FA;;;" + bob + L")");
    machine.AddFile(L"C:\\src.txt", L"O:" + bob + L"D:PAI(A;;FR;;;WD)(A;;FA;;;BA)");
}

Dacls DaclsOf(sim::SimPlatform& machine) {
    Dacls dacls;
    for (const auto& path : machine.ListTree(L"C:\\"))
        dacls[path] = machine.DaclOf(path);
    return dacls;
}

bool HasNoEntries(const AclSlot& slot) {
    return slot.acl && slot.acl->aces.empty();
}

bool KeepsExplicitEntries(const AclSlot& before, const AclSlot& final) {
    if (!before.acl)
        return true;
    for (const Ace& entry : before.acl->aces) {
        if (entry.IsInherited())
            continue;
        if (!final.acl || std::find(final.acl->aces.begin(), final.acl->aces.end(), entry) ==
                              final.acl->aces.end())
            return false;
    }
    return true;
}

// The invariant for one object; empty when it holds, else what broke.
std::string Violation(const AclSlot& before, const AclSlot& after, const AclSlot& final) {
    if (final == before || final == after)
        return {};
    if (final.IsNull() && !before.IsNull() && !after.IsNull())
        return "ends with a NULL DACL";
    if (HasNoEntries(final) && !HasNoEntries(before) && !HasNoEntries(after))
        return "ends without entries";
    if (!KeepsExplicitEntries(before, final))
        return "lost an explicit entry";
    return {};
}

using Operation = std::function<void(Engine&, sim::SimPlatform&)>;
// Told, after each failing run, the DACLs a successful run leaves and the
// ones this run left, with a name for the fault.
using Verdict =
    std::function<void(const Dacls& after, const Dacls& final, const std::string& fault)>;

void CheckEveryFault(const std::string& name, const Operation& operation,
                     const Verdict& verdict = nullptr) {
    std::array<uint64_t, sim::kCallKinds> counts{};
    Dacls before;
    Dacls after;
    {
        sim::SimPlatform machine;
        SilentReporter reporter;
        Engine engine(machine, reporter);
        BuildTree(machine);
        before = DaclsOf(machine);
        machine.ResetCounters();
        operation(engine, machine);
        for (size_t kind = 0; kind < sim::kCallKinds; ++kind)
            counts[kind] = machine.CallCount(static_cast<Call>(kind));
        after = DaclsOf(machine);
    }
    for (size_t kind = 0; kind < sim::kCallKinds; ++kind) {
        for (uint64_t n = 1; n <= counts[kind]; ++n) {
            sim::SimPlatform machine;
            SilentReporter reporter;
            Engine engine(machine, reporter);
            BuildTree(machine);
            machine.FailNthCall(static_cast<Call>(kind), n, err::kAccessDenied);
            operation(engine, machine);
            machine.ClearFaults();
            const std::string fault =
                name + ": " + sim::CallName(static_cast<Call>(kind)) + " #" + std::to_string(n);
            const Dacls finals = DaclsOf(machine);
            for (const auto& [path, final] : finals) {
                std::string broken = Violation(before[path], after[path], final);
                EXPECT_EQ(broken, "") << fault << " failing, " << ToUtf8(path) << " "
                                      << ToUtf8(machine.DaclSddlOf(path));
            }
            if (verdict)
                verdict(after, finals, fault);
        }
    }
}

TEST(FaultInjection, DaclEdits) {
    CheckEveryFault("AddAccessEntry", [](Engine& engine, sim::SimPlatform&) {
        SetOwner(engine, L"C:\\T\\a", L"Administrators");
        AddAccessEntry(engine, L"C:\\T\\a", L"Users", 0x1200A9, ace_type::kAccessDenied, 0);
    });
    CheckEveryFault("ResetToInherited", [](Engine& engine, sim::SimPlatform&) {
        SetOwner(engine, L"C:\\T\\a", L"Administrators");
        ResetToInherited(engine, L"C:\\T\\a");
    });
    CheckEveryFault("Copy and paste", [](Engine& engine, sim::SimPlatform&) {
        CopyBuffer buffer;
        CopySecuritySettings(engine, buffer, L"C:\\src.txt");
        if (buffer.CopiedDescriptor)
            PasteSecuritySettings(engine, buffer, L"C:\\T\\b");
    });
}

TEST(FaultInjection, InheritanceApply) {
    for (bool includeInheritable : {false, true}) {
        CheckEveryFault("Apply", [=](Engine& engine, sim::SimPlatform&) {
            ApplyInheritanceAndEntries(engine, L"C:\\T\\a", includeInheritable,
                                       {{L"Bob", 0x1F01FF, ace_type::kAccessAllowed, 0},
                                        {L"Users", 0x2, ace_type::kAccessDenied, 0}},
                                       L"Bob");
        });
    }
}

// The quick commands' own sequence (RunQuickSet) on a file and a folder:
// whichever call fails, no item is left open or stripped, and an item that
// did not end as the successful run left it is reported as failed, never as
// done.
TEST(FaultInjection, QuickSetRollsBackAndReportsEveryFailure) {
    const std::vector<QuickItem> items = {{L"C:\\T\\a", true}, {L"C:\\T\\S", false}};
    for (QuickKind kind : {QuickKind::kAllowAccess, QuickKind::kReadOnly, QuickKind::kDenyAccess}) {
        QuickSetOutcome outcome;
        CheckEveryFault(
            "Quick set",
            [&](Engine& engine, sim::SimPlatform& machine) {
                const UserIdentity user{L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
                outcome = RunQuickSet(engine, user, items, {kind, L"Everyone", 3}, nullptr);
            },
            [&](const Dacls& after, const Dacls& final, const std::string& fault) {
                for (size_t i = 0; i < outcome.items.size(); ++i) {
                    const std::wstring& path = items[i].path;
                    const bool done = outcome.items[i].result == QuickItemResult::kDone;
                    EXPECT_FALSE(done && final.at(path) != after.at(path))
                        << fault << ": " << ToUtf8(path) << " reported done";
                    EXPECT_TRUE(done || outcome.items[i].error != 0u)
                        << fault << ": " << ToUtf8(path) << " failed without a reason";
                }
            });
    }
}

TEST(FaultInjection, Propagation) {
    for (auto mode : {PropagationMode::kResetToInherited, PropagationMode::kCopyFromFolder}) {
        CheckEveryFault("Propagation", [=](Engine& engine, sim::SimPlatform&) {
            PropagationRun run;
            run.folder = L"C:\\T";
            run.mode = mode;
            NullObserver observer;
            RunPropagationWorker(engine, run, observer);
        });
    }
}

}  // namespace
}  // namespace vm
