// Apply of the Advanced Security Settings window on the simulated machine:
// the rows turned into entries, the one write with the owner shown, the
// reload, a Cancel that comes before or during the write, trustees that
// name no account, and a sweep that fails each platform call in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "advanced/AdvancedApply.h"
#include "advanced/AdvancedEditor.h"
#include "platform/Reporter.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "resources/resource.h"
#include "security/Rights.h"

namespace vm {
namespace {

using sim::Call;

AceEntry Row(const std::wstring& name, uint8_t type, uint32_t mask, uint8_t scope,
             int inherited = 0) {
    AceEntry row{name, inherited, type, scope, 0, 0, L""};
    (type == 0 ? row.allow : row.deny) = mask;
    return row;
}

std::wstring Text(const std::vector<ExplicitEntry>& entries) {
    std::wstring text;
    for (const ExplicitEntry& e : entries) {
        wchar_t mask[16];
        swprintf(mask, 16, L"%X", e.mask);
        text += e.trustee + (e.type == 0 ? L" A " : L" D ") + mask + L" " +
                std::to_wstring(e.flags) + L"; ";
    }
    return text;
}

TEST(ExplicitEntriesOfRows, JoinsAbsorbsAndOrdersAllowBeforeDeny) {
    // One trustee, one scope: one entry with the rights joined.
    EXPECT_EQ(Text(ExplicitEntriesOfRows({Row(L"Bob", 0, 0x1, 0), Row(L"Bob", 0, 0x2, 0)})),
              L"Bob A 100003 0; ");
    // Different scopes, rights not inside each other: one entry per scope.
    EXPECT_EQ(
        Text(ExplicitEntriesOfRows({Row(L"Bob", 0, 0xF01FF, 0), Row(L"Bob", 0, 0x120089, 11)})),
        L"Bob A 1F01FF 0; Bob A 120089 11; ");
    // Rights and scope inside another row's: absorbed.
    EXPECT_EQ(
        Text(ExplicitEntriesOfRows({Row(L"Bob", 0, 0xF01FF, 3), Row(L"Bob", 0, 0x20089, 11)})),
        L"Bob A 1F01FF 3; ");
    // Deny rows come after every allow row and keep their masks as they are.
    EXPECT_EQ(Text(ExplicitEntriesOfRows({Row(L"Users", 1, 0x1F01FF, 0), Row(L"Bob", 0, 0x1, 3)})),
              L"Bob A 100001 3; Users D 1F01FF 0; ");
    // Inherited rows, rows without rights and names that differ in case stay apart.
    EXPECT_EQ(Text(ExplicitEntriesOfRows({Row(L"Bob", 0, 0x1, 3, 1), Row(L"Bob", 0, 0, 3),
                                          Row(L"bob", 0, 0x2, 3), Row(L"Bob", 0, 0x4, 3)})),
              L"bob A 100002 3; Bob A 100004 3; ");
}

class AdvancedApplyTest : public ::testing::Test {
  protected:
    AdvancedApplyTest() : engine(machine, reporter) {
        machine.AddVolume(L'C', L"NTFS");
        bob = machine.AddLocalUser(L"Bob").ToString();
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.AddFolder(L"C:\\Data\\Sub", SubSddl());
    }

    // Bob's own entry and the two C:\Data passes on.
    std::wstring SubSddl() const {
        return L"O:" + bob + L"D:AI(A;OICI;FA;;;" + bob +
               L")(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)";
    }

    // The window's view of the folder, as opened.
    AdvancedEditor Open(const std::wstring& path) {
        AdvancedEditor editor(path, false, false);
        editor.Show(ReadAdvancedSnapshot(machine, path, nullptr, true));
        return editor;
    }

    ApplyOutcome Apply(AdvancedEditor& editor) {
        ApplyOutcome outcome = RunAdvancedApply(engine, editor.BeginApply(), {});
        editor.ApplyFinished(outcome);
        return outcome;
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    Engine engine;
    std::wstring bob;
};

TEST_F(AdvancedApplyTest, EditsAreWrittenOnceWithTheOwnerAndReadBack) {
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    ASSERT_EQ(editor.rows().RowCount(), 3u);  // Bob, then Administrators and Users inherited
    editor.rows().ToggleEntry(0);
    editor.ClickCell(1, ace_column::kAllow);  // Bob loses "Full control"
    editor.ClickCell(3, ace_column::kAllow);  // and keeps "List folder / read data"
    editor.BeginAccountChoice(MenuMode::kAddEntry);
    editor.ChooseAccount(L"Everyone");
    editor.SetScope({0}, ID_SCOPE_THIS_FOLDER_ONLY);
    machine.ResetCounters();
    const ApplyOutcome outcome = Apply(editor);
    ASSERT_TRUE(outcome.written.ok());
    // "Administrators" as owner, the DACL in one write, the owner back.
    EXPECT_EQ(
        machine.CallCount(Call::kSetNamedSecurityInfo) + machine.CallCount(Call::kSetFileSecurity),
        3u);
    // The canonical order is the engine's (AddAccessEntry's), not the rows'.
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub"),
              L"O:" + bob + L"D:AI(A;OICI;0x100001;;;" + bob +
                  L")(A;;FA;;;WD)(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)");
    EXPECT_EQ(editor.owner(), L"Bob");
    EXPECT_EQ(editor.rows().RowCount(), 4u);
    EXPECT_FALSE(editor.modified());
}

TEST_F(AdvancedApplyTest, ChangeOwnerToEveryoneThenApply) {
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    editor.BeginAccountChoice(MenuMode::kChangeOwner);
    editor.ChooseAccount(L"Everyone");
    ASSERT_TRUE(Apply(editor).written.ok());
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub").substr(0, 7), L"O:WDD:A");
    EXPECT_EQ(editor.owner(), L"Everyone");
}

TEST_F(AdvancedApplyTest, ClearingTheBoxWithEachAnswer) {
    const std::wstring protectedBob = L"D:PAI(A;OICI;FA;;;" + bob + L")";
    for (InheritanceChoice choice : {InheritanceChoice::kRemove, InheritanceChoice::kDoNotModify}) {
        machine.SetSecurity(L"C:\\Data\\Sub", SubSddl());
        AdvancedEditor editor = Open(L"C:\\Data\\Sub");
        ASSERT_TRUE(editor.InheritClicked(false));
        editor.AnswerInheritanceQuestion(choice);
        ASSERT_TRUE(Apply(editor).written.ok());
        EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub"), protectedBob);
        EXPECT_FALSE(editor.inheritChecked());
    }
    machine.SetSecurity(L"C:\\Data\\Sub", SubSddl());
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    ASSERT_TRUE(editor.InheritClicked(false));
    editor.AnswerInheritanceQuestion(InheritanceChoice::kConvert);
    ASSERT_TRUE(Apply(editor).written.ok());
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub"),
              L"D:PAI(A;OICI;0x1200a9;;;BU)(A;OICI;FA;;;" + bob + L")(A;OICI;FA;;;BA)");
    EXPECT_EQ(editor.rows().RowCount(), 3u);
    for (size_t row = 0; row < 3; ++row)
        EXPECT_FALSE(editor.rows().IsInheritedRow(row));
}

TEST_F(AdvancedApplyTest, AnEmptyDaclIsAppliedAsAnEmptyDaclNeverANullOne) {
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    editor.CreateEmptyDacl();
    ASSERT_TRUE(Apply(editor).written.ok());
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub"), L"D:PAI");
    EXPECT_EQ(editor.rows().RowCount(), 0u);
    EXPECT_EQ(editor.emptyText(), kEmptyDaclText);
}

TEST_F(AdvancedApplyTest, ACancelBeforeTheWriteWritesNothing) {
    const std::wstring before = machine.SddlOf(L"C:\\Data\\Sub");
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    editor.CreateEmptyDacl();
    std::stop_source stop;
    const ApplyRequest request = editor.BeginApply();
    // Cancel arrives while the trustees are being looked up.
    machine.SetCallHook([&](Call call, const std::wstring&) {
        if (call == Call::kLookupAccountName || call == Call::kGetNamedSecurityInfo)
            stop.request_stop();
    });
    stop.request_stop();
    const ApplyOutcome outcome = RunAdvancedApply(engine, request, stop.get_token());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub"), before);
    editor.ApplyAbandoned();
    editor.ApplyFinished(outcome);
    EXPECT_TRUE(editor.modified());  // the change is still to be written
}

TEST_F(AdvancedApplyTest, ACancelDuringTheWriteLetsTheWholeWriteFinish) {
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    editor.BeginAccountChoice(MenuMode::kAddEntry);
    editor.ChooseAccount(L"Everyone");
    std::stop_source stop;
    machine.SetCallHook([&](Call call, const std::wstring&) {
        if (call == Call::kSetNamedSecurityInfo || call == Call::kSetFileSecurity)
            stop.request_stop();
    });
    const ApplyOutcome outcome = RunAdvancedApply(engine, editor.BeginApply(), stop.get_token());
    machine.SetCallHook(nullptr);
    EXPECT_FALSE(outcome.cancelled);
    ASSERT_TRUE(outcome.written.ok());
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub"),
              L"D:AI(A;OICI;FA;;;" + bob +
                  L")(A;OICI;FA;;;WD)(A;OICIID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)");
    EXPECT_TRUE(machine.SddlOf(L"C:\\Data\\Sub").starts_with(L"O:" + bob));
}

TEST_F(AdvancedApplyTest, EntriesOfDeletedAccountsAreLeftOutAndTold) {
    machine.AddLocalUser(L"Carol");
    const std::wstring carol = machine.SidOf(L"Carol").ToString();
    machine.SetSecurity(L"C:\\Data\\Sub", L"O:BAD:P(A;;FA;;;" + carol + L")(A;;FA;;;BA)");
    machine.DeleteAccount(L"Carol");
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    ASSERT_EQ(editor.rows().EntryAt(0)->name, carol);  // shown by its SID
    const ApplyOutcome outcome = Apply(editor);
    ASSERT_TRUE(outcome.written.ok());
    EXPECT_EQ(outcome.unresolved, std::vector<std::wstring>{carol});
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub"), L"D:PAI(A;;FA;;;BA)");
}

TEST_F(AdvancedApplyTest, ALookupThatFailsForAnotherReasonWritesNothing) {
    const std::wstring before = machine.SddlOf(L"C:\\Data\\Sub");
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    editor.CreateEmptyDacl();
    editor.BeginAccountChoice(MenuMode::kAddEntry);
    editor.ChooseAccount(L"Bob");
    machine.FailEveryCall(Call::kLookupAccountName, err::kNotEnoughMemory);
    const ApplyOutcome outcome = Apply(editor);
    machine.ClearFaults();
    EXPECT_EQ(outcome.written.error, err::kNotEnoughMemory);
    EXPECT_TRUE(outcome.unresolved.empty());
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub"), before);
    EXPECT_TRUE(editor.modified());
    EXPECT_EQ(editor.rows().EntryAt(0)->name, L"Bob");
}

TEST_F(AdvancedApplyTest, TheOwnerReadIsPutBackBySidWhenItsNameNoLongerResolves) {
    AdvancedEditor editor = Open(L"C:\\Data\\Sub");
    ASSERT_EQ(editor.owner(), L"Bob");
    machine.DeleteAccount(L"Bob");  // the owner's name now resolves to nobody
    editor.InheritClicked(true);
    ASSERT_TRUE(Apply(editor).written.ok());
    EXPECT_TRUE(machine.SddlOf(L"C:\\Data\\Sub").starts_with(L"O:" + bob));
}

// ---- The fault sweep --------------------------------------------------------

using Dacls = std::map<std::wstring, AclSlot>;

Dacls DaclsOf(sim::SimPlatform& machine) {
    Dacls dacls;
    for (const auto& path : machine.ListTree(L"C:\\"))
        dacls[path] = machine.DaclOf(path);
    return dacls;
}

bool Contains(const AclSlot& slot, const Ace& entry) {
    return slot.acl &&
           std::find(slot.acl->aces.begin(), slot.acl->aces.end(), entry) != slot.acl->aces.end();
}

// Every entry an object ends with was there before or is one the apply asked for.
std::string Violation(const AclSlot& before, const AclSlot& after, const AclSlot& final) {
    if (final == before || final == after)
        return {};
    if (final.IsNull())
        return "ends with a NULL DACL";
    for (const Ace& entry : final.acl->aces) {
        if (!Contains(before, entry) && !Contains(after, entry))
            return "holds an entry nobody asked for";
    }
    return {};
}

void BuildTree(sim::SimPlatform& machine) {
    machine.AddVolume(L'C', L"NTFS");
    const std::wstring bob = machine.AddLocalUser(L"Bob").ToString();
    machine.AddFolder(L"C:\\T", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)");
    machine.AddFolder(L"C:\\T\\S", L"O:" + bob + L"D:AI(A;OICI;FA;;;" + bob +
                                       L")(A;OICIID;FA;;;BA)(A;OICIID;FR;;;BU)");
    machine.AddFile(L"C:\\T\\S\\f.txt");
}

// What the window asks to write after its edits on C:\T\S: Everyone added,
// Bob narrowed, inheritance as given.
ApplyRequest EditedRequest(sim::SimPlatform& machine, bool inherit) {
    AdvancedEditor editor(L"C:\\T\\S", false, false);
    editor.Show(ReadAdvancedSnapshot(machine, L"C:\\T\\S", nullptr, true));
    if (editor.rows().RowCount() > 0) {
        editor.rows().ToggleEntry(0);
        editor.ClickCell(1, ace_column::kAllow);
    }
    editor.BeginAccountChoice(MenuMode::kAddEntry);
    editor.ChooseAccount(L"Everyone");
    if (editor.InheritClicked(inherit))
        editor.AnswerInheritanceQuestion(InheritanceChoice::kConvert);
    return editor.BeginApply();
}

TEST(AdvancedApplyFaults, NoObjectEndsOpenOrWithEntriesNobodyAskedFor) {
    for (bool inherit : {true, false}) {
        std::array<uint64_t, sim::kCallKinds> counts{};
        Dacls before;
        Dacls after;
        {
            sim::SimPlatform machine;
            SilentReporter reporter;
            Engine engine(machine, reporter);
            BuildTree(machine);
            before = DaclsOf(machine);
            const ApplyRequest request = EditedRequest(machine, inherit);
            machine.ResetCounters();
            ASSERT_TRUE(RunAdvancedApply(engine, request, {}).written.ok());
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
                const ApplyRequest request = EditedRequest(machine, inherit);
                machine.FailNthCall(static_cast<Call>(kind), n, err::kAccessDenied);
                const ApplyOutcome outcome = RunAdvancedApply(engine, request, {});
                machine.ClearFaults();
                const std::string fault = std::string(sim::CallName(static_cast<Call>(kind))) +
                                          " #" + std::to_string(n) +
                                          (inherit ? " inheriting" : " protected");
                const Dacls finals = DaclsOf(machine);
                for (const auto& [path, final] : finals) {
                    EXPECT_EQ(Violation(before[path], after[path], final), "")
                        << fault << ": " << ToUtf8(path) << " " << ToUtf8(machine.DaclSddlOf(path));
                }
                // A write reported as done left the object as the successful run did.
                if (outcome.written.ok()) {
                    EXPECT_EQ(finals.at(L"C:\\T\\S"), after.at(L"C:\\T\\S")) << fault;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vm
